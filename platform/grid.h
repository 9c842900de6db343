#pragma once
// The list grid as the editor and the reports use it: two columns, two fixed
// rows (row 0 the column headers, row 1 the capacity line), a number of rows
// that changes at run time, and cells addressed by index row * 2 + column.
// The widget behind it lives in platform/ui/gridwidget.h; the reports read a
// grid only through this interface.

#include <QString>

class Grid {
public:
    static constexpr int Columns = 2;
    static constexpr int FixedRows = 2;

    virtual ~Grid() = default;

    // Header texts separated by a vertical bar; the blanks that trail each
    // header widen its column.
    virtual void SetFormatString(const QString& format) = 0;
    virtual QString FormatString() const = 0;

    // Setting the count cuts or extends the grid (never below the fixed rows).
    virtual void SetRows(int rows) = 0;
    virtual int Rows() const = 0;

    // The current row; the current cell is the current row's cell in column 0.
    virtual void SetRow(int row) = 0;
    virtual int Row() const = 0;
    // The row end of the selection: after a click, the clicked row.
    virtual int SelectedRow() const = 0;

    virtual void SetText(const QString& text) = 0;   // current cell
    virtual QString Text() const = 0;
    virtual void SetTextAt(int index, const QString& text) = 0;   // index = row * 2 + column
    virtual QString TextAt(int index) const = 0;

    // Background of the current cell as a colour text ("&H00FF", "&H80000005", ...).
    virtual void SetCellBackColor(const QString& colourText) = 0;
    // The colour text last set for a cell; empty when none was set.
    virtual QString CellBackColorAt(int index) const = 0;
};
