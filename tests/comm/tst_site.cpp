// A site of simulated terminals run by one SiteRun on one clock, as
// vardelo-cli site and the site window run it: every terminal read at once
// into its own folder, one that cannot be reached or refuses the password
// reported with its cause while the others go on, each last read compared
// with its configuration, a write only where it differs, and a stop that
// tears no write.
#include "comm/simterminal.h"
#include "comm/site.h"
#include "comm/transferlog.h"
#include "common/democonfig.h"
#include "common/english.h"
#include "common/fakes.h"
#include "common/filebytes.h"
#include "common/manualclock.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "texts/catalogue.h"
#include "texts/sitetexts.h"

#include <QJsonArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

constexpr qint64 SingleReadMs = 9400;

// The demonstration configuration with its own door opening time (so that
// terminals hold different bytes) and its comments.
Configuration Content(int doorOpenTime)
{
    Configuration m;
    BuildDemoConfiguration(m);
    m.ConfigImage[Slot::DoorOpenTime] = qint16(doorOpenTime);
    return m;
}

struct TerminalLine {
    QString name;
    QString port;
    QString password;        // password-file, password-env or nothing
    QString configuration;   // file name, or empty
};

// A site in a folder of its own: its file, the terminals' memory files
// (tN.QLV, each the demonstration configuration with door time N) and the
// configurations it names. The run's clock is a manual clock; its calendar
// starts on 2026-12-06 at 14:00.
struct SiteRig {
    QTemporaryDir dir;
    ManualClock clock;
    ProgramState program;
    FakeSerialDevices devices;
    Site site;
    std::unique_ptr<SiteRun> run;
    QList<SiteTerminalResult> finished;   // as TerminalFinished gave them
    QHash<int, int> progressReports;
    int ends = 0;
    bool storeOnThreads = false;

