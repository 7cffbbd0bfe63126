#include "results/result_table.h"

#include "results/result_table_model.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

ResultTable::ResultTable(ResultTableModel *model, QWidget *parent)
    : LazyTableView(parent), m_titleRow(new LazyTableView(this))
{
    setModel(model);
    m_titleRow->setObjectName(QStringLiteral("TitleRow"));
    m_titleRow->setModel(model);
    m_titleRow->horizontalHeader()->hide();
    m_titleRow->verticalHeader()->hide();
    m_titleRow->setFrameShape(QFrame::NoFrame);
    m_titleRow->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_titleRow->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_titleRow->setFocusPolicy(Qt::NoFocus);
    m_titleRow->setSelectionMode(QAbstractItemView::NoSelection);
    QPalette titles = m_titleRow->palette();
    titles.setBrush(QPalette::Base, titles.button());
    m_titleRow->setPalette(titles);
    // Clicks and wheel turns go to the grid; the title row itself never scrolls.
    m_titleRow->setAttribute(Qt::WA_TransparentForMouseEvents);
    setRowHidden(0, true);
    // A new set of rows shows the title row again; it stays in the margin above.
    connect(model, &QAbstractItemModel::modelReset, this, [this] { setRowHidden(0, true); });

    connect(horizontalHeader(), &QHeaderView::sectionResized, m_titleRow,
            [this](int column, int, int width) { m_titleRow->setColumnWidth(column, width); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_titleRow->horizontalScrollBar(), &QScrollBar::setValue);
    setRowHeight(verticalHeader()->defaultSectionSize());
}

void ResultTable::setRowHeight(int rowHeight)
{
    // The style's minimum section size would otherwise win over a small height.
    for (QTableView *view : {static_cast<QTableView *>(this), m_titleRow}) {
        view->verticalHeader()->setMinimumSectionSize(rowHeight);
        view->verticalHeader()->setDefaultSectionSize(rowHeight);
    }
    updateGeometries();
}

// The grid sets its margins from its headers, which it hides; the title row takes the top one.
void ResultTable::updateGeometries()
{
    QTableView::updateGeometries();
    const int height = verticalHeader()->defaultSectionSize();
    setViewportMargins(0, height, 0, 0);
    const QRect area = viewport()->geometry();
    m_titleRow->setGeometry(area.left(), area.top() - height, area.width(), height);
}
