// The plan of each terminal's lists from the directory of card holders: which
// cards a list gains and loses on a day, blocked cards, terminals with one
// track or without block lists, cards of the wrong length, overflowing lists;
// the plan applied as the editor would have made the lists; and the directory
// made of the terminals' lists, which plans no change.
#include "common/listconfig.h"
#include "config/cardlists.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "config/csvtable.h"
#include "config/directory.h"
#include "config/directoryplan.h"
#include "texts/directorytexts.h"

#include <QtTest>

namespace {

const QByteArray Header = "name,track2,track3,valid_from,valid_until,terminals,blocked\n";

// The site most cases plan: both tracks with block lists, track 2 alone with
// block lists, both tracks without block lists.
const QStringList SiteNames{"Tor 1", "Lager", "Büro"};
const QStringList SiteSettings{"t2=8 t3=12 block", "t2=8 block", "t2=8 t3=12"};

struct Site {
    QList<Configuration> configurations;
    QStringList names;
    QList<PlanTerminal> Terminals() const
    {
        QList<PlanTerminal> terminals;
        for (int t = 0; t < names.size(); ++t)
            terminals.append({names[t], &configurations[t]});
        return terminals;
    }
};

Site MakeSite(const QStringList& cards, const QStringList& settings = SiteSettings, const QStringList& names = SiteNames)
{
    Site site;
    site.names = names;
    for (int t = 0; t < names.size(); ++t)
        site.configurations.append(ConfigurationWithLists(settings[t], cards.value(t)));
    return site;
}

Directory ReadDirectory(const QByteArray& rows, const QStringList& names = SiteNames)
{
    const Directory directory = ParseDirectoryCsv(Header + rows, names);
    if (!directory)
        qWarning().noquote() << DirectoryMessage(directory, "people.csv", 1000);
    return directory;
}

QString Comment(const QString& text)
{
    return text.isEmpty() ? ResetCommentText : text;
}

// One line per thing the plan does or names, terminal by terminal:
// "Tor 1 list 1 +10000417 Anna", "-" removed, "~" comment changed,
// "expires", "overflow", "refused", and "unchanged" for a terminal without a change.
QStringList Dump(const SitePlan& plan)
{
    QStringList lines;
    for (const NameCut& cut : plan.namesCut)
        lines << QStringLiteral("line %1 cut to %2").arg(cut.line).arg(cut.comment);
    for (const TerminalPlan& t : plan.terminals) {
        for (const PlanRefusal& r : t.refused)
            lines << (r.kind == PlanRefusal::Kind::TracksNotRead
                          ? QStringLiteral("%1 refused line %2: no track read").arg(t.name).arg(r.line)
                          : QStringLiteral("%1 refused line %2: track%3 %4 (%5 digits)")
                                .arg(t.name).arg(r.line).arg(int(r.track)).arg(r.card).arg(r.digits));
        for (const ListPlan& l : t.lists) {
            const QString list = QStringLiteral("%1 list %2 ").arg(t.name).arg(l.list);
            for (const PlanCard& c : l.removed)
                lines << list + u'-' + c.card + u' ' + c.holder;
            for (const PlanCard& c : l.added)
                lines << list + u'+' + c.card + u' ' + c.holder;
            for (const PlanCard& c : l.renamed)
                lines << list + u'~' + c.card + u' ' + Comment(c.comment) + QStringLiteral(" => ") + c.holder;
            for (const PlanCard& c : l.expiring)
                lines << list + QStringLiteral("expires ") + c.card + u' ' + c.lastDay.toString(Qt::ISODate);
            if (l.Overflow() > 0)
                lines << list + QStringLiteral("overflow %1").arg(l.Overflow());
        }
        if (!t.Changes())
            lines << t.name + QStringLiteral(" unchanged");
    }
    return lines;
}

// The lists of a configuration as the grids show them: "list: card=comment, ...", empty places as "_".
QStringList Lists(const Configuration& m)
{
    QStringList lists;
    for (const ListRows& rows : ShownListRows(m)) {
        QStringList cards;
        for (int k = 0; k < rows.count; ++k) {
            const int row = rows.firstRow + k;
            cards << (IsEmptyPlace(m.ListData[row], CardDigits(m, rows.list))
                          ? (m.ListComment[row] == ResetCommentText ? QStringLiteral("_") : QStringLiteral("_=") + m.ListComment[row])
                          : m.ListData[row] + u'=' + m.ListComment[row]);
        }
        while (cards.size() > 1 && cards.last() == u"_")
            cards.removeLast();
        lists << QString::number(rows.list) + QStringLiteral(": ") + cards.join(QStringLiteral(", "));
    }
    return lists;
}

} // namespace

