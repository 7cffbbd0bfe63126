#pragma once

#include <QWidget>

/// A page of a tab control. Screen readers see a page that is not in front without its
/// controls: they are not showing, and a reader that goes through the window when the pages
/// change would otherwise go through the controls of every page.
class TabPage : public QWidget
{
    Q_OBJECT

  public:
    explicit TabPage(QWidget *parent = nullptr);
};
