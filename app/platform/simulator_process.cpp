#include "app/platform/simulator_process.h"

#include "app/platform/child_process.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

constexpr int startMs = 10000;
constexpr int stopMs = 3000;
const QString programName = QStringLiteral("korvane-sim");
const QString folderPrefix = QStringLiteral("Korvane-");
const QString portName = QStringLiteral("COM1");

} // namespace

SimulatorProcess::SimulatorProcess(QStringList extraArguments) : m_extraArguments(std::move(extraArguments))
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    childprocess::endWithParent(m_process);
}

SimulatorProcess::~SimulatorProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(stopMs)) {
        m_process.kill();
        m_process.waitForFinished(stopMs);
    }
}

QString SimulatorProcess::findProgram()
{
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString &candidate : {here.filePath(programName), here.filePath("../tools/" + programName)}) {
        if (QFileInfo(candidate).isExecutable())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return QStandardPaths::findExecutable(programName);
}

bool SimulatorProcess::start(const QString &program, QString *error)
{
    if (program.isEmpty()) {
        *error = programName + " not found";
        return false;
    }
    m_folder.emplace(
        QDir::temp().filePath(folderPrefix + QString::number(QCoreApplication::applicationPid()) + "-XXXXXX"));
    if (!m_folder->isValid()) {
        *error = m_folder->errorString();
        m_folder.reset();
        return false;
    }
    m_process.start(program, QStringList{"--link", portPath()} + m_extraArguments);
    // The simulator prints its port's path once the port is published.
    const QDeadlineTimer deadline(startMs);
    bool waiting = true;
    while (waiting && !m_process.canReadLine())
        waiting = m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    if (!m_process.canReadLine() || !QFileInfo(portPath()).isSymLink()) {
        *error = m_process.state() == QProcess::NotRunning && m_process.error() != QProcess::FailedToStart
                     ? programName + " ended with exit code " + QString::number(m_process.exitCode())
                     : m_process.errorString();
        m_process.kill();
        m_process.waitForFinished(stopMs);
        return false;
    }
    m_process.readLine();
    return true;
}

bool SimulatorProcess::startAsCom1(QString *error)
{
    // A demonstration may want the instrument faster than life.
    const QString speed = qEnvironmentVariable("KORVANE_SIM_SPEED");
    if (!speed.isEmpty())
        m_extraArguments << QStringLiteral("--speed") << speed;
    if (!start(findProgram(), error))
        return false;
    qputenv("KORVANE_COM1", QFile::encodeName(portPath()));
    return true;
}

QString SimulatorProcess::portPath() const
{
    return m_folder ? m_folder->filePath(portName) : QString();
}

void SimulatorProcess::removeStaleFolders()
{
    static const QRegularExpression name("^" + folderPrefix + "([0-9]+)-[^-]+$");
    QDir temp = QDir::temp();
    for (const QFileInfo &folder : temp.entryInfoList({folderPrefix + "*"}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = name.match(folder.fileName());
        if (!match.hasMatch() || !childprocess::ownedByThisUser(folder) ||
            childprocess::isRunning(match.captured(1).toLongLong()))
            continue;
        // A simulator killed along with the program leaves its link; anything else keeps the folder.
        const QDir left(folder.filePath());
        if (QFileInfo(left.filePath(portName)).isSymLink())
            QFile::remove(left.filePath(portName));
        temp.rmdir(folder.fileName());
    }
}
