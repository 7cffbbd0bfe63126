#pragma once

// Shared by the table output tests: a GUI application for fonts and printing, and the external
// readers (python3-xlrd, poppler-utils) that check the files as other programs see them.

#include "tests/support/test_application_environment.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace table_output_test {

inline void ensureApplication()
{
    ensureTestApplication<QApplication>();
}

struct ToolResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ToolResult runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    ToolResult result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

/// Debian's interpreter, which has python3-xlrd, rather than whatever python3 comes first on PATH.
inline QString debianPython()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                 : QStringLiteral("python3");
}

} // namespace table_output_test
