#pragma once

#include <QProxyStyle>

/// Opens a drop-down list as a list of its rows under the field, with its row count and row
/// heights, where the desktop's style would open a menu over the field instead.
class ListPopupStyle : public QProxyStyle
{
  public:
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
};
