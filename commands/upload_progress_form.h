#pragma once

#include "commands/progress_display.h"

#include <QWidget>

class AnimationStrip;
class QLabel;
class QPushButton;
class TGauge;

/// The small borderless window shown over the main window while a method goes to or comes from
/// the titrator: a label, a running animation, a gauge of thirteen steps and Cancel. It keeps
/// the focus among the program's windows while a transfer runs and closes when left after it has
/// finished.
class TUploadProgressForm : public QWidget, public ProgressDisplay
{
  public:
    explicit TUploadProgressForm(QWidget *mainWindow);

    void begin(const QString &label) override;
    void advance(int steps) override;
    void markFinished() override;
    void dismiss() override;
    void setCancelAction(std::function<void()> cancel) override;

    void FormDeactivate();
    void UpdateDataProgressBitBtnClick();
    void UpdateDataProgressCancelBtnClick();

  protected:
    void changeEvent(QEvent *event) override;

  private:
    QLabel *UpdateDataProgressLabel;
    AnimationStrip *Animate;
    TGauge *UpdateDataProgressGauge;
    /// Never visible; enabled once the transfer has finished.
    QPushButton *UpdateDataProgressBitBtn;
    /// Enabled while the transfer runs.
    QPushButton *UpdateDataProgressCancelBtn;
    std::function<void()> m_cancel{};
};
