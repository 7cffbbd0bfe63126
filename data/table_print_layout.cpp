#include "data/table_print_layout.h"

#include <algorithm>

TablePrintLayout TablePrintLayout::compute(int pageWidth, int pageHeight, int textHeight,
                                           const QList<int> &columnWidths, int controlWidth)
{
    TablePrintLayout layout;
    // A grid control of no width (never shown) must not divide by zero.
    layout.scale = pageWidth / std::max(1, controlWidth);
    layout.leftMargin = pageWidth / 25;
    layout.topMargin = pageHeight / 25;
    layout.rightEdge = pageWidth - layout.leftMargin;
    layout.bottomLimit = pageHeight - layout.topMargin;
    layout.lineHeight = 3 * textHeight / 2;
    layout.textTop = std::min(layout.textTop, (layout.lineHeight - textHeight) / 2);
    int x = layout.leftMargin;
    for (int width : columnWidths) {
        layout.columnStarts.append(x);
        x += width * layout.scale;
    }
    return layout;
}
