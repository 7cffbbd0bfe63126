#pragma once

#include "method/mode_group.h"
#include "method/setting_info.h"

#include <array>
#include <vector>

/// How a section of a group page edits its setting.
enum class ControlKind {
    List,     ///< a list box with a scroll bar
    DropDown, ///< a combo box without typing
    Numeric,  ///< an entry field of the setting's width with a spin button
};

/// One section of a group page: its caption, its control and the texts around it. Texts are UTF-8.
struct SectionInfo
{
    const char *caption;
    ControlKind kind;
    const char *name; ///< the control's name
    Setting setting;
    std::vector<const char *> items{}; ///< of a list or drop-down list, one per choice
    const char *hint = nullptr;        ///< stands beside the control
    bool tooltip = false;              ///< the hint is also the control's tooltip
    const char *upDownName = nullptr;  ///< the spin button of a numeric field
    const char *legend = nullptr;      ///< the line under a numeric field
    int rows = 5;                      ///< visible rows of a list
};

/// One group page: its panel's name, its sections from top to bottom and the lines of the note at
/// its bottom, if any.
struct PageInfo
{
    const char *name;
    std::vector<SectionInfo> sections;
    std::vector<const char *> note{};

    /// The page of group 1 to ModeGroup::kCount.
    static const PageInfo &of(int group);
};
