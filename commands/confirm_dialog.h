#pragma once

#include <QDialog>

/// A small red question box with "OK" (default, Enter) and "Cancel" (Escape), centred on the
/// screen and kept for the whole run.
class ConfirmDialog : public QDialog
{
  public:
    /// name becomes the objectName; a bold label is the more urgent question.
    ConfirmDialog(const QString &name, const QString &question, bool bold, QWidget *parent = nullptr);

  protected:
    void showEvent(QShowEvent *event) override;
};
