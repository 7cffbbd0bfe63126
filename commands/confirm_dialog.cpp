#include "commands/confirm_dialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QPushButton *addButton(QBoxLayout *row, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    row->addWidget(button);
    return button;
}

} // namespace

ConfirmDialog::ConfirmDialog(const QString &name, const QString &question, bool bold, QWidget *parent) : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(QStringLiteral("Dialog"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xFF, 0x00, 0x00));
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);

    auto *label = new QLabel(question);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAccessibleName(question);
    QFont labelFont = label->font();
    labelFont.setBold(bold);
    label->setFont(labelFont);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton *ok = addButton(buttons, QStringLiteral("OKBtn"), QStringLiteral("OK"));
    QPushButton *cancel = addButton(buttons, QStringLiteral("CancelBtn"), QStringLiteral("Cancel"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(18);
    layout->addWidget(label);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ConfirmDialog::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}
