// The editor's two print commands, and the report it prints compared with
// the one the command-line companion builds for the same file.
#include "app/catalogue.h"
#include "common/editorfixture.h"
#include "common/fakes.h"
#include "config/configfiles.h"
#include "editor/editorwindow.h"
#include "platform/reportprinter.h"
#include "report/modelreportsource.h"
#include "report/report.h"
#include "report/ui/editorreportsource.h"

#include <QAction>
#include <QProcess>
#include <QTabWidget>
#include <QtTest>
#include <memory>

namespace {
const QDateTime Now(QDate(2026, 7, 1), QTime(8, 15));

QStringList Dump(const RecordingReportPrinter& printer)
{
    QStringList lines;
    for (const auto& item : printer.items) {
        QString text = item.text;
        while (text.endsWith(u' ') && text.size() > 1)   // a widened grid header only differs in its trailing blanks
            text.chop(1);
        lines << QStringLiteral("%1 %2,%3 %4pt %5").arg(item.page).arg(item.x).arg(item.y).arg(item.size).arg(text);
    }
    return lines;
}

QString PdfText(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}
}

class EditorPrintTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Vardelomod> m;
    FakeMessages messages;
    FakeFileDialogs dialogs;

    std::unique_ptr<EditorWindow> Open(const SampleSettings& settings = {}, int language = 0)
    {
        if (!WriteSampleConfiguration(*m, dir->filePath(QStringLiteral("TEST.QLV")), settings))
            return nullptr;
        m->ConfigImage.fill(0);
        m->LanguageOffset = qint16(language);
        return std::make_unique<EditorWindow>(*m, messages, dialogs);
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        m = std::make_unique<Vardelomod>();
        messages = {};
        dialogs = {};
    }

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
        QTest::newRow("no magnetic-card signal") << (0x10 | 0x40 | 0x08) << 3 << 1000 << 0;
        QTest::newRow("no data evaluation, spanish") << (0x04 | 0x80) << 3 << 3000 << 1;
    }
    void editorAndCommandLinePrintTheSame()
    {
        QFETCH(int, features);
        QFETCH(int, tracks);
        QFETCH(int, language);
        QFETCH(int, doorOpenTime);
        SampleSettings settings;
        settings.featureFlags = features;
        settings.trackFlags = tracks;
        settings.doorOpenTime = doorOpenTime;
        auto editor = Open(settings, language);
        QVERIFY(editor && editor->Loaded());
        RecordingReportPrinter fromEditor;
        {
            const EditorReportSource source(*editor);
            Report report(fromEditor, source, Now);
            QVERIFY(report.PrintAll());
        }

        auto fresh = std::make_unique<Vardelomod>();
        fresh->LanguageOffset = qint16(language);
        LoadWindowTexts(*fresh, TextWindow::Editor);
        QVERIFY(ReadConfigurationFile(*fresh, m->CurrentConfigFile));
        fresh->CurrentConfigFile = m->CurrentConfigFile;
        LoadComments(*fresh, m->CurrentConfigFile, false);
        RecordingReportPrinter fromFile;
        {
            const ModelReportSource source(*fresh);
            Report report(fromFile, source, Now);
            QVERIFY(report.PrintAll());
        }
        QCOMPARE(Dump(fromEditor), Dump(fromFile));
        QVERIFY(fromEditor.PageCount() >= 6);   // every section at least one page, each list one
    }

    void printCurrentTab_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("absent");
        QTest::newRow("basic settings") << 0 << "Grundeinstellungen:" << "Berechtigungen Spur 2:";
        QTest::newRow("privileges") << 1 << "Berechtigungen Spur 3:" << "Sperrlisten Spur 2:";
        QTest::newRow("block lists") << 2 << "Sperrlisten Spur 3:" << "Displaytexte:";
        QTest::newRow("display texts") << 3 << "Displaytexte:" << "Grundeinstellungen:";
    }
    void printCurrentTab()
    {
        QFETCH(int, tab);
        QFETCH(QString, title);
        QFETCH(QString, absent);
        auto editor = Open();
        QVERIFY(editor && editor->Loaded());
        editor->findChild<QTabWidget*>(QStringLiteral("ST1"))->setCurrentIndex(tab);
        dialogs.printerChoices.enqueue(true);
        dialogs.printerPdfFile = dir->filePath(QStringLiteral("tab.pdf"));
        editor->findChild<QAction*>(QStringLiteral("mnudruck"))->trigger();
        QCOMPARE(dialogs.printerRequests, 1);
        const QString text = PdfText(dialogs.printerPdfFile);
        QVERIFY2(text.startsWith(QStringLiteral("Liste der VARDELOdatei")), qPrintable(text.left(200)));
        QVERIFY(text.contains(title));
        QVERIFY(!text.contains(absent));
        QVERIFY(messages.shown.isEmpty());
    }

    void printAllIncludesUnsavedEdits()
    {
        auto editor = Open();
        QVERIFY(editor && editor->Loaded());
        editor->PressYesNo(0, true);   // door opener with buzzer: yes, not saved
        dialogs.printerChoices.enqueue(true);
        dialogs.printerPdfFile = dir->filePath(QStringLiteral("all.pdf"));
        editor->findChild<QAction*>(QStringLiteral("mnualldruck"))->trigger();
        const QString text = PdfText(dialogs.printerPdfFile);
        QVERIFY(text.contains(QStringLiteral("Türöffner mit Summer: Ja")));
        const qsizetype basic = text.indexOf(QStringLiteral("Grundeinstellungen:"));
        const qsizetype privileges = text.indexOf(QStringLiteral("Berechtigungen Spur 2:"));
        const qsizetype blocks = text.indexOf(QStringLiteral("Sperrlisten Spur 2:"));
        const qsizetype display = text.indexOf(QStringLiteral("Displaytexte:"));
        QVERIFY(basic >= 0 && basic < privileges && privileges < blocks && blocks < display);
        QVERIFY(messages.shown.isEmpty());
    }

    void cancelOrPrinterErrorEndsSilently_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<bool>("all");
        QTest::newRow("cancel, section") << false << "never.pdf" << false;
        QTest::newRow("cancel, all") << false << "never.pdf" << true;
        QTest::newRow("printer error, section") << true << "no/such/folder/x.pdf" << false;
        QTest::newRow("printer error, all") << true << "no/such/folder/x.pdf" << true;
    }
    void cancelOrPrinterErrorEndsSilently()
    {
        QFETCH(bool, chosen);
        QFETCH(QString, pdf);
        QFETCH(bool, all);
        auto editor = Open();
        QVERIFY(editor && editor->Loaded());
        dialogs.printerChoices.enqueue(chosen);
        dialogs.printerPdfFile = dir->filePath(pdf);
        QVERIFY(!RunEditorPrintCommand(*editor, all));
        QCOMPARE(dialogs.printerRequests, 1);
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(!QFile::exists(dialogs.printerPdfFile));
    }
};

QTEST_MAIN(EditorPrintTest)
#include "tst_editorprint.moc"
