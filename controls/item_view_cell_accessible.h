#pragma once

#include <QAccessible>
#include <QAccessibleInterface>
#include <QPersistentModelIndex>
#include <QPointer>

class QAbstractItemView;

/// One cell of an item view as screen readers see it, made only when asked for
/// (ItemViewAccessible); it follows its item when rows come and go.
class ItemViewCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
  public:
    ItemViewCellAccessible(QAbstractItemView *view, const QModelIndex &index, QAccessible::Role role);

    const QPersistentModelIndex &index() const { return m_index; }

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString &text) override;
    QRect rect() const override;
    QAccessible::Role role() const override { return m_role; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_index.column(); }
    int rowIndex() const override { return m_index.row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

  private:
    QPointer<QAbstractItemView> m_view;
    QPersistentModelIndex m_index;
    QAccessible::Role m_role;
};
