#include "journal/journal.h"
#include "journal/journal_schema.h"
#include "journal/lab_server_check.h"
#include "journal/lab_server_settings.h"

#include "tests/journal/journal_samples.h"
#include "tests/journal/postgres_test_backend.h"
#include "tests/support/test_application_environment.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// What the dialog saves comes back; a password is never in the file, neither one typed into it
// by hand nor the one libpq takes from the environment.
TEST(LabServerSettings, RoundTripsAndNeverKeepsAPassword)
{
    ensureTestApplication<QCoreApplication>();
    QTemporaryDir dir;
    const QString path = dir.filePath("config/Korvane/lab-server.ini");
    EXPECT_FALSE(LabServerSettings::load(path).enabled) << "no file: the bench's own journal";
    EXPECT_EQ(LabServerSettings::load(path).benchName(), QSysInfo::machineHostName());

    ASSERT_TRUE(QDir().mkpath(dir.filePath("config/Korvane")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[server]\nhost=old\npassword=typed-by-hand\n");
    file.close();
    qputenv("PGPASSWORD", "from-the-environment");
    const LabServerSettings settings{true, "lab-db.example", 5433, "journal", "bench_a", "Bench 2"};
    EXPECT_EQ(settings.save(path), QString());
    qunsetenv("PGPASSWORD");

    const LabServerSettings read = LabServerSettings::load(path);
    EXPECT_TRUE(read.enabled);
    EXPECT_EQ(read.host, "lab-db.example");
    EXPECT_EQ(read.port, 5433);
    EXPECT_EQ(read.database, "journal");
    EXPECT_EQ(read.user, "bench_a");
    EXPECT_EQ(read.benchName(), "Bench 2");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll().toLower();
    EXPECT_FALSE(written.contains("password")) << written.toStdString();
    EXPECT_FALSE(written.contains("typed-by-hand") || written.contains("from-the-environment"));
}

// "Test connection": the server's reason when it cannot be reached, and else whether the journal
// is there, may be created by this user, or which of Korvane's scripts its owner must run.
TEST(LabServerCheck, TellsWhetherTheJournalIsThereOrWhoMustCreateIt)
{
    ensureTestApplication<QCoreApplication>();
    if (!PostgresTestBackend::available())
        GTEST_SKIP() << PostgresTestBackend::SkipMessage;
    PostgresTestBackend backend;
    QTemporaryDir noServer;

    const LabServerCheck away = LabServerCheck::run({noServer.path(), 5432, "journal", "bench_a", 2});
    EXPECT_FALSE(away.connected);
    EXPECT_TRUE(away.text.startsWith("Not connected: ") && away.text.contains(noServer.path())) << away.text.toStdString();

    const PostgresJournalSettings bench = backend.settings(QStringLiteral("bench_a"));
    const LabServerCheck benchBefore = LabServerCheck::run(bench);
    EXPECT_TRUE(benchBefore.connected);
    EXPECT_EQ(benchBefore.text, QStringLiteral("Connected. The journal is not there yet and this user may not create it. "
                                               "The database owner runs, in Korvane's sources:\n"
                                               "psql -d %1 -f journal/sql/postgres/001.sql\n"
                                               "psql -d %1 -f journal/sql/postgres/002.sql")
                                    .arg(bench.database));
    EXPECT_EQ(LabServerCheck::run(backend.settings()).text,
              "Connected. The journal is not there yet; Korvane creates it with the first entry.");

    // The owner runs the scripts named, as told; the bench then finds the journal and writes to it.
    const QString sources = QFileInfo(QStringLiteral(JOURNAL_TEST_SERVER_SCRIPT)).absolutePath() + "/../";
    for (const QString &file : JournalSchema(QStringLiteral("postgres")).sourceFilesAfter(0)) {
        QProcess psql;
        psql.start("psql", {"-h", bench.host, "-U", "korvane_owner", "-d", bench.database, "-q", "-v",
                            "ON_ERROR_STOP=1", "-f", sources + file});
        ASSERT_TRUE(psql.waitForFinished(60'000));
        ASSERT_EQ(psql.exitCode(), 0) << psql.readAllStandardError().toStdString();
    }
    EXPECT_EQ(LabServerCheck::run(bench).text, "Connected. The journal is there.");
    Journal journal(std::make_unique<PostgresJournalConnection>(bench));
    ASSERT_TRUE(journal.open().ok());
    EXPECT_TRUE(journal.append(sampleEntry(1)).ok());
}

} // namespace
