#include "app/platform/child_process.h"

#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace childprocess {

void endWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

bool isRunning(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool ownedByThisUser(const QFileInfo &file)
{
    return file.ownerId() == ::getuid();
}

} // namespace childprocess