    explicit SiteRig(const QList<TerminalLine>& terminals)
    {
        program.LanguageOffset = 1000;
        LoadWindowTexts(program, TextWindow::Main);
        QByteArray toml = "name = \"Werk 2\"\n";
        for (const TerminalLine& t : terminals) {
            toml += "[[terminal]]\nname = \"" + t.name.toUtf8() + "\"\nport = \"" + t.port.toUtf8() + "\"\n";
            if (!t.password.isEmpty())
                toml += t.password.toUtf8() + "\n";
            if (!t.configuration.isEmpty())
                toml += "configuration = \"" + t.configuration.toUtf8() + "\"\n";
        }
        QVERIFY(WriteBytes(Path("werk2.toml"), toml));
        QVERIFY(WriteBytes(Path("right.pw"), "123456\n"));
        QFile(Path("right.pw")).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        const SiteFileRead read = ReadSiteFile(Path("werk2.toml"));
        QVERIFY2(read, qPrintable(SiteFileMessage(read, "werk2.toml", 1000)));
        site = read.site;
        Remake();
    }
    // A new run, as the next command would make one.
    void Remake()
    {
        run = std::make_unique<SiteRun>(program, clock, site);
        run->SetDevices(devices);
        // Stored at once: what happens at which virtual time must not depend
        // on the disk (storeOnThreads: as the program does).
        run->SetStoreOnThreads(storeOnThreads);
        run->Now = [this] { return QDateTime(QDate(2026, 12, 6), QTime(14, 0)).addMSecs(clock.NowMs()); };
        QObject::connect(run.get(), &SiteRun::TerminalFinished, [this](const SiteTerminalResult& r) { finished << r; });
        QObject::connect(run.get(), &SiteRun::TerminalProgress,
                         [this](int index, const TransferProgress&) { ++progressReports[index]; });
        QObject::connect(run.get(), &SiteRun::Finished, [this] { ++ends; });
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString ReadFile(const QString& terminal) const { return Path(terminal + QStringLiteral("/VARDELO.QLV")); }
    void Memory(const QString& file, int doorOpenTime)
    {
        QVERIFY(WriteConfigurationFile(Content(doorOpenTime), Path(file)));
    }
    // A configuration with the demonstration's comments beside it.
    void Configuration_(const QString& file, int doorOpenTime)
    {
        QVERIFY(SaveConfigurationPair(Content(doorOpenTime), Path(file)));
    }
    QHash<int, QString> Passwords(const QList<int>& selection)
    {
        const SitePasswords resolved = ResolveSitePasswords(site, selection, QStringLiteral("123456"));
        return resolved.passwords;
    }
    // Runs the operation until it has ended; the time it took.
    qint64 Run(SiteOperation operation, const QList<int>& selection, const SiteRun::Options& options = {})
    {
        finished.clear();
        const qint64 start = clock.NowMs();
        if (!run->Start(operation, selection, Passwords(selection), options))
            return -1;
        RunToEnd();
        return clock.NowMs() - start;
    }
    // Tick by tick until the run has ended. Reads stored on threads come
    // back through the event loop, while the clock goes on (a terminal's
    // progress keeps ticking until its read is stored): their virtual times
    // then depend on the disk.
    void RunToEnd()
    {
        while (run->Running()) {
            if (storeOnThreads) {
                QCoreApplication::processEvents();
                if (!run->Running())
                    break;
            }
            if (clock.NextDue() >= 0)
                clock.AdvanceTo(clock.NextDue());
            else
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    QStringList Results() const
    {
        QStringList lines;
        for (const SiteTerminalResult& r : run->Results())
            lines << r.name + u' ' + SiteResultWord(r.result) + (r.written ? QStringLiteral(" written") : QString());
        return lines;
    }
    QList<QJsonObject> LogLines() const
    {
        return ReadTransferLog(Path(SiteLogFileName), 0).entries;
    }
};

// The site: four healthy terminals, one on a port that does not
// exist, one whose password file holds the wrong password. Tor 2's
// configuration differs from what it holds, Tor 1's equals it.
QList<TerminalLine> SixTerminals()
{
    return {{"Tor 1", "sim:t1.QLV,id=TOR-1", "password-file = \"right.pw\"", "tor1.QLV"},
            {"Tor 2", "sim:t2.QLV,id=TOR-2", "password-env = \"SITE_TEST_PW\"", "tor2.QLV"},
            {"Lager", "sim:t3.QLV,id=LAGER", "", ""},
            {"Büro", "sim:t4.QLV,id=BUERO", "", ""},
            {"Keller", "/dev/vardelo-missing", "", "tor1.QLV"},
            {"Hof", "sim:t6.QLV,id=HOF", "password-env = \"SITE_WRONG_PW\"", ""}};
}

void PrepareSix(SiteRig& rig)
{
    for (int n : {1, 2, 3, 4, 6})
        rig.Memory(QStringLiteral("t%1.QLV").arg(n), n);
    rig.Configuration_(QStringLiteral("tor1.QLV"), 1);
    rig.Configuration_(QStringLiteral("tor2.QLV"), 12);
}

} // namespace

class SiteTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("SITE_TEST_PW", "123456");
        qputenv("SITE_WRONG_PW", "111111");
    }

