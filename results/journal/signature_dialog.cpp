#include "results/journal/signature_dialog.h"

#include "results/journal/dialog_buttons.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

SignatureDialog::SignatureDialog(const QString &meaning, const QString &entryName, QWidget *parent)
    : QDialog(parent), m_meaning(new QLineEdit(meaning)), m_comment(new QLineEdit)
{
    setObjectName(QStringLiteral("SignatureDialog"));
    setWindowTitle(QStringLiteral("Sign %1").arg(entryName));
    m_meaning->setObjectName(QStringLiteral("SignatureMeaning"));
    m_comment->setObjectName(QStringLiteral("SignatureComment"));
    QDialogButtonBox *buttons = okCancelButtons(this, QStringLiteral("Signature"));
    // A signature without a meaning says nothing; it cannot be given.
    connect(m_meaning, &QLineEdit::textChanged, this, [this, buttons](const QString &text) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!text.trimmed().isEmpty());
    });
    auto *layout = new QFormLayout(this);
    layout->addRow(new QLabel(QStringLiteral("Signing %1 as the user who is logged in.").arg(entryName)));
    layout->addRow(QStringLiteral("&Meaning:"), m_meaning);
    layout->addRow(QStringLiteral("&Comment:"), m_comment);
    layout->addRow(buttons);
}

SignatureRequest SignatureDialog::request() const
{
    return {m_meaning->text().trimmed(), m_comment->text().trimmed()};
}
