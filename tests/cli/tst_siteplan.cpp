// vardelo-cli site plan, apply and directory, the command itself run in this
// process on a manual clock against simulated terminals whose memory is a
// file: a site of three terminals planned from forty holders on the days
// around one holder's last valid day, apply writing what changed until diff
// finds every terminal equal, a blocked card in the block lists of the
// terminals that use them, a directory refused before anything is written,
// the directory of the last reads planning no change, a terminal whose list
// would overflow left as it was, the JSON, and Ctrl+C during apply.
#include "cli/sitecommand.h"
#include "comm/site.h"
#include "common/clirun.h"
#include "common/filebytes.h"
#include "common/listconfig.h"
#include "common/manualclock.h"
#include "config/cardlists.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QBuffer>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <csignal>

namespace {

const QByteArray Header = "name,track2,track3,valid_from,valid_until,terminals,blocked\n";
const QDateTime Start(QDate(2026, 12, 6), QTime(14, 0));

// A terminal of the site: its name and the settings of its configuration in
// the words of ConfigurationWithLists; no settings: it names no configuration.
struct TerminalWanted {
    QString name;
    QString settings;
};
// Tor 1 reads both tracks and uses block lists, Lager reads track 2 and uses
// block lists, Büro reads both tracks and has no block lists.
const QList<TerminalWanted> ThreeTerminals{{"Tor 1", "t2=8 t3=12 block"}, {"Lager", "t2=8 block"}, {"Büro", "t2=8 t3=12"}};

struct CommandRun {
    int status = -1;
    QByteArray out;
    QString err;
    QJsonObject Json() const { return QJsonDocument::fromJson(out).object(); }
};

// A site in a folder of its own: site.toml, terminal N on sim:memN.QLV (its
// memory, at first what its configuration confN.QLV holds), every password
// in the file pw. The command runs on the rig's clock (reads stored at once,
// so that what happens at which virtual time does not depend on the disk);
// its calendar starts on 2026-12-06 at 14:00.
struct SiteCommandRig {
    QTemporaryDir dir;
    ManualClock clock;
    QList<TerminalWanted> terminals;

    explicit SiteCommandRig(const QList<TerminalWanted>& wanted, const QStringList& cards = {},
                            const QByteArray& firstPassword = "password-file = \"pw\"")
        : terminals(wanted)
    {
        QByteArray toml = "name = \"Werk 2\"\n";
        for (int t = 0; t < wanted.size(); ++t) {
            const QByteArray n = QByteArray::number(t + 1);
            toml += "[[terminal]]\nname = \"" + wanted[t].name.toUtf8() + "\"\nport = \"sim:mem" + n + ".QLV,id=TERMINAL-" + n
                    + "\"\n" + (t == 0 ? firstPassword : QByteArray("password-file = \"pw\"")) + '\n';
            const Configuration m = ConfigurationWithLists(wanted[t].settings.isEmpty() ? "t2=8" : wanted[t].settings, cards.value(t));
            QVERIFY(WriteConfigurationFile(m, Memory(t)));
            if (wanted[t].settings.isEmpty())
                continue;
            toml += "configuration = \"conf" + n + ".QLV\"\n";
            QVERIFY(SaveConfigurationPair(m, Configuration_(t)));
        }
        QVERIFY(WriteBytes(Path("site.toml"), toml));
        QVERIFY(WriteBytes(Path("pw"), "123456\n"));
        QFile(Path("pw")).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Memory(int t) const { return Path(QStringLiteral("mem%1.QLV").arg(t + 1)); }
    QString Configuration_(int t) const { return Path(QStringLiteral("conf%1.QLV").arg(t + 1)); }

    // The terminal's configuration with these cards, as its last read in its folder.
    void LastRead(int t, const QString& cards)
    {
        QVERIFY(QDir(dir.path()).mkpath(terminals[t].name));
        QVERIFY(SaveConfigurationPair(ConfigurationWithLists(terminals[t].settings, cards),
                                      Path(terminals[t].name + QStringLiteral("/VARDELO.QLV"))));
    }

    // vardelo-cli site ACTION site.toml MORE...
    CommandRun Run(const QString& action, const QStringList& more = {})
    {
        CommandRun run;
        QBuffer out(&run.out);
        QByteArray err;
        QBuffer errBuffer(&err);
        out.open(QIODevice::WriteOnly);
        errBuffer.open(QIODevice::WriteOnly);
        QTextStream outStream(&out), errStream(&errBuffer);
        CommandCall call(SiteCommand(), outStream, errStream);
        if (const auto parsed = call.Parse(QStringList{action, Path("site.toml")} + more)) {
            run.status = *parsed;
        } else {
            SiteWorld world{clock, [this] { return Start.addMSecs(clock.NowMs()); },
                            [this](SiteRun& siteRun) { clock.RunUntil([&] { return !siteRun.Running(); }, 600000); },
                            false, false};
            run.status = RunSite(call, world);
        }
        outStream.flush();
        errStream.flush();
        run.err = QString::fromUtf8(err);
        return run;
    }
    CommandRun Run(const QString& action, const QString& directory, const QStringList& more)
    {
        return Run(action, QStringList{"--directory", Path(directory)} + more);
    }

    // Every file of the folder (hidden ones and history/ included) with its bytes.
    QMap<QString, QByteArray> State() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files.insert(QDir(dir.path()).relativeFilePath(path), Bytes(path));
        }
        return files;
    }
};

