// The report layout and pagination, drawn on the recording printer from a
// scripted source.
#include "common/recordingreportprinter.h"
#include "common/scriptedreportsource.h"
#include "report/report.h"

#include <QtTest>

namespace {
const QDateTime Now(QDate(2026, 3, 7), QTime(14, 5, 30));
const QString Foot = QStringLiteral("07-03-2026    14:05- Seite  %1  -");
const QString NoFurtherData = QStringLiteral("Keine weiteren Daten");
}

class ReportTest : public QObject {
    Q_OBJECT
private slots:
    void listRowsPaginate_data()
    {
        QTest::addColumn<int>("rows");   // grid rows, the caption and capacity rows included
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lastRowY");
        QTest::newRow("caption and capacity only") << 2 << 1 << 3300;
        QTest::newRow("37 rows fill page 1") << 37 << 1 << 13800;
        QTest::newRow("38th row opens page 2") << 38 << 2 << 1300;
        QTest::newRow("43 rows below the caption on page 2") << 80 << 2 << 13900;
        QTest::newRow("81st row opens page 3") << 81 << 3 << 1300;
    }
    void listRowsPaginate()
    {
        QFETCH(int, rows);
        QFETCH(int, pages);
        QFETCH(int, lastRowY);
        ScriptedSource source;
        source.SetList(1, rows);
        RecordingReportPrinter printer;
        Report report(printer, source, Now);
        report.State.RowCount = rows;
        report.State.SourceGrid = 1;
        report.State.PageNumber = 1;
        report.PrintListRows();

        QCOMPARE(printer.PageCount(), pages);
        QCOMPARE(printer.pagesStarted, pages + 1);   // the list ends its page
        // Every row once; the caption row again on every page.
        QStringList printed;
        for (const auto& item : printer.items)
            printed << item.text;
        for (int r = 0; r < rows; ++r)
            QCOMPARE(printed.count(source.GridCell(1, 2 * r)), r == 0 ? pages : 1);
        QCOMPARE(printer.LineAt(pages, lastRowY), source.GridCell(1, 2 * rows - 2) + source.GridCell(1, 2 * rows - 1));
        QCOMPARE(printer.YsOf(pages, NoFurtherData), QList<int>{lastRowY + RecordingReportPrinter::LineHeight(8) + 500});
        for (int page = 1; page <= pages; ++page) {
            QCOMPARE(printer.LineAt(page, 15500), Foot.arg(page));
            if (page == 1)
                continue;
            // A continuation page: the caption row at y 1000, nothing above it (no head, no title).
            QCOMPARE(printer.LineAt(page, 1000), QStringLiteral("Head1Comment"));
            for (const auto& item : printer.PageItems(page))
                QVERIFY2(item.y >= 1000, qPrintable(item.text));
        }
    }

