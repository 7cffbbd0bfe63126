#pragma once

#include "journal/postgres_journal_connection.h"

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

/// A server of the test's own, so stopping it disturbs no other test. The test program defines
/// JOURNAL_TEST_SERVER_SCRIPT as the path of scripts/journal-test-server.sh.
class OwnServer
{
  public:
    OwnServer() { m_dir = run({"start"}).trimmed(); }
    ~OwnServer() { run({"stop", m_dir}); }
    void halt() { run({"halt", m_dir}); }
    void resume() { run({"resume", m_dir}); }
    PostgresJournalSettings settings() const { return {m_dir, 5432, QStringLiteral("postgres"), QStringLiteral("korvane_owner"), 2}; }

  private:
    static QString run(const QStringList &arguments)
    {
        QProcess script;
        script.start(QStringLiteral("bash"), QStringList{JOURNAL_TEST_SERVER_SCRIPT} + arguments);
        script.waitForFinished(120'000);
        EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
        return QString::fromLocal8Bit(script.readAllStandardOutput());
    }

    QString m_dir;
};
