#include "journal/journal_current_values.h"

JournalCurrentValues::JournalCurrentValues(const JournalEntry &entry, const QString &entrySha256)
    : sampleWeight(entry.sampleWeight), sampleId(entry.sampleId), equivalencePoints(entry.equivalencePoints),
      state(entry.state), sha256(entrySha256)
{
}

void JournalCurrentValues::apply(const JournalAmendment &amendment, const QString &rowSha256)
{
    switch (amendment.kind) {
    case JournalAmendment::Kind::Edit:
        if (amendment.sampleWeight)
            sampleWeight = *amendment.sampleWeight;
        if (amendment.sampleId)
            sampleId = *amendment.sampleId;
        if (!amendment.note.isEmpty())
            notes.append(amendment.note);
        // A note alone says something about the entry but changes none of its values.
        if (amendment.sampleWeight || amendment.sampleId)
            edited(rowSha256);
        break;
    case JournalAmendment::Kind::Reevaluation:
        equivalencePoints = amendment.equivalencePoints;
        edited(rowSha256);
        break;
    case JournalAmendment::Kind::Signature:
        signatures.append({amendment.meaning, amendment.user, amendment.time, amendment.comment,
                           amendment.coversSha256 == sha256});
        break;
    case JournalAmendment::Kind::Invalidation:
        invalidated = true;
        invalidationReason = amendment.note;
        changed(rowSha256);
        break;
    }
}

void JournalCurrentValues::edited(const QString &rowSha256)
{
    // An aborted or rebuilt run stays marked so: that says more about the values than an edit does.
    if (state == JournalEntry::State::Complete)
        state = JournalEntry::State::Edited;
    changed(rowSha256);
}

void JournalCurrentValues::changed(const QString &rowSha256)
{
    sha256 = rowSha256;
    for (JournalSignatureState &signature : signatures)
        signature.coversCurrent = false;
}