    // Read all six at once: the four healthy ones in the time of one read,
    // each into its folder byte for byte; the two others failed with their
    // causes. Then diff names Tor 2, write --only Tor 2 writes and verifies
    // it, and --failed takes exactly the two that failed.
    void aSiteOfSix_data()
    {
        QTest::addColumn<bool>("storeOnThreads");
        QTest::newRow("stored at once") << false;
        QTest::newRow("stored on threads") << true;
    }
    void aSiteOfSix()
    {
        SiteRig rig(SixTerminals());
        QFETCH(bool, storeOnThreads);
        rig.storeOnThreads = storeOnThreads;
        rig.Remake();
        PrepareSix(rig);
        const qint64 took = rig.Run(SiteOperation::Read, rig.run->All());
        QVERIFY2(storeOnThreads || took <= SingleReadMs * 115 / 100, qPrintable(QString::number(took)));
        QCOMPARE(rig.Results(), (QStringList{"Tor 1 ok", "Tor 2 ok", "Lager ok", "Büro ok", "Keller failed", "Hof failed"}));
        QCOMPARE(SiteExitStatus(SiteOperation::Read, rig.run->Results()), 1);
        QCOMPARE(rig.ends, 1);
        QCOMPARE(rig.finished.size(), 6);
        // The one whose port does not open ends first, before any line time.
        QCOMPARE(rig.finished.first().name, QStringLiteral("Keller"));

        const QJsonObject json = SiteResultsJson(rig.site.name, rig.run->Results());
        QCOMPARE(json.keys(), (QStringList{"site", "terminals"}));
        QCOMPARE(json.value("site").toString(), QStringLiteral("Werk 2"));
        const QJsonArray terminals = json.value("terminals").toArray();
        QCOMPARE(terminals.size(), 6);
        const QStringList identifications{"TOR-1", "TOR-2", "LAGER", "BUERO"};
        for (int i = 0; i < 6; ++i) {
            const QJsonObject t = terminals.at(i).toObject();
            QCOMPARE(t.keys(), (QStringList{"changes", "identification", "message", "name", "port", "result", "seconds"}));
            QVERIFY(t.value("changes").isNull());
            if (i < 4) {
                QCOMPARE(t.value("result").toString(), QStringLiteral("ok"));
                QCOMPARE(t.value("identification").toString(), identifications.at(i));
                // Stored on threads, a read ends when its disk is done.
                if (!storeOnThreads)
                    QCOMPARE(t.value("seconds").toDouble(), 9.4);
                const QString name = t.value("name").toString();
                QCOMPARE(Bytes(rig.ReadFile(name)), Bytes(rig.Path(QStringLiteral("t%1.QLV").arg(i + 1))));
                QVERIFY(rig.progressReports.value(i) > 10);
            } else {
                QCOMPARE(t.value("result").toString(), QStringLiteral("failed"));
                QVERIFY(t.value("identification").isNull());
            }
        }
        const QString missing = terminals.at(4).toObject().value("message").toString();
        QVERIFY2(missing.startsWith(En(165) + "\n/dev/vardelo-missing does not exist"), qPrintable(missing));
        QCOMPARE(terminals.at(5).toObject().value("message").toString(), En(141));
        QVERIFY(!QFile::exists(rig.ReadFile("Hof")) && !QFile::exists(rig.ReadFile("Keller")));

        // Each read is a line of the site's log, with the terminal's name.
        QStringList logged;
        for (const QJsonObject& e : rig.LogLines())
            logged << e.value("name").toString() + u' ' + e.value("result").toString();
        logged.sort();
        QCOMPARE(logged, (QStringList{"Büro success", "Hof " + En(141), "Lager success", "Tor 1 success", "Tor 2 success"}));

        // Without the line: Tor 2 differs, Tor 1 holds its configuration,
        // the others have none or were never read.
        QCOMPARE(rig.Run(SiteOperation::Diff, rig.run->All()), 0);
        QCOMPARE(rig.Results(), (QStringList{"Tor 1 equal", "Tor 2 differs", "Lager skipped", "Büro skipped",
                                             "Keller unknown", "Hof skipped"}));
        const SiteTerminalResult tor2 = rig.run->Results().at(1);
        QCOMPARE(tor2.changes.settings.size(), 1);
        QCOMPARE(tor2.identification, QStringLiteral("TOR-2"));
        QCOMPARE(rig.run->Results().at(4).message, En(311).arg("Keller/VARDELO.QLV"));
        QCOMPARE(SiteExitStatus(SiteOperation::Diff, rig.run->Results()), 1);

        // write --only Tor 2: a fresh read, then the write, verified.
        const qint64 wrote = rig.Run(SiteOperation::Write, rig.run->Selection({"tor 2"}));
        QCOMPARE(rig.Results(), QStringList{"Tor 2 ok written"});
        QCOMPARE(rig.run->Results().at(0).message, En(149));
        QVERIFY(wrote > SingleReadMs + 17000);
        QCOMPARE(Bytes(rig.Path("t2.QLV")), Bytes(rig.Path("tor2.QLV")));
        // Its folder holds what it now holds, with the comments of the file
        // written; the read before the write stays in history/.
        QCOMPARE(Bytes(rig.ReadFile("Tor 2")), Bytes(rig.Path("tor2.QLV")));
        QCOMPARE(Bytes(rig.Path("Tor 2/VARDELO.BGT")), Bytes(rig.Path("tor2.BGT")));
        QCOMPARE(QDir(rig.Path("Tor 2/history")).entryList({"*.QLV"}).size(), 4);
        QCOMPARE(rig.LogLines().last().value("command").toString(), QStringLiteral("write"));
        QCOMPARE(rig.LogLines().last().value("name").toString(), QStringLiteral("Tor 2"));
        // The others are not touched.
        QCOMPARE(Bytes(rig.Path("t1.QLV")), FormatConfigBlock(ImageBlock(Content(1))));

        QCOMPARE(rig.Run(SiteOperation::Diff, rig.run->Selection({"Tor 1", "Tor 2"})), 0);
        QCOMPARE(rig.Results(), (QStringList{"Tor 1 equal", "Tor 2 equal"}));
        QCOMPARE(SiteExitStatus(SiteOperation::Diff, rig.run->Results()), 0);

        // --failed: the two that failed in the last read, and only they.
        QCOMPARE(LastFailedNames(rig.site, SiteOperation::Read), (QStringList{"Keller", "Hof"}));
        const QList<int> failed = rig.run->Selection(LastFailedNames(rig.site, SiteOperation::Read));
        QCOMPARE(failed, (QList<int>{4, 5}));
        const int logLines = int(rig.LogLines().size());
        rig.Run(SiteOperation::Read, failed);
        QCOMPARE(rig.Results(), (QStringList{"Keller failed", "Hof failed"}));
        QCOMPARE(rig.LogLines().size(), logLines + 1);   // Hof's read; Keller's port never opened
    }

