#include "platform/ui/gridwidget.h"

#include "platform/ui/colours.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>

namespace {
constexpr int ColourRole = Qt::UserRole + 1;
constexpr int CellPaddingPx = 6;
}

GridWidget::GridWidget(QWidget* parent)
    : QTableWidget(0, Columns, parent)
{
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setTabKeyNavigation(false);
    for (int c = 0; c < Columns; ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem);

    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int currentRow, int, int previousRow, int) {
                if (moving_ || currentRow == previousRow)
                    return;
                if (previousRow >= 0 && row_ != 1)
                    emit CellLeft();
                OperatorMovedTo(currentRow);
            });
    connect(this, &QTableWidget::cellClicked, this, [this](int tableRow, int) {
        if (tableRow + FixedRows != row_)
            OperatorMovedTo(tableRow);
        emit Clicked();
    });
}

void GridWidget::OperatorMovedTo(int tableRow)
{
    if (tableRow < 0)
        return;
    row_ = tableRow + FixedRows;
    emit CellEntered();
}

void GridWidget::SetFormatString(const QString& format)
{
    format_ = format;
    const QStringList headers = format.split(u'|');
    const QFontMetrics metrics(horizontalHeader()->font());
    for (int c = 0; c < Columns; ++c) {
        const QString header = c < headers.size() ? headers.at(c) : QString();
        fixedText_[c] = header;
        setColumnWidth(c, metrics.horizontalAdvance(header) + 2 * CellPaddingPx);
    }
    RefreshHeader();
}

QString GridWidget::FormatString() const
{
    return format_;
}

void GridWidget::RefreshHeader()
{
    for (int c = 0; c < Columns; ++c) {
        const QString top = fixedText_[c].trimmed();
        const QString second = fixedText_[Columns + c];
        horizontalHeaderItem(c)->setText(top + u'\n' + second);
    }
}

void GridWidget::SetRows(int rows)
{
    rows_ = qMax(rows, int(FixedRows));
    moving_ = true;
    setRowCount(rows_ - FixedRows);
    moving_ = false;
    if (row_ >= rows_)
        row_ = rows_ - 1;
}

int GridWidget::Rows() const
{
    return rows_;
}

void GridWidget::SetRow(int row)
{
    if (row < 0 || row >= rows_)
        return;
    row_ = row;
    if (row >= FixedRows) {
        moving_ = true;
        const bool scroll = hasAutoScroll();
        setAutoScroll(false);
        setCurrentCell(row - FixedRows, 0);
        setAutoScroll(scroll);
        moving_ = false;
    }
}

int GridWidget::Row() const
{
    return row_;
}

int GridWidget::SelectedRow() const
{
    return row_;
}

QTableWidgetItem* GridWidget::ItemAt(int row, int column, bool create)
{
    const int tableRow = row - FixedRows;
    if (tableRow < 0 || tableRow >= rowCount() || column < 0 || column >= Columns)
        return nullptr;
    QTableWidgetItem* it = item(tableRow, column);
    if (!it && create) {
        it = new QTableWidgetItem;
        setItem(tableRow, column, it);
    }
    return it;
}

void GridWidget::SetText(const QString& text)
{
    SetTextAt(row_ * Columns, text);
}

QString GridWidget::Text() const
{
    return TextAt(row_ * Columns);
}

void GridWidget::SetTextAt(int index, const QString& text)
{
    const int row = index / Columns;
    const int column = index % Columns;
    if (index < 0 || row >= rows_)
        return;
    if (row < FixedRows) {
        if (row == 0) {
            // Row 0 holds the column headers, as the format string sets them.
            fixedText_[column] = text;
        } else {
            fixedText_[Columns + column] = text;
        }
        RefreshHeader();
        return;
    }
    if (QTableWidgetItem* it = ItemAt(row, column, true))
        it->setText(text);
}

QString GridWidget::TextAt(int index) const
{
    const int row = index / Columns;
    const int column = index % Columns;
    if (index < 0 || row >= rows_)
        return {};
    if (row < FixedRows)
        return row == 0 ? fixedText_[column] : fixedText_[Columns + column];
    const QTableWidgetItem* it = item(row - FixedRows, column);
    return it ? it->text() : QString();
}

void GridWidget::SetCellBackColor(const QString& colourText)
{
    if (row_ < FixedRows) {
        fixedColour_[row_ * Columns] = colourText;
        return;
    }
    if (QTableWidgetItem* it = ItemAt(row_, 0, true)) {
        it->setData(ColourRole, colourText);
        it->setBackground(ColourFromText(colourText, palette()));
    }
}

QString GridWidget::CellBackColorAt(int index) const
{
    const int row = index / Columns;
    const int column = index % Columns;
    if (index < 0 || row >= rows_)
        return {};
    if (row < FixedRows)
        return fixedColour_[index];
    const QTableWidgetItem* it = item(row - FixedRows, column);
    return it ? it->data(ColourRole).toString() : QString();
}

void GridWidget::keyPressEvent(QKeyEvent* event)
{
    int code = 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        code = 13;
    else if (!event->text().isEmpty())
        code = event->text().at(0).unicode();
    if (code != 0)
        emit KeyPressed(code);
    QTableWidget::keyPressEvent(event);
}

// Focus that only leaves for a message box, a menu or a dialog and comes
// back is not reported: the cursor colour of an open row stays visible.
static bool OwnFocusChange(const QFocusEvent* event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

void GridWidget::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    if (OwnFocusChange(event))
        emit FocusGained();
}

void GridWidget::focusOutEvent(QFocusEvent* event)
{
    QTableWidget::focusOutEvent(event);
    if (OwnFocusChange(event))
        emit FocusLost();
}

void GridWidget::changeEvent(QEvent* event)
{
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && !format_.isEmpty())
        SetFormatString(format_);
}
