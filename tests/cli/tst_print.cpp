// vardelo-cli print, run as a separate process without a display.
#include "common/clirun.h"
#include "common/filebytes.h"
#include "common/fileobstacles.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QtTest>

class PrintCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString qlv;
    const QStringList noDisplay{"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        Configuration m;
        m.ConfigImage[Slot::DoorOpenTime] = 12;
        m.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation | Feature::BlockListsOn;
        m.ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2;
        EncodeDataLength(m, TrackNo::Track2, 8);
        LayOutLists(m);
        m.ListComment[0] = QStringLiteral("Pförtner");
        EncodeDisplayLine(m, 14, QStringLiteral("Tür ist offen   "));
        qlv = dir.filePath(QStringLiteral("DOOR.QLV"));
        QVERIFY(WriteConfigurationFile(m, qlv));
        QVERIFY(SaveComments(m, CommentFileNameFor(qlv)));
    }

    // The exit status, and the texts found in the PDF (made only on success) or on stderr.
    void print_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("basic, german") << QStringList{"print", "QLV", "--pdf", "PDF", "--section", "basic"} << 0 << QStringList{"DOOR.QLV", "Türöffnungszeit: 12 Sekunden", "Datenlänge Spur 3/1: ----"};
        QTest::newRow("privileges, english") << QStringList{"print", "QLV", "--pdf", "PDF", "--section", "privileges", "--lang", "en"} << 0 << QStringList{"Privileges track 2:", "00000000 Pförtner"};
        QTest::newRow("all, spanish") << QStringList{"print", "QLV", "--lang=es", "--section=all", "--pdf=PDF"} << 0 << QStringList{"textos del display:", "Tür ist offen"};
        QTest::newRow("unknown language") << QStringList{"print", "QLV", "--section", "all", "--pdf", "PDF", "--lang", "it"} << 2 << QStringList{"--lang takes de, en, fr or es, not it"};
        QTest::newRow("missing file") << QStringList{"print", "QLV.none", "--section", "all", "--pdf", "PDF"} << 1 << QStringList{"DOOR.QLV.none existiert nicht"};
        // Not replaced: a FIFO or a folder in the PDF's place; an earlier PDF is kept and said so.
        QTest::newRow("pdf onto a FIFO") << QStringList{"print", "QLV", "--section", "all", "--pdf", "DIR/fifo.pdf"} << 1 << QStringList{"fifo.pdf ist keine gewöhnliche Datei"};
        QTest::newRow("pdf onto a folder") << QStringList{"print", "QLV", "--section", "all", "--pdf", "DIR"} << 1 << QStringList{"ist ein Ordner"};
        QTest::newRow("pdf folder missing") << QStringList{"print", "QLV", "--section", "all", "--pdf", "/no/such/x.pdf"} << 1 << QStringList{"/no/such/x.pdf"};
    }
    void print()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        QFile::remove(pdf);
        const QString fifo = dir.filePath(QStringLiteral("fifo.pdf"));
        QVERIFY(QFile::exists(fifo) || MakeFifo(fifo));
        const CliRun run = RunCli(args.replaceInStrings(QStringLiteral("QLV"), qlv).replaceInStrings(QStringLiteral("PDF"), pdf).replaceInStrings(QStringLiteral("DIR"), dir.path()), noDisplay);
        QVERIFY2(run.status == status, run.err.constData());
        QVERIFY(!QFileInfo(fifo).isFile());
        if (status == 0) {   // the usual permissions of a new file, as any program makes it
            QFile reference(dir.filePath(QStringLiteral("reference")));
            QVERIFY(reference.open(QIODevice::WriteOnly));
            QCOMPARE(QFileInfo(pdf).permissions(), reference.permissions());
        }
        QCOMPARE(QFile::exists(pdf), status == 0);
        const QString text = status ? QString::fromUtf8(run.err) : PdfText(pdf);
        QFETCH(QStringList, expected);
        for (const QString& part : expected)
            QVERIFY2(text.contains(part), qPrintable(part + QStringLiteral(" in ") + text.left(600)));
    }

    // No room for the PDF (a full disk, a quota or, as here, a file size
    // limit the program inherits) is said as such; an earlier PDF is kept.
    void fullDisk()
    {
        const QString pdf = dir.filePath(QStringLiteral("full.pdf"));
        QVERIFY(WriteFileAtomically(pdf, "earlier"));
        CliRun run;
        {
            FileSizeLimit full(8 * 1024);   // a report is some 30 KB
            QVERIFY(full.Active());
            run = RunCli({"print", qlv, "--section", "all", "--pdf", pdf, "--lang", "en"}, noDisplay);
        }
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("full.pdf: the disk is full\n") && run.err.contains("full.pdf was kept"), run.err.constData());
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files | QDir::Hidden), QStringList{"full.pdf"});
        QCOMPARE(Bytes(pdf), QByteArray("earlier"));
    }
};

QTEST_GUILESS_MAIN(PrintCliTest)
#include "tst_print.moc"
