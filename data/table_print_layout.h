#pragma once

#include <QList>

/// Where the ruled result table goes on a page, in printer pixels: margins of a 25th of the
/// page, columns as wide as on screen times the page-to-screen scale, rows 1.5 text lines high.
struct TablePrintLayout
{
    int scale = 1;
    int leftMargin = 0;
    int topMargin = 0;
    int rightEdge = 0;
    int bottomLimit = 0;
    int lineHeight = 0;
    /// Text stands this far right of its column start.
    int textLeft = 10;
    /// Text stands this far below the top of its row band: 10, or less where a 10-pixel drop
    /// would put the text on the rule below (a printer of low resolution).
    int textTop = 10;
    QList<int> columnStarts;

    /// `pageWidth` and `pageHeight` are the printable area, `textHeight` the height of one line
    /// of the printing font, `columnWidths` and `controlWidth` the grid's on-screen pixels.
    static TablePrintLayout compute(int pageWidth, int pageHeight, int textHeight, const QList<int> &columnWidths,
                                    int controlWidth);
};
