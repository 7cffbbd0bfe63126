#include "controls/tab_page_accessible.h"

#include <QWidget>

namespace {

QAccessibleInterface *createTabPageAccessible(const QString &className, QObject *object)
{
    if (className != QLatin1String("TabPage"))
        return nullptr;
    auto *page = qobject_cast<QWidget *>(object);
    return page ? new TabPageAccessible(page) : nullptr;
}

} // namespace

TabPageAccessible::TabPageAccessible(QWidget *page) : QAccessibleWidget(page) {}

void TabPageAccessible::install()
{
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(createTabPageAccessible);
        return true;
    }();
}

int TabPageAccessible::childCount() const
{
    return widget()->isVisible() ? QAccessibleWidget::childCount() : 0;
}

QAccessibleInterface *TabPageAccessible::child(int index) const
{
    return widget()->isVisible() ? QAccessibleWidget::child(index) : nullptr;
}

int TabPageAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return widget()->isVisible() ? QAccessibleWidget::indexOfChild(child) : -1;
}
