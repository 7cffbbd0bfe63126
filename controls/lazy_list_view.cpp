#include "controls/lazy_list_view.h"

#include "controls/item_view_accessible.h"

LazyListView::LazyListView(QWidget *parent) : QListView(parent)
{
    ItemViewAccessible::install();
    // A long list would otherwise measure every item to lay itself out.
    setUniformItemSizes(true);
}

void LazyListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    ItemViewAccessible::notifyCurrent(this, current);
    QAbstractItemView::currentChanged(current, previous);
}

void LazyListView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    ItemViewAccessible::notifySelection(this, selected, deselected);
    QAbstractItemView::selectionChanged(selected, deselected);
}
