#pragma once

#include <QDialog>

/// The credits window "Info" of the method editor: a picture, the program's name, version, purpose
/// and licence, and a button that closes it.
class TInfoForm : public QDialog
{
  public:
    explicit TInfoForm(QWidget *parent = nullptr);
};
