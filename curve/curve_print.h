#pragma once

#include <QRect>

class QImage;
class QPrinter;

/// Where the picture goes on the printer page: scaled by printer dots per screen pixel, in whole
/// steps, and never below 1 so that a printer coarser than the screen still gets the picture.
QRect curvePrintRect(QSize picture, QSize printerDpi, QSize screenDpi);

/// Prints the picture stretched to curvePrintRect at the page's top left, as a job of one page.
/// False when the job could not be started.
bool printCurve(QPrinter &printer, const QImage &picture, QSize screenDpi);
