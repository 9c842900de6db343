// The report on real printers: the editor's print commands, the same report
// built from the file alone, and PDFs read back with pdftotext.
#include "common/editorfixture.h"
#include "common/fakes.h"
#include "common/filebytes.h"
#include "common/modalscript.h"
#include "common/recordingreportprinter.h"
#include "common/scriptedreportsource.h"
#include "config/configfiles.h"
#include "editor/editorwindow.h"
#include "platform/ui/qtfiledialogs.h"
#include "platform/ui/qtreportprinter.h"
#include "report/modelreportsource.h"
#include "report/report.h"
#include "editor/editorreportsource.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

namespace {
const QDateTime Now(QDate(2026, 1, 2), QTime(3, 4));
const QStringList Titles{"Grundeinstellungen:", "Berechtigungen Spur 2:", "Berechtigungen Spur 3:",
                         "Sperrlisten Spur 2:", "Sperrlisten Spur 3:", "Displaytexte:"};

QStringList Dump(const RecordingReportPrinter& printer)
{
    static const QRegularExpression trailingBlanks(QStringLiteral("(.) +$"));
    QStringList lines;
    for (const auto& item : printer.items)   // a widened grid header differs only in trailing blanks
        lines << QStringLiteral("%1 %2,%3 %4pt ").arg(item.page).arg(item.x).arg(item.y).arg(item.size)
                     + QString(item.text).replace(trailingBlanks, QStringLiteral("\\1"));
    return lines;
}
}

class PrintingTest : public QObject, EditorFixture {
    Q_OBJECT

private slots:
    void init() { Reset(); }

    void editorAndCommandLinePrintTheSame_data()
    {
        QTest::addColumn<int>("features");
        QTest::addColumn<int>("tracks");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("doorOpenTime");
        QTest::newRow("all four lists, german") << (0x04 | 0x10 | 0x40) << 3 << 0 << 5;
        QTest::newRow("all four lists, english") << (0x04 | 0x10 | 0x40 | 0x01) << 3 << 1000 << 255;
        QTest::newRow("track 2 only, no block lists") << (0x04 | 0x10) << 1 << 0 << 9;
        QTest::newRow("track 3/1 and block lists, french") << (0x04 | 0x10 | 0x40) << 2 << 2000 << 30;
        QTest::newRow("no magnetic-card signal, door time 0") << (0x10 | 0x40 | 0x08) << 3 << 1000 << 0;
        QTest::newRow("no data evaluation, spanish") << (0x04 | 0x80) << 3 << 3000 << 1;
    }
    void editorAndCommandLinePrintTheSame()
    {
        QFETCH(int, features);
        QFETCH(int, tracks);
        QFETCH(int, language);
        QFETCH(int, doorOpenTime);
        QVERIFY(Create({features, tracks, 8, 24, doorOpenTime}, language));
        RecordingReportPrinter fromEditor;
        const EditorReportSource source(program, m, *e, e->BasicSettings(), e->Grids());
        QVERIFY(Report(fromEditor, source, Now).PrintAll());

        ProgramState texts;
        texts.LanguageOffset = qint16(language);
        LoadWindowTexts(texts, TextWindow::Editor);
        Configuration fresh;
        QVERIFY(ReadConfigurationFile(fresh, m.CurrentConfigFile));
        fresh.CurrentConfigFile = m.CurrentConfigFile;
        LoadComments(fresh, m.CurrentConfigFile, false);
        const auto image = fresh.ConfigImage;
        RecordingReportPrinter fromFile;
        QVERIFY(Report(fromFile, ModelReportSource(texts, fresh), Now).PrintAll());
        QCOMPARE(Dump(fromEditor), Dump(fromFile));
        QVERIFY(fresh.ConfigImage == image);   // printing changes nothing
        QVERIFY(fresh.RowsObserver == nullptr);   // the source listened only while it was built
    }

