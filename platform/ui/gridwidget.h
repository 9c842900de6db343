#pragma once
// The list grid over a QTableWidget. The two fixed rows are shown as the
// two-line column header, so that the headers and the capacity line stay in
// view while the rows scroll; grid row r >= 2 is table row r - 2.
//
// The notifications the editor needs arrive as signals: Clicked (after the
// clicked row became the current row), KeyPressed (the character code; 13 for
// Enter), FocusGained, FocusLost, CellEntered and CellLeft (operator moves
// only, not moves made through SetRow).

#include "platform/grid.h"

#include <QTableWidget>
#include <array>

class GridWidget : public QTableWidget, public Grid {
    Q_OBJECT
public:
    explicit GridWidget(QWidget* parent = nullptr);

    void SetFormatString(const QString& format) override;
    QString FormatString() const override;
    void SetRows(int rows) override;
    int Rows() const override;
    void SetRow(int row) override;
    int Row() const override;
    int SelectedRow() const override;
    void SetText(const QString& text) override;
    QString Text() const override;
    void SetTextAt(int index, const QString& text) override;
    QString TextAt(int index) const override;
    void SetCellBackColor(const QString& colourText) override;
    QString CellBackColorAt(int index) const override;

signals:
    void Clicked();
    void KeyPressed(int code);
    void FocusGained();
    void FocusLost();
    void CellEntered();
    void CellLeft();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void OperatorMovedTo(int tableRow);
    void RefreshHeader();
    QTableWidgetItem* ItemAt(int row, int column, bool create);

    QString format_;
    int rows_ = FixedRows;
    int row_ = 0;
    bool moving_ = false;   // a move made through SetRow
    std::array<QString, FixedRows * Columns> fixedText_;
    std::array<QString, FixedRows * Columns> fixedColour_;
};
