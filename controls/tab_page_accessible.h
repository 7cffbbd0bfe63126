#pragma once

#include <QAccessibleWidget>

/// A tab page as screen readers see it: its controls while it is in front, none otherwise.
class TabPageAccessible : public QAccessibleWidget
{
  public:
    explicit TabPageAccessible(QWidget *page);

    /// Makes every TabPage answer screen readers through this class; installs once.
    static void install();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
};
