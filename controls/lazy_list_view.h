#pragma once

#include <QListView>

/// A QListView for very many items: screen readers get the cells in view, not one per item
/// (ItemViewAccessible).
class LazyListView : public QListView
{
    Q_OBJECT

  public:
    explicit LazyListView(QWidget *parent = nullptr);

  protected:
    // QListView names the changed cell by its place among all cells; these tell of the cell itself.
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
};
