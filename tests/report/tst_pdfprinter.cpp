// The reports' printer on a real QPrinter: a PDF read back with pdftotext.
#include "common/scriptedreportsource.h"
#include "platform/ui/qtreportprinter.h"
#include "report/report.h"

#include <QFontInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString PdfText(const QString& pdf, int page = 0)
{
    QStringList args{"-layout"};
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    args << pdf << "-";
    QProcess process;
    process.start(QStringLiteral("pdftotext"), args);
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPages(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    process.waitForFinished(30000);
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto match = pages.match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Blanks of pdftotext's layout collapse to one.
QString Simplified(const QString& text)
{
    return text.simplified();
}
}

class PdfPrinterTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    void arialIsLiberationSans()
    {
        QFont font;
        font.setFamilies({QStringLiteral("arial"), QStringLiteral("Liberation Sans")});
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    }

    // The foot at y 15500 does not fit the printable area of these papers:
    // the page is drawn smaller, complete.
    void footOutsideThePrintableArea_data()
    {
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<double>("marginMm");
        QTest::addColumn<bool>("scaled");
        QTest::newRow("A4, small margins") << int(QPageSize::A4) << 5.0 << false;
        QTest::newRow("A4, wide margins") << int(QPageSize::A4) << 30.0 << true;
        QTest::newRow("Letter, wide margins") << int(QPageSize::Letter) << 20.0 << true;
        QTest::newRow("A5") << int(QPageSize::A5) << 5.0 << true;
    }
    void footOutsideThePrintableArea()
    {
        QFETCH(int, pageSize);
        QFETCH(double, marginMm);
        QFETCH(bool, scaled);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("small.pdf"));
        ScriptedSource source;
        source.SetList(1, 3);
        {
            QPrinter printer;
            SetUpPdfPrinter(printer, pdf);
            printer.setPageSize(QPageSize(QPageSize::PageSizeId(pageSize)));
            printer.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
            QtReportPrinter reportPrinter(printer);
            Report report(reportPrinter, source, QDateTime(QDate(2026, 1, 2), QTime(3, 4)));
            QVERIFY(report.PrintCurrentSection(ReportSection::Privileges));
            QCOMPARE(reportPrinter.LastPageScale() < 1.0, scaled);
            QVERIFY(reportPrinter.LastPageScale() >= 0.5);
        }
        QCOMPARE(PdfPages(pdf), 2);
        const QString text = Simplified(PdfText(pdf, 1));
        QVERIFY2(text.contains(QStringLiteral("02-01-2026 03:04 - Seite 1 -")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("D1.0 C1.0")));
    }

    // A comment too long for the line is drawn narrower, whole; the rest of
    // the page keeps its size.
    void longTextIsDrawnNarrower_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("squeezed");
        QTest::addColumn<bool>("complete");
        QTest::newRow("fits") << 60 << 0 << true;
        QTest::newRow("narrower") << 150 << 1 << true;
        QTest::newRow("cut at half width") << 400 << 1 << false;
    }
    void longTextIsDrawnNarrower()
    {
        QFETCH(int, length);
        QFETCH(int, squeezed);
        QFETCH(bool, complete);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
        ScriptedSource source;
        source.SetList(1, 4);
        QString comment;
        for (int i = 0; comment.size() < length; ++i)
            comment += QStringLiteral("w%1 ").arg(i);
        comment = comment.left(length - 3) + QStringLiteral("END");
        source.grids[0][5] = comment;
        {
            QPrinter printer;
            SetUpPdfPrinter(printer, pdf);
            printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
            QtReportPrinter reportPrinter(printer);
            Report report(reportPrinter, source, QDateTime(QDate(2026, 1, 2), QTime(3, 4)));
            QVERIFY(report.PrintCurrentSection(ReportSection::Privileges));
            QCOMPARE(reportPrinter.SqueezedTexts(), squeezed);
            QCOMPARE(reportPrinter.LastPageScale(), 1.0);
        }
        const QString text = PdfText(pdf, 1).simplified();
        QCOMPARE(text.contains(comment.simplified()), complete);
        QVERIFY(text.contains(QStringLiteral("D1.1 C1.1")));
    }

    void aPrinterThatCannotStartFails()
    {
        ScriptedSource source;
        QPrinter printer;
        SetUpPdfPrinter(printer, QStringLiteral("/nonexistent-folder/x/report.pdf"));
        QtReportPrinter reportPrinter(printer);
        Report report(reportPrinter, source, QDateTime::currentDateTime());
        QVERIFY(!report.PrintAll());
        QVERIFY(reportPrinter.Failed());
        QCOMPARE(reportPrinter.PagesDrawn(), 0);
    }

    void newPageBeforeTheEndLeavesNoEmptyPage()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("one.pdf"));
        {
            QPrinter printer;
            SetUpPdfPrinter(printer, pdf);
            QtReportPrinter reportPrinter(printer);
            reportPrinter.SetFontName(QStringLiteral("arial"));
            reportPrinter.SetFontSize(12);
            reportPrinter.SetX(1000);
            reportPrinter.SetY(1000);
            reportPrinter.PrintText(QStringLiteral("only"), false);
            const int x = reportPrinter.X();
            QVERIFY(x > 1000 + 200 && x < 1000 + 600);   // "only" is about 20 pt wide in 12 pt
            reportPrinter.PrintText(QStringLiteral("page"), true);
            QCOMPARE(reportPrinter.X(), 0);
            QVERIFY(reportPrinter.Y() > 1000 + 12 * 20 && reportPrinter.Y() < 1000 + 12 * 20 * 13 / 10);
            reportPrinter.PrintText(QStringLiteral("A") + QChar(0) + QChar(1) + QStringLiteral("Z"), true);
            reportPrinter.NewPage();
            reportPrinter.EndDocument();
            QVERIFY(!reportPrinter.Failed());
        }
        QCOMPARE(PdfPages(pdf), 1);
        QCOMPARE(Simplified(PdfText(pdf)), QStringLiteral("onlypage A Z"));   // control codes as blanks
    }
};

QTEST_MAIN(PdfPrinterTest)
#include "tst_pdfprinter.moc"
