#include "journal/lab_server_settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QSysInfo>

QString LabServerSettings::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("lab-server.ini"));
}

LabServerSettings LabServerSettings::load(const QString &path)
{
    const QSettings file(path, QSettings::IniFormat);
    LabServerSettings settings;
    settings.enabled = file.value(QStringLiteral("server/enabled"), false).toBool();
    settings.host = file.value(QStringLiteral("server/host")).toString();
    settings.port = file.value(QStringLiteral("server/port"), settings.port).toInt();
    settings.database = file.value(QStringLiteral("server/database")).toString();
    settings.user = file.value(QStringLiteral("server/user")).toString();
    settings.bench = file.value(QStringLiteral("bench/name")).toString();
    return settings;
}

QString LabServerSettings::save(const QString &path) const
{
    QSettings file(path, QSettings::IniFormat);
    // Only the keys below: a file edited by hand loses anything else, a password included.
    file.clear();
    file.setValue(QStringLiteral("server/enabled"), enabled);
    file.setValue(QStringLiteral("server/host"), host);
    file.setValue(QStringLiteral("server/port"), port);
    file.setValue(QStringLiteral("server/database"), database);
    file.setValue(QStringLiteral("server/user"), user);
    file.setValue(QStringLiteral("bench/name"), bench);
    file.sync();
    if (file.status() == QSettings::NoError)
        return {};
    return QStringLiteral("The lab server settings could not be written to %1.").arg(QDir::toNativeSeparators(path));
}

QString LabServerSettings::benchName() const
{
    return bench.trimmed().isEmpty() ? QSysInfo::machineHostName() : bench.trimmed();
}

QString LabServerSettings::incomplete() const
{
    if (host.trimmed().isEmpty() || database.trimmed().isEmpty())
        return QStringLiteral("Name the server's host and database, or choose \"Use the local journal\".");
    return {};
}

PostgresJournalSettings LabServerSettings::connection() const
{
    return {host.trimmed(), port, database.trimmed(), user.trimmed(), ConnectTimeoutSeconds};
}
