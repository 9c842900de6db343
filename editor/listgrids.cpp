#include "editor/listgrids.h"

#include "texts/catalogue.h"
#include "editor/rowedit.h"
#include "platform/ui/colours.h"
#include "platform/ui/gridwidget.h"
#include "platform/ui/twips.h"

namespace {

const std::array<int, 5> CommentPad{0, 54, 57, 57, 56};

} // namespace

ListGrids::ListGrids(ProgramState& program, Configuration& m, Messages& messages, const ModalRunner& showModal,
                     QWidget* privileges, QWidget* blockLists, QWidget* dialogParent)
    : QObject(dialogParent),
      program_(program),
      m_(m),
      messages_(messages),
      showModal_(showModal),
      dialogParent_(dialogParent)
{
    Build(privileges, 1);
    Build(blockLists, 3);
}

GridWidget* ListGrids::GridOf(int list) const
{
    return list >= 1 && list <= 4 ? grids_[list - 1] : nullptr;
}

const Grid* ListGrids::ListGrid(int list) const
{
    return GridOf(list);
}

void ListGrids::Build(QWidget* container, int firstList)
{
    for (int list = firstList; list < firstList + 2; ++list) {
        auto* grid = new GridWidget(container);
        grid->setObjectName(QStringLiteral("Mgd%1").arg(list));
        const bool left = list % 2 == 1;
        grid->setGeometry(left ? TwipsRect(360, 240, 5055, 6015) : TwipsRect(5880, 240, 5175, 6015));
        grid->SetFormatString(TableText(program_, Text::OpeningGridHeader1 + (list - 1)));
        grid->SetRows(Grid::FixedRows);
        grid->SetRow(1);
        grids_[list - 1] = grid;
        connect(grid, &GridWidget::Clicked, this, [this, list] { OpenRow(list); });
        connect(grid, &GridWidget::KeyPressed, this, [this, list](int code) {
            if (m_.ListCount(list) != 0 && code == 13)
                OpenRow(list);
        });
        connect(grid, &GridWidget::FocusGained, this, [this, list] { OnFocusGained(list); });
        connect(grid, &GridWidget::FocusLost, this, [this, list] { OnFocusLost(list); });
        connect(grid, &GridWidget::CellEntered, this, [this, list] { OnCellEntered(list); });
        connect(grid, &GridWidget::CellLeft, this, [this, list] { OnCellLeft(list); });
    }
}

int ListGrids::RowOffset(int list) const
{
    int offset = 0;
    for (int l = 1; l < list; ++l)
        offset += m_.ListCount(l);
    return offset;
}

void ListGrids::ListsDecodeStarted(const Configuration& m, bool listsShown)
{
    marked_ = {};
    for (GridWidget* grid : grids_) {
        grid->SetRows(Grid::FixedRows);   // no colour of a former reading survives
        grid->SetRows(25);
        grid->SetRow(1);
        grid->SetText(QStringLiteral(" "));
    }
    if (!listsShown) {
        for (GridWidget* grid : grids_)
            grid->SetRows(Grid::FixedRows);
        return;
    }
    for (int list = 1; list <= 4; ++list) {
        // A list that is not in use, or whose track has no usable record
        // length, is shown without data rows.
        if (!ListInUse(m, list) || !RecordLengthUsable(m, TrackOfList(list)))
            grids_[list - 1]->SetRows(Grid::FixedRows);
    }
}

void ListGrids::ListStarted(const Configuration& m, int list, int count)
{
    for (int l = 1; l <= 4; ++l)
        grids_[l - 1]->SetFormatString(TableText(program_, Text::GridHeader1 + (l - 1)));
    if (list < 1 || list > 4)
        return;
    longestComment_ = 33;
    GridWidget* grid = grids_[list - 1];
    grid->SetRows(count + Grid::FixedRows);
    grid->SetRow(1);
    // The count in number-to-text form: a blank before a non-negative number.
    grid->SetText(TableText(program_, Text::ListCapacity) + (count >= 0 ? QStringLiteral(" ") : QString())
                  + QString::number(count));
}

