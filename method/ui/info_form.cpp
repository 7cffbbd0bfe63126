#include "method/ui/info_form.h"

#include "method/ui/method_icons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kTextWidth = 250;

QLabel *addText(QVBoxLayout *column, const QString &text, int pointSizeDelta = 0, bool bold = false)
{
    auto *label = new QLabel(text);
    label->setAccessibleName(text);
    label->setWordWrap(true);
    label->setFixedWidth(kTextWidth);
    QFont font = label->font();
    font.setPointSize(font.pointSize() + pointSizeDelta);
    font.setBold(bold);
    label->setFont(font);
    column->addWidget(label);
    return label;
}

} // namespace

TInfoForm::TInfoForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("InfoForm"));
    setWindowTitle(QStringLiteral("Info"));
    setAccessibleName(windowTitle());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto *picture = new QLabel;
    picture->setObjectName(QStringLiteral("InfoPicture"));
    picture->setAccessibleName(QStringLiteral("Titration"));
    picture->setPixmap(method_icons::titration(180, 150));
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto *credits = new QVBoxLayout;
    addText(credits, QStringLiteral("Korvane"), 6, true);
    addText(credits, QStringLiteral("Version ") + QStringLiteral(KORVANE_VERSION));
    addText(credits, QStringLiteral("Drives a DL25 potentiometric titrator over a serial line: runs its "
                                    "commands, shows what it prints, tables and draws its titrations "
                                    "and keeps its methods."));
    addText(credits, QStringLiteral("All rights reserved."));
    credits->addStretch();

    auto *close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAccessibleName(close->text());
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(credits, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
