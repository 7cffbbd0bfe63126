#include "method/ui/drop_down_style.h"

#include <QComboBox>

void DropDownStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (qobject_cast<QComboBox *>(widget))
        widget->setFocusPolicy(Qt::StrongFocus);
}

int DropDownStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                             QStyleHintReturn *returnData) const
{
    if (hint == SH_ComboBox_Popup)
        return 0;
    if (hint == SH_ComboBox_AllowWheelScrolling)
        return widget && widget->hasFocus();
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
