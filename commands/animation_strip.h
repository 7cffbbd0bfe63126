#pragma once

#include <QTimer>
#include <QWidget>

/// A sheet of paper flying from one folder into another, over and over, while the strip is
/// shown: the picture of a transfer that is under way.
class AnimationStrip : public QWidget
{
  public:
    static constexpr int kFrameCount = 31;

    explicit AnimationStrip(QWidget *parent = nullptr);

    int frame() const { return m_frame; }
    bool isPlaying() const { return m_timer.isActive(); }

  protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

  private:
    void nextFrame();

    QTimer m_timer;
    int m_frame = 0;
};
