#pragma once

#include <QWidget>

#include <functional>

/// A curve picture that follows the widget's size: on white, painted by the given function into
/// the widget's whole area whenever the widget paints.
class CurveView : public QWidget
{
    Q_OBJECT

  public:
    using Paint = std::function<void(QPainter &painter, const QSize &size)>;

    explicit CurveView(Paint paint, QWidget *parent = nullptr);

    /// What to paint from now on; the widget repaints.
    void setPaint(Paint paint);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    Paint m_paint;
};
