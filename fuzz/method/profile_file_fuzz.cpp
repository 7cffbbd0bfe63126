// Random files, then random writes into them: every value reads back as written (one line,
// trimmed, unquoted), every line the writes did not replace stays in its order, and the file
// keeps CR LF.
#include "common/cp1252.h"
#include "method/method_error.h"
#include "method/profile_file.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QTemporaryDir>

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Every write syncs the file; a memory file system keeps that cheap.
const QString &filePath()
{
    static QTemporaryDir dir(QDir("/dev/shm").exists() ? "/dev/shm/fuzz_profile_file-XXXXXX"
                                                       : QDir::tempPath() + "/fuzz_profile_file-XXXXXX");
    static const QString path = dir.filePath("method.ini");
    return path;
}

// A few letters in both cases, so that writes meet each other and the file's own names.
QString nameFrom(FuzzedDataProvider &data)
{
    static constexpr char kLetters[] = {'a', 'A', 'b', 'B', ' ', '1', '\xFC', '\xDC'};
    QByteArray bytes;
    for (int i = data.ConsumeIntegralInRange(1, 3); i > 0; --i)
        bytes += data.PickValueInArray(kLetters);
    bytes = bytes.trimmed();
    return cp1252::decode(bytes.isEmpty() ? QByteArray("a") : bytes);
}

// Reading drops one pair of matching quotes around a value, as Windows does.
QByteArray unquoted(const QByteArray &value)
{
    const bool quoted =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    return quoted ? value.mid(1, value.size() - 2) : value;
}

QList<QByteArray> linesOf(QByteArray bytes)
{
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    QList<QByteArray> lines = bytes.isEmpty() ? QList<QByteArray>() : bytes.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    check(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

bool writtenKey(const QByteArray &line, const QHash<QString, QString> &keys)
{
    const qsizetype equals = line.indexOf('=');
    return equals >= 0 && keys.contains(cp1252::decode(line.left(equals).trimmed()).toCaseFolded());
}

/// The old lines that no write replaced are still there, in their order.
bool keepsOtherLines(const QList<QByteArray> &before, const QList<QByteArray> &after,
                     const QHash<QString, QString> &keys)
{
    qsizetype next = 0;
    for (const QByteArray &line : before) {
        if (writtenKey(line, keys))
            continue;
        while (next < after.size() && after[next] != line)
            ++next;
        if (next++ == after.size())
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const QString &path = filePath();
    const QByteArray original = QByteArray::fromStdString(data.ConsumeRandomLengthString(512));
    QFile::remove(path);
    QFile file(path);
    check(file.open(QIODevice::WriteOnly) && file.write(original) == original.size());
    file.close();

    const ProfileFile profile(path);
    QHash<QString, QString> keys; // folded key -> a spelling, for the line check
    QHash<QPair<QString, QString>, QString> expected;
    for (int writes = 0; writes < 16 && data.remaining_bytes() > 0; ++writes) {
        const QString section = nameFrom(data);
        const QString key = nameFrom(data);
        QString value;
        try {
            if (data.ConsumeBool()) {
                const int number = data.ConsumeIntegral<int>();
                profile.writeInteger(section, key, number);
                check(profile.readInteger(section, key, number ^ 1) == number);
                value = QString::number(number);
            } else {
                QByteArray raw = QByteArray::fromStdString(data.ConsumeRandomLengthString(24));
                profile.writeString(section, key, cp1252::decode(raw));
                value = cp1252::decode(unquoted(raw.replace('\r', ' ').replace('\n', ' ').trimmed()));
            }
        } catch (const MethodError &) {
            check(false);
        }
        keys.insert(key.toCaseFolded(), key);
        expected.insert({section.toCaseFolded(), key.toCaseFolded()}, value);
    }

    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        check(profile.readString(it.key().first, it.key().second, "\n") == it.value());
    if (expected.isEmpty())
        return 0;
    const QByteArray written = readAll(path);
    check(written.count('\n') == written.count("\r\n"));
    check(keepsOtherLines(linesOf(original), linesOf(written), keys));
    return 0;
}
