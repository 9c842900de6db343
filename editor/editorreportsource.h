#pragma once
// The report source over the editor window's own controls, read as they stand
// when a print command starts (unsaved edits included): the basic settings
// through the settings panel, the display-line boxes by their names in the
// window, the tab control ST1, and the list grids through the grid panel's
// ListGridSource.

#include "report/reportsource.h"

struct ProgramState;
struct Configuration;
class BasicSettingsPanel;
class FileDialogs;
class ListGridSource;
class QWidget;

class EditorReportSource : public ReportSource {
public:
    EditorReportSource(const ProgramState& program, const Configuration& m, const QWidget& window,
                       const BasicSettingsPanel& settings, const ListGridSource& grids);

    QString Text(TextNumber id) const override;
    int LanguageOffset() const override;
    QString ConfigFileName() const override;
    bool ShowsYes(BasicSetting setting) const override;
    QString ShownValue(BasicSetting setting) const override;
    int ListCount(int list) const override;
    int GridRowCount(int grid) const override;
    QString GridCell(int grid, int index) const override;
    QString DisplayBox(int index) const override;
    int CurrentTab() const override;

private:
    const ProgramState& program_;
    const Configuration& m_;
    const QWidget& window_;
    const BasicSettingsPanel& settings_;
    const ListGridSource& grids_;
};

// The editor's two print commands: the printer selection dialog, then the
// current tab's section (section) or all four (no section) in one document.
// A cancel or any printer error ends the command without a message and
// prints nothing further. True when the document was completed.
// Printed to a PDF file, the dialog proposes the configuration's name in the
// work folder (StartDirectory): VARDELO.QLV prints to VARDELO.pdf.
bool RunEditorPrintCommand(const ProgramState& program, const Configuration& m, QWidget& window,
                           const BasicSettingsPanel& settings, const ListGridSource& grids, FileDialogs& dialogs,
                           bool all);
// The print preview of the current tab's section, printable from there.
void RunEditorPrintPreview(const ProgramState& program, const Configuration& m, QWidget& window,
                           const BasicSettingsPanel& settings, const ListGridSource& grids, FileDialogs& dialogs);
