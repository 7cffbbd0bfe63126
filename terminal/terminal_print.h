#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

class QFontMetrics;
class QPrinter;

/// Prints the terminal's lines as plain text rows, from the top left corner of the printable
/// area, without a margin.
class TerminalPrint
{
  public:
    struct Piece
    {
        int x = 0;
        QString text;
    };
    struct Row
    {
        int page = 0;
        int y = 0;
        QList<Piece> pieces;
    };

    /// Places every line on pages of the given size: a row is the font's height plus 2; a line
    /// wider than the page continues on the next row; a tab advances to the next multiple of
    /// eight average character widths; a new page begins when a row would start below the page
    /// height minus two row heights.
    static QList<Row> layout(const QStringList &lines, const QFontMetrics &metrics, QSize page);

    /// One print job of all lines in the fixed-pitch terminal font at 8 points; on failure
    /// returns false and says why in error.
    static bool print(QPrinter &printer, const QStringList &lines, QString &error);
};