    // A terminal's read takes the comments of the file last written to it,
    // as the site's log names it, also when its folder is gone.
    void aReadTakesTheCommentsOfTheFileLastWritten()
    {
        SiteRig rig({{"Tor 1", "sim:t1.QLV", "", "tor1.QLV"}});
        rig.Memory("t1.QLV", 1);
        rig.Configuration_("tor1.QLV", 5);
        rig.Run(SiteOperation::Write, rig.run->All());
        QCOMPARE(rig.Results(), QStringList{"Tor 1 ok written"});
        QVERIFY(QDir(rig.Path("Tor 1")).removeRecursively());
        rig.Run(SiteOperation::Read, rig.run->All());
        QCOMPARE(rig.Results(), QStringList{"Tor 1 ok"});
        QCOMPARE(Bytes(rig.ReadFile("Tor 1")), Bytes(rig.Path("tor1.QLV")));
        QCOMPARE(Bytes(rig.Path("Tor 1/VARDELO.BGT")), Bytes(rig.Path("tor1.BGT")));
        QVERIFY(Bytes(rig.Path("tor1.BGT")).contains(QStringLiteral("Schäfer, Anna").toLatin1()));
    }

    // What a write does with each terminal: equal ones are left alone unless
    // forced, a dry run writes nothing and stores nothing, a configuration
    // that cannot be written is refused before the line is touched.
    void writes_data()
    {
        QTest::addColumn<QString>("configuration");   // of the terminal holding door time 1
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("readStored");
        QTest::addColumn<QString>("message");
        QTest::newRow("differs") << "door 7" << false << false << "ok" << true << true << En(149);
        QTest::newRow("equal") << "door 1" << false << false << "equal" << false << true << En(344);
        QTest::newRow("equal, forced") << "door 1" << false << true << "ok" << true << true << En(149);
        QTest::newRow("dry run, differs") << "door 7" << true << false << "differs" << false << false << "1 basic setting(s) changed";
        QTest::newRow("dry run, equal") << "door 1" << true << false << "equal" << false << false << En(344);
        QTest::newRow("no configuration") << "" << false << false << "skipped" << false << false << "the terminal has no \"configuration\"";
        QTest::newRow("damaged configuration") << "damaged" << false << false << "failed" << false << false << "the file ends after 2 of 2048 numbers";
        QTest::newRow("value not a byte") << "300" << false << false << "failed" << false << false << "holds the value 300 in slot 700";
    }
    void writes()
    {
        QFETCH(QString, configuration);
        SiteRig rig({{"Tor 1", "sim:t1.QLV", "", configuration.isEmpty() ? QString() : "tor1.QLV"},
                     {"Tor 2", "sim:t2.QLV", "", "tor2.QLV"}});
        rig.Memory("t1.QLV", 1);
        rig.Memory("t2.QLV", 2);
        rig.Configuration_("tor2.QLV", 8);
        if (configuration.startsWith("door"))
            rig.Configuration_("tor1.QLV", configuration.mid(5).toInt());
        else if (configuration == u"damaged")
            QVERIFY(WriteBytes(rig.Path("tor1.QLV"), " 1 \r\n 2 \r\n"));
        else if (configuration == u"300") {
            Configuration m = Content(1);
            m.ConfigImage[700] = 300;
            QVERIFY(WriteConfigurationFile(m, rig.Path("tor1.QLV")));
        }
        const QByteArray before = Bytes(rig.Path("t1.QLV"));
        SiteRun::Options options;
        QFETCH(bool, dryRun);
        QFETCH(bool, force);
        options.dryRun = dryRun;
        options.force = force;
        rig.Run(SiteOperation::Write, rig.run->All(), options);

        const SiteTerminalResult r = rig.run->Results().at(0);
        QTEST(SiteResultWord(r.result), "result");
        QTEST(r.written, "written");
        QFETCH(QString, message);
        QVERIFY2(r.message.contains(message), qPrintable(r.message));
        QFETCH(bool, written);
        QCOMPARE(Bytes(rig.Path("t1.QLV")) == before, !written || configuration == u"door 1");
        if (written)
            QCOMPARE(Bytes(rig.Path("t1.QLV")), Bytes(rig.Path("tor1.QLV")));
        QFETCH(bool, readStored);
        QCOMPARE(QFile::exists(rig.ReadFile("Tor 1")), readStored);
        // The other terminal goes its own way: written, or only compared.
        const SiteTerminalResult other = rig.run->Results().at(1);
        QCOMPARE(SiteResultWord(other.result), dryRun ? QStringLiteral("differs") : QStringLiteral("ok"));
        QCOMPARE(Bytes(rig.Path("t2.QLV")) == Bytes(rig.Path("tor2.QLV")), !dryRun);
        // A dry run remembers nothing for --failed.
        QCOMPARE(QFile::exists(SiteRunsFileName(rig.site.file)), !dryRun);
    }

