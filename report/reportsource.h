#pragma once
// What the reports read: what the editor shows as it stands when a print
// command starts (the basic settings, the list grids, the display-line
// boxes), the text table and the current configuration file. The editor window offers it
// over its widgets; the command-line companion builds it from a
// configuration just opened.

#include "config/basicsettings.h"
#include "texts/textids.h"

#include <QString>

class ReportSource {
public:
    virtual ~ReportSource() = default;

    // Text table entry of a text ID, in the language the editor was opened in.
    virtual QString Text(TextNumber id) const = 0;
    virtual int LanguageOffset() const = 0;
    // Path and name of the current configuration file.
    virtual QString ConfigFileName() const = 0;

    // A basic setting as the editor shows it: whether a yes/no setting
    // shows yes; the text a number or the password shows (an entry not yet
    // committed as it was typed).
    virtual bool ShowsYes(BasicSetting setting) const = 0;
    virtual QString ShownValue(BasicSetting setting) const = 0;

    // ListCount1 .. ListCount4.
    virtual int ListCount(int list) const = 0;
    // Grids Mgd1 .. Mgd4 (grid 1..4): rows as the grid shows them, row 0 the
    // caption row and row 1 the capacity line; cells by index row * 2 + column.
    virtual int GridRowCount(int grid) const = 0;
    virtual QString GridCell(int grid, int index) const = 0;

    // Display-line box b1(i), i = 0..15.
    virtual QString DisplayBox(int index) const = 0;

    // Current tab of the editor: 0 basic settings, 1 privileges, 2 block lists, 3 display texts.
    virtual int CurrentTab() const = 0;
};