class DirectoryPlanTest : public QObject {
    Q_OBJECT
private slots:
    void plan_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QStringList>("cards");   // of Tor 1, Lager, Büro before the plan
        QTest::addColumn<QStringList>("plan");

        const QByteArray march = "Anna,10000417,,2026-03-01,2026-03-31,Tor 1,no\n";
        QTest::newRow("the day before the first day")
            << march << "2026-02-28" << QStringList() << QStringList{"Tor 1 unchanged", "Lager unchanged", "Büro unchanged"};
        QTest::newRow("the first day: added; it expires within 30 days")
            << march << "2026-03-01" << QStringList()
            << QStringList{"Tor 1 list 1 +10000417 Anna", "Tor 1 list 1 expires 10000417 2026-03-31", "Lager unchanged",
                           "Büro unchanged"};
        QTest::newRow("the last day: kept")
            << march << "2026-03-31" << QStringList{"1:10000417=Anna"}
            << QStringList{"Tor 1 list 1 expires 10000417 2026-03-31", "Tor 1 unchanged", "Lager unchanged", "Büro unchanged"};
        QTest::newRow("the day after the last day: removed")
            << march << "2026-04-01" << QStringList{"1:10000417=Anna"}
            << QStringList{"Tor 1 list 1 -10000417 Anna", "Lager unchanged", "Büro unchanged"};
        QTest::newRow("the last day 31 days ahead is not named, 30 days ahead is")
            << QByteArray("Anna,10000417,,,2026-05-01,Tor 1,no\nBernd,10000523,,,2026-04-30,Tor 1,no\n") << "2026-03-31"
            << QStringList{"1:10000417=Anna,10000523=Bernd"}
            << QStringList{"Tor 1 list 1 expires 10000523 2026-04-30", "Tor 1 unchanged", "Lager unchanged", "Büro unchanged"};
        QTest::newRow("rows that follow each other do not expire; each terminal has its own last day")
            << QByteArray("Anna,10000417,,,2026-03-31,Tor 1;Lager,no\nAnna,10000417,,2026-04-01,,Tor 1,no\n") << "2026-03-15"
            << QStringList{"1:10000417=Anna", "1:10000417=Anna"}
            << QStringList{"Tor 1 unchanged", "Lager list 1 expires 10000417 2026-03-31", "Lager unchanged", "Büro unchanged"};
        QTest::newRow("a holder with two cards, a card on both tracks")
            << QByteArray("Anna,10000417,,,,Tor 1;Lager,no\nAnna,,672000104799,,,Tor 1,no\nCarl,10000418,672000104800,,,Büro,\n")
            << "2026-06-01" << QStringList()
            << QStringList{"Tor 1 list 1 +10000417 Anna", "Tor 1 list 2 +672000104799 Anna", "Lager list 1 +10000417 Anna",
                           "Büro list 1 +10000418 Carl", "Büro list 2 +672000104800 Carl"};
        QTest::newRow("a blocked card with valid dates: in every block list, out of every privilege list")
            << QByteArray("Bernd,10000523,,2026-01-01,2026-12-31,Büro,yes\n") << "2026-06-01"
            << QStringList{"1:10000523=Bernd", "", "1:10000523=Bernd"}
            << QStringList{"Tor 1 list 1 -10000523 Bernd", "Tor 1 list 3 +10000523 Bernd", "Lager list 3 +10000523 Bernd",
                           "Büro list 1 -10000523 Bernd"};
        QTest::newRow("a blocked card stays blocked after its dates")
            << QByteArray("Bernd,10000523,,2026-01-01,2026-01-31,,yes\n") << "2026-06-01"
            << QStringList{"3:10000523=Bernd", "3:10000523=Bernd"}
            << QStringList{"Tor 1 unchanged", "Lager unchanged", "Büro unchanged"};
        QTest::newRow("a terminal with one track")
            << QByteArray("Carl,,672000104799,,,Lager,no\nDora,10000001,672000104800,,,Lager,no\nEva,,672000104801,,,*,no\n")
            << "2026-06-01" << QStringList()
            << QStringList{"Tor 1 list 2 +672000104801 Eva", "Lager refused line 2: no track read", "Lager list 1 +10000001 Dora",
                           "Büro list 2 +672000104801 Eva"};
        QTest::newRow("cards of the wrong length, named for each terminal that would take them")
            << QByteArray("Anna,1000041,672000104799,,,Tor 1;Büro,no\nBernd,123456789,,,,,yes\nCarl,10000418,67200010479,,,Büro,no\n")
            << "2026-06-01" << QStringList()
            << QStringList{"Tor 1 refused line 2: track2 1000041 (8 digits)", "Tor 1 refused line 3: track2 123456789 (8 digits)",
                           "Tor 1 list 2 +672000104799 Anna", "Lager refused line 3: track2 123456789 (8 digits)",
                           "Lager unchanged", "Büro refused line 2: track2 1000041 (8 digits)",
                           "Büro refused line 4: track3 67200010479 (12 digits)", "Büro list 1 +10000418 Carl",
                           "Büro list 2 +672000104799 Anna"};
        const QString longName = QStringLiteral("Anna Maria Berg-Schmidt von der Hohen Warte");   // 43 characters
        QTest::newRow("comments: a card without one, a blank at the end, a name cut, a long comment kept")
            << QByteArray("Anna,10000417,,,,Tor 1;Lager,no\nBernd,10000523,,,,Tor 1,no\n") + longName.toUtf8()
                   + ",10000600,,,,Tor 1;Lager,no\n"
            << "2026-06-01" << QStringList{"1:10000417,10000523=Bernd ,10000600=" + longName, "1:10000600=Anna Maria"}
            << QStringList{"line 4 cut to Anna Maria Berg-Schmidt von der Hohen Wa",
                           "Tor 1 list 1 ~10000417 ---------- => Anna", "Lager list 1 +10000417 Anna",
                           "Lager list 1 ~10000600 Anna Maria => Anna Maria Berg-Schmidt von der Hohen Wa", "Büro unchanged"};
        QTest::newRow("removed: the holder the directory names, else the comment the card has")
            << QByteArray("Anna,10000417,,,,Lager,no\n") << "2026-06-01"
            << QStringList{"1:10000417=A. Berg,10000999,10000998=Gast"}
            << QStringList{"Tor 1 list 1 -10000417 Anna", "Tor 1 list 1 -10000999 ----------", "Tor 1 list 1 -10000998 Gast",
                           "Lager list 1 +10000417 Anna", "Büro unchanged"};
        QTest::newRow("the same card twice in a list leaves once")
            << QByteArray("Anna,10000417,,,,Tor 1,no\n") << "2026-06-01" << QStringList{"1:10000417=Anna,10000417=Anna"}
            << QStringList{"Tor 1 list 1 -10000417 Anna", "Lager unchanged", "Büro unchanged"};
    }
    void plan()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QString, day);
        QFETCH(QStringList, cards);
        const Directory directory = ReadDirectory(rows);
        QVERIFY(directory);
        const Site site = MakeSite(cards);
        QTEST(Dump(PlanSite(site.Terminals(), directory, QDate::fromString(day, Qt::ISODate))), "plan");
    }

    // With an odd number of digits the filler belongs to the record; a digit
    // in its place would be one the terminal does not read.
    void oddLength()
    {
        const Directory directory = ReadDirectory("A,1234567,,,,*,no\nB,7654321#,,,,*,no\nC,12345678,,,,*,no\n", {"T"});
        const Site site = MakeSite({"1:1234567#=A"}, {"t2=7"}, {"T"});
        QCOMPARE(Dump(PlanSite(site.Terminals(), directory, QDate(2026, 6, 1))),
                 QStringList({"T refused line 4: track2 12345678 (7 digits)", "T list 1 +7654321# B"}));
    }

    // Cards already in a list keep their place, new ones follow, removed ones
    // leave no gap; the other lists, the settings and the display texts stay.
    // The result is what the editor makes when the same cards are typed in.
    void applyKeepsOrder()
    {
        Site site = MakeSite({"1:10000001=Anna,10000002=Bernd,10000003=Carl,10000004=Dora|2:672000104799=Eva|3:10000009=Lost"},
                             {"t2=8 t3=12 block"}, {"Tor 1"});
        Configuration& m = site.configurations[0];
        const ConfigBlock before = ImageBlock(m);
        const Directory directory = ReadDirectory("Anna,10000001,,,,*,no\nFritz,10000006,,,,*,no\nCarla,10000003,,,,*,no\n"
                                                  "Dora,10000004,,,,*,no\nGerd,10000005,,,,*,no\nEva,,672000104799,,,*,no\n"
                                                  "Lost,10000009,,,,,yes\n",
                                                  {"Tor 1"});
        const SitePlan plan = PlanSite(site.Terminals(), directory, QDate(2026, 6, 1));
        QCOMPARE(Dump(plan), QStringList({"Tor 1 list 1 -10000002 Bernd", "Tor 1 list 1 +10000006 Fritz",
                                          "Tor 1 list 1 +10000005 Gerd", "Tor 1 list 1 ~10000003 Carl => Carla"}));
        QCOMPARE(ApplyTerminalPlan(m, plan.terminals[0]), ApplyOutcome::Applied);

        const Configuration typed = ConfigurationWithLists("t2=8 t3=12 block", "1:10000001=Anna,10000003=Carla,10000004=Dora,10000006=Fritz,"
                                                                 "10000005=Gerd|2:672000104799=Eva|3:10000009=Lost");
        QCOMPARE(Lists(m), Lists(typed));
        QCOMPARE(ImageBlock(m), ImageBlock(typed));
        QCOMPARE(FormatComments(m.ListComment), FormatComments(typed.ListComment));
        QVERIFY(std::equal(before.begin(), before.begin() + Slot::ListArea, ImageBlock(m).begin()));

        // Written and read back as a pair, the plan has nothing left to do.
        QTemporaryDir dir;
        const QString file = dir.filePath("TOR1.QLV");
        QVERIFY(SaveConfigurationPair(m, file).status);
        Configuration read;
        QVERIFY(ReadConfigurationFile(read, file));
        QVERIFY(LoadComments(read, file, false));
        DecodeLists(read);
        QVERIFY(!PlanSite({{"Tor 1", &read}}, directory, QDate(2026, 6, 1)).Changes());
        QCOMPARE(ApplyTerminalPlan(read, PlanSite({{"Tor 1", &read}}, directory, QDate(2026, 6, 1)).terminals[0]),
                 ApplyOutcome::Unchanged);
    }

    // A list of 24-digit cards on both tracks with block lists has 40 rows.
    void overflowIsNotApplied_data()
    {
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("overflow");
        QTest::newRow("40 cards fit") << 40 << 0;
        QTest::newRow("41 cards do not") << 41 << 1;
        QTest::newRow("45 cards do not") << 45 << 5;
    }
    void overflowIsNotApplied()
    {
        QFETCH(int, cards);
        QFETCH(int, overflow);
        Site site = MakeSite({"1:100000000000000000000001=Anna"}, {"t2=24 t3=24 block"}, {"Tor 1"});
        Configuration& m = site.configurations[0];
        QCOMPARE(int(m.ListCount1), 40);
        QByteArray rows;
        for (int k = 1; k <= cards; ++k)
            rows += "P" + QByteArray::number(k) + ",1" + QByteArray::number(k).rightJustified(23, '0') + ",,,,*,no\n";
        const TerminalPlan plan = PlanSite(site.Terminals(), ReadDirectory(rows, {"Tor 1"}), QDate(2026, 6, 1)).terminals[0];
        QCOMPARE(plan.lists[0].Overflow(), overflow);
        QCOMPARE(plan.lists[0].added.size(), cards - 1);
        const ConfigBlock before = ImageBlock(m);
        const auto comments = m.ListComment;
        QCOMPARE(ApplyTerminalPlan(m, plan), overflow ? ApplyOutcome::Overflows : ApplyOutcome::Applied);
        QCOMPARE(ImageBlock(m) == before, overflow > 0);
        QCOMPARE(m.ListComment == comments, overflow > 0);
        QCOMPARE(NotAppliedText("Tor 1", 1000), QStringLiteral("Tor 1 is not changed: a list would overflow"));
    }

    // A plan made for another configuration is not laid onto this one.
    void applyRefusesAnotherConfigurationsPlan()
    {
        Site site = MakeSite({}, {"t2=8 t3=12 block", "t2=8"}, {"A", "B"});
        const SitePlan plan = PlanSite(site.Terminals(), ReadDirectory("Anna,10000417,,,,*,no\n", {"A", "B"}), QDate(2026, 6, 1));
        const ConfigBlock before = ImageBlock(site.configurations[1]);
        QCOMPARE(ApplyTerminalPlan(site.configurations[1], plan.terminals[0]), ApplyOutcome::NotItsPlan);
        QCOMPARE(ImageBlock(site.configurations[1]), before);
    }

    // The way into an existing site: the directory made of the terminals'
    // lists plans no change where they agree, and names where they do not.
    void directoryFromTerminals_data()
    {
        QTest::addColumn<QStringList>("cards");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("csv");                // after the header
        QTest::addColumn<QStringList>("conflicts");
        QTest::addColumn<QStringList>("plan");

        const QString longName = QStringLiteral("Anna Maria Berg-Schmidt von der Hohen Warte");
        const QString cut = QStringLiteral("Anna Maria Berg-Schmidt von der Hohen Wa");
        // A blocked card that another terminal cannot read (another length)
        // is no disagreement: the plan names it as refused there.
        QTest::newRow("terminals that agree")
            << QStringList{"1:10000417=Anna Berg,10000523=" + longName + "|2:672000104799=Anna Berg|3:10000999=Lost",
                           "1:1234567#|3:7654321=Kurt", "1:10000417=Anna Berg"}
            << QStringList{"t2=8 t3=12 block", "t2=7 block", "t2=8"}
            << "Anna Berg,10000417,,,,Tor 1;Büro,no\r\n" + longName
                   + ",10000523,,,,Tor 1,no\r\n"
                     "Anna Berg,,672000104799,,,Tor 1,no\r\n"
                     "Lost,10000999,,,,Tor 1,yes\r\n"
                     "'----------,1234567,,,,Lager,no\r\n"
                     "Kurt,7654321,,,,Lager,yes\r\n"
            << QStringList()
            << QStringList{"line 3 cut to " + cut, "Tor 1 refused line 7: track2 7654321 (8 digits)", "Tor 1 unchanged",
                           "Lager refused line 5: track2 10000999 (7 digits)", "Lager unchanged", "Büro unchanged"};
        // The directory gives a card one holder and blocks it everywhere:
        // the plan then changes exactly what the conflicts name.
        QTest::newRow("terminals that disagree")
            << QStringList{"1:10000417=Anna Berg|3:10000999=Lost", "1:10000417=A. Berg,10000999=Lost", "1:10000417"}
            << SiteSettings
            << QStringLiteral("Anna Berg,10000417,,,,Tor 1;Lager;Büro,no\r\n"
                              "Lost,10000999,,,,Tor 1;Lager,yes\r\n")
            << QStringList{"track2 card 10000417 has the comment \"Anna Berg\" on Tor 1 and \"A. Berg\" on Lager; "
                           "the directory names \"Anna Berg\"",
                           "track2 card 10000999 (\"Lost\") is blocked on Tor 1 but not on Lager; "
                           "the directory blocks it on every terminal"}
            << QStringList{"Tor 1 unchanged", "Lager list 1 -10000999 Lost", "Lager list 1 ~10000417 A. Berg => Anna Berg",
                           "Lager list 3 +10000999 Lost", "Büro list 1 ~10000417 ---------- => Anna Berg"};
    }
    void directoryFromTerminals()
    {
        QFETCH(QStringList, cards);
        QFETCH(QStringList, settings);
        QFETCH(QString, csv);
        QFETCH(QStringList, conflicts);
        const Site site = MakeSite(cards, settings);
        const DirectoryFromLists made = DirectoryFromTerminals(site.Terminals());
        QStringList conflictTexts;
        for (const DirectoryConflict& conflict : made.conflicts)
            conflictTexts << ConflictText(conflict, 1000);
        QCOMPARE(conflictTexts, conflicts);
        const QByteArray written = FormatDirectoryCsv(made.entries);
        QCOMPARE(QString::fromUtf8(written), QString::fromUtf8(Utf8ByteOrderMark + Header).replace("\n", "\r\n") + csv);
        const Directory directory = ParseDirectoryCsv(written, SiteNames);
        QVERIFY2(directory, qPrintable(DirectoryMessage(directory, "people.csv", 1000)));
        QTEST(Dump(PlanSite(site.Terminals(), directory, QDate(2026, 6, 1))), "plan");
    }

    // A site of three terminals and a directory of 40 holders: the plans of
    // the day before and the day after one holder's valid_until differ by
    // exactly that card on exactly that holder's terminals; the plan applied
    // leaves nothing to do; the blocked card is in the block lists of the
    // terminals that use them and in no privilege list; a directory with a
    // bad date is refused naming its line.
    void siteOfThreeTerminalsAndFortyHolders()
    {
        QByteArray rows;
        for (int k = 1; k <= 40; ++k) {
            const QByteArray terminals = k % 3 == 0 ? "Tor 1" : (k % 3 == 1 ? "Tor 1;Lager" : "*");
            const QByteArray until = k == 7 ? "2026-05-31" : (k % 5 == 0 ? "2027-12-31" : "");
            const QByteArray track3 = k % 4 == 0 ? "6720001047" + QByteArray::number(k).rightJustified(2, '0') : "";
            rows += "Holder " + QByteArray::number(k) + ",100000" + QByteArray::number(k).rightJustified(2, '0') + ','
                + track3 + ",2026-01-01," + until + ",\"" + terminals + "\"," + (k == 13 ? "yes" : "no") + '\n';
        }
        const Directory directory = ReadDirectory(rows);
        QVERIFY(directory);
        QCOMPARE(directory.entries.size(), 40);
        Site site = MakeSite({});
        const SitePlan before = PlanSite(site.Terminals(), directory, QDate(2026, 5, 30));
        const SitePlan after = PlanSite(site.Terminals(), directory, QDate(2026, 6, 1));

        // Holder 7 is on Tor 1 and Lager: list 1 of both, nothing else.
        QStringList differences;
        for (int t = 0; t < 3; ++t) {
            QCOMPARE(before.terminals[t].lists.size(), after.terminals[t].lists.size());
            for (int l = 0; l < before.terminals[t].lists.size(); ++l) {
                QStringList cardsBefore, cardsAfter;
                for (const PlanCard& card : before.terminals[t].lists[l].cards)
                    cardsBefore << card.card;
                for (const PlanCard& card : after.terminals[t].lists[l].cards)
                    cardsAfter << card.card;
                for (const QString& card : cardsBefore)
                    if (!cardsAfter.contains(card))
                        differences << QStringLiteral("%1 list %2 %3").arg(SiteNames[t]).arg(before.terminals[t].lists[l].list).arg(card);
                for (const QString& card : cardsAfter)
                    QVERIFY(cardsBefore.contains(card));
            }
        }
        QCOMPARE(differences, QStringList({"Tor 1 list 1 10000007", "Lager list 1 10000007"}));

        // Applied on the day before, the day after removes that card there and nothing else.
        for (int t = 0; t < 3; ++t)
            QCOMPARE(ApplyTerminalPlan(site.configurations[t], before.terminals[t]), ApplyOutcome::Applied);
        QCOMPARE(Dump(PlanSite(site.Terminals(), directory, QDate(2026, 6, 1))),
                 QStringList({"Tor 1 list 1 -10000007 Holder 7", "Lager list 1 -10000007 Holder 7", "Büro unchanged"}));
        for (int t = 0; t < 3; ++t)
            ApplyTerminalPlan(site.configurations[t], after.terminals[t]);
        QVERIFY(!PlanSite(site.Terminals(), directory, QDate(2026, 6, 1)).Changes());

        // The lost card: the block lists of Tor 1 and Lager; Büro has none.
        QCOMPARE(Lists(site.configurations[0]).filter("10000013"), QStringList({"3: 10000013=Holder 13"}));
        QCOMPARE(Lists(site.configurations[1]).filter("10000013"), QStringList({"3: 10000013=Holder 13"}));
        QVERIFY(Lists(site.configurations[2]).filter("10000013").isEmpty());

        // A bad date refuses the whole directory, naming its line.
        const Directory bad = ParseDirectoryCsv(Header + rows.replace("Holder 22,10000022,,2026-01-01,", "Holder 22,10000022,,2026-02-30,"),
                                                SiteNames);
        QVERIFY(!bad && bad.entries.isEmpty());
        QCOMPARE(DirectoryMessage(bad, "people.csv", 1000),
                 QStringLiteral("Nothing was changed. These lines of people.csv cannot be taken:\n\n"
                                "line 23: valid_from \"2026-02-30\" is no date of the form YYYY-MM-DD"));
    }
};

QTEST_GUILESS_MAIN(DirectoryPlanTest)
#include "tst_directoryplan.moc"
