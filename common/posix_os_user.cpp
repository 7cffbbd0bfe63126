#include "common/os_user.h"

#include <pwd.h>
#include <unistd.h>

QString osUser()
{
    const QString user = qEnvironmentVariable("USER");
    if (!user.isEmpty())
        return user;
    const passwd *account = getpwuid(getuid());
    return account ? QString::fromLocal8Bit(account->pw_name) : QString();
}
