#include "controls/blt_bitmap.h"

#include <QGuiApplication>
#include <QPalette>

void TBltBitmap::MakeLike(const QImage &Other)
{
    QImage::operator=(QImage(Other.size(), QImage::Format_RGB32));
    // Window frames are drawn in the window text colour; Qt has no role of their own for them.
    fill(QGuiApplication::palette().color(QPalette::WindowText));
}