// The cards of a list of a configuration file, in list order; "<no list>"
// when the list is not in use.
QStringList Cards(const QString& qlv, int list)
{
    Configuration m;
    if (!ReadConfigurationFile(m, qlv))
        return {"<unreadable>"};
    DecodeLists(m);
    for (const ListRows& rows : ShownListRows(m)) {
        if (rows.list != list)
            continue;
        QStringList cards;
        for (int k = 0; k < rows.count; ++k)
            if (!IsEmptyPlace(m.ListData[rows.firstRow + k], CardDigits(m, list)))
                cards << m.ListData[rows.firstRow + k];
        return cards;
    }
    return {"<no list>"};
}

// What a plan (--json) does, one line each: "Tor 1 list 1 -10000007 Holder 07",
// "+" added, "~" a comment changed ("from => to").
QStringList Changes(const QJsonObject& plan, const QString& what = QStringLiteral("changes"))
{
    QStringList lines;
    for (const QJsonValue& terminal : plan.value("terminals").toArray()) {
        for (const QJsonValue& listValue : terminal.toObject().value("lists").toArray()) {
            const QJsonObject list = listValue.toObject();
            const QString head = QStringLiteral("%1 list %2 ").arg(terminal.toObject().value("name").toString()).arg(list.value("list").toInt());
            const auto each = [&](const char* key, const std::function<QString(const QJsonObject&)>& line) {
                for (const QJsonValue& card : list.value(QLatin1String(key)).toArray())
                    lines << head + line(card.toObject());
            };
            if (what == u"expiring") {
                each("expiring", [](const QJsonObject& c) { return c.value("card").toString() + u' ' + c.value("lastDay").toString(); });
                continue;
            }
            each("remove", [](const QJsonObject& c) { return u'-' + c.value("card").toString() + u' ' + c.value("name").toString(); });
            each("add", [](const QJsonObject& c) { return u'+' + c.value("card").toString() + u' ' + c.value("name").toString(); });
            each("rename", [](const QJsonObject& c) {
                return u'~' + c.value("card").toString() + u' ' + c.value("from").toString() + QStringLiteral(" => ") + c.value("to").toString();
            });
        }
    }
    return lines;
}

QString Card2(int n)
{
    return QStringLiteral("1%1").arg(n, 7, 10, QLatin1Char('0'));
}

QString Card3(int n)
{
    return QStringLiteral("67200000%1").arg(n, 4, 10, QLatin1Char('0'));
}

