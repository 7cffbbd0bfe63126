#include "method/method_error.h"

MethodError::MethodError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString MethodError::message() const
{
    return QString::fromStdString(what());
}
