#include "controls/fonts.h"

#include <QStringList>

namespace fonts {

QFont arial(int pixelSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    return font;
}

QFont lucidaConsole()
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("Lucida Console"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

} // namespace fonts
