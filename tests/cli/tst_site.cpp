// vardelo-cli site against the real program: a site file or password
// source that cannot be used is refused before any terminal is touched,
// diff and status answer from the files alone, and Ctrl+C during a run stops
// it with a summary. (The runs over the line are tested in virtual time in
// tests/comm/tst_site.cpp.)
#include "common/clirun.h"
#include "common/democonfig.h"
#include "common/filebytes.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <csignal>

namespace {

QByteArray Terminal(const QByteArray& name, const QByteArray& port, const QByteArray& more = {})
{
    return "[[terminal]]\nname = \"" + name + "\"\nport = \"" + port + "\"\n" + more;
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden, QDir::Name);
}

} // namespace

class SiteCliTest : public QObject {
    Q_OBJECT
    QTemporaryDir config;   // XDG_CONFIG_HOME: an empty port map

    QStringList Environment(const QStringList& more = {}) const
    {
        return QStringList{"XDG_CONFIG_HOME=" + config.path(), "VARDELO_PASSWORD"} + more;
    }

private slots:
    // Each refused with 2 before any terminal is touched: nothing is
    // created beside the site file, and the message names the line.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("toml");
        QTest::addColumn<QStringList>("args");   // SITE: the site file
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("says");
        const QByteArray good = Terminal("Tor 1", "sim:t1.QLV", "password-file = \"pw\"\n");
        const QStringList read{"site", "read", "@SITE@"};
        QTest::newRow("syntax error") << QByteArray("name = \"Werk\"ü\n") + good << read << QStringList{}
                                      << "The site file @SITE@ cannot be used; no terminal was touched:\nline 1: syntax error at column 14";
        QTest::newRow("unknown key") << good + Terminal("Tor 2", "sim:t2.QLV", "pasword-file = \"pw\"\n") << read << QStringList{}
                                     << "line 8: unknown key \"pasword-file\"";
        QTest::newRow("two terminals with one name") << good + Terminal("tor 1", "sim:t2.QLV") << read << QStringList{}
                                                     << "line 6: the name \"tor 1\" is already that of the terminal on line 1";
        QTest::newRow("two terminals on one port") << good + Terminal("Tor 2", "sim:./t1.QLV") << read << QStringList{}
                                                   << "line 7: port \"sim:./t1.QLV\" is already that of terminal \"Tor 1\" (line 1)";
        QTest::newRow("a name that is no folder") << Terminal("..", "com1") << read << QStringList{}
                                                  << "line 2: the name \"..\" cannot be a folder name";
        QTest::newRow("a name with a control character") << Terminal("Tor\\u001b1", "com1") << read << QStringList{}
                                                         << "line 2: the name \"Tor\\x1b1\" cannot be a folder name";
        QTest::newRow("password file missing") << Terminal("Tor 1", "sim:t1.QLV", "password-file = \"none.pw\"\n") << read
                                               << QStringList{} << "line 4: @DIR@/none.pw does not exist";
        QTest::newRow("password variable not set") << Terminal("Tor 1", "sim:t1.QLV", "password-env = \"SITE_CLI_NONE\"\n")
                                                   << QStringList{"site", "write", "@SITE@"} << QStringList{"SITE_CLI_NONE"}
                                                   << "line 4: password-env: the environment variable SITE_CLI_NONE is not set";
        QTest::newRow("no password source, nothing to ask") << Terminal("Tor 1", "sim:t1.QLV") << read << QStringList{}
                                                            << "need the password: the environment variable VARDELO_PASSWORD";
        QTest::newRow("bad password in the environment") << Terminal("Tor 1", "sim:t1.QLV") << read
                                                         << QStringList{"VARDELO_PASSWORD=12345"}
                                                         << "line 1: the password from VARDELO_PASSWORD must be six digits";
        QTest::newRow("German") << Terminal("Tor 1", "com9") << QStringList{"site", "status", "@SITE@", "--lang", "de"} << QStringList{}
                                << "Die Standortdatei @SITE@ kann nicht verwendet werden; kein Terminal wurde angesprochen:\n"
                                   "Zeile 3: Anschluss „com9“ ist weder com1 bis com8";
        QTest::newRow("no site file") << QByteArray() << QStringList{"site", "diff", "@DIR@/none.toml"} << QStringList{}
                                      << "@DIR@/none.toml does not exist";
        QTest::newRow("unknown action") << good << QStringList{"site", "raed", "@SITE@"} << QStringList{}
                                        << "ACTION is read, diff, write, status, plan, apply or directory, not raed\n"
                                           "usage: vardelo-cli site ACTION SITE";
        QTest::newRow("--dry-run with read") << good << QStringList{"site", "read", "@SITE@", "--dry-run"} << QStringList{}
                                             << "--dry-run belongs to site write";
        QTest::newRow("--force with diff") << good << QStringList{"site", "diff", "@SITE@", "--force"} << QStringList{}
                                           << "--force belongs to site write";
        QTest::newRow("--only names no terminal of the site") << good << QStringList{"site", "read", "@SITE@", "--only", "Tor 1,Tor 9"}
                                                              << QStringList{} << "names no terminal Tor 9";
        QTest::newRow("--only and --failed") << good << QStringList{"site", "read", "@SITE@", "--only", "Tor 1", "--failed"}
                                             << QStringList{} << "give either --only or --failed";
        QTest::newRow("missing SITE") << good << QStringList{"site", "read"} << QStringList{} << "missing SITE";
        QTest::newRow("plan without --directory") << good << QStringList{"site", "plan", "@SITE@"} << QStringList{}
                                                  << "site plan needs --directory FILE";
        QTest::newRow("apply without --directory") << good << QStringList{"site", "apply", "@SITE@", "--date", "2026-03-31"}
                                                   << QStringList{} << "site apply needs --directory FILE";
        QTest::newRow("a day that does not exist") << good << QStringList{"site", "plan", "@SITE@", "--directory", "p.csv", "--date", "2026-02-30"}
                                                   << QStringList{} << "--date takes a day as YYYY-MM-DD, not 2026-02-30";
        QTest::newRow("a day of another form") << good << QStringList{"site", "apply", "@SITE@", "--directory", "p.csv", "--date", "31.03.2026"}
                                               << QStringList{} << "--date takes a day as YYYY-MM-DD, not 31.03.2026";
        QTest::newRow("--directory with read") << good << QStringList{"site", "read", "@SITE@", "--directory", "p.csv"}
                                               << QStringList{} << "--directory belongs to site plan or site apply";
        QTest::newRow("--failed with plan") << good << QStringList{"site", "plan", "@SITE@", "--directory", "p.csv", "--failed"}
                                            << QStringList{} << "--failed belongs to site read, site diff, site write or site status";
        QTest::newRow("--force with apply") << good << QStringList{"site", "apply", "@SITE@", "--directory", "p.csv", "--force"}
                                            << QStringList{} << "--force belongs to site write";
        QTest::newRow("--only with directory") << good << QStringList{"site", "directory", "@SITE@", "--only", "Tor 1"}
                                               << QStringList{} << "--only belongs to site read, site diff, site write, site status, site plan or site apply";
        QTest::newRow("--json with directory") << good << QStringList{"site", "directory", "@SITE@", "--json"}
                                               << QStringList{} << "--json belongs to";
        QTest::newRow("a directory that does not exist") << good << QStringList{"site", "plan", "@SITE@", "--directory", "@DIR@/none.csv"}
                                                         << QStringList{} << "@DIR@/none.csv does not exist";
    }
    void refusals()
    {
        QFETCH(QByteArray, toml);
        QFETCH(QStringList, args);
        QFETCH(QStringList, environment);
        QFETCH(QString, says);
        QTemporaryDir dir;
        const QString site = dir.filePath("site.toml");
        if (!toml.isEmpty())
            QVERIFY(WriteBytes(site, toml));
        QVERIFY(WriteBytes(dir.filePath("pw"), "123456"));
        QFile(dir.filePath("pw")).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(WriteConfigurationFile(Configuration(), dir.filePath("t1.QLV")));
        const QStringList before = Entries(dir.path());
        const CliRun run = RunCli(args.replaceInStrings("@SITE@", site).replaceInStrings("@DIR@", dir.path()), Environment(environment));
        const QString err = QString::fromUtf8(run.err);
        QVERIFY2(run.status == 2, run.err.constData());
        says.replace("@SITE@", site).replace("@DIR@", dir.path());
        QVERIFY2(err.contains(says), qPrintable(err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(Entries(dir.path()), before);
    }

    // diff and status read the terminals' folders and the site's log and
    // touch no line (the ports here do not even exist); --json prints the
    // document alone on stdout, the lines go to stderr.
    void diffAndStatusWithoutTheLine_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<int>("status");
        QTest::newRow("diff") << "diff" << QStringList{"equal", "differs", "unknown", "skipped"} << 1;
        QTest::newRow("status") << "status" << QStringList{"equal", "differs", "unknown", "ok"} << 1;
    }
    void diffAndStatusWithoutTheLine()
    {
        QTemporaryDir dir;
        const QByteArray toml = "name = \"Werk 2\"\n" + Terminal("Tor 1", "/dev/vardelo-none1", "configuration = \"a.QLV\"\n")
            + Terminal("Tor 2", "/dev/vardelo-none2", "configuration = \"b.QLV\"\n")
            + Terminal("Tor 3", "/dev/vardelo-none3", "configuration = \"a.QLV\"\n") + Terminal("Tor 4", "/dev/vardelo-none4");
        QVERIFY(WriteBytes(dir.filePath("site.toml"), toml));
        Configuration a, b;
        BuildDemoConfiguration(a);
        BuildDemoConfiguration(b);
        b.ConfigImage[Slot::DoorOpenTime] = 9;
        QVERIFY(WriteConfigurationFile(a, dir.filePath("a.QLV")));
        QVERIFY(WriteConfigurationFile(b, dir.filePath("b.QLV")));
        for (const char* name : {"Tor 1", "Tor 2", "Tor 4"}) {
            QVERIFY(QDir(dir.path()).mkdir(name));
            QVERIFY(WriteConfigurationFile(a, dir.filePath(QString::fromUtf8(name) + "/VARDELO.QLV")));
        }
        QVERIFY(WriteBytes(dir.filePath("transfers.log"),
                           "{\"command\":\"read\",\"name\":\"Tor 1\",\"port\":\"x\",\"result\":\"success\",\"terminal\":\"TOR-1\","
                           "\"time\":\"2026-12-06T14:00:09+01:00\"}\n"));
        QFETCH(QString, action);
        const CliRun run = RunCli({"site", action, dir.filePath("site.toml"), "--json"}, Environment());
        QTEST(run.status, "status");
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json.value("site").toString(), QStringLiteral("Werk 2"));
        QStringList results;
        for (const QJsonValue& t : json.value("terminals").toArray()) {
            QCOMPARE(t.toObject().keys(), (QStringList{"changes", "identification", "message", "name", "port", "result", "seconds"}));
            results << t.toObject().value("result").toString();
        }
        QTEST(results, "results");
        const QJsonObject first = json.value("terminals").toArray().at(0).toObject();
        QCOMPARE(first.value("identification").toString(), QStringLiteral("TOR-1"));
        QCOMPARE(first.value("changes").toObject().value("settings").toInt(), 0);
        const QJsonObject second = json.value("terminals").toArray().at(1).toObject();
        QCOMPARE(second.value("changes").toObject().value("settings").toInt(), 1);
        QVERIFY(second.value("message").toString().startsWith("1 basic setting(s) changed"));
        if (action == u"status")
            QVERIFY(first.value("message").toString().contains("last read 2026-12-06"));
        QVERIFY2(run.err.contains("Tor 2: differs\n"), run.err.constData());
        QVERIFY(!run.err.contains("occupied"));

        // Without --json: a line each, then the summary table, on stdout.
        const CliRun plain = RunCli({"site", action, dir.filePath("site.toml"), "--only", "tor 2"}, Environment());
        QCOMPARE(plain.status, 1);
        QVERIFY2(plain.out.startsWith("Tor 2: differs\n  1 basic setting(s) changed"), plain.out.constData());
        QVERIFY2(plain.out.contains("\n\nterminal  port"), plain.out.constData());
        QVERIFY(plain.out.contains("\nTor 2     /dev/vardelo-none2  differs  -"));
        // It remembers which one did not succeed, for --failed.
        const CliRun again = RunCli({"site", action, dir.filePath("site.toml"), "--failed", "--json"}, Environment());
        QStringList names;
        for (const QJsonValue& t : QJsonDocument::fromJson(again.out).object().value("terminals").toArray())
            names << t.toObject().value("name").toString();
        QCOMPARE(names, (QStringList{"Tor 2", "Tor 3"}));
    }

    // --failed when nothing failed last time: nothing to do, and said so.
    void failedWhenNothingFailed()
    {
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath("site.toml"), Terminal("Tor 1", "sim:t1.QLV")));
        const CliRun run = RunCli({"site", "read", dir.filePath("site.toml"), "--failed"}, Environment());
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains("no terminal failed in the last site read"), run.err.constData());
        QCOMPARE(Entries(dir.path()), QStringList{"site.toml"});
    }

    // Ctrl+C (or a polite kill) while reading: the reads are broken off,
    // nothing is stored, and the summary says each was stopped.
    void interruptedRun_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }
    void interruptedRun()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath("site.toml"), Terminal("Tor 1", "sim:t1.QLV") + Terminal("Tor 2", "sim:t2.QLV")));
        for (const char* memory : {"t1.QLV", "t2.QLV"})
            QVERIFY(WriteConfigurationFile(Configuration(), dir.filePath(memory)));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("VARDELO_PASSWORD", "123456");
        process.setProcessEnvironment(env);
        process.setReadChannel(QProcess::StandardError);
        process.start(QStringLiteral(VARDELO_CLI_PATH), {"site", "read", dir.filePath("site.toml")});
        // The run has begun once it says so.
        QByteArray err;
        while (!err.contains("site read: 2 terminal(s)") && process.waitForReadyRead(30000))
            err += process.readAllStandardError();
        QVERIFY2(err.contains("site read: 2 terminal(s)"), err.constData());
        ::kill(pid_t(process.processId()), signal);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        const QByteArray out = process.readAllStandardOutput();
        QVERIFY2(out.startsWith("Tor 1: skipped"), out.constData());
        QVERIFY2(out.contains("s\n  Stopped: nothing was written into the terminal\n"), out.constData());
        QVERIFY(out.contains("\nTor 2     sim:t2.QLV  skipped"));
        err += process.readAllStandardError();
        QVERIFY2(err.contains("stopping: no new transfer begins"), err.constData());
        QVERIFY(!QFile::exists(dir.filePath("Tor 1/VARDELO.QLV")));
    }
};

QTEST_GUILESS_MAIN(SiteCliTest)
#include "tst_site.moc"
