#include "commands/upload_progress_form.h"

#include "commands/animation_strip.h"
#include "controls/gauge.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace {

// The classic desktop's active border and active caption; Qt's palette has neither role.
const QColor kActiveBorder(0xD4, 0xD0, 0xC8);
const QColor kActiveCaption(0x0A, 0x24, 0x6A);
const QColor kSkyBlue(0xA6, 0xCA, 0xF0);
constexpr int kGaugeSteps = 13;

} // namespace

TUploadProgressForm::TUploadProgressForm(QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Dialog | Qt::FramelessWindowHint),
      UpdateDataProgressLabel(new QLabel(QStringLiteral("Uploading data in progress..."), this)),
      Animate(new AnimationStrip(this)), UpdateDataProgressGauge(new TGauge(this)),
      UpdateDataProgressBitBtn(new QPushButton(QStringLiteral("OK"), this)),
      UpdateDataProgressCancelBtn(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("UploadProgressForm"));
    setWindowTitle(QStringLiteral("Please wait..."));
    setFixedSize(291, 127);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kActiveBorder);
    setPalette(colours);
    setAutoFillBackground(true);

    UpdateDataProgressLabel->setObjectName(QStringLiteral("UpdateDataProgressLabel"));
    QFont bold = UpdateDataProgressLabel->font();
    bold.setBold(true);
    UpdateDataProgressLabel->setFont(bold);
    UpdateDataProgressLabel->setGeometry(9, 2, 273, 15);

    Animate->setObjectName(QStringLiteral("Animate"));
    Animate->setAccessibleName(QStringLiteral("Animate"));
    Animate->setGeometry(9, 17, 272, 60);

    UpdateDataProgressGauge->setObjectName(QStringLiteral("UpdateDataProgressGauge"));
    UpdateDataProgressGauge->setAccessibleName(QStringLiteral("UpdateDataProgressGauge"));
    UpdateDataProgressGauge->setGeometry(9, 78, 273, 16);
    UpdateDataProgressGauge->setMaxValue(kGaugeSteps);
    UpdateDataProgressGauge->setBackColor(kSkyBlue);
    UpdateDataProgressGauge->setForeColor(kActiveCaption);
    UpdateDataProgressGauge->setBorderStyle(TGauge::bsNone);

    UpdateDataProgressBitBtn->setObjectName(QStringLiteral("UpdateDataProgressBitBtn"));
    UpdateDataProgressBitBtn->setAccessibleName(QStringLiteral("OK"));
    UpdateDataProgressBitBtn->hide();
    connect(UpdateDataProgressBitBtn, &QPushButton::clicked, this, &TUploadProgressForm::UpdateDataProgressBitBtnClick);

    UpdateDataProgressCancelBtn->setObjectName(QStringLiteral("UpdateDataProgressCancelBtn"));
    UpdateDataProgressCancelBtn->setAccessibleName(QStringLiteral("Cancel"));
    UpdateDataProgressCancelBtn->setGeometry(108, 99, 75, 25);
    connect(UpdateDataProgressCancelBtn, &QPushButton::clicked, this,
            &TUploadProgressForm::UpdateDataProgressCancelBtnClick);
}

void TUploadProgressForm::begin(const QString &label)
{
    UpdateDataProgressLabel->setText(label);
    if (QWidget *mainWindow = parentWidget())
        move(mainWindow->frameGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
    UpdateDataProgressBitBtn->setEnabled(false);
    UpdateDataProgressCancelBtn->setEnabled(true);
    UpdateDataProgressCancelBtn->setFocus();
    UpdateDataProgressGauge->setProgress(0);
}

void TUploadProgressForm::advance(int steps)
{
    UpdateDataProgressGauge->setProgress(UpdateDataProgressGauge->Progress() + steps);
}

void TUploadProgressForm::markFinished()
{
    UpdateDataProgressBitBtn->setEnabled(true);
    // Everything has gone out; there is nothing left to cancel.
    UpdateDataProgressCancelBtn->setEnabled(false);
    UpdateDataProgressGauge->setProgress(kGaugeSteps);
}

void TUploadProgressForm::dismiss()
{
    close();
}

void TUploadProgressForm::setCancelAction(std::function<void()> cancel)
{
    m_cancel = std::move(cancel);
}

void TUploadProgressForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow())
        FormDeactivate();
}

void TUploadProgressForm::FormDeactivate()
{
    if (UpdateDataProgressBitBtn->isEnabled())
        close();
    // Only a window of this program gives the focus back: another program the user switched to
    // keeps it, and so does a dialog the user opened meanwhile.
    else if (QApplication::activeWindow() && !QApplication::activeModalWidget())
        activateWindow();
}

void TUploadProgressForm::UpdateDataProgressBitBtnClick()
{
    close();
}

void TUploadProgressForm::UpdateDataProgressCancelBtnClick()
{
    if (m_cancel)
        m_cancel();
}
