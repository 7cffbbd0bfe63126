#pragma once

#include <QString>

/// A Windows initialisation file read and written by the Windows profile-file rules: section and
/// key names match without regard to letter case, values are trimmed of surrounding blanks on
/// reading and then lose one pair of matching quotes (single or double), a write replaces a
/// value in place or appends the key to the end of its section (or a new section to the end of
/// the file), and every other line stays as it was. The file holds Windows-1252 bytes and is
/// written with CR LF line ends; LF-only files read as well.
/// Nothing is cached: every call opens the file, reads or writes it, and closes it again.
/// Anything at the path that is not a regular file of at most kMaxSize bytes (a pipe, a device,
/// a huge file) reads as a missing file and refuses every write, untouched.
///
/// Section and key names are given without surrounding blanks or line breaks; a section name
/// holds no ']', a key no '=', and neither starts with '[' or ';'.
class ProfileFile
{
  public:
    /// A method file is a few hundred bytes; more than this is not one.
    static constexpr qint64 kMaxSize = 1024 * 1024;

    explicit ProfileFile(const QString &path);

    const QString &path() const { return m_path; }
    /// True when a file is there but holds more than kMaxSize bytes.
    bool isOversized() const;

    /// The value of the key, or defaultValue when the file, section or key is missing.
    /// Never creates the file.
    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    /// The value as a decimal or "0x" hexadecimal 32-bit integer; defaultValue for a missing key
    /// and for anything else.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;

    /// A value cannot span lines: its CR and LF characters are written as blanks, so that a value
    /// can never add sections or keys of its own. Throws MethodError "Unable to write to <path>"
    /// when the file cannot be read back or written, is not a regular file, is a symbolic link
    /// (read through, never written through), or carries no write permission for its owner (the
    /// read-only mark, which even an administrator's write respects). A failed write leaves the
    /// file as it was.
    void writeString(const QString &section, const QString &key, const QString &value) const;
    void writeInteger(const QString &section, const QString &key, int value) const;

  private:
    QString m_path;
};
