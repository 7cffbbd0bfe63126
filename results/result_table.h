#pragma once

#include "controls/lazy_table_view.h"

class ResultTableModel;

/// The result grid: row 0 is its fixed title row, which stays in place above the data rows while
/// they scroll. The title row stays row 0 of the grid's model; a view of that row alone stands
/// in the margin above the scrolling part. Screen readers get the cells in view, however many
/// rows there are.
class ResultTable : public LazyTableView
{
  public:
    explicit ResultTable(ResultTableModel *model, QWidget *parent = nullptr);

    /// Every row, the title row included, is rowHeight pixels high.
    void setRowHeight(int rowHeight);

  protected:
    void updateGeometries() override;

  private:
    QTableView *m_titleRow;
};
