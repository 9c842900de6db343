#pragma once
// The configuration being edited. main() creates one and hands it by
// reference to the windows; what belongs to the whole program (language,
// texts, settings) is in ProgramState, what belongs to one terminal in the
// session's SessionState. Tests make their own fresh instance.
//
// Member names are the names the rest of the program and its documentation
// use for these values, so they keep their capitalised form.

#include <QString>
#include <QtGlobal>
#include <array>

class ListRowsObserver;

struct Vardelomod {
    static constexpr int BlockSlots = 2048;   // the configuration block of file and terminal
    static constexpr int RowEntries = 2001;   // list rows 0..2000
    static constexpr int MaxRows = 1774;      // one list over 272..2047 with L = 1

    std::array<qint16, BlockSlots> ConfigImage{};

    std::array<QString, RowEntries> ListData;
    std::array<QString, RowEntries> ListComment;
    std::array<qint16, RowEntries> RowSlot{};
    quint16 CurrentRow = 0;
    quint16 ListCount1 = 0;
    quint16 ListCount2 = 0;
    quint16 ListCount3 = 0;
    quint16 ListCount4 = 0;

    qint16 ChangeCount = 0;
    qint16 EditConfirmed = 0;
    QString CommentFileName;
    quint16 DisplayLineIndex = 0;

    bool EditAfterLoad = false;
    // The current configuration file (the file name of the main window's
    // file dialog): the editor opens and saves it, the report head prints it.
    QString CurrentConfigFile;

    // Whoever shows the list rows (the editor's grids, a report) listens here
    // while DecodeLists runs; nullptr when nobody does.
    ListRowsObserver* RowsObserver = nullptr;

    quint16 ListCount(int list) const;       // list 1..4
    void SetListCount(int list, quint16 count);
};
