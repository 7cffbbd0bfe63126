#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

/// The spin button attached to a numeric field: steps the field's value by one between 0 and a
/// maximum without wrapping and writes it back as plain decimal text. The up and down arrow keys
/// in the field step it too. The field itself accepts any text; a step starts from the field's
/// value when it is a number, else from the last value the button wrote.
class TUpDown : public QWidget
{
  public:
    TUpDown(QLineEdit *buddy, int maximum, QWidget *parent = nullptr);

    void stepBy(int steps);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QToolButton *addArrow(Qt::ArrowType arrow, int steps);

    QLineEdit *m_buddy;
    int m_maximum;
    int m_position = 0;
};
