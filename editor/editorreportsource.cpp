#include "editor/editorreportsource.h"

#include "texts/catalogue.h"
#include "config/configuration.h"
#include "editor/basicsettingspanel.h"
#include "platform/filedialogs.h"
#include "platform/grid.h"
#include "platform/ui/qtreportprinter.h"
#include "report/listgridsource.h"
#include "report/report.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QTabWidget>

EditorReportSource::EditorReportSource(const ProgramState& program, const Configuration& m, const QWidget& window,
                                       const BasicSettingsPanel& settings, const ListGridSource& grids)
    : program_(program), m_(m), window_(window), settings_(settings), grids_(grids)
{
}

QString EditorReportSource::Text(TextNumber id) const
{
    return TableText(program_, id);
}

int EditorReportSource::LanguageOffset() const
{
    return program_.LanguageOffset;
}

QString EditorReportSource::ConfigFileName() const
{
    return m_.CurrentConfigFile;
}

bool EditorReportSource::ShowsYes(BasicSetting setting) const
{
    return settings_.ShowsYes(setting);
}

QString EditorReportSource::ShownValue(BasicSetting setting) const
{
    return settings_.ShownValue(setting);
}

int EditorReportSource::ListCount(int list) const
{
    return m_.ListCount(list);
}

int EditorReportSource::GridRowCount(int grid) const
{
    const Grid* g = grids_.ListGrid(grid);
    return g ? g->Rows() : 0;
}

QString EditorReportSource::GridCell(int grid, int index) const
{
    const Grid* g = grids_.ListGrid(grid);
    return g ? g->TextAt(index) : QString();
}

QString EditorReportSource::DisplayBox(int index) const
{
    if (index < 0 || index >= 16)
        return {};
    const auto* box = window_.findChild<QLineEdit*>(QStringLiteral("b1(%1)").arg(index));
    return box ? box->text() : QString();
}

int EditorReportSource::CurrentTab() const
{
    const auto* tabs = window_.findChild<QTabWidget*>(QStringLiteral("ST1"));
    return tabs ? tabs->currentIndex() : 0;
}

namespace {

// The configuration's name in the work folder (else beside the configuration).
QString ProposedPdfFile(const ProgramState& program, const Configuration& m)
{
    const QFileInfo config(m.CurrentConfigFile);
    const QString folder = program.StartDirectory.isEmpty() ? config.absolutePath() : program.StartDirectory;
    return QDir(folder).filePath(config.completeBaseName() + QStringLiteral(".pdf"));
}

void SetUpPrinter(QPrinter& printer, const Configuration& m)
{
    // A4 unless the chosen printer (or the operator in the dialog) says otherwise.
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printer.setPageSize(QPageSize(QPageSize::A4));
    // The print job (and the toolkit's own proposal of a PDF) carries the configuration's name.
    printer.setDocName(QFileInfo(m.CurrentConfigFile).fileName());
}

bool PrintReport(QPrinter& printer, const EditorReportSource& source, bool all)
{
    QtReportPrinter reportPrinter(printer);
    Report report(reportPrinter, source, QDateTime::currentDateTime());
    const int tab = source.CurrentTab();
    if (all)
        return report.PrintAll();
    if (tab < 0 || tab > 3)
        return false;
    return report.PrintCurrentSection(ReportSection(tab));
}

} // namespace

bool RunEditorPrintCommand(const ProgramState& program, const Configuration& m, QWidget& window,
                           const BasicSettingsPanel& settings,
                           const ListGridSource& grids, FileDialogs& dialogs, bool all)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, m);
    if (!dialogs.ChoosePrinter(printer, ProposedPdfFile(program, m), &window))
        return false;
    return PrintReport(printer, EditorReportSource(program, m, window, settings, grids), all);
}

void RunEditorPrintPreview(const ProgramState& program, const Configuration& m, QWidget& window,
                           const BasicSettingsPanel& settings, const ListGridSource& grids, FileDialogs& dialogs)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, m);
    const EditorReportSource source(program, m, window, settings, grids);
    dialogs.PreviewPrint(
        printer, ProposedPdfFile(program, m), [&source](QPrinter& target) { PrintReport(target, source, false); },
        &window);
}
