#include "method/profile_file.h"

#include "common/cp1252.h"
#include "common/file_save.h"
#include "common/regular_file_reader.h"
#include "method/method_error.h"

#include <QFileInfo>
#include <QList>

#include <charconv>
#include <cstdint>
#include <optional>

namespace {

struct Entry
{
    QByteArray key;
    QByteArray value;
};

/// Where a key is, or would go, in the lines of a file: the first section of that name and the
/// first entry of that key in it, as Windows looks them up.
struct Location
{
    qsizetype section = -1;
    qsizetype entry = -1;
    qsizetype append = -1; ///< after the last non-blank line of the section
};

std::optional<QByteArray> sectionName(const QByteArray &line)
{
    const QByteArray text = line.trimmed();
    const qsizetype close = text.indexOf(']');
    if (!text.startsWith('[') || close < 0)
        return std::nullopt;
    return text.mid(1, close - 1).trimmed();
}

std::optional<Entry> entryOf(const QByteArray &line)
{
    const QByteArray text = line.trimmed();
    const qsizetype equals = text.indexOf('=');
    if (equals <= 0 || text.startsWith('[') || text.startsWith(';'))
        return std::nullopt;
    return Entry{text.left(equals).trimmed(), text.mid(equals + 1).trimmed()};
}

bool sameName(const QByteArray &stored, const QString &name)
{
    return cp1252::decode(stored).compare(name, Qt::CaseInsensitive) == 0;
}

/// The lines without their line ends; empty for a missing file, nothing for anything else that
/// is not a readable regular file of at most kMaxSize bytes.
std::optional<QList<QByteArray>> readLines(const QString &path)
{
    const RegularFileReader::Result file = RegularFileReader::read(path, ProfileFile::kMaxSize);
    if (file.status != RegularFileReader::Status::Read && file.status != RegularFileReader::Status::Missing)
        return std::nullopt;
    QByteArray bytes = file.bytes;
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    if (bytes.isEmpty())
        return QList<QByteArray>();
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

Location locate(const QList<QByteArray> &lines, const QString &section, const QString &key)
{
    Location at;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (at.section >= 0)
                break;
            if (sameName(*name, section)) {
                at.section = i;
                at.append = i + 1;
            }
            continue;
        }
        if (at.section < 0)
            continue;
        if (!lines[i].trimmed().isEmpty())
            at.append = i + 1;
        if (const auto entry = entryOf(lines[i]); entry && sameName(entry->key, key)) {
            at.entry = i;
            break;
        }
    }
    return at;
}

/// Windows drops one pair of matching quotes around a value it reads, so a file keeps the same
/// values on both systems.
QByteArray unquoted(const QByteArray &value)
{
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return quoted ? value.mid(1, value.size() - 2) : value;
}

std::optional<QByteArray> findValue(const QString &path, const QString &section, const QString &key)
{
    const auto lines = readLines(path);
    if (!lines)
        return std::nullopt;
    const Location at = locate(*lines, section, key);
    if (at.entry < 0)
        return std::nullopt;
    return unquoted(entryOf((*lines)[at.entry])->value);
}

std::optional<int> parseInteger(const QByteArray &text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const bool plus = !hex && text.startsWith('+') && !text.startsWith("+-");
    const char *first = text.constData() + (hex ? 2 : (plus ? 1 : 0));
    const char *last = text.constData() + text.size();
    // Hexadecimal is a bit pattern: 0xFFFFFFFF is -1.
    std::uint32_t bits = 0;
    int value = 0;
    const auto result = hex ? std::from_chars(first, last, bits, 16) : std::from_chars(first, last, value);
    if (result.ec != std::errc() || result.ptr != last)
        return std::nullopt;
    return hex ? static_cast<int>(bits) : value;
}

[[noreturn]] void refuseWrite(const QString &path)
{
    throw MethodError(QStringLiteral("Unable to write to %1").arg(path));
}

void writeLines(const QString &path, const QList<QByteArray> &lines)
{
    const QFileInfo info(path);
    // A link planted in the method folder would have the save rewrite a file elsewhere.
    if (info.isSymLink() || (info.exists() && !(info.permissions() & QFileDevice::WriteOwner)))
        refuseWrite(path);
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    FileSave file(path);
    // Like Windows, still write a file whose folder takes no new files.
    file.setDirectWriteFallback(true);
    if (file.write(bytes) != FileSave::Status::Saved)
        refuseWrite(path);
}

QByteArray singleLine(const QString &value)
{
    QByteArray bytes = cp1252::encode(value);
    bytes.replace('\r', ' ').replace('\n', ' ');
    return bytes;
}

} // namespace

ProfileFile::ProfileFile(const QString &path) : m_path(path) {}

bool ProfileFile::isOversized() const
{
    const QFileInfo info(m_path);
    return info.isFile() && info.size() > kMaxSize;
}

QString ProfileFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const auto value = findValue(m_path, section, key);
    return value ? cp1252::decode(*value) : defaultValue;
}

int ProfileFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const auto value = findValue(m_path, section, key);
    return value ? parseInteger(*value).value_or(defaultValue) : defaultValue;
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value) const
{
    auto lines = readLines(m_path);
    if (!lines)
        refuseWrite(m_path);
    const QByteArray bytes = singleLine(value);
    const Location at = locate(*lines, section, key);
    if (at.entry >= 0) {
        // The file keeps its own spelling of the key.
        (*lines)[at.entry] = entryOf((*lines)[at.entry])->key + '=' + bytes;
    } else if (at.section >= 0) {
        lines->insert(at.append, cp1252::encode(key) + '=' + bytes);
    } else {
        lines->append('[' + cp1252::encode(section) + ']');
        lines->append(cp1252::encode(key) + '=' + bytes);
    }
    writeLines(m_path, *lines);
}

void ProfileFile::writeInteger(const QString &section, const QString &key, int value) const
{
    writeString(section, key, QString::number(value));
}
