#pragma once

#include <QString>

#include <stdexcept>

/// A failure that ends a user action of the method editor with a message in the error box: a
/// numeric text that is not a number, or a method file that the system refuses to write.
/// message() is the text to show; the method store and load put it into their status text.
class MethodError : public std::runtime_error
{
  public:
    explicit MethodError(const QString &message);

    QString message() const;
};
