#include "results/journal/journal_edit_dialog.h"

#include "journal/journal_current_values.h"
#include "results/journal/dialog_buttons.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

JournalEditDialog::JournalEditDialog(const JournalCurrentValues &current, QWidget *parent)
    : QDialog(parent), m_weight(new QDoubleSpinBox), m_sampleId(new QLineEdit(current.sampleId)), m_note(new QLineEdit)
{
    setObjectName(QStringLiteral("JournalEditDialog"));
    setWindowTitle(QStringLiteral("Edit %1").arg(current.sampleId));
    m_weight->setObjectName(QStringLiteral("JournalEditWeight"));
    m_weight->setDecimals(4);
    m_weight->setRange(0.0, 1.0e6);
    m_weight->setSuffix(QStringLiteral(" g"));
    m_weight->setValue(current.sampleWeight);
    m_sampleId->setObjectName(QStringLiteral("JournalEditSample"));
    m_note->setObjectName(QStringLiteral("JournalEditNote"));
    m_note->setPlaceholderText(QStringLiteral("why the values change"));
    QDialogButtonBox *buttons = okCancelButtons(this, QStringLiteral("JournalEdit"));
    auto *layout = new QFormLayout(this);
    auto *explanation = new QLabel(QStringLiteral("The entry stays as it was written; the journal keeps this edit "
                                                  "beside it with your name and the time."));
    explanation->setWordWrap(true);
    layout->addRow(explanation);
    layout->addRow(QStringLiteral("Sample &weight:"), m_weight);
    layout->addRow(QStringLiteral("&Identification:"), m_sampleId);
    layout->addRow(QStringLiteral("&Note:"), m_note);
    layout->addRow(buttons);
    setMinimumWidth(380);
    m_weight->setFocus();
}

JournalEditRequest JournalEditDialog::request() const
{
    return {m_weight->value(), m_sampleId->text().trimmed(), m_note->text().trimmed()};
}
