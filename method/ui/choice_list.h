#pragma once

#include <QListWidget>

/// A list box of a method setting: one item is chosen by mouse or keyboard, and a choice is
/// changed only by choosing another item. Ctrl+click and Ctrl+Space, which deselect in a plain
/// list, leave the choice as it is, so the user cannot leave a setting without a value.
class ChoiceList : public QListWidget
{
  public:
    explicit ChoiceList(QWidget *parent = nullptr);

  protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
};
