#include "report/report.h"

#include "platform/reportprinter.h"
#include "report/reportsource.h"

namespace {
constexpr int EnglishOffset = 1000;
}

Report::Report(ReportPrinter& printer, const ReportSource& source, QDateTime now)
    : printer_(printer), source_(source), now_(std::move(now))
{
}

bool Report::Stopped() const
{
    return printer_.Failed();
}

bool Report::PrintCurrentSection(ReportSection section)
{
    printer_.SetFontName(ReportLayout::FontName);
    printer_.SetQuality(ReportLayout::Quality);
    PrintReportHead();
    switch (section) {
    case ReportSection::BasicSettings: PrintBasicSettings(); break;
    case ReportSection::Privileges: PrintPrivileges(); break;
    case ReportSection::BlockLists: PrintBlockLists(); break;
    case ReportSection::DisplayTexts: PrintDisplayTexts(); break;
    }
    if (Stopped())
        return false;
    printer_.EndDocument();
    return !Stopped();
}

bool Report::PrintAll()
{
    printer_.SetFontName(ReportLayout::FontName);
    printer_.SetQuality(ReportLayout::Quality);
    PrintReportHead();
    PrintBasicSettings();
    printer_.NewPage();
    if (Stopped())
        return false;
    PrintReportHead();
    PrintPrivileges();
    if (Stopped())
        return false;
    PrintReportHead();
    PrintBlockLists();
    if (Stopped())
        return false;
    PrintReportHead();
    PrintDisplayTexts();
    if (Stopped())
        return false;
    printer_.EndDocument();
    return !Stopped();
}

// ---- steps -----------------------------------------------------------------

void Report::PrintReportHead()
{
    PrintListHead(Text::ReportListHead, 14);
}

void Report::PrintListHead(TextNumber textId, int size)
{
    printer_.SetX(ReportLayout::LeftX);
    printer_.SetY(ReportLayout::HeadY);
    printer_.SetFontSize(size);
    printer_.SetBoldOff();
    printer_.PrintText(source_.Text(textId), false);
    printer_.PrintText(source_.ConfigFileName(), true);
}

void Report::PrintTitle(TextNumber textId)
{
    printer_.SetX(ReportLayout::LeftX);
    printer_.SetY(ReportLayout::TitleY);
    printer_.SetFontSize(14);
    printer_.PrintText(source_.Text(textId), true);
}

void Report::PrintLine()
{
    printer_.SetX(State.LineX);
    printer_.SetY(State.LineY);
    if (State.ColumnOffset == 0) {
        printer_.PrintText(State.LeftText, true);
        printer_.SetX(State.LineX);
    } else {
        printer_.PrintText(State.LeftText, false);
        printer_.SetX(State.LineX + State.ColumnOffset);
    }
    printer_.PrintText(State.RightText, true);
    State.LineY += State.LineStep;
}

void Report::PrintNoFurtherData()
{
    printer_.SetX(ReportLayout::LeftX);
    printer_.SetY(printer_.Y() + ReportLayout::NoFurtherDataGap);
    printer_.SetFontSize(12);
    printer_.PrintText(source_.Text(Text::ReportNoFurtherData), true);
}

QString Report::DateText() const
{
    // The system date in its fixed month-day-year form; day first except in English.
    const QString monthFirst = now_.date().toString(QStringLiteral("MM-dd-yyyy"));
    const QString date = source_.LanguageOffset() == EnglishOffset
                             ? monthFirst
                             : monthFirst.mid(3, 3) + monthFirst.left(3) + monthFirst.mid(6, 4);
    return date + QStringLiteral("    ");
}

QString Report::TimeText() const
{
    return now_.time().toString(QStringLiteral("HH:mm"));
}

void Report::PrintDateTime()
{
    printer_.SetFontSize(8);
    printer_.SetX(ReportLayout::DateX);
    printer_.SetY(ReportLayout::FootY);
    printer_.PrintText(DateText(), false);
    printer_.PrintText(TimeText(), true);
}

void Report::PrintPageNumber()
{
    printer_.SetFontSize(8);
    printer_.SetX(ReportLayout::PageNumberX);
    printer_.SetY(ReportLayout::FootY);
    printer_.PrintText(source_.Text(Text::ReportPage), false);
    printer_.PrintNumber(State.PageNumber);
    printer_.PrintText(QStringLiteral(" -"), true);
    ++State.PageNumber;
}

void Report::FetchGridRow()
{
    State.LeftText = source_.GridCell(State.SourceGrid, 2 * State.RowIndex);
    State.RightText = source_.GridCell(State.SourceGrid, 2 * State.RowIndex + 1);
}

