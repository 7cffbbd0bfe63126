#pragma once

#include "analysis/equivalence_points.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

/// A row that points at an entry and says something new about it; the entry itself is never
/// changed. Only the fields of its kind are kept.
struct JournalAmendment
{
    enum class Kind
    {
        Edit,         ///< a corrected sample weight or identification, or a note
        Reevaluation, ///< equivalence points found again, with the settings that found them
        Signature,    ///< Review or Approve, bound to the entry's hash at the time of signing
        Invalidation, ///< the entry no longer counts, with the reason
    };

    Kind kind = Kind::Edit;
    QString uuid;      ///< made on the bench, as an entry's
    QString entryUuid;
    QString user;
    QString bench;
    QDateTime time;    ///< set by the journal when left empty

    std::optional<double> sampleWeight; ///< Edit
    std::optional<QString> sampleId;    ///< Edit
    QString note;                       ///< Edit; Invalidation: the reason
    QList<EquivalencePoint> equivalencePoints; ///< Reevaluation
    QString settings;                   ///< Reevaluation: how the points were found
    QString meaning;                    ///< Signature: "Review", "Approve"
    QString comment;                    ///< Signature
    QString coversSha256;               ///< Signature: the entry's hash it signs; set by the journal
};
