#include "controls/tab_page.h"

#include "controls/tab_page_accessible.h"

TabPage::TabPage(QWidget *parent) : QWidget(parent)
{
    TabPageAccessible::install();
}