    void sectionPageNumbers_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("firstRows");   // grid rows; 0: list not in use
        QTest::addColumn<int>("secondRows");
        QTest::addColumn<QStringList>("titles");   // at y 1500 of each page, "" on a continuation
        QTest::addColumn<QList<int>>("unusedPages");
        const QString p2 = "Berechtigungen Spur 2:", p3 = "Berechtigungen Spur 3:";
        const QString b2 = "Sperrlisten Spur 2:", b3 = "Sperrlisten Spur 3:";
        QTest::newRow("one page each") << 1 << 10 << 10 << QStringList{p2, p3} << QList<int>{};
        QTest::newRow("38 grid rows, then 35") << 1 << 38 << 37 << QStringList{p2, "", p3} << QList<int>{};
        QTest::newRow("first not in use") << 1 << 0 << 40 << QStringList{p2, p3, ""} << QList<int>{1};
        QTest::newRow("block lists, second not in use") << 2 << 81 << 0 << QStringList{b2, "", "", b3} << QList<int>{4};
        QTest::newRow("block lists, none in use") << 2 << 0 << 0 << QStringList{b2, b3} << QList<int>{1, 2};
    }
    void sectionPageNumbers()
    {
        QFETCH(int, section);
        QFETCH(int, firstRows);
        QFETCH(int, secondRows);
        QFETCH(QStringList, titles);
        QFETCH(QList<int>, unusedPages);
        ScriptedSource source;
        const int firstList = section == 1 ? 1 : 3;
        source.SetList(firstList, firstRows);
        source.SetList(firstList + 1, secondRows);
        RecordingReportPrinter printer;
        Report report(printer, source, Now);
        report.State.PageNumber = 7;   // a section starts its own count
        QVERIFY(report.PrintCurrentSection(ReportSection(section)));
        QVERIFY(printer.ended);

        // The page number counts on over both lists.
        QCOMPARE(printer.PageCount(), titles.size());
        for (int page = 1; page <= titles.size(); ++page) {
            QCOMPARE(printer.LineAt(page, 1500), titles[page - 1]);
            QCOMPARE(printer.LineAt(page, 15500), Foot.arg(page));
            QCOMPARE(printer.LineAt(page, 500).isEmpty(), titles[page - 1].isEmpty());   // the head
        }
        // A list not in use gets a page of its own with only its title and "no further data".
        for (int page : unusedPages) {
            QCOMPARE(printer.PageItems(page).size(), 2 + 1 + 1 + 2 + 3);   // head, title, no data, date+time, foot
            QCOMPARE(printer.YsOf(page, NoFurtherData).size(), 1);
        }
    }

    void printAllOrderFreshPagesAndDisplayTexts()
    {
        ScriptedSource source;
        source.selected = {"MagCardSignal", "MagCardEvaluation", "BlockListsOn", "EvaluateTrack2", "EvaluateTrack3"};
        source.SetList(1, 40);
        source.SetList(2, 5);
        source.SetList(3, 3);
        for (int i = 0; i < 16; ++i)
            source.boxes << QStringLiteral("box %1").arg(i);
        RecordingReportPrinter printer;
        Report report(printer, source, Now);
        QVERIFY(report.PrintAll());
        QVERIFY(printer.ended);
        QCOMPARE(printer.qualities, QList<int>{360});

        const QStringList titles{"Grundeinstellungen:", "Berechtigungen Spur 2:", "", "Berechtigungen Spur 3:",
                                 "Sperrlisten Spur 2:", "Sperrlisten Spur 3:", "Displaytexte:"};
        const QList<int> pageNumbers{0, 1, 2, 3, 1, 2, 0};   // 0: a foot without a number
        QCOMPARE(printer.PageCount(), titles.size());
        QCOMPARE(printer.pagesStarted, titles.size());   // no empty page after the display texts
        for (int page = 1; page <= titles.size(); ++page) {
            QCOMPARE(printer.LineAt(page, 1500), titles[page - 1]);
            const int number = pageNumbers[page - 1];
            QCOMPARE(printer.LineAt(page, 15500), number ? Foot.arg(number) : Foot.left(19));
        }
        // The display texts: box pairs at y 3000 + 1400 x (k - 1), the second one line below.
        for (int k = 1; k <= 8; ++k) {
            const int y = 3000 + 1400 * (k - 1);
            QCOMPARE(printer.YsOf(7, QStringLiteral("box %1").arg(2 * k - 2)), QList<int>{y});
            QCOMPARE(printer.YsOf(7, QStringLiteral("box %1").arg(2 * k - 1)), QList<int>{y + RecordingReportPrinter::LineHeight(16)});
        }
        for (const auto& item : printer.items)
            QVERIFY(!item.text.startsWith(QStringLiteral("box")) || (item.x == 4500 && item.size == 16));
    }

    void basicSettings_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("values");   // the right column top to bottom, '|' between entries
        QTest::addColumn<int>("noFurtherDataAfter");   // entries before "no further data", 0: none
        const QStringList all{"BuzzerWithOpener", "MagCardSignal", "MagCardEvaluation", "DataOnDisplay",
                              "BlockListsOn", "EvaluateTrack2", "EvaluateTrack3"};
        QTest::newRow("german, all lists")
            << 0 << all << "5 Sekunden| Ja|Nein|Nein|123456|Nein|Nein| Ja| Ja| Ja| Ja| Ja| Ja|8|24" << 0;
        QTest::newRow("english, all lists")
            << 1000 << all << "5 seconds|Yes|No|No|123456|No|No|Yes|Yes|Yes|Yes|Yes|Yes|8|24" << 0;
        QTest::newRow("track 2 not evaluated") << 0 << QStringList{"MagCardSignal", "MagCardEvaluation", "EvaluateTrack3"}
            << "5 Sekunden|Nein|Nein|Nein|123456|Nein|Nein| Ja| Ja|Nein|Nein|Nein| Ja|----|24" << 0;
        QTest::newRow("track 3/1 not evaluated")
            << 1000 << QStringList{"MagCardSignal", "MagCardEvaluation", "EvaluateTrack2", "MonitoringModule", "OpenDoorOnFault"}
            << "5 seconds|No|No|Yes|123456|No|Yes|Yes|Yes|No|No|Yes|No|8|----" << 0;
        QTest::newRow("no magnetic-card signal")
            << 0 << QStringList{"MagCardEvaluation", "EvaluateTrack2", "ChipCardSignal"}
            << "5 Sekunden|Nein|Nein|Nein|123456| Ja|Nein|Nein" << 8;
        QTest::newRow("no data evaluation, french")
            << 2000 << QStringList{"MagCardSignal", "OpenerIntervalTone"} << "5Secondes |Non|Oui|Non|123456|Non|Non|Oui|Non" << 9;
    }
    void basicSettings()
    {
        QFETCH(int, language);
        QFETCH(QStringList, selected);
        QFETCH(QString, values);
        QFETCH(int, noFurtherDataAfter);
        ScriptedSource source;
        source.language = language;
        source.selected = QSet<QString>(selected.begin(), selected.end());
        RecordingReportPrinter printer;
        Report report(printer, source, Now);
        QVERIFY(report.PrintCurrentSection(ReportSection::BasicSettings));
        QStringList printed;
        for (const auto& item : printer.items)
            if (item.x == 4500 && item.size == 10) {
                QCOMPARE(item.y, 3000 + 300 * int(printed.size()));
                printed << item.text;
            }
        QCOMPARE(printed.join('|'), values);
        const QList<int> noMore = printer.YsOf(1, CatalogueText(Text::ReportNoFurtherData, language));
        const int lastY = 3000 + 300 * (noFurtherDataAfter - 1);
        QCOMPARE(noMore, noFurtherDataAfter ? QList<int>{lastY + RecordingReportPrinter::LineHeight(10) + 500} : QList<int>{});
        // The file info block, its lines filled in by hand; only the English date month first.
        QCOMPARE(printer.LineAt(1, 10000), CatalogueText(Text::ReportProducedFor, language) + QString(33, '_'));
        QCOMPARE(printer.LineAt(1, 11200), CatalogueText(Text::ReportSoftwareVersion, language) + QString(18, '_'));
        QCOMPARE(printer.LineAt(1, 15500), QString(language == 1000 ? "03-07-2026" : "07-03-2026") + "    14:05");
    }

    void printerErrorEndsTheCommand_data()
    {
        QTest::addColumn<bool>("atStart");
        QTest::addColumn<int>("failingPage");
        QTest::addColumn<int>("pagesPrinted");
        QTest::newRow("printer cannot start") << true << 0 << 0;
        QTest::newRow("second page fails") << false << 2 << 1;
    }
    void printerErrorEndsTheCommand()
    {
        QFETCH(bool, atStart);
        QFETCH(int, failingPage);
        QFETCH(int, pagesPrinted);
        ScriptedSource source;
        source.SetList(1, 100);
        source.SetList(2, 100);
        RecordingReportPrinter printer;
        printer.failAtStart = atStart;
        printer.failAtPage = failingPage;
        Report report(printer, source, Now);
        QVERIFY(!report.PrintAll());
        QVERIFY(!printer.ended);
        QVERIFY(!printer.discarded);   // the command ends without ending the document
        QCOMPARE(printer.PageCount(), pagesPrinted);
    }
};

QTEST_GUILESS_MAIN(ReportTest)
#include "tst_report.moc"
