#pragma once

#include <QPixmap>

// The small pictures of the method editor, drawn here rather than shipped as files.
namespace method_icons {

/// A tree item: an arrow pointing right on a green square, or on a blue one when selected.
QPixmap treeItem(bool selected);
/// A blue letter i in a grey circle.
QPixmap info();
/// A document with a green arrow pointing right.
QPixmap upload();
/// A window with a green arrow pointing up.
QPixmap load();
/// A sheet of paper with a pencil.
QPixmap save();
/// A user figure; with a red no-entry sign for a slot the instrument predefines.
QPixmap slot(bool predefined);
/// The picture of the Info window: a titration flask under a burette beside its curve.
QPixmap titration(int width, int height);

} // namespace method_icons
