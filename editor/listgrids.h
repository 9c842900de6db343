#pragma once
// The editor's list grids Mgd1..Mgd4: lists 1 and 2 on the privileges tab
// ("umr1"), lists 3 and 4 on the block lists tab ("umr2"). They fill
// themselves while DecodeLists runs (as its observer), open a row in the row
// edit dialog on a click or Enter and write the confirmed row back into
// ConfigImage, and colour their cursor cell as the focus moves.

#include "config/configimage.h"
#include "config/programstate.h"
#include "platform/ui/modal.h"
#include "report/listgridsource.h"

#include <QObject>
#include <array>

class GridWidget;
class Messages;
class QWidget;

class ListGrids : public QObject, public ListRowsObserver, public ListGridSource {
    Q_OBJECT
public:
    // privileges, blockLists: the containers of the two tabs; dialogParent
    // owns the row edit dialog.
    ListGrids(ProgramState& program, Configuration& m, Messages& messages, const ModalRunner& showModal,
              QWidget* privileges, QWidget* blockLists, QWidget* dialogParent);

    GridWidget* GridOf(int list) const;   // list 1..4, nullptr outside
    const Grid* ListGrid(int list) const override;

    // Click or Enter on a grid (list 1..4): the row edit dialog for its selected row.
    void OpenRow(int list);
    // A search hit: record k of the list becomes its grid's current row, marked
    // with the cursor colour and scrolled into view; the former hit's mark goes.
    void ShowRow(int list, int k);

    // ListRowsObserver: the grids fill themselves while DecodeLists runs.
    void ListsDecodeStarted(const Configuration& m, bool listsShown) override;
    void ListStarted(const Configuration& m, int list, int count) override;
    void RowDecoded(const Configuration& m, int list, int k, int row) override;
    void ListFinished(const Configuration& m, int list) override;

signals:
    // A row edit dialog closed: ChangeCount may have changed.
    void Edited();

private:
    void Build(QWidget* container, int firstList);
    int RowOffset(int list) const;
    void OnFocusGained(int list);
    void OnFocusLost(int list);
    void OnCellEntered(int list);
    void OnCellLeft(int list);

    ProgramState& program_;
    Configuration& m_;
    Messages& messages_;
    const ModalRunner& showModal_;
    QWidget* dialogParent_;
    std::array<GridWidget*, 4> grids_{};   // Mgd1..Mgd4
    int longestComment_ = 33;              // the longest accompanying text of the list being read
    struct Mark {
        int list = 0, row = 0;             // the grid row a search marked, list 0 for none
    };
    Mark marked_;
};