    // Stopped (Ctrl+C): no new transfer begins. Reads under way are broken
    // off and nothing of them is stored; a write under way ends as a write
    // does, verified, and is reported written.
    void stop_data()
    {
        QTest::addColumn<qint64>("stopAt");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<bool>("written");
        QTest::newRow("while reading") << qint64(5000) << QStringList{"Tor 1 skipped", "Tor 2 skipped"} << false;
        QTest::newRow("while writing") << qint64(SingleReadMs + 3000) << QStringList{"Tor 1 ok written", "Tor 2 equal"} << true;
    }
    void stop()
    {
        SiteRig rig({{"Tor 1", "sim:t1.QLV", "", "tor1.QLV"}, {"Tor 2", "sim:t2.QLV", "", "tor2.QLV"}});
        rig.Memory("t1.QLV", 1);
        rig.Memory("t2.QLV", 2);
        rig.Configuration_("tor1.QLV", 9);
        rig.Configuration_("tor2.QLV", 2);
        QVERIFY(rig.run->Start(SiteOperation::Write, rig.run->All(), rig.Passwords(rig.run->All())));
        QFETCH(qint64, stopAt);
        rig.clock.AdvanceTo(stopAt);
        rig.run->Stop();
        rig.RunToEnd();
        QTEST(rig.Results(), "results");
        QFETCH(bool, written);
        QCOMPARE(Bytes(rig.Path("t1.QLV")) == Bytes(rig.Path("tor1.QLV")), written);
        QCOMPARE(Bytes(rig.Path("t2.QLV")), FormatConfigBlock(ImageBlock(Content(2))));
        QCOMPARE(SiteExitStatus(SiteOperation::Write, rig.run->Results()), written ? 0 : 1);
        for (const SiteTerminalResult& r : rig.run->Results()) {
            QCOMPARE(r.stopped, r.result == SiteResult::Skipped);
            if (r.stopped)
                QCOMPARE(r.message, En(Text::SiteStopped));
        }
        QCOMPARE(QFile::exists(rig.ReadFile("Tor 1")), written);
        // The terminals are free again: the next run reads them.
        rig.Remake();
        rig.Run(SiteOperation::Read, rig.run->All());
        QCOMPARE(rig.Results(), (QStringList{"Tor 1 ok", "Tor 2 ok"}));
    }

