#include "results/result_record.h"

#include "common/cp1252.h"
#include "method/method_folder.h"

#include <algorithm>

QString ResultRecord::sourceName() const
{
    if (journal)
        return QStringLiteral("journal entry %1").arg(journal->uuid);
    return recordNo > 0 ? QStringLiteral("data record %1").arg(recordNo) : QStringLiteral("data selected by hand");
}

QString ResultRecord::defaultFileName(const QString &suffix) const
{
    QString source = recordNo > 0 ? QStringLiteral("record %1").arg(recordNo) : QStringLiteral("selection");
    if (journal)
        source = QStringLiteral("journal entry %1").arg(journal->uuid.left(8));
    return QStringLiteral("Titration %1 %2.%3")
        .arg(made.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")), source, suffix);
}

QStringList ResultRecord::marks() const
{
    QStringList marks;
    if (aborted())
        marks.append(QStringLiteral("Aborted"));
    if (edited())
        marks.append(QStringLiteral("Edited after reception"));
    if (journal)
        marks += journal->marks;
    return marks;
}

QList<QStringList> ResultRecord::resultRows() const
{
    const bool ph = unit == SignalUnit::pH;
    QList<QStringList> rows{{QStringLiteral("EQP"), QStringLiteral("Volume/ml"),
                             ph ? QStringLiteral("Signal/pH") : QStringLiteral("Signal/mV")}};
    for (qsizetype i = 0; i < points.size(); ++i)
        rows.append({QString::number(i + 1), QString::number(points[i].volume, 'f', 3),
                     QString::number(points[i].signal, 'f', ph ? 2 : 1)});
    if (points.isEmpty())
        rows.append({QStringLiteral("No clear equivalence point")});
    rows.append(QStringList());
    if (journal)
        rows += journalRows();
    else
        rows.append({QStringLiteral("Data record"),
                     recordNo > 0 ? QString::number(recordNo) : QStringLiteral("selected by hand")});
    rows += sampleRows();
    if (!method.isEmpty())
        rows.append({QStringLiteral("Method"), method});
    if (!marks().isEmpty())
        rows.append({QStringLiteral("State"), marks().join(QStringLiteral(", "))});
    if (received) {
        rows.append({QStringLiteral("First byte received"), received->firstByte.toString(Qt::ISODate)});
        rows.append({QStringLiteral("Last byte received"), received->lastByte.toString(Qt::ISODate)});
        rows.append({QStringLiteral("SHA-256 of the received record"), received->sha256()});
    }
    if (!edits.isEmpty()) {
        rows.append(QStringList());
        rows.append({QStringLiteral("Changed cell"), QStringLiteral("Row"), QStringLiteral("Column"),
                     QStringLiteral("Received"), QStringLiteral("Shown")});
        for (const CellEdit &edit : edits)
            rows.append(
                {QString(), QString::number(edit.row), table.value(0).value(edit.column), edit.received, edit.shown});
    }
    if (received && !received->resultsBlock().trimmed().isEmpty()) {
        rows.append(QStringList());
        rows.append({QStringLiteral("Titrator's results")});
        for (const QString &line : titratorResultLines())
            rows.append({line});
    }
    return rows;
}

QList<QStringList> ResultRecord::sampleRows() const
{
    if (!run)
        return {};
    QList<QStringList> rows;
    // A field the user left empty was not sent, and is not shown.
    if (!run->entry.weight.isEmpty())
        rows.append({QStringLiteral("Sample weight/g"), run->entry.weight});
    if (!run->entry.identification.isEmpty())
        rows.append({QStringLiteral("Identification"), run->entry.identification});
    rows.append({QStringLiteral("Titration started"), run->started.toString(Qt::ISODate)});
    return rows;
}

QList<QStringList> ResultRecord::journalRows() const
{
    if (!journal)
        return {};
    QList<QStringList> rows{{QStringLiteral("Journal entry"), journal->uuid}};
    for (const QString &note : journal->notes)
        rows.append({QStringLiteral("Note"), note});
    for (const QString &signature : journal->signatures)
        rows.append({QStringLiteral("Signature"), signature});
    return rows;
}

QStringList ResultRecord::titratorResultLines() const
{
    if (!received)
        return {};
    QStringList lines = cp1252::decode(received->resultsBlock()).split(QLatin1Char('\n'));
    for (QString &line : lines)
        line.remove(QLatin1Char('\r'));
    while (!lines.isEmpty() && lines.constFirst().trimmed().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
        lines.removeLast();
    return lines;
}

QList<CellEdit> cellEdits(const QList<QStringList> &received, const QList<QStringList> &shown)
{
    QList<CellEdit> edits;
    const qsizetype rows = std::max(received.size(), shown.size());
    for (qsizetype row = 1; row < rows; ++row) {
        const QStringList before = received.value(row);
        const QStringList now = shown.value(row);
        for (qsizetype column = 0; column < std::max(before.size(), now.size()); ++column)
            if (before.value(column) != now.value(column))
                edits.append({int(row), int(column), before.value(column), now.value(column)});
    }
    return edits;
}

QString methodDescription(const MethodFolder &folder)
{
    const int slot = folder.rememberedSlot();
    if (slot < 0)
        return {};
    return methodDescription(folder.slotName(slot), slot);
}

QString methodDescription(const QString &slotName, int slot)
{
    return slotName == MethodFolder::freeSlotName(slot) ? QStringLiteral("slot %1").arg(slot)
                                                        : QStringLiteral("%1 (slot %2)").arg(slotName).arg(slot);
}
