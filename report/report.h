#pragma once
// The printed reports: the page steps (head, two-column entry, no-further-data
// line, page foot with date, time and page number, paginated list rows) and
// the four sections built from them, drawn on a ReportPrinter from what a
// ReportSource shows.
//
// Page make-up of a list page: report head at y 500 (first page of each list
// only), title at y 1500 in size 14, rows from y 3000 (continuation pages:
// the caption row repeated at y 1000, rows from 1300), the no-further-data
// line 500 below the last row, the foot at y 15500.

#include "config/basicsettings.h"
#include "texts/textids.h"

#include <QDateTime>
#include <QString>

class ReportPrinter;
class ReportSource;

// The report's working values, kept between the steps.
struct ReportState {
    int LineX = 0;
    int LineY = 0;
    int ColumnOffset = 0;   // 0: the right text goes on the line below the left text
    int LineStep = 0;
    QString LeftText;
    QString RightText;
    QString HeaderLeft;     // grid row 0 of the list being printed,
    QString HeaderRight;    // repeated at the top of each continuation page
    int PageNumber = 1;
    int RowCount = 0;
    int RowIndex = 0;
    int SourceGrid = 1;     // 1..4: Mgd1 .. Mgd4
};

// The sections in the order of the editor's tabs.
enum class ReportSection { BasicSettings = 0, Privileges = 1, BlockLists = 2, DisplayTexts = 3 };

namespace ReportLayout {
constexpr int LeftX = 1000;
constexpr int HeadY = 500;
constexpr int TitleY = 1500;
constexpr int FirstRowY = 3000;
constexpr int ContinuationCaptionY = 1000;
constexpr int PageBreakY = 14000;    // a row is moved to the next page when LineY is beyond this
constexpr int FootY = 15500;
constexpr int DateX = 5000;
constexpr int PageNumberX = 9000;
constexpr int NoFurtherDataGap = 500;
constexpr int Quality = 360;
inline const QString FontName = QStringLiteral("arial");
}

class Report {
public:
    Report(ReportPrinter& printer, const ReportSource& source, QDateTime now);

    ReportState State;

    // The print commands, from the font setting to the end of the document;
    // the printer has been chosen. They stop at the first printer error
    // without ending the document. True when the document was completed.
    bool PrintCurrentSection(ReportSection section);
    bool PrintAll();

    // Sections.
    void PrintBasicSettings();
    void PrintFileInfoBlock();
    void PrintPrivileges();
    void PrintBlockLists();
    void PrintDisplayTexts();

    // Steps.
    void PrintReportHead();
    void PrintLine();
    void PrintNoFurtherData();
    void PrintDateTime();
    void PrintPageNumber();
    void PrintListRows();
    void FetchGridRow();

    QString DateText() const;   // day first, English month first; four trailing blanks
    QString TimeText() const;   // hh:mm, 24-hour clock
    QString YesNo(BasicSetting setting) const;

private:
    QString SettingValue(const BasicSettingEntry& setting, bool meaningful) const;
    void PrintTitle(TextNumber textId);
    void PrintListHead(TextNumber textId, int size);
    void PrintList(int list);
    void PrintSectionLists(TextNumber firstTitle, TextNumber headText, int headSize, TextNumber secondTitle,
                           int firstList);
    bool Stopped() const;

    ReportPrinter& printer_;
    const ReportSource& source_;
    QDateTime now_;
};