    // A terminal on the network is read only once its connection is set up:
    // one whose server takes the connection and never sets up COM port
    // control fails with its address when the link gives up, while the
    // other is read; a stop while it connects skips it.
    void aTerminalOnTheNetworkNeverSetUp_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::addColumn<QString>("result");
        QTest::newRow("given up") << false << "Tor 2 failed";
        QTest::newRow("stopped") << true << "Tor 2 skipped";
    }
    void aTerminalOnTheNetworkNeverSetUp()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        QByteArray heard;
        QObject::connect(&silent, &QTcpServer::newConnection, [&] {
            QTcpSocket* client = silent.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead, [&heard, client] { heard += client->readAll(); });
        });
        const QString address = QStringLiteral("rfc2217://127.0.0.1:%1").arg(silent.serverPort());
        SiteRig rig({{"Tor 1", "sim:t1.QLV", "", ""}, {"Tor 2", address, "", ""}});
        rig.Memory("t1.QLV", 1);
        QVERIFY(rig.run->Start(SiteOperation::Read, rig.run->All(), rig.Passwords(rig.run->All())));
        // Connected: the link asks for its options and waits for them.
        QVERIFY(QTest::qWaitFor([&] { return !heard.isEmpty(); }, 20000));
        QFETCH(bool, stop);
        if (stop)
            rig.run->Stop();
        rig.RunToEnd();
        QFETCH(QString, result);
        QCOMPARE(rig.Results(), (QStringList{stop ? "Tor 1 skipped" : "Tor 1 ok", result}));
        const SiteTerminalResult tor2 = rig.run->Results().at(1);
        QCOMPARE(tor2.message, stop ? En(Text::SiteStopped)
                                    : address + QStringLiteral(": the server does not set up COM port control (RFC 2217) "
                                                               "within 5 s"));
        QCOMPARE(tor2.stopped, stop);
        QVERIFY(!QFile::exists(rig.ReadFile("Tor 2")));
    }

    // A terminal the face has no password for (none typed in a window) is
    // not read: it fails at once, and the others go on.
    void aTerminalWithoutAPasswordFailsAtOnce()
    {
        SiteRig rig({{"Tor 1", "sim:t1.QLV", "", ""}, {"Tor 2", "sim:t2.QLV", "", ""}});
        rig.Memory("t1.QLV", 1);
        rig.Memory("t2.QLV", 2);
        QHash<int, QString> passwords = rig.Passwords(rig.run->All());
        passwords.remove(0);
        QVERIFY(rig.run->Start(SiteOperation::Read, rig.run->All(), passwords));
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.finished.at(0).message, "the terminal has no \"password\"");
        rig.RunToEnd();
        QCOMPARE(rig.Results(), (QStringList{"Tor 1 failed", "Tor 2 ok"}));
        QVERIFY(!QFile::exists(rig.ReadFile("Tor 1")));
        QCOMPARE(rig.LogLines().size(), 1);
    }

    // Where each selected terminal's password comes from; every source that
    // gives none is named with its line, before any terminal is touched.
    void passwords_data()
    {
        QTest::addColumn<QString>("source");        // the password line of the terminal
        QTest::addColumn<bool>("withDefault");      // VARDELO_PASSWORD or a prompt gave one
        QTest::addColumn<QString>("password");      // as the terminal is sent it; empty: none
        QTest::addColumn<QString>("problem");       // empty: none
        QTest::newRow("file") << "password-file = \"right.pw\"" << false << PackTerminalPassword("123456", false) << "";
        QTest::newRow("file others may read") << "password-file = \"open.pw\"" << false << PackTerminalPassword("123456", false) << "";
        QTest::newRow("free text in the environment") << "password-env = \"SITE_FREE_PW\"" << false << "XSIMULATE" << "";
        QTest::newRow("default") << "" << true << PackTerminalPassword("654321", false) << "";
        QTest::newRow("default not given") << "" << false << "" << "";
        QTest::newRow("missing file") << "password-file = \"none.pw\"" << true << "" << "line 5: DIR/none.pw does not exist";
        QTest::newRow("folder as file") << "password-file = \"sub\"" << true << "" << "line 5: DIR/sub is a folder, not a file";
        QTest::newRow("variable not set") << "password-env = \"SITE_UNSET_PW\"" << true << "" << "line 5: password-env: the environment variable SITE_UNSET_PW is not set";
        QTest::newRow("five digits") << "password-env = \"SITE_SHORT_PW\"" << true << "" << "line 5: the password from SITE_SHORT_PW must be six digits, or X and a text of 6 to 8 characters";
        QTest::newRow("free text too long") << "password-file = \"long.pw\"" << true << "" << "line 5: the password from DIR/long.pw must be six digits, or X and a text of 6 to 8 characters";
    }
    void passwords()
    {
        QFETCH(QString, source);
        qputenv("SITE_FREE_PW", "XSIMULATE");
        qputenv("SITE_SHORT_PW", "12345");
        qunsetenv("SITE_UNSET_PW");
        SiteRig rig({{"Tor 1", "sim", source, ""}, {"Tor 2", "sim:t2.QLV", "password-file = \"right.pw\"", ""}});
        QVERIFY(QDir(rig.dir.path()).mkdir("sub"));
        QVERIFY(WriteBytes(rig.Path("long.pw"), "XABCDEFGHI"));
        QFile(rig.Path("long.pw")).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(WriteBytes(rig.Path("open.pw"), "123456"));
        QFile(rig.Path("open.pw")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        QFETCH(bool, withDefault);
        const SitePasswords resolved = ResolveSitePasswords(
            rig.site, rig.run->All(), withDefault ? std::optional<QString>("654321") : std::nullopt);
        QFETCH(QString, password);
        QCOMPARE(resolved.passwords.value(0), password);
        QCOMPARE(resolved.passwords.value(1), PackTerminalPassword("123456", false));
        QFETCH(QString, problem);
        const QString message = SiteProblemsMessage(resolved.problems, rig.site.file, 1000).section(u'\n', 1);
        QCOMPARE(message, problem.replace("DIR", rig.dir.path()));
        QCOMPARE(NeedsDefaultPassword(rig.site, {0}), source.isEmpty());
        QVERIFY(!NeedsDefaultPassword(rig.site, {1}));
        QCOMPARE(resolved.readableByOthers, source.contains("open.pw") ? QStringList{rig.Path("open.pw")} : QStringList{});
    }

    // --failed remembers each terminal as the last run of that command that
    // took it left it; the commands keep their own lists.
    void failedNamesAreRememberedPerCommand()
    {
        SiteRig rig({{"A", "sim", "", ""}, {"B", "sim,id=B", "", ""}, {"C", "sim,id=C", "", ""}});
        const auto result = [](const QString& name, SiteResult r) {
            SiteTerminalResult t;
            t.name = name;
            t.result = r;
            return t;
        };
        QVERIFY(RememberFailed(rig.site, SiteOperation::Read,
                               {result("A", SiteResult::Failed), result("B", SiteResult::Ok), result("C", SiteResult::Failed)}));
        QVERIFY(RememberFailed(rig.site, SiteOperation::Read, {result("a", SiteResult::Ok), result("B", SiteResult::Failed)}));
        QVERIFY(RememberFailed(rig.site, SiteOperation::Diff, {result("A", SiteResult::Differs), result("B", SiteResult::Equal)}));
        QCOMPARE(LastFailedNames(rig.site, SiteOperation::Read), (QStringList{"C", "B"}));
        QCOMPARE(LastFailedNames(rig.site, SiteOperation::Diff), QStringList{"A"});
        QCOMPARE(LastFailedNames(rig.site, SiteOperation::Write), QStringList{});
        // A file that is no JSON remembers nothing, and is replaced.
        QVERIFY(WriteBytes(SiteRunsFileName(rig.site.file), "\x01garbage"));
        QCOMPARE(LastFailedNames(rig.site, SiteOperation::Read), QStringList{});
        QVERIFY(RememberFailed(rig.site, SiteOperation::Read, {result("A", SiteResult::Failed)}));
        QCOMPARE(LastFailedNames(rig.site, SiteOperation::Read), QStringList{"A"});
    }

    // Status without the line: what the folder and the site's log say of
    // each terminal.
    void status()
    {
        SiteRig rig({{"Tor 1", "sim:t1.QLV", "", "tor1.QLV"}, {"Tor 2", "sim:t2.QLV,silent", "", ""},
                     {"Tor 3", "sim:t3.QLV", "", ""}});
        rig.Memory("t1.QLV", 1);
        rig.Memory("t2.QLV", 2);
        rig.Memory("t3.QLV", 3);
        rig.Configuration_("tor1.QLV", 4);
        rig.Run(SiteOperation::Read, rig.run->All());
        QCOMPARE(rig.Results(), (QStringList{"Tor 1 ok", "Tor 2 failed", "Tor 3 ok"}));
        QCOMPARE(rig.Run(SiteOperation::Status, rig.run->All()), 0);
        QCOMPARE(rig.Results(), (QStringList{"Tor 1 differs", "Tor 2 unknown", "Tor 3 ok"}));
        const QList<SiteTerminalResult> r = rig.run->Results();
        QCOMPARE(r.at(0).lastRead, QDateTime(QDate(2026, 12, 6), QTime(14, 0, 9)));
        QVERIFY(!r.at(0).lastWrite.isValid());
        QCOMPARE(r.at(0).identification, QStringLiteral("VARDELO SIM 1.00"));
        QCOMPARE(r.at(1).lastError, En(143));
        QVERIFY(r.at(2).lastError.isEmpty());
        QCOMPARE(SiteExitStatus(SiteOperation::Status, r), 1);
        QVERIFY(SiteSucceeded(SiteOperation::Status, r.at(2)));
        QVERIFY(!SiteSucceeded(SiteOperation::Status, r.at(0)));
    }

    // The site file's refusals in the operator's language, German first.
    void refusalsInEachLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("de") << 0 << "Die Standortdatei site.toml kann nicht verwendet werden; kein Terminal wurde angesprochen:\n"
                                    "Zeile 2: beim Terminal fehlt „port“\nZeile 3: password-env: die Umgebungsvariable NO_SUCH_PW ist nicht gesetzt";
        QTest::newRow("en") << 1000 << "The site file site.toml cannot be used; no terminal was touched:\n"
                                       "line 2: the terminal has no \"port\"\nline 3: password-env: the environment variable NO_SUCH_PW is not set";
        QTest::newRow("fr") << 2000 << "Le fichier de site site.toml est inutilisable ; aucun terminal n'a été contacté :\n"
                                       "ligne 2 : il manque « port » au terminal\nligne 3 : password-env : la variable d'environnement NO_SUCH_PW n'est pas définie";
        QTest::newRow("es") << 3000 << "El archivo de sitio site.toml no se puede usar; no se ha contactado ningún terminal:\n"
                                       "línea 2: al terminal le falta «port»\nlínea 3: password-env: la variable de entorno NO_SUCH_PW no está definida";
    }
    void refusalsInEachLanguage()
    {
        QFETCH(int, language);
        const QList<SiteProblem> problems{{2, SiteProblem::Kind::MissingPort, {}},
                                          {3, SiteProblem::Kind::PasswordVariableUnset, {"NO_SUCH_PW"}}};
        QTEST(SiteProblemsMessage(problems, "site.toml", language), "message");
    }
};

QTEST_GUILESS_MAIN(SiteTest)
#include "tst_site.moc"
