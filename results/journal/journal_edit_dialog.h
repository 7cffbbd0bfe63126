#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QLineEdit;
struct JournalCurrentValues;

/// What a corrected entry says: its sample weight and identification, and a note on why.
struct JournalEditRequest
{
    double sampleWeight = 0.0;
    QString sampleId;
    QString note;
};

/// Asks for a corrected sample weight, identification and a note, proposing the current values.
class JournalEditDialog : public QDialog
{
    Q_OBJECT

  public:
    JournalEditDialog(const JournalCurrentValues &current, QWidget *parent = nullptr);

    JournalEditRequest request() const;

  private:
    QDoubleSpinBox *m_weight = nullptr;
    QLineEdit *m_sampleId = nullptr;
    QLineEdit *m_note = nullptr;
};
