#pragma once
// A ReportSource built straight from a configuration, showing what the editor
// would show for it just after opening: the basic settings as ShowSettings
// derives them, the grids as DecodeLists fills them (through the
// same ListRowsObserver the editor's grids listen on), the display-line boxes.
// Used where no editor window exists (the command-line companion).

#include "config/configimage.h"
#include "config/programstate.h"
#include "report/reportsource.h"

#include <QStringList>
#include <array>

class ModelReportSource : public ReportSource, private ListRowsObserver {
public:
    // Runs DecodeLists on m to fill the grids; the program's text table must
    // hold the editor's texts.
    ModelReportSource(const ProgramState& program, Configuration& m);

    void SetCurrentTab(int tab) { tab_ = tab; }

    QString Text(TextNumber id) const override;
    int LanguageOffset() const override;
    QString ConfigFileName() const override;
    bool ShowsYes(BasicSetting setting) const override;
    QString ShownValue(BasicSetting setting) const override;
    int ListCount(int list) const override;
    int GridRowCount(int grid) const override;
    QString GridCell(int grid, int index) const override;
    QString DisplayBox(int index) const override;
    int CurrentTab() const override { return tab_; }

private:
    struct GridRows {
        QStringList cells;   // row * 2 + column
        void SetRowCount(int rows) { cells.resize(2 * rows); }
        void SetHeader(const QString& formatString);
    };
    void ListsDecodeStarted(const Configuration& m, bool listsShown) override;
    void ListStarted(const Configuration& m, int list, int count) override;
    void RowDecoded(const Configuration& m, int list, int k, int row) override;

    const ProgramState& program_;
    const Configuration& m_;
    std::array<GridRows, 4> grids_;
    int tab_ = 0;
};
