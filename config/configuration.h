#pragma once
// One open configuration: its image, the list rows derived from it with their
// comments, the count of unsaved edits and the editor's place in it. A
// configuration is a value: the main window keeps the one it loads, edits
// and writes, a command of vardelo-cli or a test makes its own, and the
// functions that interpret an image (config/configimage.h) take the
// configuration they work on. What belongs to the whole program is in
// ProgramState, what belongs to one terminal in its session's SessionState.
//
// Member names are the names the rest of the program and its documentation
// use for these values, so they keep their capitalised form.

#include <QString>
#include <QtGlobal>
#include <array>

class ListRowsObserver;

struct Configuration {
    static constexpr int BlockSlots = 2048;   // the configuration block of file and terminal
    static constexpr int RowEntries = 2001;   // list rows 0..2000
    static constexpr int MaxRows = 1774;      // one list over 272..2047 with L = 1

    std::array<qint16, BlockSlots> ConfigImage{};

    // The rows of the lists in use as DecodeLists derives them: each row's
    // card data, comment and first slot, and how many rows each list has.
    std::array<QString, RowEntries> ListData;
    std::array<QString, RowEntries> ListComment;
    std::array<qint16, RowEntries> RowSlot{};
    quint16 ListCount1 = 0;
    quint16 ListCount2 = 0;
    quint16 ListCount3 = 0;
    quint16 ListCount4 = 0;

    qint16 ChangeCount = 0;     // unsaved edits; -1 while the editor opens
    QString CommentFileName;    // the comments file beside the configuration file
    // The configuration file (the file name of the main window's file
    // dialog): the editor opens and saves it, the report head prints it.
    QString CurrentConfigFile;

    // The editor's place: the row the row dialog edits (and whether OK took
    // it), the display line the display line dialog edits.
    quint16 CurrentRow = 0;
    qint16 EditConfirmed = 0;
    quint16 DisplayLineIndex = 0;

    // Whoever shows the list rows (the editor's grids, a report) listens here
    // while DecodeLists runs; nullptr when nobody does.
    ListRowsObserver* RowsObserver = nullptr;

    quint16 ListCount(int list) const;       // list 1..4
    void SetListCount(int list, quint16 count);
};
