#include "curve_print.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

QRect curvePrintRect(QSize picture, QSize printerDpi, QSize screenDpi)
{
    const auto factor = [](int printer, int screen) { return std::max(1, screen > 0 ? printer / screen : 1); };
    return {0, 0, picture.width() * factor(printerDpi.width(), screenDpi.width()),
            picture.height() * factor(printerDpi.height(), screenDpi.height())};
}

bool printCurve(QPrinter &printer, const QImage &picture, QSize screenDpi)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QSize printerDpi(printer.logicalDpiX(), printer.logicalDpiY());
    painter.drawImage(curvePrintRect(picture.size(), printerDpi, screenDpi), picture);
    return painter.end();
}
