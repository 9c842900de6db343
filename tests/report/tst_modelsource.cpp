// The report built straight from a configuration file (the command-line
// companion's path): what the editor would show, and the PDF it gives.
#include "app/catalogue.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "platform/reportprinter.h"
#include "report/modelreportsource.h"
#include "report/ui/configurationpdf.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Layout {
    bool signal = true;
    bool evaluation = true;
    bool blockLists = false;
    bool track2 = false;
    bool track3 = false;
    int digits2 = 8;
    int digits3 = 24;
};

std::unique_ptr<Vardelomod> Configured(const Layout& l, int language = 0)
{
    auto m = std::make_unique<Vardelomod>();
    m->LanguageOffset = qint16(language);
    LoadWindowTexts(*m, TextWindow::Editor);
    m->ConfigImage[Slot::FeatureFlags] = (l.signal ? Feature::MagCardSignal : 0)
        | (l.evaluation ? Feature::MagCardEvaluation : 0) | (l.blockLists ? Feature::BlockListsOn : 0);
    m->ConfigImage[Slot::TrackFlags] = (l.track2 ? Track::EvaluateTrack2 : 0) | (l.track3 ? Track::EvaluateTrack3 : 0);
    EncodeDataLength(*m, TrackNo::Track2, l.digits2);
    EncodeDataLength(*m, TrackNo::Track3, l.digits3);
    LayOutLists(*m);
    return m;
}

QString PdfText(const QString& pdf, int first, int last)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {"-layout", "-f", QString::number(first), "-l", QString::number(last), pdf, "-"});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

