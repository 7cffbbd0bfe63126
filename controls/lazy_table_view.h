#pragma once

#include <QTableView>

/// A QTableView for very many items: screen readers get the cells in view, not one per item
/// (ItemViewAccessible).
class LazyTableView : public QTableView
{
    Q_OBJECT

  public:
    explicit LazyTableView(QWidget *parent = nullptr);

  protected:
    // QTableView names the changed cell by its place among all cells; these tell of the cell itself.
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
};
