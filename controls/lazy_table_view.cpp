#include "controls/lazy_table_view.h"

#include "controls/item_view_accessible.h"

LazyTableView::LazyTableView(QWidget *parent) : QTableView(parent)
{
    ItemViewAccessible::install();
}

void LazyTableView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    ItemViewAccessible::notifyCurrent(this, current);
    QAbstractItemView::currentChanged(current, previous);
}

void LazyTableView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    ItemViewAccessible::notifySelection(this, selected, deselected);
    QAbstractItemView::selectionChanged(selected, deselected);
}
