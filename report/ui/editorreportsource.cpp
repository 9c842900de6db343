#include "report/ui/editorreportsource.h"

#include "app/catalogue.h"
#include "platform/filedialogs.h"
#include "platform/grid.h"
#include "platform/ui/qtreportprinter.h"
#include "report/listgridsource.h"
#include "report/report.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QTabWidget>

EditorReportSource::EditorReportSource(const Vardelomod& m, const QWidget& window, const ListGridSource& grids)
    : m_(m), window_(window), grids_(grids)
{
}

QString EditorReportSource::Text(int id) const
{
    return TableText(m_, id);
}

int EditorReportSource::LanguageOffset() const
{
    return m_.LanguageOffset;
}

QString EditorReportSource::ConfigFileName() const
{
    return m_.CurrentConfigFile;
}

QString EditorReportSource::ControlText(const QString& name) const
{
    const auto* box = window_.findChild<QLineEdit*>(name);
    return box ? box->text() : QString();
}

bool EditorReportSource::OptionSelected(const QString& name) const
{
    const auto* button = window_.findChild<QAbstractButton*>(name);
    return button && button->isChecked();
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
    return index >= 0 && index < 16 ? ControlText(QStringLiteral("b1(%1)").arg(index)) : QString();
}

int EditorReportSource::CurrentTab() const
{
    const auto* tabs = window_.findChild<QTabWidget*>(QStringLiteral("ST1"));
    return tabs ? tabs->currentIndex() : 0;
}

bool RunEditorPrintCommand(const Vardelomod& m, QWidget& window, const ListGridSource& grids, FileDialogs& dialogs,
                           bool all)
{
    QPrinter printer(QPrinter::HighResolution);
    // A4 unless the chosen printer (or the operator in the dialog) says otherwise.
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printer.setPageSize(QPageSize(QPageSize::A4));
    if (!dialogs.ChoosePrinter(printer, &window))
        return false;
    const EditorReportSource source(m, window, grids);
    QtReportPrinter reportPrinter(printer);
    Report report(reportPrinter, source, QDateTime::currentDateTime());
    const int tab = source.CurrentTab();
    if (all)
        return report.PrintAll();
    if (tab < 0 || tab > 3)
        return false;
    return report.PrintCurrentSection(ReportSection(tab));
}
