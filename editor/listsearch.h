#pragma once
// Search over the list tabs: a find field "FindText" beside the tabs, opened
// by Ctrl+F. It finds card digits or comment text (any case, a part is
// enough) across the four lists in list order, switches to the hit's tab and
// marks the row in its grid, scrolled into view; F3 and Shift+F3 go to the
// next and previous hit, wrapping around. "not found" shows in the field
// itself. Escape closes the field (and not the editor). Searching never
// changes the image or ChangeCount.

#include <QObject>
#include <QString>

class ListGrids;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
struct ProgramState;
struct Configuration;

class ListSearch : public QObject {
    Q_OBJECT
public:
    // The field sits in the tab control's corner; the three commands go into menu.
    ListSearch(const ProgramState& program, const Configuration& m, QTabWidget* tabs, ListGrids& grids, QMenu* menu);

    void Open();           // Ctrl+F
    void FindNext();       // F3, Enter in the field
    void FindPrevious();   // Shift+F3
    void Close();          // Escape in the field

    QLineEdit* Field() const { return field_; }
    bool NotFoundShown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Find(int fromRow, bool forward);
    void ShowNotFound(bool notFound);

    const Configuration& m_;
    QTabWidget* tabs_;
    ListGrids& grids_;
    QLineEdit* field_ = nullptr;
    QLabel* notFound_ = nullptr;
    int hitRow_ = -1;   // row index of the hit shown, -1 before the first
};
