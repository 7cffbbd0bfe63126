#pragma once

#include <QtGlobal>

class QFileInfo;
class QProcess;

/// What the simulator's process handling asks of the operating system.
namespace childprocess {

/// Has the system end the child, once started, when this program dies without cleaning up.
void endWithParent(QProcess &process);
/// Whether a process with this id is still there.
bool isRunning(qint64 pid);
/// Whether a file was made by this user, so a stale one may be removed.
bool ownedByThisUser(const QFileInfo &file);

} // namespace childprocess
