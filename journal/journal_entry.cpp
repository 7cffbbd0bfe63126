#include "journal/journal_entry.h"

QString JournalEntry::resultLineOf(const QString &resultsBlock)
{
    for (const QString &line : resultsBlock.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            return line.trimmed();
    }
    return {};
}