int PdfPages(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    process.waitForFinished(30000);
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                           .match(QString::fromUtf8(process.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}
}

class ModelSourceTest : public QObject {
    Q_OBJECT
private slots:
    void gridsAsTheEditorShowsThem_data()
    {
        QTest::addColumn<bool>("signal");
        QTest::addColumn<bool>("blockLists");
        QTest::addColumn<bool>("track2");
        QTest::addColumn<bool>("track3");
        QTest::addColumn<QList<int>>("rows");          // grid rows of Mgd1..Mgd4
        QTest::addColumn<QString>("capacity1");
        QTest::newRow("all four lists") << true << true << true << true << QList<int>{123, 46, 123, 23}
                                        << "Anzahl(max)   121";
        QTest::newRow("no block lists") << true << false << true << true << QList<int>{123, 109, 2, 2}
                                        << "Anzahl(max)   121";
        QTest::newRow("track 3/1 only") << true << true << false << true << QList<int>{2, 87, 2, 64} << " ";
        QTest::newRow("no magnetic-card signal") << false << true << true << true << QList<int>{2, 2, 2, 2} << " ";
    }
    void gridsAsTheEditorShowsThem()
    {
        QFETCH(bool, signal);
        QFETCH(bool, blockLists);
        QFETCH(bool, track2);
        QFETCH(bool, track3);
        QFETCH(QList<int>, rows);
        QFETCH(QString, capacity1);
        Layout layout;
        layout.signal = signal;
        layout.blockLists = blockLists;
        layout.track2 = track2;
        layout.track3 = track3;
        auto m = Configured(layout);
        m->ListComment[0] = QStringLiteral("Hausmeister");
        ModelReportSource source(*m);
        for (int g = 1; g <= 4; ++g) {
            QCOMPARE(source.GridRowCount(g), rows[g - 1]);
            QCOMPARE(source.ListCount(g), qMax(0, rows[g - 1] - 2));
        }
        QCOMPARE(source.GridCell(1, 2), capacity1);
        if (track2 && signal) {
            QCOMPARE(source.GridCell(1, 0).trimmed(), QStringLiteral("Berechtigungen Spur 2"));
            QCOMPARE(source.GridCell(1, 1).trimmed(), QStringLiteral("Begleittext"));
            QCOMPARE(source.GridCell(1, 4), QStringLiteral("00000000"));
            QCOMPARE(source.GridCell(1, 5), QStringLiteral("Hausmeister"));
            QCOMPARE(source.GridCell(1, 7), QStringLiteral("----------"));
        }
        QVERIFY(m->RowsObserver == nullptr);   // the source listens only while it is built
    }

    void controlsAsTheEditorShowsThem()
    {
        Layout layout;
        layout.track2 = true;
        layout.digits2 = 7;
        layout.digits3 = 13;
        auto m = Configured(layout, 1000);
        m->ConfigImage[Slot::DoorOpenTime] = 0;
        m->ConfigImage[Slot::FeatureFlags] |= Feature::OpenDoorOnFault;
        m->ConfigImage[Slot::TrackFlags] |= Track::MonitoringModule;
        m->ConfigImage[5] = 0x21;
        m->ConfigImage[6] = 0x43;
        m->ConfigImage[7] = 0x65;
        ModelReportSource source(*m);
        QCOMPARE(source.ControlText("Text1"), QStringLiteral("1"));   // a 0 is shown as 1
        QCOMPARE(source.ControlText("Text2"), QStringLiteral("7"));
        QCOMPARE(source.ControlText("Text3"), QStringLiteral("13"));
        QCOMPARE(source.ControlText("Text4"), QStringLiteral("123456"));
        QCOMPARE(m->ConfigImage[Slot::DoorOpenTime], qint16(0));     // printing changes nothing
        const QStringList on{"O1(2)", "O1(4)", "O1(7)", "O1(10)", "Op3"};
        for (const char* name : {"O1(0)", "O1(1)", "O1(2)", "O1(3)", "O1(4)", "O1(5)", "O1(7)", "O1(10)", "Op1",
                                 "Op3", "Op5"})
            QCOMPARE(source.OptionSelected(name), on.contains(QLatin1String(name)));
        QCOMPARE(source.Text(221), QStringLiteral("Yes"));
    }

    // The command-line path end to end: the largest list (1774 rows with
    // comments) printed as a whole, read back from the PDF.
    void largestConfigurationToPdf()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir dir;
        Layout layout;
        layout.track2 = true;
        layout.digits2 = 2;
        auto m = Configured(layout);
        QCOMPARE(int(m->ListCount1), 1774);
        for (int r = 0; r < 1774; ++r) {
            m->ListComment[r] = QStringLiteral("Karte %1 Müller").arg(r);
            m->ListData[r] = QStringLiteral("%1").arg(r % 100, 2, 10, QChar('0'));
            m->RowSlot[r] = qint16(272 + r);
            EncodeRowData(*m, r);
        }
        m->ConfigImage[Slot::DisplayLines] = 'W';
        const QString qlv = dir.filePath(QStringLiteral("GROSS.QLV"));
        QVERIFY(WriteConfigurationFile(*m, qlv));
        QVERIFY(SaveComments(*m, CommentFileNameFor(qlv)));

        ConfigurationPdfRequest request;
        request.configFile = qlv;
        request.pdfFile = dir.filePath(QStringLiteral("gross.pdf"));
        request.languageOffset = 1000;
        request.now = QDateTime(QDate(2026, 5, 31), QTime(23, 59));
        QCOMPARE(PrintConfigurationToPdf(request), QString());

        // Basic settings 1, track 2 list 42 (37 + 41 x 43 >= 1776 grid rows),
        // unused track 3/1 list 1, block lists 2, display texts 1.
        QCOMPARE(PdfPages(request.pdfFile), 47);
        QVERIFY(PdfText(request.pdfFile, 1, 1).contains(QStringLiteral("Data length track 2: 2")));
        const QString first = PdfText(request.pdfFile, 2, 2);
        QVERIFY2(first.contains(QStringLiteral("Privileges track 2: Privileges track 2 Comment Number (max.) 1774 "
                                               "00 Karte 0 Müller")),
                 qPrintable(first));
        QVERIFY(first.contains(QStringLiteral("34 Karte 34 Müller 05-31-2026 23:59 - Page 1 -")));
        const QString last = PdfText(request.pdfFile, 43, 43);
        QVERIFY2(last.startsWith(QStringLiteral("Privileges track 2 Comment")), qPrintable(last));
        QVERIFY(last.contains(QStringLiteral("73 Karte 1773 Müller No further data 05-31-2026 23:59 - Page 42 -")));
        QVERIFY(PdfText(request.pdfFile, 44, 44).contains(QStringLiteral("Privileges track 3: No further data")));
        QVERIFY(PdfText(request.pdfFile, 44, 44).contains(QStringLiteral("- Page 43 -")));
        QVERIFY(PdfText(request.pdfFile, 45, 45).contains(QStringLiteral("- Page 1 -")));
        QVERIFY(PdfText(request.pdfFile, 47, 47).contains(QStringLiteral("Display text 1 W")));
    }

    void badInputGivesAClearMessage_data()
    {
        QTest::addColumn<QString>("configContent");
        QTest::addColumn<QString>("pdfName");
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("short file") << " 1 \r\n 2 \r\n" << "out.pdf" << "SHORT.QLV";
        QTest::newRow("missing file") << QString() << "out.pdf" << "SHORT.QLV";
        QTest::newRow("pdf folder missing") << "full" << "no/such/folder/out.pdf" << "out.pdf";
    }
    void badInputGivesAClearMessage()
    {
        QFETCH(QString, configContent);
        QFETCH(QString, pdfName);
        QFETCH(QString, messagePart);
        QTemporaryDir dir;
        const QString qlv = dir.filePath(QStringLiteral("SHORT.QLV"));
        if (configContent == u"full") {
            Vardelomod m;
            QVERIFY(WriteConfigurationFile(m, qlv));
        } else if (!configContent.isNull()) {
            QFile file(qlv);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(configContent.toLatin1());
        }
        // An earlier PDF of the name stays as it was.
        const QString pdf = dir.filePath(pdfName);
        QFile earlier(pdf);
        if (earlier.open(QIODevice::WriteOnly))
            earlier.write("earlier");
        earlier.close();
        ConfigurationPdfRequest request;
        request.configFile = qlv;
        request.pdfFile = pdf;
        const QString message = PrintConfigurationToPdf(request);
        QVERIFY2(message.contains(messagePart), qPrintable(message));
        if (QFile::exists(pdf)) {
            QFile check(pdf);
            QVERIFY(check.open(QIODevice::ReadOnly));
            QCOMPARE(check.readAll(), QByteArray("earlier"));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).filter(QStringLiteral(".pdf.")), QStringList());
    }
};

QTEST_MAIN(ModelSourceTest)
#include "tst_modelsource.moc"