    // Through the File menu to a PDF, the door opener's buzzer set to yes and
    // not saved. A cancel or a printer error ends the command silently.
    void printCommands_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("pdf");   // "": the printer selection cancelled
        QTest::addColumn<QStringList>("titles");   // in this order, no other; empty: nothing printed
        QTest::newRow("basic settings") << false << 0 << "out.pdf" << QStringList{Titles[0], "Summer: Ja"};
        QTest::newRow("privileges") << false << 1 << "out.pdf" << Titles.mid(1, 2);
        QTest::newRow("block lists") << false << 2 << "out.pdf" << Titles.mid(3, 2);
        QTest::newRow("display texts") << false << 3 << "out.pdf" << Titles.mid(5);
        QTest::newRow("all") << true << 2 << "out.pdf" << QStringList{Titles[0], "Summer: Ja"} + Titles.mid(1);
        QTest::newRow("cancel, section") << false << 1 << "" << QStringList{};
        QTest::newRow("cancel, all") << true << 1 << "" << QStringList{};
        QTest::newRow("printer error, all") << true << 1 << "no/such/x.pdf" << QStringList{};
    }
    void printCommands()
    {
        QFETCH(bool, all);
        QFETCH(int, tab);
        QFETCH(QString, pdf);
        QFETCH(QStringList, titles);
        QVERIFY(Create());
        e->PressYesNo(0, true);
        Tabs()->setCurrentIndex(tab);
        dialogs.printerChoices.enqueue(!pdf.isEmpty());
        dialogs.printerPdfFile = dir.filePath(pdf.isEmpty() ? QStringLiteral("out.pdf") : pdf);
        e->findChild<QAction*>(all ? "mnualldruck" : "mnudruck")->trigger();
        QCOMPARE(dialogs.printerRequests, 1);
        QCOMPARE(dialogs.proposedPdf, dir.filePath(QStringLiteral("TEST.pdf")));
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(QFile::exists(dialogs.printerPdfFile), !titles.isEmpty());
        const QString text = PdfText(dialogs.printerPdfFile);
        QVERIFY2(titles.isEmpty() || text.startsWith("Liste der VARDELOdatei"), qPrintable(text.left(200)));
        qsizetype at = 0;
        for (const QString& part : titles) {
            at = text.indexOf(part, at);
            QVERIFY2(at >= 0, qPrintable(part));
        }
        for (const QString& title : Titles)
            QVERIFY2(titles.contains(title) || !text.contains(title), qPrintable(title));
    }

    // The preview shows the current tab's section, and the PDF a print
    // proposes is the configuration's name in the work folder (the folder
    // the program started in), else beside the configuration.
    void previewAndProposedPdf_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("workFolder");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("basic settings, work folder") << 0 << "work" << QStringList{Titles[0]};
        QTest::newRow("block lists, no work folder") << 2 << "" << Titles.mid(3, 2);
    }
    void previewAndProposedPdf()
    {
        QFETCH(int, tab);
        QFETCH(QString, workFolder);
        QFETCH(QStringList, titles);
        if (!workFolder.isEmpty())
            program.StartDirectory = dir.filePath(workFolder);
        QVERIFY(Create());
        Tabs()->setCurrentIndex(tab);
        dialogs.printerPdfFile = dir.filePath(QStringLiteral("preview.pdf"));
        e->findChild<QAction*>(QStringLiteral("mnuvorschau"))->trigger();
        QCOMPARE(dialogs.previewRequests, 1);
        QCOMPARE(dialogs.printerRequests, 0);
        QCOMPARE(dialogs.proposedPdf, dir.filePath(workFolder.isEmpty() ? QStringLiteral("TEST.pdf") : workFolder + "/TEST.pdf"));
        const QString text = PdfText(dialogs.printerPdfFile);
        for (const QString& title : Titles)
            QVERIFY2(titles.contains(title) == text.contains(title), qPrintable(title));
    }

    // The toolkit's print dialog, and the one its preview opens for Print,
    // offer the proposed file for printing to PDF (not print.pdf at home).
    void realPrintDialogsOfferTheProposedPdf_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::newRow("printer selection") << false;
        QTest::newRow("Print in the preview") << true;
    }
    void realPrintDialogsOfferTheProposedPdf()
    {
        QFETCH(bool, preview);
        const QString proposed = QDir::toNativeSeparators(dir.filePath(QStringLiteral("VARDELO.pdf")));
        QtFileDialogs real;
        QPrinter printer(QPrinter::HighResolution);
        QString offered;
        int pages = 0;
        ModalScript script;
        if (preview) {
            script.Then([&](QWidget& window) {
                pages = window.findChild<QPrintPreviewWidget*>()->pageCount();
                const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
                for (QToolButton* button : window.findChildren<QToolButton*>())
                    if (button->defaultAction() && button->defaultAction()->text() == print)
                        QMetaObject::invokeMethod(button, [button] { QTest::mouseClick(button, Qt::LeftButton); }, Qt::QueuedConnection);
            });
        }
        script.Then([&](QWidget& dialog) {
            offered = dialog.findChild<QLineEdit*>(QStringLiteral("filename"))->text();
            ModalScript::Key(Qt::Key_Escape);
        });
        if (preview) {
            script.Then([](QWidget&) { ModalScript::Key(Qt::Key_Escape); });   // back in the preview
            real.PreviewPrint(printer, proposed, [](QPrinter& target) {
                QPainter painter(&target);
                painter.drawText(100, 100, QStringLiteral("page"));
            });
        } else {
            QVERIFY(!real.ChoosePrinter(printer, proposed));
        }
        VERIFY_MODALS_DONE(script);
        QCOMPARE(offered, proposed);
        QCOMPARE(pages, preview ? 1 : 0);
    }

    // A page that does not fit the paper's printable height is drawn smaller,
    // whole; a comment too wide for the line is drawn narrower, down to half.
    void tooSmallPaperOrTooLongText_data()
    {
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<double>("marginMm");
        QTest::addColumn<int>("commentLength");   // 0: the scripted "C1.0"
        QTest::addColumn<bool>("scaled");
        QTest::addColumn<int>("squeezed");
        QTest::newRow("A4, small margins") << int(QPageSize::A4) << 5.0 << 0 << false << 0;
        QTest::newRow("A4, wide margins") << int(QPageSize::A4) << 30.0 << 0 << true << 0;
        QTest::newRow("A5") << int(QPageSize::A5) << 5.0 << 0 << true << 0;
        QTest::newRow("comment narrower") << int(QPageSize::A4) << 10.0 << 150 << false << 1;
        QTest::newRow("comment cut at half width") << int(QPageSize::A4) << 10.0 << 400 << false << 1;
    }
    void tooSmallPaperOrTooLongText()
    {
        QFETCH(int, pageSize);
        QFETCH(double, marginMm);
        QFETCH(int, commentLength);
        QFETCH(bool, scaled);
        QFETCH(int, squeezed);
        const QString pdf = dir.filePath(QStringLiteral("small.pdf"));
        ScriptedSource source;
        source.SetList(1, 4);
        if (commentLength)
            source.grids[0][5] = QStringLiteral("wide ").repeated(commentLength / 5) + QStringLiteral("END");
        {
            QPrinter printer;
            SetUpPdfPrinter(printer, pdf);
            printer.setPageSize(QPageSize(QPageSize::PageSizeId(pageSize)));
            printer.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
            QtReportPrinter reportPrinter(printer);
            QVERIFY(Report(reportPrinter, source, Now).PrintCurrentSection(ReportSection::Privileges));
            QCOMPARE(reportPrinter.LastPageScale() < 1.0, scaled);
            QVERIFY(reportPrinter.LastPageScale() >= 0.5);
            QCOMPARE(reportPrinter.SqueezedTexts(), squeezed);
            QCOMPARE(reportPrinter.PagesDrawn(), 2);   // no empty page after the last list ends its page
        }
        const QString text = PdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("D1.1 C1.1 Keine weiteren Daten 02-01-2026 03:04 - Seite 1 -")));
        QVERIFY(text.endsWith(QStringLiteral("- Seite 2 -")));
        QCOMPARE(text.contains(source.grids[0][5].simplified()), commentLength < 400);
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
