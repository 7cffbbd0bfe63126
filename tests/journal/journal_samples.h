#pragma once

#include "journal/journal_entry.h"

#include <QTimeZone>
#include <QUuid>

/// A titration as a bench writes it: a table of about forty points, results, settings.
inline JournalEntry sampleEntry(int number, const QDateTime &runStart = QDateTime(QDate(2024, 3, 1), QTime(8, 0), Qt::UTC))
{
    JournalEntry entry;
    entry.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QByteArray received = "DL25  TITRATION  data record " + QByteArray::number(number) + "\r\n";
    for (int row = 0; row < 40; ++row) {
        const QString volume = QString::number(row * 0.25, 'f', 3);
        const QString signal = QString::number(4.0 + row * 0.1, 'f', 2);
        entry.table.append({volume, "0.250", signal, "0.10", "0.40"});
        received += (volume + "  0.250  " + signal + "  0.10  0.40\r\n").toLatin1();
    }
    received += "TITRATION END\r\nSample " + QByteArray::number(number) + "\r\nEP1 10.02 ml\r\n";
    entry.received = received;
    entry.equivalencePoints = {{10.02 + number % 7 * 0.01, 7.01}};
    entry.resultsBlock = QStringLiteral("\nEP1  %1 ml  7.01 pH\nContent 99.%2 %\n").arg(entry.equivalencePoints[0].volume).arg(number % 10);
    entry.sampleWeight = 0.25 + number % 5 * 0.001;
    entry.sampleId = QStringLiteral("Sample %1").arg(number);
    entry.methodSlot = number % 12 + 1;
    entry.methodName = QStringLiteral("Method %1").arg(number % 12 + 1);
    for (int group = 0; group < 12; ++group)
        entry.modeCodes[group].digits = {group % 10, 1, 2, 3};
    entry.runStart = runStart;
    entry.firstByte = runStart.addSecs(5);
    entry.lastByte = runStart.addSecs(600);
    entry.lineSettings = QStringLiteral("COM1 2400 7E1 RTS/CTS");
    entry.programVersion = QStringLiteral("0.1");
    entry.osUser = QStringLiteral("anna");
    entry.bench = QStringLiteral("bench-1");
    return entry;
}
