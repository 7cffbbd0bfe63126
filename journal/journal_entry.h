#pragma once

#include "analysis/equivalence_points.h"
#include "method/mode_code.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

/// One titration as the journal keeps it: everything the record carried when it was complete
/// or its run was aborted. The journal never changes it; edits are amendments beside it.
struct JournalEntry
{
    enum class State
    {
        Complete,
        Aborted,
        Edited, ///< the record's shown values differed from its received bytes when it was written
        Rebuilt, ///< found again in the capture log; what only the live run knew is missing
    };

    /// Made on the bench (QUuid, without braces), so a retry or a resend never doubles an entry.
    QString uuid;
    QByteArray received;          ///< the record's bytes as the serial intake received them
    QList<QStringList> table;     ///< the parsed measuring table, rows of text cells
    QList<EquivalencePoint> equivalencePoints;
    QString resultsBlock;         ///< the titrator's own results after the table, verbatim
    double sampleWeight = 0.0;
    QString sampleId;
    int methodSlot = 0;
    QString methodName;
    std::array<ModeCode, 12> modeCodes{}; ///< as last uploaded to the slot
    QDateTime runStart;
    QDateTime firstByte;
    QDateTime lastByte;
    QString lineSettings;         ///< port and line settings as text
    QString programVersion;
    QString osUser;
    State state = State::Complete;
    QString bench;                ///< the bench's name; the lab server tells benches apart by it
    QString note;                 ///< where a rebuilt entry came from; empty for a live one

    /// The titrator's result line shown in the list: the first non-blank line of its results.
    QString resultLine() const { return resultLineOf(resultsBlock); }
    static QString resultLineOf(const QString &resultsBlock);
};
