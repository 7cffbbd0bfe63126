#include "serial/platform/win_comm_driver.h"

#include "serial/platform/win_comm_device.h"
#include "serial/port_open_failure.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>
#include <windows.h>

namespace {

constexpr int MaxComNumber = 256;
// The list of all device names grows with the devices; this only bounds a broken answer.
constexpr size_t MaxQueryChars = size_t{1} << 24;

QString devicePrefix()
{
    return QStringLiteral("\\\\.\\");
}

/// n for "COMn" within the range that can be opened, else 0.
int comNumber(const QString &name)
{
    const QString digits = name.mid(3);
    const auto isDigit = [](QChar c) { return c.isDigit(); };
    if (!name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) || digits.startsWith(QLatin1Char('0')) ||
        !std::all_of(digits.cbegin(), digits.cend(), isDigit))
        return 0;
    const int number = digits.toInt();
    return number <= MaxComNumber ? number : 0;
}

/// The DOS device name a port name stands for; empty when it is neither form.
QString dosName(const QString &name)
{
    if (name.startsWith(devicePrefix()))
        return name.mid(devicePrefix().size());
    const int number = comNumber(name);
    return number ? QStringLiteral("COM%1").arg(number) : QString();
}

QStringList splitNulSeparated(const wchar_t *text, DWORD length)
{
    QStringList strings;
    const wchar_t *end = text + length;
    while (text < end && *text) {
        const wchar_t *stop = std::find(text, end, L'\0');
        strings.append(QString::fromWCharArray(text, stop - text));
        text = stop + 1;
    }
    return strings;
}

/// What QueryDosDevice gives for name: its targets, or every device name when name is empty.
QStringList queryDosDevice(const QString &name)
{
    const std::wstring wide = name.toStdWString();
    std::vector<wchar_t> buffer(name.isEmpty() ? 65536 : MAX_PATH);
    for (;;) {
        const DWORD length =
            QueryDosDeviceW(name.isEmpty() ? nullptr : wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length != 0)
            return splitNulSeparated(buffer.data(), length);
        const DWORD error = GetLastError();
        if ((error != ERROR_INSUFFICIENT_BUFFER && error != ERROR_MORE_DATA) || buffer.size() >= MaxQueryChars)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

/// The errno whose message fits a failed open; 0 when none does.
int errnoOf(uint32_t error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    // Windows answers so for a port that another program holds.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EBUSY;
    // What open() gives for a device that takes no comm requests.
    case ERROR_BAD_COMMAND:
        return ENOTTY;
    default:
        return 0;
    }
}

/// The system's own words for error, without the closing full stop.
QString systemText(uint32_t error)
{
    wchar_t *text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString message = QString::fromWCharArray(text, static_cast<int>(length)).trimmed();
    LocalFree(text);
    while (message.endsWith(QLatin1Char('.')))
        message.chop(1);
    return message.isEmpty() ? QStringLiteral("system error %1").arg(error)
                             : QStringLiteral("%1 (error %2)").arg(message).arg(error);
}

} // namespace

QString WinCommDriver::devicePath(const QString &name)
{
    if (name.startsWith(devicePrefix()))
        return name;
    const int number = comNumber(name);
    return number ? devicePrefix() + QStringLiteral("COM%1").arg(number) : QString();
}

std::shared_ptr<CommDevice> WinCommDriver::open(const QString &name, uint32_t &error)
{
    const QString path = devicePath(name);
    if (path.isEmpty()) {
        error = fail(comm::ErrorFileNotFound);
        return nullptr;
    }
    HANDLE handle = CreateFileW(path.toStdWString().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = fail(GetLastError());
        return nullptr;
    }
    // A \\.\ path may name any device; only a comm device gets settings and data.
    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!GetCommState(handle, &settings)) {
        // Whatever code the device answers with, the point is that it takes no comm requests.
        error = fail(comm::ErrorBadCommand);
        CloseHandle(handle);
        return nullptr;
    }
    auto device = WinCommDevice::take(handle, error);
    if (!device)
        fail(error);
    return device;
}

uint32_t WinCommDriver::fail(uint32_t error)
{
    m_lastError = error;
    return error;
}

QString WinCommDriver::openFailure(const QString &name, uint32_t) const
{
    const uint32_t error = m_lastError;
    const int errorNumber = errnoOf(error);
    // PortOpenFailure speaks errno, whose texts would misread a Win32 code.
    if (errorNumber == 0)
        return QStringLiteral("%1 could not be opened: %2.").arg(name, systemText(error));
    PortOpenFailure failure{name, errorNumber, {}, {}, {}};
    if (errorNumber == ENOENT)
        failure.ports = availablePorts();
    return failure.message();
}

bool WinCommDriver::deviceExists(const QString &name) const
{
    return !deviceIdentity(name).isEmpty();
}

QString WinCommDriver::deviceIdentity(const QString &name) const
{
    const QString dos = dosName(name);
    const QStringList targets = dos.isEmpty() ? QStringList() : queryDosDevice(dos);
    return targets.value(0);
}

QStringList WinCommDriver::availablePorts() const
{
    std::vector<int> numbers;
    for (const QString &name : queryDosDevice(QString()))
        if (const int number = comNumber(name))
            numbers.push_back(number);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    QStringList ports;
    for (int number : numbers)
        ports.append(QStringLiteral("COM%1").arg(number));
    return ports;
}
