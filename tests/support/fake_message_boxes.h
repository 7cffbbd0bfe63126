#pragma once

#include "common/message_boxes.h"

#include <QStringList>

/// Message and error boxes that keep their texts for the test instead of showing them; Boxes is
/// MessageBoxes or an interface that extends it.
template <class Boxes = MessageBoxes>
class FakeMessageBoxes : public Boxes
{
  public:
    QStringList messages;
    QStringList errors;

    void message(QWidget *, const QString &text) override { messages.append(text); }
    void error(QWidget *, const QString &text) override { errors.append(text); }
};
