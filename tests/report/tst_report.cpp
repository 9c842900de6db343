// The report layout and pagination, drawn on the recording printer from a
// scripted source.
#include "app/catalogue.h"
#include "platform/reportprinter.h"
#include "report/report.h"
#include "common/scriptedreportsource.h"

#include <QHash>
#include <QSet>
#include <QtTest>

namespace {
using Item = RecordingReportPrinter::Item;

const QDateTime Now(QDate(2026, 3, 7), QTime(14, 5, 30));

QString PageFoot(int number)
{
    return QStringLiteral("- Seite  %1  -").arg(number);
}

// Page and y of every item with this text.
QList<QPair<int, int>> Where(const RecordingReportPrinter& printer, const QString& text)
{
    QList<QPair<int, int>> places;
    for (const Item& item : printer.items)
        if (item.text == text)
            places.append({item.page, item.y});
    return places;
}
}

class ReportTest : public QObject {
    Q_OBJECT
private slots:
    void listRowsPaginate_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lastRowPage");
        QTest::addColumn<int>("lastRowY");
        QTest::newRow("caption and capacity only") << 2 << 1 << 1 << 3300;
        QTest::newRow("37 rows fill page 1") << 37 << 1 << 1 << 13800;
        QTest::newRow("38th row opens page 2") << 38 << 2 << 2 << 1300;
        QTest::newRow("43 rows below the caption on page 2") << 80 << 2 << 2 << 13900;
        QTest::newRow("81st row opens page 3") << 81 << 3 << 3 << 1300;
        QTest::newRow("largest list") << 1776 << 42 << 42 << 1300 + 300 * ((1776 - 37 - 1) % 43);
    }
    void listRowsPaginate()
    {
        QFETCH(int, rows);
        QFETCH(int, pages);
        QFETCH(int, lastRowPage);
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
        // Every row printed once, in column 0 at x 1000 and column 1 at x 4500.
        for (int r = 0; r < rows; ++r) {
            const QString data = source.GridCell(1, 2 * r);
            const auto places = Where(printer, data);
            QCOMPARE(places.size(), r == 0 ? pages : 1);   // the caption repeats on every page
        }
        const QString lastData = source.GridCell(1, 2 * (rows - 1));
        const auto last = Where(printer, lastData).constLast();
        QCOMPARE(last.first, lastRowPage);
        QCOMPARE(last.second, lastRowY);
        for (const Item& item : printer.items)
            if (item.text == lastData)
                QCOMPARE(item.x, 1000);
            else if (item.text == source.GridCell(1, 2 * (rows - 1) + 1))
                QCOMPARE(item.x, 4500);

        for (int page = 1; page <= pages; ++page) {
            // Each page carries its foot with its own number.
            QCOMPARE(printer.LineAt(page, 15500), QStringLiteral("07-03-2026    14:05") + PageFoot(page));
            if (page > 1) {
                // Continuation: the caption row again at y 1000, no head and no title.
                QCOMPARE(printer.LineAt(page, 1000), QStringLiteral("Head1Comment"));
                QCOMPARE(printer.YsOf(page, QStringLiteral("Comment")), QList<int>{1000});
                for (const Item& item : printer.PageItems(page))
                    QVERIFY2(item.y >= 1000, qPrintable(item.text));
            }
        }
        // The no-further-data line 500 below the end of the last row.
        const QList<int> ys = printer.YsOf(pages, QStringLiteral("Keine weiteren Daten"));
        QCOMPARE(ys, QList<int>{lastRowY + RecordingReportPrinter::LineHeight(8) + 500});
    }

    void sectionPageNumbers_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("firstRows");    // grid rows; 0: list not in use
        QTest::addColumn<int>("secondRows");
        QTest::addColumn<QStringList>("pageTitles");   // title at y 1500 of each page, "" for a continuation
        QTest::newRow("both on one page each") << 1 << 10 << 10
                                               << QStringList{"Berechtigungen Spur 2:", "Berechtigungen Spur 3:"};
        QTest::newRow("38 grid rows then 35 records")
            << 1 << 38 << 37 << QStringList{"Berechtigungen Spur 2:", "", "Berechtigungen Spur 3:"};
        QTest::newRow("first list not in use")
            << 1 << 0 << 40 << QStringList{"Berechtigungen Spur 2:", "Berechtigungen Spur 3:", ""};
        QTest::newRow("block lists, second not in use")
            << 2 << 81 << 0 << QStringList{"Sperrlisten Spur 2:", "", "", "Sperrlisten Spur 3:"};
        QTest::newRow("block lists, none in use") << 2 << 0 << 0
                                                  << QStringList{"Sperrlisten Spur 2:", "Sperrlisten Spur 3:"};
    }
    void sectionPageNumbers()
    {
        QFETCH(int, section);
        QFETCH(int, firstRows);
        QFETCH(int, secondRows);
        QFETCH(QStringList, pageTitles);
        ScriptedSource source;
        const int firstList = section == 1 ? 1 : 3;
        if (firstRows)
            source.SetList(firstList, firstRows);
        if (secondRows)
            source.SetList(firstList + 1, secondRows);
        RecordingReportPrinter printer;
        Report report(printer, source, Now);
        report.State.PageNumber = 7;   // a section starts its own count
        QVERIFY(report.PrintCurrentSection(ReportSection(section)));
        QVERIFY(printer.ended);

        QCOMPARE(printer.PageCount(), pageTitles.size());
        for (int page = 1; page <= pageTitles.size(); ++page) {
            QCOMPARE(printer.LineAt(page, 1500), pageTitles[page - 1]);
            QVERIFY(printer.LineAt(page, 15500).endsWith(PageFoot(page)));
            const QString head = printer.LineAt(page, 500);
            if (pageTitles[page - 1].isEmpty())
                QVERIFY(head.isEmpty());
            else
                QCOMPARE(head, QStringLiteral("Liste der VARDELOdatei       C:\\daten\\TEST.QLV"));
        }
        // A list not in use: title, "Keine weiteren Daten", foot, end of its page.
        for (int page = 1; page <= pageTitles.size(); ++page) {
            const bool unused = (page == 1 && firstRows == 0)
                                || (page == pageTitles.size() && secondRows == 0 && !pageTitles.last().isEmpty());
            if (!unused)
                continue;
            const QList<Item> items = printer.PageItems(page);
            QCOMPARE(items.size(), 2 + 1 + 1 + 2 + 3);   // head, title, no further data, date+time, page foot
            QCOMPARE(printer.YsOf(page, QStringLiteral("Keine weiteren Daten")).size(), 1);
        }
        // The second list's head is size 12 for the privileges, 14 for the block lists.
        const int secondPage = pageTitles.lastIndexOf(pageTitles.last().isEmpty() ? pageTitles[pageTitles.size() - 2]
                                                                                   : pageTitles.last()) + 1;
        for (const Item& item : printer.PageItems(secondPage))
            if (item.y == 500)
                QCOMPARE(item.size, section == 1 ? 12 : 14);
        for (const Item& item : printer.PageItems(1))
            if (item.y == 500)
                QCOMPARE(item.size, 14);
    }

    void printAllOrderAndFreshPages()
    {
        ScriptedSource source;
        source.selected = {"O1(2)", "O1(4)", "Op1", "Op3", "Op5"};
        source.SetList(1, 40);
        source.SetList(2, 5);
        source.SetList(3, 3);
        source.SetList(4, 0);
        for (int i = 0; i < 16; ++i)
            source.boxes << QStringLiteral("Line %1").arg(i);
        RecordingReportPrinter printer;
        Report report(printer, source, Now);
        QVERIFY(report.PrintAll());
        QVERIFY(printer.ended);
        QCOMPARE(printer.qualities, QList<int>{360});

        const QStringList titles{"Grundeinstellungen:", "Berechtigungen Spur 2:", "", "Berechtigungen Spur 3:",
                                 "Sperrlisten Spur 2:", "Sperrlisten Spur 3:", "Displaytexte:"};
        const QStringList feet{"", PageFoot(1), PageFoot(2), PageFoot(3), PageFoot(1), PageFoot(2), ""};
        QCOMPARE(printer.PageCount(), titles.size());
        // The document ends on the display texts page: no page after it.
        QCOMPARE(printer.pagesStarted, titles.size());
        for (int page = 1; page <= titles.size(); ++page) {
            QCOMPARE(printer.LineAt(page, 1500), titles[page - 1]);
            const QString foot = printer.LineAt(page, 15500);
            QVERIFY(foot.startsWith(QStringLiteral("07-03-2026    14:05")));
            QCOMPARE(foot.mid(19), feet[page - 1]);
        }
        for (const Item& item : printer.items)
            QCOMPARE(item.font, QStringLiteral("arial"));
    }

    void basicSettings_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("values");   // right column, top to bottom
        QTest::addColumn<int>("noFurtherDataAfter"); // entries before "no further data", 0: none
        const QStringList all{"O1(0)", "O1(2)", "O1(4)", "O1(5)", "Op1", "Op3", "Op5"};
        QTest::newRow("german, all lists")
            << 0 << all
            << QStringList{"5 Sekunden", " Ja", "Nein", "Nein", "123456", "Nein", "Nein", " Ja", " Ja", " Ja", " Ja",
                           " Ja", " Ja", "8", "24"}
            << 0;
        QTest::newRow("english, all lists")
            << 1000 << all
            << QStringList{"5 seconds", "Yes", "No", "No", "123456", "No", "No", "Yes", "Yes", "Yes", "Yes", "Yes",
                           "Yes", "8", "24"}
            << 0;
        QTest::newRow("track 2 not evaluated")
            << 0 << QStringList{"O1(2)", "O1(4)", "Op5"}
            << QStringList{"5 Sekunden", "Nein", "Nein", "Nein", "123456", "Nein", "Nein", " Ja", " Ja", "Nein",
                           "Nein", "Nein", " Ja", "----", "24"}
            << 0;
        QTest::newRow("track 3/1 not evaluated")
            << 1000 << QStringList{"O1(2)", "O1(4)", "Op3", "O1(10)", "O1(7)"}
            << QStringList{"5 seconds", "No", "No", "Yes", "123456", "No", "Yes", "Yes", "Yes", "No", "No", "Yes",
                           "No", "8", "----"}
            << 0;
        QTest::newRow("no magnetic-card signal")
            << 0 << QStringList{"O1(4)", "Op3", "O1(3)"}
            << QStringList{"5 Sekunden", "Nein", "Nein", "Nein", "123456", " Ja", "Nein", "Nein"} << 8;
        QTest::newRow("no data evaluation")
            << 1000 << QStringList{"O1(2)", "O1(1)"}
            << QStringList{"5 seconds", "No", "Yes", "No", "123456", "No", "No", "Yes", "No"} << 9;
    }
    void basicSettings()
    {
        QFETCH(int, language);
        QFETCH(QStringList, selected);
        QFETCH(QStringList, values);
        QFETCH(int, noFurtherDataAfter);
        ScriptedSource source;
        source.language = language;
        source.selected = QSet<QString>(selected.begin(), selected.end());
        RecordingReportPrinter printer;
        Report report(printer, source, Now);
        QVERIFY(report.PrintCurrentSection(ReportSection::BasicSettings));

        QCOMPARE(printer.PageCount(), 1);
        QCOMPARE(printer.pagesStarted, 1);
        QStringList printed;
        for (const Item& item : printer.items)
            if (item.x == 4500 && item.size == 10) {
                QCOMPARE(item.y, 3000 + 300 * int(printed.size()));
                printed << item.text;
            }
        QCOMPARE(printed, values);
        const QList<int> noMore = printer.YsOf(1, CatalogueText(241, language));
        if (noFurtherDataAfter == 0) {
            QVERIFY(noMore.isEmpty());
        } else {
            const int lastY = 3000 + 300 * (noFurtherDataAfter - 1);
            QCOMPARE(noMore, QList<int>{lastY + RecordingReportPrinter::LineHeight(10) + 500});
        }
        // The file info block, its lines to be filled in by hand, and the foot without a page number.
        QCOMPARE(printer.LineAt(1, 10000), CatalogueText(237, language) + QString(33, '_'));
        QCOMPARE(printer.LineAt(1, 11200), CatalogueText(240, language) + QString(18, '_'));
        QCOMPARE(printer.LineAt(1, 15500), report.DateText() + QStringLiteral("14:05"));
    }

    void dateText_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("date");
        QTest::newRow("german day first") << 0 << "07-03-2026    ";
        QTest::newRow("english month first") << 1000 << "03-07-2026    ";
        QTest::newRow("french day first") << 2000 << "07-03-2026    ";
        QTest::newRow("spanish day first") << 3000 << "07-03-2026    ";
    }
    void dateText()
    {
        QFETCH(int, language);
        QFETCH(QString, date);
        ScriptedSource source;
        source.language = language;
        RecordingReportPrinter printer;
        Report report(printer, source, QDateTime(QDate(2026, 3, 7), QTime(9, 4)));
        QCOMPARE(report.DateText(), date);
        QCOMPARE(report.TimeText(), QStringLiteral("09:04"));
        report.State.PageNumber = 12;
        report.PrintDateTime();
        report.PrintPageNumber();
        QCOMPARE(printer.LineAt(1, 15500), date + "09:04" + CatalogueText(263, language) + " 12  -");
        QCOMPARE(report.State.PageNumber, 13);
    }

    void displayTexts()
    {
        ScriptedSource source;
        source.language = 1000;
        for (int i = 0; i < 16; ++i)
            source.boxes << QStringLiteral("box %1").arg(i, 2, 10, QChar('0'));
        RecordingReportPrinter printer;
        Report report(printer, source, Now);
        QVERIFY(report.PrintCurrentSection(ReportSection::DisplayTexts));
        QCOMPARE(printer.PageCount(), 1);
        QCOMPARE(printer.pagesStarted, 1);
        for (int k = 1; k <= 8; ++k) {
            const int y = 3000 + 1400 * (k - 1);
            QCOMPARE(printer.LineAt(1, y), QStringLiteral("Display text %1 box %2").arg(k).arg(2 * k - 2, 2, 10, QChar('0')));
            const auto upper = Where(printer, QStringLiteral("box %1").arg(2 * k - 2, 2, 10, QChar('0')));
            const auto lower = Where(printer, QStringLiteral("box %1").arg(2 * k - 1, 2, 10, QChar('0')));
            QCOMPARE(upper, (QList<QPair<int, int>>{{1, y}}));
            QCOMPARE(lower, (QList<QPair<int, int>>{{1, y + RecordingReportPrinter::LineHeight(16)}}));
        }
        for (const Item& item : printer.items)
            if (item.text.startsWith(QStringLiteral("box"))) {
                QCOMPARE(item.x, 4500);
                QCOMPARE(item.size, 16);
            }
        QVERIFY(printer.LineAt(1, 15500).startsWith(QStringLiteral("03-07-2026")));
    }

    void printerErrorEndsTheCommand_data()
    {
        QTest::addColumn<bool>("atStart");
        QTest::addColumn<int>("failingPage");
        QTest::addColumn<int>("pagesPrinted");
        QTest::newRow("printer cannot start") << true << 0 << 0;
        QTest::newRow("second page fails") << false << 2 << 1;
        QTest::newRow("fourth page fails") << false << 4 << 3;
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
