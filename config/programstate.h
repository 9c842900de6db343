#pragma once
// What belongs to the whole program, whichever terminals it talks to and
// whichever configuration is open: the operator's language and the texts the
// windows show in it, what the settings file holds, the folder the program
// started in and the port map. main() makes one and hands it by reference to
// the main window; each command of vardelo-cli and each test makes its own.
// A terminal session only reads its texts.
//
// Member names are the names the rest of the program and its documentation
// use for these values, so they keep their capitalised form.

#include "platform/portmap.h"

#include <QHash>
#include <QString>
#include <QtGlobal>
#include <array>

struct ProgramState {
    // 0 German, 1000 English, 2000 French, 3000 Spanish; LanguageText is the
    // settings file's line for it.
    qint16 LanguageOffset = 0;
    QString LanguageText;
    // The windows' texts in that language, indices 100..1000 (only 101..273
    // used); each window copies its range in as it opens.
    std::array<QString, 1001> TextTable;

    // Line 1 of the settings file as read, and the port the program has
    // chosen (com1..com8, 0 for none): the main window's terminal opens on
    // it, and the settings file is written with it.
    QString PortLine;
    qint16 ChosenPort = 1;

    // The folder the program started in: where the file dialogs begin and a
    // read of the main window is stored.
    QString StartDirectory;
    // com1..com8 to a device or to the simulated terminal.
    PortMap Ports;
    // The directory of card holders last chosen in the site window, by the
    // site file's absolute path: offered again when the site is opened again.
    QHash<QString, QString> SiteDirectories;
};
