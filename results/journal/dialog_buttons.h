#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;

/// "OK" (the default button) and "Cancel" that accept and reject the dialog, named prefix + "Ok"
/// and prefix + "Cancel" for tests and screen readers.
QDialogButtonBox *okCancelButtons(QDialog *dialog, const QString &namePrefix);
