#pragma once

#include <QProxyStyle>

/// How the method dialog's drop-down lists behave. A list opens as a list of its rows under the
/// field, with its row count and row heights, where the desktop's style would open a menu over
/// the field instead. The mouse wheel changes only a list that has the focus, and never gives a
/// list the focus, so a wheel turned over the dialog changes no setting.
class DropDownStyle : public QProxyStyle
{
  public:
    void polish(QWidget *widget) override;
    using QProxyStyle::polish;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
};
