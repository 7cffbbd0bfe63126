#pragma once

#include "method/setting_info.h"

#include <QString>

#include <optional>
#include <stdexcept>

/// A failure that ends a user action of the method editor with a message in the error box: a
/// setting that cannot be sent (a numeric text that is not a number, a list without a choice),
/// or a method file that the system refuses to write. message() is the text to show; the method
/// store and load put it into their status text.
class MethodError : public std::runtime_error
{
  public:
    explicit MethodError(const QString &message, std::optional<Setting> setting = std::nullopt);

    QString message() const;
    /// The setting whose value cannot be sent, so that the editor can name its field.
    std::optional<Setting> setting() const { return m_setting; }

  private:
    std::optional<Setting> m_setting;
};
