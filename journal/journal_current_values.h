#pragma once

#include "journal/journal_amendment.h"
#include "journal/journal_entry.h"

#include <QList>
#include <QString>
#include <QStringList>

/// A signature as the entry shows it.
struct JournalSignatureState
{
    QString meaning;
    QString user;
    QDateTime time;
    QString comment;
    bool coversCurrent = false; ///< false once the entry was edited or re-evaluated after signing
};

/// The values of an entry after its amendments, in the order they were written. The entry's hash
/// is that of its newest row that changed a value; signatures do not change it, so an approval
/// after a review leaves the review valid.
class JournalCurrentValues
{
  public:
    JournalCurrentValues() = default;
    JournalCurrentValues(const JournalEntry &entry, const QString &entrySha256);

    void apply(const JournalAmendment &amendment, const QString &rowSha256);

    double sampleWeight = 0.0;
    QString sampleId;
    QList<EquivalencePoint> equivalencePoints;
    JournalEntry::State state = JournalEntry::State::Complete;
    bool invalidated = false;
    QString invalidationReason;
    QStringList notes;
    QString sha256; ///< what a signature made now would be bound to
    QList<JournalSignatureState> signatures;

  private:
    void edited(const QString &rowSha256);
    void changed(const QString &rowSha256);
};
