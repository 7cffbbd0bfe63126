#include "controls/item_view_accessible.h"

#include "controls/item_view_cell_accessible.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QListView>

#include <algorithm>
#include <limits>

namespace {

// More cells than this outside the children are let go.
constexpr qsizetype kSpareCells = 256;

QAccessibleInterface *createItemViewAccessible(const QString &className, QObject *object)
{
    if (className != QLatin1String("LazyTableView") && className != QLatin1String("LazyListView"))
        return nullptr;
    auto *view = qobject_cast<QAbstractItemView *>(object);
    return view ? new ItemViewAccessible(view) : nullptr;
}

ItemViewAccessible *accessibleOf(QAbstractItemView *view)
{
    return dynamic_cast<ItemViewAccessible *>(QAccessible::queryAccessibleInterface(view));
}

} // namespace

ItemViewAccessible::ItemViewAccessible(QAbstractItemView *view) : QAccessibleWidget(view) {}

ItemViewAccessible::~ItemViewAccessible()
{
    forgetCells(true);
}

void ItemViewAccessible::install()
{
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(createItemViewAccessible);
        return true;
    }();
}

void ItemViewAccessible::notifyCurrent(QAbstractItemView *view, const QModelIndex &current)
{
    if (!QAccessible::isActive() || !current.isValid() || !view->hasFocus())
        return;
    if (ItemViewAccessible *table = accessibleOf(view)) {
        QAccessibleEvent event(table->cell(current), QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void ItemViewAccessible::notifySelection(QAbstractItemView *view, const QItemSelection &selected,
                                         const QItemSelection &deselected)
{
    if (!QAccessible::isActive())
        return;
    ItemViewAccessible *table = accessibleOf(view);
    if (!table)
        return;
    for (const auto &[ranges, type] :
         {std::pair{&selected, QAccessible::SelectionAdd}, std::pair{&deselected, QAccessible::SelectionRemove}}) {
        if (ranges->isEmpty() || !ranges->first().isValid())
            continue;
        QAccessibleEvent event(table->cell(ranges->first().topLeft()), type);
        QAccessible::updateAccessibility(&event);
    }
}

QAccessible::Role ItemViewAccessible::role() const
{
    return qobject_cast<QListView *>(view()) ? QAccessible::List : QAccessible::Table;
}

QAccessibleInterface *ItemViewAccessible::parent() const
{
    // A pop-up list belongs to its combo box, not to the pop-up window around it.
    if (QComboBox *combo = comboBox())
        return QAccessible::queryAccessibleInterface(combo);
    return QAccessibleWidget::parent();
}

int ItemViewAccessible::childCount() const
{
    return int(exposedRows().size()) * columnCount();
}

QAccessibleInterface *ItemViewAccessible::child(int index) const
{
    const int columns = columnCount();
    const QList<int> rows = exposedRows();
    if (index < 0 || columns == 0 || index >= rows.size() * columns)
        return nullptr;
    return cellAt(rows[index / columns], index % columns);
}

int ItemViewAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const QAccessibleTableCellInterface *cell =
        child ? const_cast<QAccessibleInterface *>(child)->tableCellInterface() : nullptr;
    if (!cell || cell->table() != this)
        return -1;
    const QList<int> rows = exposedRows();
    const auto at = std::lower_bound(rows.begin(), rows.end(), cell->rowIndex());
    if (at == rows.end() || *at != cell->rowIndex())
        return -1;
    return int(at - rows.begin()) * columnCount() + cell->columnIndex();
}

QAccessibleInterface *ItemViewAccessible::childAt(int x, int y) const
{
    const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = view()->indexAt(at);
    return index.isValid() ? cell(index) : nullptr;
}

QAccessibleInterface *ItemViewAccessible::focusChild() const
{
    const QModelIndex current = view()->currentIndex();
    return view()->hasFocus() && current.isValid() ? cell(current) : nullptr;
}

void *ItemViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface *ItemViewAccessible::cellAt(int row, int column) const
{
    QAbstractItemModel *model = view()->model();
    return model ? cell(model->index(row, column, view()->rootIndex())) : nullptr;
}

QString ItemViewAccessible::columnDescription(int column) const
{
    QAbstractItemModel *model = view()->model();
    return model ? model->headerData(column, Qt::Horizontal).toString() : QString();
}

QString ItemViewAccessible::rowDescription(int row) const
{
    QAbstractItemModel *model = view()->model();
    return model ? model->headerData(row, Qt::Vertical).toString() : QString();
}

int ItemViewAccessible::columnCount() const
{
    QAbstractItemModel *model = view()->model();
    if (!model)
        return 0;
    // A list shows one column of its model.
    if (auto *list = qobject_cast<QListView *>(view()))
        return model->columnCount(view()->rootIndex()) > list->modelColumn() ? 1 : 0;
    return model->columnCount(view()->rootIndex());
}

int ItemViewAccessible::rowCount() const
{
    QAbstractItemModel *model = view()->model();
    return model ? model->rowCount(view()->rootIndex()) : 0;
}

int ItemViewAccessible::selectedCellCount() const
{
    if (!view()->selectionModel())
        return 0;
    qsizetype count = 0;
    for (const QItemSelectionRange &range : view()->selectionModel()->selection())
        count += qsizetype(range.width()) * range.height();
    return int(std::min<qsizetype>(count, std::numeric_limits<int>::max()));
}

int ItemViewAccessible::selectedColumnCount() const
{
    return int(selectedColumns().size());
}

int ItemViewAccessible::selectedRowCount() const
{
    return int(selectedRows().size());
}

QList<QAccessibleInterface *> ItemViewAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> cells;
    for (int index = 0, count = childCount(); index < count; ++index) {
        QAccessibleInterface *cell = child(index);
        if (cell && cell->tableCellInterface()->isSelected())
            cells.append(cell);
    }
    return cells;
}

QList<int> ItemViewAccessible::selectedColumns() const
{
    QList<int> columns;
    if (QItemSelectionModel *selection = view()->selectionModel()) {
        for (const QModelIndex &index : selection->selectedColumns(0))
            columns.append(index.column());
    }
    return columns;
}

QList<int> ItemViewAccessible::selectedRows() const
{
    QList<int> rows;
    if (QItemSelectionModel *selection = view()->selectionModel()) {
        for (const QModelIndex &index : selection->selectedRows(0))
            rows.append(index.row());
    }
    return rows;
}

bool ItemViewAccessible::isColumnSelected(int column) const
{
    return view()->selectionModel() && view()->selectionModel()->isColumnSelected(column, view()->rootIndex());
}

bool ItemViewAccessible::isRowSelected(int row) const
{
    return view()->selectionModel() && view()->selectionModel()->isRowSelected(row, view()->rootIndex());
}

bool ItemViewAccessible::selectRow(int row)
{
    return select(row, 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

bool ItemViewAccessible::selectColumn(int column)
{
    return select(0, column, QItemSelectionModel::Select | QItemSelectionModel::Columns);
}

bool ItemViewAccessible::unselectRow(int row)
{
    return select(row, 0, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

bool ItemViewAccessible::unselectColumn(int column)
{
    return select(0, column, QItemSelectionModel::Deselect | QItemSelectionModel::Columns);
}

bool ItemViewAccessible::select(int row, int column, QItemSelectionModel::SelectionFlags flags)
{
    QAbstractItemModel *model = view()->model();
    const QModelIndex index = model ? model->index(row, column, view()->rootIndex()) : QModelIndex();
    if (!index.isValid() || !view()->selectionModel() || view()->selectionMode() == QAbstractItemView::NoSelection)
        return false;
    view()->selectionModel()->select(index, flags);
    return true;
}

void ItemViewAccessible::modelChange(QAccessibleTableModelChangeEvent *event)
{
    // A reset leaves no cell to follow; otherwise the cells follow their items, and those that
    // were removed go. The view may not have laid out the change yet: nothing here asks it.
    const bool reset = event->modelChangeType() == QAccessibleTableModelChangeEvent::ModelReset;
    m_cells.removeIf([reset](const std::pair<const QPersistentModelIndex &, QAccessible::Id &> cell) {
        if (!reset && cell.first.isValid())
            return false;
        QAccessible::deleteAccessibleInterface(cell.second);
        return true;
    });
}

QAbstractItemView *ItemViewAccessible::view() const
{
    return static_cast<QAbstractItemView *>(widget());
}

QComboBox *ItemViewAccessible::comboBox() const
{
    QWidget *popup = view()->parentWidget();
    auto *combo = qobject_cast<QComboBox *>(popup ? popup->parentWidget() : nullptr);
    return combo && combo->view() == view() ? combo : nullptr;
}

// A closed pop-up list stands for its combo box's current item.
QModelIndex ItemViewAccessible::currentIndex() const
{
    QComboBox *combo = comboBox();
    if (combo && !view()->isVisible())
        return combo->model()->index(combo->currentIndex(), combo->modelColumn(), combo->rootModelIndex());
    return view()->currentIndex();
}

QList<int> ItemViewAccessible::exposedRows() const
{
    QList<int> rows;
    if (view()->isVisible() && rowCount() > 0) {
        const QRect area = view()->viewport()->rect();
        const int first = view()->indexAt(area.topLeft()).row();
        const int last = view()->indexAt(QPoint(area.left(), area.bottom())).row();
        if (first >= 0) {
            for (int row = first, end = last >= 0 ? last : rowCount() - 1; row <= end; ++row)
                rows.append(row);
        }
    }
    const int current = currentIndex().row();
    if (current >= 0 && !std::binary_search(rows.begin(), rows.end(), current))
        rows.insert(std::lower_bound(rows.begin(), rows.end(), current), current);
    return rows;
}

QAccessibleInterface *ItemViewAccessible::cell(const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    const QPersistentModelIndex key(index);
    if (const auto known = m_cells.constFind(key); known != m_cells.cend())
        return QAccessible::accessibleInterface(*known);
    if (m_cells.size() > kSpareCells + childCount())
        const_cast<ItemViewAccessible *>(this)->forgetCells(false);
    auto *cell = new ItemViewCellAccessible(view(), index,
                                            role() == QAccessible::List ? QAccessible::ListItem : QAccessible::Cell);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

// Lets go of every cell, or of those that are gone or not among the children.
void ItemViewAccessible::forgetCells(bool all)
{
    const QList<int> rows = all ? QList<int>() : exposedRows();
    m_cells.removeIf([all, &rows](const std::pair<const QPersistentModelIndex &, QAccessible::Id &> cell) {
        if (!all && cell.first.isValid() && std::binary_search(rows.begin(), rows.end(), cell.first.row()))
            return false;
        QAccessible::deleteAccessibleInterface(cell.second);
        return true;
    });
}