void Report::PrintListRows()
{
    State.LineX = ReportLayout::LeftX;
    State.LineY = ReportLayout::FirstRowY;
    State.ColumnOffset = 3500;
    State.LineStep = 300;
    printer_.SetFontSize(8);
    for (State.RowIndex = 0; State.RowIndex < State.RowCount; ++State.RowIndex) {
        if (Stopped())
            return;
        printer_.SetX(State.LineX);
        if (State.LineY > ReportLayout::PageBreakY) {
            PrintDateTime();
            PrintPageNumber();
            printer_.NewPage();
            State.LineY = ReportLayout::ContinuationCaptionY;
            State.LeftText = State.HeaderLeft;
            State.RightText = State.HeaderRight;
            PrintLine();
        }
        printer_.SetX(State.LineX);
        FetchGridRow();
        if (State.RowIndex == 0) {
            State.HeaderLeft = State.LeftText;
            State.HeaderRight = State.RightText;
        }
        PrintLine();
    }
    PrintNoFurtherData();
    PrintDateTime();
    PrintPageNumber();
    printer_.NewPage();
}

// ---- sections --------------------------------------------------------------

QString Report::YesNo(BasicSetting setting) const
{
    return source_.Text(source_.ShowsYes(setting) ? Text::ReportYes : Text::ReportNo);
}

QString Report::SettingValue(const BasicSettingEntry& setting, bool meaningful) const
{
    switch (setting.values) {
    case SettingValues::Seconds: return source_.ShownValue(setting.setting) + source_.Text(Text::ReportSeconds);
    case SettingValues::YesNo: return YesNo(setting.setting);
    case SettingValues::Digits: return meaningful ? source_.ShownValue(setting.setting) : QStringLiteral("----");
    case SettingValues::Password: break;
    }
    return source_.ShownValue(setting.setting);
}

void Report::PrintBasicSettings()
{
    PrintTitle(Text::ReportBasicSettings);
    printer_.SetFontSize(10);
    State.LineX = ReportLayout::LeftX;
    State.LineY = 3000;
    State.ColumnOffset = 3500;
    State.LineStep = 300;

    // A setting means nothing while the one it depends on shows no: without
    // the magnetic-card signal, or without its data evaluation, the list
    // ends with "no further data"; a track not evaluated shows its data
    // length as "----".
    for (const BasicSettingEntry& setting : BasicSettings()) {
        const bool meaningful = !setting.dependsOn || source_.ShowsYes(*setting.dependsOn);
        if (!meaningful && setting.values == SettingValues::YesNo) {
            PrintNoFurtherData();
            break;
        }
        State.LeftText = source_.Text(TextNumber(setting.reportText));
        State.RightText = SettingValue(setting, meaningful);
        PrintLine();
    }
    PrintFileInfoBlock();
    PrintDateTime();
}

void Report::PrintFileInfoBlock()
{
    printer_.SetFontSize(12);
    State.LineX = ReportLayout::LeftX;
    State.LineY = 10000;
    State.ColumnOffset = 3500;
    State.LineStep = 400;
    const struct {
        TextNumber label;
        int underscores;
    } lines[] = {{Text::ReportProducedFor, 33}, {Text::ReportProducedBy, 33}, {Text::ReportProducedOn, 18},
                 {Text::ReportSoftwareVersion, 18}};
    for (const auto& line : lines) {
        State.LeftText = source_.Text(line.label);
        State.RightText = QString(line.underscores, QLatin1Char('_'));
        PrintLine();
    }
}

void Report::PrintList(int list)
{
    if (source_.ListCount(list) != 0) {
        State.RowCount = source_.GridRowCount(list);
        State.SourceGrid = list;
        PrintListRows();
    } else {
        PrintNoFurtherData();
        PrintDateTime();
        PrintPageNumber();
        printer_.NewPage();
    }
}

void Report::PrintSectionLists(TextNumber firstTitle, TextNumber headText, int headSize, TextNumber secondTitle,
                               int firstList)
{
    State.PageNumber = 1;
    PrintTitle(firstTitle);
    PrintList(firstList);
    if (Stopped())
        return;
    PrintListHead(headText, headSize);
    PrintTitle(secondTitle);
    PrintList(firstList + 1);
}

void Report::PrintPrivileges()
{
    PrintSectionLists(Text::ReportPrivilegesTrack2, Text::ReportListHead, 12, Text::ReportPrivilegesTrack3, 1);
}

void Report::PrintBlockLists()
{
    PrintSectionLists(Text::ReportBlockListsTrack2, Text::ReportBlockListHead, 14, Text::ReportBlockListsTrack3, 3);
}

void Report::PrintDisplayTexts()
{
    PrintTitle(Text::ReportDisplayTexts);
    State.LineY = 3000;
    State.ColumnOffset = 0;
    State.LineStep = 400;
    for (int k = 1; k <= 8; ++k) {
        State.RowCount = k;
        State.RowIndex = 2 * k - 2;
        printer_.SetFontSize(10);
        printer_.SetX(ReportLayout::LeftX);
        printer_.SetY(State.LineY);
        printer_.PrintText(source_.Text(Text::ReportDisplayText), false);
        printer_.PrintNumber(k);
        State.LineX = 4500;
        printer_.SetFontSize(16);
        State.LeftText = source_.DisplayBox(State.RowIndex);
        State.RightText = source_.DisplayBox(State.RowIndex + 1);
        PrintLine();
        State.LineY += 1000;
    }
    PrintDateTime();
}
