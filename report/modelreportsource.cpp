#include "report/modelreportsource.h"

#include "texts/catalogue.h"
#include "platform/reportprinter.h"

namespace {
constexpr int FirstGridHeaderText = 258;   // format strings of Mgd1 .. Mgd4 once a list was read
constexpr int OpeningGridHeaderText = 202; // the ones set when the window opens
constexpr int CapacityText = 262;

// The yes-option buttons and the image bits they show.
struct OptionBit {
    const char* name;
    int slot;
    int mask;
};
constexpr OptionBit OptionBits[] = {
    {"O1(0)", Slot::FeatureFlags, Feature::BuzzerWithOpener},
    {"O1(1)", Slot::FeatureFlags, Feature::OpenerIntervalTone},
    {"O1(2)", Slot::FeatureFlags, Feature::MagCardSignal},
    {"O1(3)", Slot::FeatureFlags, Feature::ChipCardSignal},
    {"O1(4)", Slot::FeatureFlags, Feature::MagCardEvaluation},
    {"O1(5)", Slot::FeatureFlags, Feature::DataOnDisplay},
    {"O1(7)", Slot::FeatureFlags, Feature::OpenDoorOnFault},
    {"O1(10)", Slot::TrackFlags, Track::MonitoringModule},
    {"Op1", Slot::FeatureFlags, Feature::BlockListsOn},
    {"Op3", Slot::TrackFlags, Track::EvaluateTrack2},
    {"Op5", Slot::TrackFlags, Track::EvaluateTrack3},
};
}

void ModelReportSource::GridRows::SetHeader(const QString& formatString)
{
    if (cells.size() < 2)
        SetRowCount(1);
    const qsizetype bar = formatString.indexOf(u'|');
    cells[0] = bar < 0 ? formatString : formatString.left(bar);
    cells[1] = bar < 0 ? QString() : formatString.mid(bar + 1);
}

ModelReportSource::ModelReportSource(Vardelomod& m) : m_(m)
{
    for (int g = 0; g < 4; ++g) {
        grids_[g].SetRowCount(2);
        grids_[g].SetHeader(TableText(m, OpeningGridHeaderText + g));
    }
    ListRowsObserver* previous = m.RowsObserver;
    m.RowsObserver = this;
    DecodeLists(m);
    m.RowsObserver = previous;
}

void ModelReportSource::ListsDecodeStarted(const Vardelomod&, bool)
{
    // Every grid starts empty with a blank capacity cell; a list that is read
    // gets its rows below.
    for (GridRows& grid : grids_) {
        grid.SetRowCount(2);
        grid.cells[2] = QStringLiteral(" ");
        grid.cells[3].clear();
    }
}

void ModelReportSource::ListStarted(const Vardelomod& m, int list, int count)
{
    if (list < 1 || list > 4)
        return;
    for (int g = 0; g < 4; ++g)
        grids_[g].SetHeader(TableText(m, FirstGridHeaderText + g));
    GridRows& grid = grids_[list - 1];
    grid.SetRowCount(count + 2);
    grid.cells[2] = TableText(m, CapacityText) + ReportPrinter::NumberText(count).chopped(1);
}

void ModelReportSource::RowDecoded(const Vardelomod& m, int list, int k, int row)
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

QString ModelReportSource::Text(int id) const
{
    return TableText(m_, id);
}

int ModelReportSource::LanguageOffset() const
{
    return m_.LanguageOffset;
}

QString ModelReportSource::ConfigFileName() const
{
    return m_.CurrentConfigFile;
}

QString ModelReportSource::ControlText(const QString& name) const
{
    if (name == u"Text1") {
        const int seconds = m_.ConfigImage[Slot::DoorOpenTime];
        return QString::number(seconds == 0 ? 1 : seconds);   // the editor shows a 0 as 1
    }
    if (name == u"Text2")
        return QString::number(DecodeDataLength(RecordLength(m_, TrackNo::Track2), OddLength(m_, TrackNo::Track2)));
    if (name == u"Text3")
        return QString::number(DecodeDataLength(RecordLength(m_, TrackNo::Track3), OddLength(m_, TrackNo::Track3)));
    if (name == u"Text4")
        return DecodePassword(m_);
    return {};
}

bool ModelReportSource::OptionSelected(const QString& name) const
{
    for (const OptionBit& option : OptionBits)
        if (name == QLatin1String(option.name))
            return FlagSet(m_, option.slot, option.mask);
    return false;
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
