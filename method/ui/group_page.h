#pragma once

#include "method/setting_info.h"

#include <QFrame>

#include <utility>
#include <vector>

struct PageInfo;
struct SectionInfo;
class QListWidget;

/// One group page built from its description: the sections from top to bottom, each a caption
/// with its control, hint and legend, and the note at the bottom. The page offers its controls'
/// values by setting and holds no logic of its own.
class GroupPage : public QFrame
{
  public:
    explicit GroupPage(const PageInfo &info, QWidget *parent = nullptr);

    /// The selected item of a list or drop-down list, -1 for none.
    int choice(Setting setting) const;
    /// An index outside the list leaves it without a selection.
    void setChoice(Setting setting, int index);
    /// The text of a numeric field.
    QString text(Setting setting) const;
    void setText(Setting setting, const QString &text);
    /// The caption of the setting's section, as the user reads it beside the control.
    QString caption(Setting setting) const;
    /// The list box of a list setting.
    QListWidget *list(Setting setting) const;

  private:
    int addSection(const SectionInfo &section, int top);
    QWidget *addControl(const SectionInfo &section, int top);
    int addNumericField(const SectionInfo &section, int top);
    void addNote(const std::vector<const char *> &lines);
    QWidget *control(Setting setting) const;

    std::vector<std::pair<Setting, QWidget *>> m_controls;
};
