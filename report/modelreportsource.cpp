#include "report/modelreportsource.h"

#include "texts/catalogue.h"
#include "platform/reportprinter.h"

void ModelReportSource::GridRows::SetHeader(const QString& formatString)
{
    if (cells.size() < 2)
        SetRowCount(1);
    const qsizetype bar = formatString.indexOf(u'|');
    cells[0] = bar < 0 ? formatString : formatString.left(bar);
    cells[1] = bar < 0 ? QString() : formatString.mid(bar + 1);
}

ModelReportSource::ModelReportSource(const ProgramState& program, Configuration& m) : program_(program), m_(m)
{
    for (int g = 0; g < 4; ++g) {
        grids_[g].SetRowCount(2);
        grids_[g].SetHeader(TableText(program_, Text::OpeningGridHeader1 + g));
    }
    ListRowsObserver* previous = m.RowsObserver;
    m.RowsObserver = this;
    DecodeLists(m);
    m.RowsObserver = previous;
}

void ModelReportSource::ListsDecodeStarted(const Configuration&, bool)
{
    // Every grid starts empty with a blank capacity cell; a list that is read
    // gets its rows below.
    for (GridRows& grid : grids_) {
        grid.SetRowCount(2);
        grid.cells[2] = QStringLiteral(" ");
        grid.cells[3].clear();
    }
}

void ModelReportSource::ListStarted(const Configuration&, int list, int count)
{
    if (list < 1 || list > 4)
        return;
    for (int g = 0; g < 4; ++g)
        grids_[g].SetHeader(TableText(program_, Text::GridHeader1 + g));
    GridRows& grid = grids_[list - 1];
    grid.SetRowCount(count + 2);
    grid.cells[2] = TableText(program_, Text::ListCapacity) + ReportPrinter::NumberText(count).chopped(1);
}

void ModelReportSource::RowDecoded(const Configuration& m, int list, int k, int row)
{
    if (list < 1 || list > 4)
        return;
    GridRows& grid = grids_[list - 1];
    const int r = k + 2;
    if (2 * r + 1 >= grid.cells.size())
        grid.SetRowCount(r + 1);
    grid.cells[2 * r] = m.ListData[row];
    grid.cells[2 * r + 1] = m.ListComment[row];
}

QString ModelReportSource::Text(TextNumber id) const
{
    return TableText(program_, id);
}

int ModelReportSource::LanguageOffset() const
{
    return program_.LanguageOffset;
}

QString ModelReportSource::ConfigFileName() const
{
    return m_.CurrentConfigFile;
}

bool ModelReportSource::ShowsYes(BasicSetting setting) const
{
    return SettingOn(m_, setting);
}

QString ModelReportSource::ShownValue(BasicSetting setting) const
{
    const BasicSettingEntry& entry = SettingEntry(setting);
    if (entry.values == SettingValues::Seconds && m_.ConfigImage[entry.slot] == 0)
        return QStringLiteral("1");   // the editor shows a 0 as 1
    return SettingText(m_, entry);
}

int ModelReportSource::ListCount(int list) const
{
    return m_.ListCount(list);
}

int ModelReportSource::GridRowCount(int grid) const
{
    return grid >= 1 && grid <= 4 ? int(grids_[grid - 1].cells.size() / 2) : 0;
}

QString ModelReportSource::GridCell(int grid, int index) const
{
    if (grid < 1 || grid > 4 || index < 0 || index >= grids_[grid - 1].cells.size())
        return {};
    return grids_[grid - 1].cells[index];
}

QString ModelReportSource::DisplayBox(int index) const
{
    return DecodeDisplayLine(m_, index);
}
