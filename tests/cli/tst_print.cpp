// vardelo-cli print, run as a separate process without a display.
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QtTest>

namespace {
struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run RunCli(const QStringList& args)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VARDELO_CLI_PATH), args);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QString PdfText(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}
}

class PrintCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString qlv;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        Vardelomod m;
        m.ConfigImage[Slot::DoorOpenTime] = 12;
        m.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation | Feature::BlockListsOn;
        m.ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2;
        EncodeDataLength(m, TrackNo::Track2, 8);
        EncodeDataLength(m, TrackNo::Track3, 24);
        LayOutLists(m);
        m.ListComment[0] = QStringLiteral("Pförtner");
        EncodeDisplayLine(m, 14, QStringLiteral("Tür ist offen   "));
        qlv = dir.filePath(QStringLiteral("DOOR.QLV"));
        QVERIFY(WriteConfigurationFile(m, qlv));
        QVERIFY(SaveComments(m, CommentFileNameFor(qlv)));
    }

    void sections_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("basic, german") << QStringList{"--section", "basic"}
                                       << QStringList{"Grundeinstellungen:", "Türöffnungszeit: 12 Sekunden",
                                                      "Datenlänge Spur 3/1: ----"};
        QTest::newRow("privileges, english") << QStringList{"--section", "privileges", "--lang", "en"}
                                             << QStringList{"Privileges track 2:", "00000000 Pförtner", "Number (max.) 255"};
        QTest::newRow("block lists, french") << QStringList{"--lang", "fr", "--section", "blocklists"}
                                             << QStringList{"Liste numéros non autorisés piste 2", "-page 1 -"};
        QTest::newRow("display, spanish") << QStringList{"--section", "display", "--lang", "es"}
                                          << QStringList{"textos del display:", "Tür ist offen"};
        QTest::newRow("all") << QStringList{"--section", "all"}
                             << QStringList{"Grundeinstellungen:", "Berechtigungen Spur 3:", "Sperrlisten Spur 2:",
                                            "Displaytexte:"};
    }
    void sections()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, expected);
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        QFile::remove(pdf);
        const Run run = RunCli(QStringList{"print", qlv, "--pdf", pdf} + options);
        QVERIFY2(run.status == 0, run.err.constData());
        const QString text = PdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("DOOR.QLV")));
        for (const QString& part : expected)
            QVERIFY2(text.contains(part), qPrintable(part + QStringLiteral(" in ") + text.left(600)));
    }

    void wrongUse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no section") << QStringList{"print", "QLV", "--pdf", "PDF"} << 2 << "usage: vardelo-cli print";
        QTest::newRow("unknown section") << QStringList{"print", "QLV", "--section", "lists", "--pdf", "PDF"} << 2
                                         << "usage: vardelo-cli print";
        QTest::newRow("no pdf") << QStringList{"print", "QLV", "--section", "all"} << 2 << "usage: vardelo-cli print";
        QTest::newRow("unknown language") << QStringList{"print", "QLV", "--section", "all", "--pdf", "PDF", "--lang", "it"}
                                          << 2 << "unknown language it";
        QTest::newRow("missing file") << QStringList{"print", "QLV.none", "--section", "all", "--pdf", "PDF"} << 1
                                      << "cannot be opened";
        QTest::newRow("pdf folder missing") << QStringList{"print", "QLV", "--section", "all", "--pdf", "/no/such/x.pdf"}
                                            << 1 << "/no/such/x.pdf";
    }
    void wrongUse()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QString pdf = dir.filePath(QStringLiteral("never.pdf"));
        args.replaceInStrings(QStringLiteral("QLV"), qlv);
        args.replaceInStrings(QStringLiteral("PDF"), pdf);
        const Run run = RunCli(args);
        QCOMPARE(run.status, status);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_GUILESS_MAIN(PrintCliTest)
#include "tst_print.moc"
