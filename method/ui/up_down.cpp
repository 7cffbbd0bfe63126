#include "method/ui/up_down.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TUpDown::TUpDown(QLineEdit *buddy, int maximum, QWidget *parent) : QWidget(parent), m_buddy(buddy), m_maximum(maximum)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(addArrow(Qt::UpArrow, 1));
    layout->addWidget(addArrow(Qt::DownArrow, -1));
    buddy->installEventFilter(this);
}

QToolButton *TUpDown::addArrow(Qt::ArrowType arrow, int steps)
{
    auto *button = new QToolButton(this);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    button->setObjectName(arrow == Qt::UpArrow ? QStringLiteral("Up") : QStringLiteral("Down"));
    button->setAccessibleName(button->objectName());
    connect(button, &QToolButton::clicked, this, [this, steps] { stepBy(steps); });
    return button;
}

void TUpDown::stepBy(int steps)
{
    bool isNumber = false;
    const int value = m_buddy->text().toInt(&isNumber);
    const int from = isNumber ? std::clamp(value, 0, m_maximum) : m_position;
    m_position = std::clamp(from + steps, 0, m_maximum);
    m_buddy->setText(QString::number(m_position));
}

bool TUpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
