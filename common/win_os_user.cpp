#include "common/os_user.h"

#include <windows.h>

QString osUser()
{
    const QString user = qEnvironmentVariable("USERNAME");
    if (!user.isEmpty())
        return user;
    wchar_t name[257] = {};
    DWORD size = sizeof name / sizeof name[0];
    return GetUserNameW(name, &size) ? QString::fromWCharArray(name) : QString();
}
