#pragma once

#include <QFont>

// The window's typefaces. Linux seldom has them; fontconfig maps Arial to a metric-compatible
// face, but Lucida Console to a proportional one, so the fixed-pitch font names its fallbacks.
namespace fonts {

/// Arial with the given pixel height.
QFont arial(int pixelSize);

/// Lucida Console, else an installed fixed-pitch face; without a size set.
QFont lucidaConsole();

} // namespace fonts
