#include "record_list.h"

#include <QAbstractItemModel>
#include <QComboBox>

void showRecordCount(QComboBox &chooser, int count)
{
    const int shown = chooser.count();
    if (shown == count)
        return;
    if (count == 0) {
        chooser.clear();
        chooser.setEditText(QStringLiteral("no data available"));
        return;
    }
    // Items 1 to count read the same whichever way the list got them, so only the difference is
    // added or taken away; afterwards the newest is selected, as after a rebuild.
    if (shown > count)
        chooser.model()->removeRows(count, shown - count);
    QStringList items;
    for (int record = shown + 1; record <= count; ++record)
        items.append(QStringLiteral("data record %1").arg(record));
    chooser.addItems(items);
    chooser.setCurrentIndex(count - 1);
}