// Forty holders. Holder n has the card Card2(n), and Card3(n) as well when n
// is even, for the terminals n % 4 names ("*", "Tor 1", "Tor 1;Lager",
// "Lager;Büro"), valid without end; but holder 7 (Tor 1 and Büro) until
// 2027-03-31, holder 13's cards are blocked (with valid dates), holder 20
// becomes valid on 2027-04-05, holder 21 expired on 2026-12-31.
QByteArray FortyHolders()
{
    const QStringList terminals{"*", "Tor 1", "Tor 1;Lager", "Lager;Büro"};
    QByteArray csv = Header;
    for (int n = 1; n <= 40; ++n) {
        QString from, until, where = terminals[n % 4], blocked = QStringLiteral("no"), track3 = n % 2 ? QString() : Card3(n);
        if (n == 7) {
            until = QStringLiteral("2027-03-31");
            where = QStringLiteral("Tor 1;Büro");
        } else if (n == 13) {
            from = QStringLiteral("2026-01-01");
            until = QStringLiteral("2027-12-31");
            track3 = Card3(n);
            blocked = QStringLiteral("yes");
        } else if (n == 20) {
            from = QStringLiteral("2027-04-05");
        } else if (n == 21) {
            until = QStringLiteral("2026-12-31");
        }
        csv += QStringLiteral("Holder %1,%2,%3,%4,%5,%6,%7\n")
                   .arg(n, 2, 10, QLatin1Char('0'))
                   .arg(Card2(n), track3, from, until, where, blocked)
                   .toUtf8();
    }
    return csv;
}

} // namespace

class SitePlanCliTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qunsetenv("VARDELO_PASSWORD");
        qunsetenv("SITE_PLAN_NONE");
    }
    // A warning of Qt's (a text with fewer place holders than values) would
    // reach the operator's terminal as noise: none may come.
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }

    // The site: three terminals, forty holders. Brought up to the
    // directory on the day before holder 7's last day, every terminal holds
    // its plan; the plans of that day and of the day after its last day
    // differ by holder 7's card on Tor 1 and Büro alone; apply on the day
    // after writes exactly those two, and diff finds every terminal equal.
    void aSiteOfThreeAndFortyHolders()
    {
        SiteCommandRig rig(ThreeTerminals);
        QVERIFY(WriteBytes(rig.Path("people.csv"), FortyHolders()));

        const CommandRun first = rig.Run("apply", "people.csv", {"--date", "2027-03-30"});
        QVERIFY2(first.status == 0, qPrintable(first.out.right(3000) + first.err.right(3000)));
        QVERIFY2(first.out.contains("\nwritten: Tor 1, Lager, Büro\n"), first.out.constData());
        const CommandRun equal = rig.Run("diff");
        QVERIFY2(equal.status == 0, equal.out.constData());
        for (int t = 0; t < 3; ++t)
            QCOMPARE(Bytes(rig.Memory(t)), Bytes(rig.Configuration_(t)));

        // Holder 13's blocked cards: in the block lists of the terminals that
        // use them (Lager reads no track 3), in no privilege list.
        QCOMPARE(Cards(rig.Memory(0), 3), QStringList{Card2(13)});
        QCOMPARE(Cards(rig.Memory(0), 4), QStringList{Card3(13)});
        QCOMPARE(Cards(rig.Memory(1), 3), QStringList{Card2(13)});
        QCOMPARE(Cards(rig.Memory(1), 4), QStringList{"<no list>"});
        QCOMPARE(Cards(rig.Memory(2), 3), QStringList{"<no list>"});
        for (int t = 0; t < 3; ++t) {
            QVERIFY(!Cards(rig.Memory(t), 1).contains(Card2(13)));
            QVERIFY(!Cards(rig.Memory(t), 2).contains(Card3(13)));
            // Not yet valid, and expired.
            QVERIFY(!Cards(rig.Memory(t), 1).contains(Card2(20)));
            QVERIFY(!Cards(rig.Memory(t), 1).contains(Card2(21)));
        }
        // "*": everywhere; "Tor 1;Lager": there, in the order of the directory.
        QVERIFY(Cards(rig.Memory(2), 1).contains(Card2(4)));
        QCOMPARE(Cards(rig.Memory(1), 1).mid(0, 4), (QStringList{Card2(2), Card2(3), Card2(4), Card2(6)}));
        QVERIFY(Cards(rig.Memory(0), 1).contains(Card2(7)));
        QVERIFY(Cards(rig.Memory(2), 1).contains(Card2(7)));

        const CommandRun before = rig.Run("plan", "people.csv", {"--date", "2027-03-30", "--json"});
        QCOMPARE(before.status, 0);
        QCOMPARE(Changes(before.Json()), QStringList{});
        QCOMPARE(Changes(before.Json(), "expiring"),
                 (QStringList{"Tor 1 list 1 " + Card2(7) + " 2027-03-31", "Büro list 1 " + Card2(7) + " 2027-03-31"}));
        const CommandRun after = rig.Run("plan", "people.csv", {"--date", "2027-04-01", "--json"});
        QCOMPARE(after.status, 1);
        QCOMPARE(Changes(after.Json()), (QStringList{"Tor 1 list 1 -" + Card2(7) + " Holder 07", "Büro list 1 -" + Card2(7) + " Holder 07"}));
        // The plan writes nothing.
        const QMap<QString, QByteArray> planned = rig.State();
        rig.Run("plan", "people.csv", {"--date", "2027-04-01"});
        QCOMPARE(rig.State(), planned);

        const QByteArray lager = Bytes(rig.Memory(1));
        const CommandRun second = rig.Run("apply", "people.csv", {"--date", "2027-04-01"});
        QVERIFY2(second.status == 0, qPrintable(second.out + second.err));
        QVERIFY2(second.out.contains("\nwritten: Tor 1, Büro\n"), second.out.constData());
        QVERIFY(!Cards(rig.Memory(0), 1).contains(Card2(7)));
        QVERIFY(!Cards(rig.Memory(2), 1).contains(Card2(7)));
        QCOMPARE(Bytes(rig.Memory(1)), lager);
        const CommandRun diff = rig.Run("diff");
        QCOMPARE(diff.status, 0);
        QVERIFY2(diff.out.contains("Tor 1: equal") && diff.out.contains("Lager: equal") && diff.out.contains("Büro: equal"),
                 diff.out.constData());
        // Each configuration it replaced is kept in history/.
        QCOMPARE(QDir(rig.Path("history")).entryList({"*_conf1.QLV"}).size(), 2);
        QCOMPARE(QDir(rig.Path("history")).entryList({"*_conf2.QLV"}).size(), 1);
        QCOMPARE(QDir(rig.Path("history")).entryList({"*_conf3.BGT"}).size(), 2);
    }

    // A directory or a password source that cannot be used: refused with 2,
    // the bad line named, and nothing written: no file, no terminal.
    void refusedBeforeAnythingIsWritten_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QByteArray>("firstPassword");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("says");
        const QByteArray good = "Anna Berg,10000417,,2026-01-01,2027-03-31,Tor 1;Lager,no\n";
        const QByteArray file = "password-file = \"pw\"";
        const QByteArray badDate = good + "Bernd Krause,10000523,,,2027-02-30,*,no\n";
        for (const char* action : {"plan", "apply"}) {
            QTest::addRow("a bad date, %s", action) << badDate << file << QString::fromLatin1(action)
                                                    << "line 3: valid_until \"2027-02-30\" is no date of the form YYYY-MM-DD";
            QTest::addRow("an unknown terminal, %s", action) << QByteArray("Anna Berg,10000417,,,,Tor 1;Halle,no\n") << file << QString::fromLatin1(action)
                                                             << "line 2: the site has no terminal \"Halle\"";
        }
        QTest::newRow("valid_until before valid_from") << QByteArray("Anna Berg,10000417,,2027-01-01,2026-12-31,*,no\n") << file << "apply"
                                                       << "line 2: valid_until 2026-12-31 is before valid_from 2027-01-01";
        QTest::newRow("a card twice with two holders") << good + "Anna B.,10000417,,,,Büro,no\n" << file << "apply"
                                                       << "line 3: track2 card 10000417 is already that of \"Anna Berg\" (line 2)";
        QTest::newRow("a password variable not set") << good << QByteArray("password-env = \"SITE_PLAN_NONE\"") << "apply"
                                                     << "password-env: the environment variable SITE_PLAN_NONE is not set";
    }
    void refusedBeforeAnythingIsWritten()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QByteArray, firstPassword);
        QFETCH(QString, action);
        SiteCommandRig rig(ThreeTerminals, {}, firstPassword);
        QVERIFY(WriteBytes(rig.Path("people.csv"), Header + rows));
        const QMap<QString, QByteArray> before = rig.State();
        const CommandRun run = rig.Run(action, "people.csv", {"--date", "2027-03-30"});
        QVERIFY2(run.status == 2, qPrintable(run.err));
        QFETCH(QString, says);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(rig.State(), before);
    }

    // The way into a site: the directory made of the terminals' last reads
    // plans no change where they agree; where they disagree it says so on
    // stderr, and the plan changes exactly that.
    void directoryOfTheLastReads_data()
    {
        QTest::addColumn<QStringList>("lists");      // of Tor 1, Lager, Büro
        QTest::addColumn<QString>("warning");        // on stderr; empty: none
        QTest::addColumn<QStringList>("changes");    // of the plan of that directory
        const QString tor1 = "1:10000417=Anna Berg,10000523=Bernd Krause|2:672000000001=Anna Berg|3:10000999=verloren";
        const QString buero = "1:10000523=Bernd Krause|2:672000000001=Anna Berg";
        QTest::newRow("the terminals agree") << QStringList{tor1, "1:10000417=Anna Berg|3:10000999=verloren", buero}
                                             << QString() << QStringList{};
        QTest::newRow("cards without a comment") << QStringList{"1:10000417,10000523", "1:10000417", "1:10000523"}
                                                 << QString() << QStringList{};
        QTest::newRow("one card, two comments")
            << QStringList{tor1, "1:10000417=A. Berg|3:10000999=verloren", buero}
            << "track2 card 10000417 has the comment \"Anna Berg\" on Tor 1 and \"A. Berg\" on Lager"
            << QStringList{"Lager list 1 ~10000417 A. Berg => Anna Berg"};
        QTest::newRow("blocked on one terminal only")
            << QStringList{tor1, "1:10000417=Anna Berg,10000999=verloren", buero}
            << "track2 card 10000999 (\"verloren\") is blocked on Tor 1 but not on Lager"
            << QStringList{"Lager list 1 -10000999 verloren", "Lager list 3 +10000999 verloren"};
    }
    void directoryOfTheLastReads()
    {
        QFETCH(QStringList, lists);
        SiteCommandRig rig(ThreeTerminals, lists);
        for (int t = 0; t < 3; ++t)
            rig.LastRead(t, lists[t]);
        const CommandRun made = rig.Run("directory");
        QVERIFY2(made.status == 0, qPrintable(made.err));
        QFETCH(QString, warning);
        if (warning.isEmpty())
            QCOMPARE(made.err, QString());
        else
            QVERIFY2(made.err.contains(warning), qPrintable(made.err));
        QVERIFY(made.out.startsWith("\xEF\xBB\xBFname,track2,track3,valid_from,valid_until,terminals,blocked\r\n"));
        QVERIFY(WriteBytes(rig.Path("people.csv"), made.out));
        const CommandRun plan = rig.Run("plan", "people.csv", {"--json"});
        QFETCH(QStringList, changes);
        QCOMPARE(plan.status, changes.isEmpty() ? 0 : 1);
        QCOMPARE(Changes(plan.Json()), changes);
    }

    // Without a terminal's last read there is no directory: it would take
    // every card off that terminal.
    void noDirectoryWithoutEveryRead()
    {
        SiteCommandRig rig(ThreeTerminals);
        rig.LastRead(0, "1:10000417=Anna Berg");
        rig.LastRead(2, "1:10000417=Anna Berg");
        const CommandRun made = rig.Run("directory");
        QCOMPARE(made.status, 1);
        QVERIFY(made.out.isEmpty());
        QVERIFY2(made.err.startsWith("Lager: Not read yet: Lager/VARDELO.QLV\n"), qPrintable(made.err));
        QVERIFY(made.err.contains("no directory was made"));
    }

    // A terminal whose plan overflows a list is not touched (neither its
    // configuration nor the terminal) and is named; the others are applied
    // and written.
    void anOverflowingListLeavesItsTerminalAlone()
    {
        SiteCommandRig rig(ThreeTerminals);
        const Configuration lager = ConfigurationWithLists(ThreeTerminals[1].settings);
        const int places = ShownListRows(lager).first().count;
        QByteArray csv = Header + "Anna Berg,10000417,,,,Tor 1;Büro,no\n";
        for (int n = 1; n <= places + 2; ++n)
            csv += QStringLiteral("Holder %1,2%2,,,,Lager,no\n").arg(n).arg(n, 7, 10, QLatin1Char('0')).toUtf8();
        QVERIFY(WriteBytes(rig.Path("people.csv"), csv));
        const QByteArray configuration = Bytes(rig.Configuration_(1));
        const QByteArray memory = Bytes(rig.Memory(1));

        const CommandRun run = rig.Run("apply", "people.csv", {});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.contains(QStringLiteral("Lager is not changed: a list would overflow\n"
                                                 "Lager, Privileges track 2: %1 cards for %2 places, 2 too many\n")
                                      .arg(places + 2).arg(places).toUtf8()),
                 run.out.constData());
        QVERIFY2(run.out.contains("\nwritten: Tor 1, Büro\n"), run.out.constData());
        QVERIFY(run.out.contains("\nLager     sim:mem2.QLV,id=TERMINAL-2  failed"));
        QCOMPARE(Bytes(rig.Configuration_(1)), configuration);
        QCOMPARE(Bytes(rig.Memory(1)), memory);
        QVERIFY(!QFileInfo::exists(rig.Path("Lager")));
        QCOMPARE(Cards(rig.Memory(0), 1), QStringList{"10000417"});
        QCOMPARE(Cards(rig.Memory(2), 1), QStringList{"10000417"});
    }

    // Tor 1 and Büro name one configuration file: the same cards for both
    // are saved once and written into both; different cards would leave the
    // file with one terminal's and write it into the other, so neither is
    // touched and both are named.
    void aSharedConfigurationFile_data()
    {
        QTest::addColumn<QByteArray>("terminals");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("cards");   // of the file and both terminals after
        QTest::newRow("the same cards") << QByteArray("Tor 1;Büro") << 0 << QStringList{"10000417"};
        QTest::newRow("different cards") << QByteArray("Tor 1") << 1 << QStringList{};
    }
    void aSharedConfigurationFile()
    {
        QFETCH(QByteArray, terminals);
        QFETCH(int, status);
        QFETCH(QStringList, cards);
        SiteCommandRig rig(ThreeTerminals);
        QVERIFY(WriteBytes(rig.Path("site.toml"), Bytes(rig.Path("site.toml")).replace("conf3.QLV", "conf1.QLV")));
        QVERIFY(WriteBytes(rig.Path("people.csv"), Header + "Anna Berg,10000417,,,," + terminals + ",no\n"));
        const CommandRun run = rig.Run("apply", "people.csv", {});
        QCOMPARE(run.status, status);
        for (const QString& file : {rig.Configuration_(0), rig.Memory(0), rig.Memory(2)})
            QCOMPARE(Cards(file, 1), cards);
        QCOMPARE(QDir(rig.Path("history")).entryList(QDir::Files).size(), cards.isEmpty() ? 0 : 2);
        if (cards.isEmpty())
            for (const char* line : {"Tor 1 is not changed: its configuration file %1 is also that of Büro",
                                     "Büro is not changed: its configuration file %1 is also that of Tor 1"})
                QVERIFY2(run.out.contains(QString::fromUtf8(line).arg(rig.Configuration_(0)).toUtf8()), run.out.constData());
    }

    // plan --json: what each terminal's lists gain and lose, with the lines
    // of the directory that put the cards there, the names cut, the rows a
    // terminal refuses, a terminal without a configuration.
    void planJson()
    {
        SiteCommandRig rig({{"Tor 1", "t2=8 t3=12 block"}, {"Hof", ""}},
                           {"1:10000417=Anna,10000418=Gone|2:672000000001=Anna Berg"});
        const QByteArray longName = "Anna Maria Berg-Schulze von der Unteren Mühle";
        QVERIFY(WriteBytes(rig.Path("people.csv"), Header + "Anna Berg,10000417,672000000001,,2026-12-20,Tor 1,no\n"
                                                            "Bernd,1000052,,,,Tor 1,no\n"
                                                            + longName + ",10000600,,,,*,no\n"));
        const CommandRun run = rig.Run("plan", "people.csv", {"--json"});
        QCOMPARE(run.status, 1);
        const QJsonObject json = run.Json();
        QCOMPARE(json.keys(), (QStringList{"changes", "date", "namesCut", "site", "terminals"}));
        QCOMPARE(json.value("site").toString(), QStringLiteral("Werk 2"));
        QCOMPARE(json.value("date").toString(), QStringLiteral("2026-12-06"));   // today, by the program's clock
        QCOMPARE(json.value("changes").toBool(), true);
        const QJsonObject cut = json.value("namesCut").toArray().at(0).toObject();
        QCOMPARE(cut.keys(), (QStringList{"comment", "line", "name"}));
        QCOMPARE(cut.value("line").toInt(), 4);
        QCOMPARE(cut.value("comment").toString(), QString::fromUtf8(longName.left(40)).trimmed());

        const QJsonArray terminals = json.value("terminals").toArray();
        QCOMPARE(terminals.size(), 2);
        const QJsonObject tor1 = terminals.at(0).toObject();
        QCOMPARE(tor1.keys(), (QStringList{"lists", "message", "name", "port", "refused", "result"}));
        QCOMPARE(tor1.value("result").toString(), QStringLiteral("differs"));
        QCOMPARE(tor1.value("port").toString(), QStringLiteral("sim:mem1.QLV,id=TERMINAL-1"));
        QVERIFY(tor1.value("message").toString().startsWith("Tor 1: line 3 is not taken: track2 card 1000052 of \"Bernd\" has 7 digits"));
        const QJsonArray lists = tor1.value("lists").toArray();
        QCOMPARE(lists.size(), 4);
        const QJsonObject list1 = lists.at(0).toObject();
        QCOMPARE(list1.keys(), (QStringList{"add", "after", "before", "capacity", "expiring", "list", "overflow", "remove", "rename"}));
        QCOMPARE(list1.value("before").toInt(), 2);
        QCOMPARE(list1.value("after").toInt(), 2);
        QCOMPARE(list1.value("overflow").toInt(), 0);
        QCOMPARE(list1.value("add").toArray().at(0).toObject(),
                 (QJsonObject{{"card", "10000600"}, {"name", QString::fromUtf8(longName.left(40)).trimmed()}, {"line", 4}}));
        QCOMPARE(list1.value("remove").toArray().at(0).toObject(), (QJsonObject{{"card", "10000418"}, {"name", "Gone"}}));
        QCOMPARE(list1.value("rename").toArray().at(0).toObject(),
                 (QJsonObject{{"card", "10000417"}, {"from", "Anna"}, {"to", "Anna Berg"}, {"line", 2}}));
        QCOMPARE(list1.value("expiring").toArray().at(0).toObject(),
                 (QJsonObject{{"card", "10000417"}, {"name", "Anna Berg"}, {"lastDay", "2026-12-20"}, {"line", 2}}));
        const QJsonObject list2 = lists.at(1).toObject();
        QCOMPARE(list2.value("add").toArray().size() + list2.value("remove").toArray().size() + list2.value("rename").toArray().size(), 0);
        QCOMPARE(lists.at(3).toObject().value("list").toInt(), 4);
        const QJsonObject refused = tor1.value("refused").toArray().at(0).toObject();
        QCOMPARE(refused.keys(), (QStringList{"card", "digits", "line", "message", "name", "reason", "track"}));
        QCOMPARE(refused.value("reason").toString(), QStringLiteral("wrong-length"));
        QCOMPARE(refused.value("track").toString(), QStringLiteral("track2"));
        QCOMPARE(refused.value("digits").toInt(), 8);
        QCOMPARE(refused.value("line").toInt(), 3);

        const QJsonObject hof = terminals.at(1).toObject();
        QCOMPARE(hof.value("result").toString(), QStringLiteral("skipped"));
        QCOMPARE(hof.value("message").toString(), QStringLiteral("Hof: the terminal has no \"configuration\""));
        QCOMPARE(hof.value("lists").toArray().size(), 0);
    }

    // apply --dry-run: what would be saved and written, and nothing is:
    // Tor 1's configuration changes, Lager holds its configuration, Büro was
    // never read (a write would bring it up to its configuration), Hof has
    // none. --json gives each terminal's result with its plan.
    void applyDryRun()
    {
        SiteCommandRig rig({{"Tor 1", "t2=8 block"}, {"Lager", "t2=8"}, {"Büro", "t2=8"}, {"Hof", ""}}, {"1:10000417=Anna Berg"});
        rig.LastRead(1, QString());
        QVERIFY(WriteBytes(rig.Path("people.csv"), Header + "Anna Berg,10000417,,,,Tor 1,no\nBernd,10000523,,,,Tor 1,no\n"));
        const QMap<QString, QByteArray> before = rig.State();
        const CommandRun run = rig.Run("apply", "people.csv", {"--dry-run", "--json"});
        QCOMPARE(run.status, 1);
        QCOMPARE(rig.State(), before);
        QVERIFY2(run.err.contains("dry run, no file and no terminal was written"), qPrintable(run.err));
        const QJsonObject json = run.Json();
        QCOMPARE(json.keys(), (QStringList{"date", "namesCut", "site", "terminals"}));
        QStringList results;
        for (const QJsonValue& t : json.value("terminals").toArray()) {
            QCOMPARE(t.toObject().keys(), (QStringList{"changes", "identification", "message", "name", "plan", "port", "result", "seconds"}));
            results << t.toObject().value("name").toString() + u' ' + t.toObject().value("result").toString();
        }
        QCOMPARE(results, (QStringList{"Tor 1 differs", "Lager equal", "Büro differs", "Hof skipped"}));
        const QJsonArray terminals = json.value("terminals").toArray();
        QCOMPARE(terminals.at(0).toObject().value("message").toString(), QStringLiteral("List 1: 1 card(s) added, 0 removed"));
        QCOMPARE(terminals.at(0).toObject().value("plan").toObject().value("lists").toArray().at(0).toObject().value("add").toArray().size(), 1);
        QCOMPARE(terminals.at(2).toObject().value("message").toString(), QStringLiteral("Not read yet: Büro/VARDELO.QLV"));
        QVERIFY(terminals.at(3).toObject().value("plan").isNull());
    }

    // Ctrl+C while apply writes: the configurations were brought up to the
    // plan, the terminals not written, and the summary says so.
    void interruptedApply()
    {
        SiteCommandRig rig(QList<TerminalWanted>{{"Tor 1", "t2=8 block"}, {"Lager", "t2=8 block"}});
        QVERIFY(WriteBytes(rig.Path("people.csv"), Header + "Anna Berg,10000417,,,,*,no\n"));
        const QByteArray memory = Bytes(rig.Memory(0));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", rig.Path("config"));
        process.setProcessEnvironment(env);
        process.setReadChannel(QProcess::StandardError);
        process.start(QStringLiteral(VARDELO_CLI_PATH), {"site", "apply", rig.Path("site.toml"), "--directory", rig.Path("people.csv")});
        QByteArray err;
        while (!err.contains("site apply: 2 terminal(s) of Werk 2\n") && process.waitForReadyRead(30000))
            err += process.readAllStandardError();
        QVERIFY2(err.contains("site apply: 2 terminal(s) of Werk 2\n"), err.constData());
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        const QByteArray out = process.readAllStandardOutput();
        QVERIFY2(out.contains("Tor 1: Saved: ") && out.contains("Lager: Saved: "), out.constData());
        QVERIFY2(out.contains("\nTor 1     sim:mem1.QLV,id=TERMINAL-1  skipped"), out.constData());
        QVERIFY(out.contains("\nwritten: none\n"));
        QCOMPARE(Cards(rig.Configuration_(0), 1), QStringList{"10000417"});
        QCOMPARE(Bytes(rig.Memory(0)), memory);
    }
};

QTEST_GUILESS_MAIN(SitePlanCliTest)
#include "tst_siteplan.moc"
