// Appends entries of one bench to a lab journal server, as one Korvane process on a bench does:
//   journal_test_writer <socket folder> <database> <user> <bench> <count>
#include "journal/journal.h"
#include "journal/postgres_journal_connection.h"

#include "tests/journal/journal_samples.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 6)
        return 2;
    Journal journal(std::make_unique<PostgresJournalConnection>(
        PostgresJournalSettings{arguments[1], 5432, arguments[2], arguments[3], 5}));
    if (const JournalStatus status = journal.open(); !status.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(status.message));
        return 1;
    }
    const QDateTime first(QDate(2024, 1, 1), QTime(6, 0), Qt::UTC);
    for (int number = 0; number < arguments[5].toInt(); ++number) {
        JournalEntry entry = sampleEntry(number, first.addSecs(number * 60));
        entry.bench = arguments[4];
        if (const JournalStatus status = journal.append(entry); !status.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(status.message));
            return 1;
        }
    }
    return 0;
}
