#include "report/ui/editorreportsource.h"

#include "app/catalogue.h"
#include "editor/editorwindow.h"
#include "platform/filedialogs.h"
#include "platform/grid.h"
#include "platform/ui/gridwidget.h"
#include "platform/ui/qtreportprinter.h"
#include "report/report.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>

EditorReportSource::EditorReportSource(const EditorWindow& editor) : editor_(editor)
{
}

QString EditorReportSource::Text(int id) const
{
    return TableText(editor_.Mod(), id);
}

int EditorReportSource::LanguageOffset() const
{
    return editor_.Mod().LanguageOffset;
}

QString EditorReportSource::ConfigFileName() const
{
    return editor_.Mod().CurrentConfigFile;
}

QString EditorReportSource::ControlText(const QString& name) const
{
    const auto* box = editor_.findChild<QLineEdit*>(name);
    return box ? box->text() : QString();
}

bool EditorReportSource::OptionSelected(const QString& name) const
{
    const auto* button = editor_.findChild<QAbstractButton*>(name);
    return button && button->isChecked();
}

int EditorReportSource::ListCount(int list) const
{
    return editor_.Mod().ListCount(list);
}

int EditorReportSource::GridRowCount(int grid) const
{
    const Grid* g = editor_.ListGrid(grid);
    return g ? g->Rows() : 0;
}

QString EditorReportSource::GridCell(int grid, int index) const
{
    const Grid* g = editor_.ListGrid(grid);
    return g ? g->TextAt(index) : QString();
}

QString EditorReportSource::DisplayBox(int index) const
{
    return editor_.DisplayLineText(index);
}

int EditorReportSource::CurrentTab() const
{
    return editor_.CurrentTab();
}

bool RunEditorPrintCommand(EditorWindow& editor, bool all)
{
    QPrinter printer(QPrinter::HighResolution);
    // A4 unless the chosen printer (or the operator in the dialog) says otherwise.
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printer.setPageSize(QPageSize(QPageSize::A4));
    if (!editor.Dialogs().ChoosePrinter(printer, &editor))
        return false;
    const EditorReportSource source(editor);
    QtReportPrinter reportPrinter(printer);
    Report report(reportPrinter, source, QDateTime::currentDateTime());
    const int tab = source.CurrentTab();
    if (all)
        return report.PrintAll();
    if (tab < 0 || tab > 3)
        return false;
    return report.PrintCurrentSection(ReportSection(tab));
}
