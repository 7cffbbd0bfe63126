#include "method/method_error.h"

MethodError::MethodError(const QString &message, std::optional<Setting> setting)
    : std::runtime_error(message.toStdString()), m_setting(setting)
{
}

QString MethodError::message() const
{
    return QString::fromStdString(what());
}
