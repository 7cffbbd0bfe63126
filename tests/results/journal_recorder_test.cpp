#include "journal/journal.h"
#include "journal/sqlite_journal_connection.h"
#include "results/journal/journal_recorder.h"
#include "results/result_record.h"
#include "tests/journal/own_postgres_server.h"
#include "tests/journal/postgres_test_backend.h"
#include "tests/support/test_application_environment.h"

#include <QApplication>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ResultRecord receivedRecord(const QByteArray &bytes)
{
    auto received = std::make_shared<ReceivedRecord>();
    received->bytes = bytes;
    received->complete = true;
    ResultRecord record;
    record.table = {{"Volume/ml", "Signal/pH"}, {"0.100", "4.01"}};
    record.received = received;
    return record;
}

qint64 entriesIn(const QString &path)
{
    Journal journal(std::make_unique<SqliteJournalConnection>(path));
    return journal.open().ok() ? journal.list({}).rows.size() : -1;
}

// A journal folder that cannot be written (a file stands where it should be, which refuses even
// root, unlike a read-only folder): each record is reported and kept, and once the folder can be
// made the next record brings every kept one in, none doubled.
TEST(JournalRecorder, UnwritableFolderReportsAndKeepsEntriesUntilItCanWrite)
{
    ensureTestApplication<QApplication>();
    QTemporaryDir dir;
    const QString folder = dir.filePath("data");
    const QString path = folder + "/journal.sqlite";
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    JournalRecorder recorder(path);
    EXPECT_FALSE(recorder.record(receivedRecord("first"), "COM1 2400 7E2 open").isEmpty());
    EXPECT_FALSE(recorder.record(receivedRecord("second"), "COM1 2400 7E2 open").isEmpty());
    EXPECT_EQ(recorder.waiting(), 2);

    ASSERT_TRUE(QFile::remove(folder));
    const QString third = recorder.record(receivedRecord("third"), "COM1 2400 7E2 open");
    EXPECT_EQ(third, QString()) << third.toStdString();
    EXPECT_EQ(recorder.waiting(), 0);
    EXPECT_EQ(entriesIn(path), 3);
}

// A damaged journal file is kept aside, told once, and the record goes into a new journal.
TEST(JournalRecorder, DamagedFileIsKeptAsideAndToldOnce)
{
    ensureTestApplication<QApplication>();
    QTemporaryDir dir;
    const QString path = dir.filePath("journal.sqlite");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();

    JournalRecorder recorder(path);
    EXPECT_EQ(recorder.record(receivedRecord("first"), QString()), QString());
    const QString keptAside = recorder.takeKeptAside();
    EXPECT_TRUE(QFile::exists(keptAside)) << keptAside.toStdString();
    EXPECT_EQ(recorder.takeKeptAside(), QString());
    EXPECT_EQ(entriesIn(path), 1);
    // A record without the titrator's results verifies as it was written.
    EXPECT_TRUE(recorder.journal()->verify().intact()) << recorder.journal()->verify().reason.toStdString();
}

// A bench with the lab server set: records and a signature go to the server; while it is stopped
// they wait in the bench's journal with the count in the status text, and the next round after
// it is back sends them, in order, once.
TEST(JournalRecorder, LabServerAwayKeepsRowsOnTheBenchAndSendsThemInOrderOnceBack)
{
    ensureTestApplication<QApplication>();
    if (!PostgresTestBackend::available())
        GTEST_SKIP() << PostgresTestBackend::SkipMessage;
    OwnServer server;
    QTemporaryDir dir;
    JournalRecorder recorder(dir.filePath("journal.sqlite"));
    QStringList states;
    recorder.onServerStateChanged = [&states](const QString &state) { states.append(state); };
    LabServerSettings settings;
    settings.enabled = true;
    settings.host = server.settings().host;
    settings.database = server.settings().database;
    settings.user = server.settings().user;
    settings.bench = QStringLiteral("bench-A");
    recorder.useServer(settings);

    EXPECT_EQ(recorder.record(receivedRecord("first"), QString()), QString());
    const QString first = recorder.journal()->list({}).rows.value(0).uuid;
    server.halt();
    EXPECT_EQ(recorder.record(receivedRecord("second"), QString()), QString());
    EXPECT_EQ(recorder.record(receivedRecord("third"), QString()), QString());
    JournalAmendment approval;
    approval.kind = JournalAmendment::Kind::Signature;
    approval.entryUuid = first;
    approval.meaning = QStringLiteral("Approved");
    EXPECT_TRUE(recorder.amend(approval).ok());
    EXPECT_EQ(recorder.serverState(), QStringLiteral("Lab journal offline - 3 entries waiting"));
    recorder.retry();
    EXPECT_EQ(recorder.serverState(), QStringLiteral("Lab journal offline - 3 entries waiting"));

    server.resume();
    recorder.retry();
    EXPECT_EQ(recorder.serverState(), QString());
    EXPECT_EQ(states, QStringList({"Lab journal offline - 1 entry waiting", "Lab journal offline - 2 entries waiting",
                                   "Lab journal offline - 3 entries waiting", QString()}));

    Journal &lab = *recorder.journal();
    QList<QByteArray> received;
    for (const JournalListRow &row : lab.list({}).rows) {
        received.prepend(lab.load(row.uuid)->entry.received);
        EXPECT_EQ(row.bench, QStringLiteral("bench-A"));
    }
    EXPECT_EQ(received, QList<QByteArray>({"first", "second", "third"}));
    EXPECT_EQ(lab.rowCount(), 4);
    EXPECT_TRUE(lab.load(approval.entryUuid)->current.signatures.value(0).coversCurrent);
    const JournalVerification verification = lab.verify();
    EXPECT_TRUE(verification.intact()) << verification.firstBadSeq << " " << verification.reason.toStdString();
}

// A lab server that takes the connection and then says nothing, as one that hangs: the first
// record waits out the connect timeout once and is kept on the bench; the next one is kept
// without another try, which would stall the window each time. The retry asks first, without
// blocking, whether the server takes connections at all.
TEST(JournalRecorder, AServerThatDoesNotAnswerIsNotTriedAgainForEachRecord)
{
    ensureTestApplication<QApplication>();
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QList<QTcpSocket *> connections;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] { connections.append(silent.nextPendingConnection()); });
    QTemporaryDir dir;
    JournalRecorder recorder(dir.filePath("journal.sqlite"));
    LabServerSettings settings;
    settings.enabled = true;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = silent.serverPort();
    settings.database = settings.user = QStringLiteral("lab");
    recorder.useServer(settings);

    EXPECT_EQ(recorder.record(receivedRecord("first"), QString()), QString());
    EXPECT_EQ(recorder.record(receivedRecord("second"), QString()), QString());
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.serverState(), QStringLiteral("Lab journal offline - 2 entries waiting"));
    EXPECT_EQ(connections.size(), 1);
}

} // namespace
