#pragma once

#include <QDialog>

class QLineEdit;

/// What a signer says: the meaning of the signature and an optional comment.
struct SignatureRequest
{
    QString meaning;
    QString comment;
};

/// Asks the meaning (proposed by the caller) and a comment before an entry is signed.
class SignatureDialog : public QDialog
{
    Q_OBJECT

  public:
    SignatureDialog(const QString &meaning, const QString &entryName, QWidget *parent = nullptr);

    SignatureRequest request() const;

  private:
    QLineEdit *m_meaning = nullptr;
    QLineEdit *m_comment = nullptr;
};
