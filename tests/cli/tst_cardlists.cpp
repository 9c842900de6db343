// vardelo-cli export and import, run as separate processes.
#include "common/clirun.h"
#include "common/democonfig.h"
#include "common/filebytes.h"
#include "common/spreadsheetedit.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QtTest>

class CardListsCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString demo;
    Configuration m;

    QString Path(const QString& name) const { return dir.filePath(name); }
    bool Save(const Configuration& config, const QString& path)
    {
        return WriteConfigurationFile(config, path) && SaveComments(config, CommentFileNameFor(path));
    }

private slots:
    void initTestCase()
    {
        BuildDemoConfiguration(m);
        demo = Path("DEMO.QLV");
        QVERIFY(Save(m, demo));
    }

    // An export edited as a spreadsheet would (rows reordered, one added, a
    // comment changed, saved with semicolons) imports back to exactly those
    // changes: show prints the new file as it prints the expected one.
    void spreadsheetRoundTrip()
    {
        const CliRun exported = RunCli({"export", demo, "--csv", Path("cards.csv")});
        QVERIFY2(exported.status == 0, exported.err.constData());
        QCOMPARE(exported.out, Path("cards.csv").toUtf8() + '\n');
        const QByteArray edited = SpreadsheetEdit(Bytes(Path("cards.csv")));
        QVERIFY(!edited.isEmpty() && WriteBytes(Path("edited.csv"), edited));

        const QByteArray before = Bytes(demo);
        const CliRun imported = RunCli({"import", demo, "--csv", Path("edited.csv"), "--out", Path("NEW")});
        QVERIFY2(imported.status == 0, imported.err.constData());
        QCOMPARE(imported.out, Path("NEW.QLV").toUtf8() + '\n');
        QCOMPARE(Bytes(demo), before);

        Configuration expected = m;
        DecodeLists(expected);
        ApplySpreadsheetEdit(expected);
        QVERIFY(Save(expected, Path("EXPECTED.QLV")));
        const CliRun shown = RunCli({"show", Path("NEW.QLV")});
        const CliRun wanted = RunCli({"show", Path("EXPECTED.QLV")});
        QVERIFY(shown.status == 0 && wanted.status == 0);
        QCOMPARE(shown.out, wanted.out);
    }

    // Without --csv the CSV is the result itself: on stdout, the same bytes
    // the file gets, and no file is written.
    void exportToStandardOutput()
    {
        const CliRun toFile = RunCli({"export", demo, "--csv", Path("file.csv"), "--lang", "de"});
        QVERIFY2(toFile.status == 0, toFile.err.constData());
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        const CliRun toOut = RunCli({"export", demo, "--lang", "de"});
        QVERIFY2(toOut.status == 0, toOut.err.constData());
        QVERIFY(toOut.err.isEmpty());
        QCOMPARE(toOut.out, Bytes(Path("file.csv")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
    }

    // Refused imports write nothing and say why; FILE.QLV is never the target.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QByteArray good = "list;card\r\n1;12345678\r\n";
        QTest::newRow("bad rows, german") << QStringList{"import", "@QLV", "--csv", "@CSV", "--out", "@NEW", "--lang", "de"}
                                          << QByteArray("list;card\r\n1;1234567\r\n") << 1
                                          << "Zeile 2: 8 Ziffern erwartet, 7 gefunden\n";
        QTest::newRow("out is the file itself") << QStringList{"import", "@QLV", "--csv", "@CSV", "--out", "@QLV"} << good << 2
                                                << "--out must name another configuration than";
        QTest::newRow("out shares its comments file") << QStringList{"import", "@QLV", "--csv", "@CSV", "--out", "@DIR/DEMO.qlv"}
                                                      << good << 2 << "which import never changes";
        QTest::newRow("no out") << QStringList{"import", "@QLV", "--csv", "@CSV"} << good << 2 << "--out";
        QTest::newRow("csv missing") << QStringList{"import", "@QLV", "--csv", "@DIR/none.csv", "--out", "@NEW"} << good << 1
                                     << "none.csv does not exist";
        QTest::newRow("export into a missing folder") << QStringList{"export", "@QLV", "--csv", "/no/such/x.csv"} << good << 1
                                                      << "/no/such/x.csv";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, csv);
        QFETCH(int, status);
        QFETCH(QString, message);
        QVERIFY(WriteBytes(Path("in.csv"), csv));
        QFile::remove(Path("NEW.QLV"));
        QFile::remove(Path("NEW.BGT"));
        const QByteArray before = Bytes(demo);
        args.replaceInStrings(QStringLiteral("@QLV"), demo).replaceInStrings(QStringLiteral("@CSV"), Path("in.csv"));
        args.replaceInStrings(QStringLiteral("@NEW"), Path("NEW")).replaceInStrings(QStringLiteral("@DIR"), dir.path());
        const CliRun run = RunCli(args);
        QCOMPARE(run.status, status);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QFile::exists(Path("NEW.QLV")) && !QFile::exists(Path("NEW.BGT")));
        QCOMPARE(Bytes(demo), before);
    }

    // The new pair is written as a pair: when its comments file cannot be
    // replaced (here a folder), the configuration in its place stays too.
    void importNeverTearsThePair()
    {
        QVERIFY(WriteBytes(Path("in.csv"), "list;card\r\n1;12345678\r\n"));
        QVERIFY(WriteBytes(Path("TORN.QLV"), "the old configuration"));
        QVERIFY(QDir().mkpath(Path("TORN.BGT")));
        const CliRun run = RunCli({"import", demo, "--csv", Path("in.csv"), "--out", Path("TORN.QLV")});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("TORN.BGT is a folder"), run.err.constData());
        QCOMPARE(Bytes(Path("TORN.QLV")), QByteArray("the old configuration"));
        QVERIFY(!QFileInfo::exists(Path("history")));
    }
};

QTEST_GUILESS_MAIN(CardListsCliTest)
#include "tst_cardlists.moc"
