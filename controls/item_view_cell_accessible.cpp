#include "controls/item_view_cell_accessible.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QWidget>
#include <QWindow>

ItemViewCellAccessible::ItemViewCellAccessible(QAbstractItemView *view, const QModelIndex &index,
                                               QAccessible::Role role)
    : m_view(view), m_index(index), m_role(role)
{
}

bool ItemViewCellAccessible::isValid() const
{
    return m_view && m_index.isValid();
}

QWindow *ItemViewCellAccessible::window() const
{
    return m_view ? m_view->window()->windowHandle() : nullptr;
}

QAccessibleInterface *ItemViewCellAccessible::parent() const
{
    return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
}

QString ItemViewCellAccessible::text(QAccessible::Text type) const
{
    if (!isValid())
        return {};
    if (type == QAccessible::Name) {
        const QString text = m_index.data(Qt::AccessibleTextRole).toString();
        return text.isEmpty() ? m_index.data(Qt::DisplayRole).toString() : text;
    }
    if (type == QAccessible::Description)
        return m_index.data(Qt::AccessibleDescriptionRole).toString();
    return {};
}

void ItemViewCellAccessible::setText(QAccessible::Text type, const QString &text)
{
    if (isValid() && type == QAccessible::Name && (m_index.flags() & Qt::ItemIsEditable))
        m_view->model()->setData(m_index, text);
}

QRect ItemViewCellAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect cell = m_view->visualRect(m_index);
    return QRect(m_view->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

QAccessible::State ItemViewCellAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    const QRect cell = m_view->visualRect(m_index);
    state.invisible = !m_view->isVisible() || !m_view->viewport()->rect().intersects(cell);
    state.offscreen = state.invisible;
    const Qt::ItemFlags flags = m_index.flags();
    state.selectable = (flags & Qt::ItemIsSelectable) && m_view->selectionMode() != QAbstractItemView::NoSelection;
    state.selected = isSelected();
    state.focusable = true;
    state.focused = m_view->hasFocus() && m_view->currentIndex() == m_index;
    state.active = m_view->currentIndex() == m_index;
    state.editable = (flags & Qt::ItemIsEditable) != 0;
    state.disabled = !(flags & Qt::ItemIsEnabled);
    return state;
}

void *ItemViewCellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
}

bool ItemViewCellAccessible::isSelected() const
{
    return isValid() && m_view->selectionModel() && m_view->selectionModel()->isSelected(m_index);
}
