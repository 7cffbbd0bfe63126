#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QItemSelectionModel>
#include <QList>
#include <QPersistentModelIndex>

class QAbstractItemView;
class QComboBox;

/// A table or list view as screen readers see it, for views that may hold very many items (the
/// record chooser, the result table): its children are the cells of the rows in view and of the
/// current row, made only when asked for, however long the model is. The table interface still
/// tells the real row and column counts, and gives any cell on demand.
///
/// Qt's own item views name the cell of an event by its place among all cells; the views that
/// use this class (LazyTableView, LazyListView) tell of current and selected cells through
/// notifyCurrent and notifySelection instead.
class ItemViewAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
  public:
    explicit ItemViewAccessible(QAbstractItemView *view);
    ~ItemViewAccessible() override;

    /// Makes every LazyTableView and LazyListView answer screen readers through this class; installs once.
    static void install();
    /// Tells screen readers which cell became current, while the view has the focus.
    static void notifyCurrent(QAbstractItemView *view, const QModelIndex &current);
    /// Tells screen readers of the first cell selected and the first one no longer selected.
    static void notifySelection(QAbstractItemView *view, const QItemSelection &selected,
                                const QItemSelection &deselected);

    QAccessible::Role role() const override;
    QAccessibleInterface *parent() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QAccessibleInterface *cellAt(int row, int column) const override;
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int columnCount() const override;
    int rowCount() const override;
    int selectedCellCount() const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    /// The selected cells among the children: a selection of a million cells is not made into a list.
    QList<QAccessibleInterface *> selectedCells() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

  private:
    QAbstractItemView *view() const;
    /// The combo box whose pop-up list this view is, if it is one.
    QComboBox *comboBox() const;
    QModelIndex currentIndex() const;
    /// Rows whose cells are the children, in ascending order.
    QList<int> exposedRows() const;
    QAccessibleInterface *cell(const QModelIndex &index) const;
    void forgetCells(bool all);
    bool select(int row, int column, QItemSelectionModel::SelectionFlags flags);

    // The cells made so far; cells outside the children are let go once there are many.
    mutable QHash<QPersistentModelIndex, QAccessible::Id> m_cells;
};