void ListGrids::RowDecoded(const Configuration& m, int list, int k, int row)
{
    if (list < 1 || list > 4 || row < 0 || row >= Configuration::RowEntries)
        return;
    GridWidget* grid = grids_[list - 1];
    const int r = k + Grid::FixedRows;
    grid->SetTextAt(r * 2, m.ListData[row]);
    const QString& comment = m.ListComment[row];
    grid->SetTextAt(r * 2 + 1, comment);
    if (comment.size() > longestComment_)
        longestComment_ = int(comment.size());
}

void ListGrids::ListFinished(const Configuration& m, int list)
{
    if (list < 1 || list > 4)
        return;
    if (longestComment_ != 33) {
        GridWidget* grid = grids_[list - 1];
        grid->SetFormatString(grid->FormatString() + QString(CommentPad[list], u' '));
    }
    for (int l = 1; l <= 4; ++l) {
        GridWidget* grid = grids_[l - 1];
        if (m.ListCount(l) != 0 && grid->Rows() > Grid::FixedRows) {
            grid->SetRow(2);
            grid->SetCellBackColor(ColourText::WindowBackground);
        } else {
            grid->SetRow(1);
        }
    }
}

void ListGrids::OpenRow(int list)
{
    GridWidget* grid = GridOf(list);
    if (!grid)
        return;
    const int r = grid->SelectedRow();
    if (r < Grid::FixedRows)
        return;
    const int row = r - Grid::FixedRows + RowOffset(list);
    if (row >= Configuration::RowEntries)
        return;
    m_.CurrentRow = quint16(row);
    grid->SetCellBackColor(ColourText::Red);
    {
        // It opens centred over the editor (wherever the editor stands).
        RowEditDialog dialog(program_, m_, messages_, dialogParent_);
        showModal_(dialog);
    }
    emit Edited();
    if (m_.EditConfirmed == 0) {
        grid->SetCellBackColor(ColourText::WindowBackground);
        return;
    }
    const int edited = grid->SelectedRow();
    grid->SetTextAt(edited * 2, m_.ListData[m_.CurrentRow]);
    grid->SetTextAt(edited * 2 + 1, m_.ListComment[m_.CurrentRow]);
    grid->SetCellBackColor(ColourText::ButtonFace);
    EncodeRowData(m_, m_.CurrentRow);
}

void ListGrids::OnFocusGained(int list)
{
    if (m_.EditConfirmed != 1 && m_.ListCount(list) != 0)
        grids_[list - 1]->SetCellBackColor(ColourText::Red);
}

void ListGrids::OnFocusLost(int list)
{
    if (m_.EditConfirmed == 1) {
        m_.EditConfirmed = 0;
        return;
    }
    if (m_.ListCount(list) != 0)
        grids_[list - 1]->SetCellBackColor(ColourText::WindowBackground);
}

void ListGrids::OnCellEntered(int list)
{
    if (grids_[list - 1]->Row() != 1)
        grids_[list - 1]->SetCellBackColor(ColourText::Red);
}

void ListGrids::OnCellLeft(int list)
{
    if (grids_[list - 1]->Row() != 1)
        grids_[list - 1]->SetCellBackColor(ColourText::WindowBackground);
}

void ListGrids::ShowRow(int list, int k)
{
    GridWidget* grid = GridOf(list);
    const int r = k + Grid::FixedRows;
    if (!grid || k < 0 || r >= grid->Rows())
        return;
    // The former mark goes unless the operator's cursor has moved on from it.
    if (GridWidget* former = GridOf(marked_.list); former && former->Row() == marked_.row)
        former->SetCellBackColor(ColourText::WindowBackground);
    grid->SetRow(r);
    grid->SetCellBackColor(ColourText::Red);
    grid->scrollToItem(grid->item(k, 0), QAbstractItemView::PositionAtCenter);
    marked_ = {list, r};
}
