#include "app/platform/child_process.h"

#include <QFileInfo>

#include <windows.h>

namespace childprocess {

// The simulator does not run on Windows, so there is no child to tie.
void endWithParent(QProcess &) {}

bool isRunning(qint64 pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

// The temporary folder is the user's own on Windows.
bool ownedByThisUser(const QFileInfo &) { return true; }

} // namespace childprocess
