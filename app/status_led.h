#pragma once

#include <QColor>
#include <QWidget>

/// The port lamp: a filled circle in one colour.
class StatusLed : public QWidget
{
  public:
    explicit StatusLed(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QColor m_color = QColor(0x80, 0x80, 0x80);
};
