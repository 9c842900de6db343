// The words for the directory of card holders and its plan: every text in
// four languages with the same place holders, and the lines a plan gives.
#include "config/configimage.h"
#include "config/directory.h"
#include "config/directoryplan.h"
#include "texts/catalogue.h"
#include "texts/directorytexts.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

QStringList PlaceHolders(const QString& text)
{
    QStringList found;
    for (const QRegularExpressionMatch& m : QRegularExpression(QStringLiteral("%[1-9]")).globalMatch(text))
        if (!found.contains(m.captured()))
            found << m.captured();
    found.sort();
    return found;
}

Configuration BothTracksWithBlockLists()
{
    Configuration m;
    m.ConfigImage[Slot::FeatureFlags] = Feature::MagCardSignal | Feature::MagCardEvaluation | Feature::BlockListsOn;
    m.ConfigImage[Slot::TrackFlags] = Track::EvaluateTrack2 | Track::EvaluateTrack3;
    EncodeDataLength(m, TrackNo::Track2, 8);
    EncodeDataLength(m, TrackNo::Track3, 12);
    LayOutLists(m);
    m.ListData[0] = QStringLiteral("10000999");
    m.ListData[1] = QStringLiteral("10000417");
    m.ListComment[1] = QStringLiteral("A. Berg");
    EncodeRowData(m, 0);
    EncodeRowData(m, 1);
    DecodeLists(m);
    return m;
}

} // namespace

class DirectoryTextsTest : public QObject {
    Q_OBJECT
private slots:
    void everyTextInFourLanguagesWithItsPlaceHolders()
    {
        for (int id = 480; id <= 509; ++id) {
            const QStringList german = PlaceHolders(CatalogueText(TextNumber(id), 0));
            for (int offset : {0, 1000, 2000, 3000}) {
                const QString text = CatalogueText(TextNumber(id), offset);
                QVERIFY2(!text.isEmpty(), qPrintable(QString::number(id + offset)));
                QVERIFY2(PlaceHolders(text) == german, qPrintable(QString::number(id + offset) + u' ' + text));
            }
        }
    }

    // A value that holds a place holder or an escape sequence stays as it is,
    // shown escaped.
    void planLines()
    {
        const Configuration m = BothTracksWithBlockLists();
        const Directory directory = ParseDirectoryCsv(
            "name,track2,track3,valid_from,valid_until,terminals,blocked\n"
            "Anna %2 Berg,10000417,,,2026-04-30,Tor 1,no\n"
            "Bernd,10000523,,,,Tor 1,yes\n"
            "Carl \x1B[2J,1000052,672000104799,,,Tor 1,no\n"
            "Dora Elisabeth Friederike Gundula Hohenstein,10000600,,,,Tor 1,no\n",
            {"Tor 1"});
        QVERIFY(directory);
        const SitePlan plan = PlanSite({{"Tor 1", &m}}, directory, QDate(2026, 4, 1));
        QCOMPARE(SitePlanTexts(plan, 1000),
                 QStringList({"line 5: the name \"Dora Elisabeth Friederike Gundula Hohenstein\" is cut to "
                              "\"Dora Elisabeth Friederike Gundula Hohens\": a comment holds 40 characters",
                              "Tor 1: line 4 is not taken: track2 card 1000052 of \"Carl \\x1b[2J\" has 7 digits, the terminal reads 8",
                              "Tor 1, Privileges track 2: remove 10000999 \"----------\"",
                              "Tor 1, Privileges track 2: add 10000600 \"Dora Elisabeth Friederike Gundula Hohens\"",
                              "Tor 1, Privileges track 2: the comment of 10000417 becomes \"Anna %2 Berg\" (was \"A. Berg\")",
                              "Tor 1, Privileges track 2: 10000417 \"Anna %2 Berg\" expires after 2026-04-30",
                              "Tor 1, Privileges track 3: add 672000104799 \"Carl \\x1b[2J\"",
                              "Tor 1, Block list track 2: add 10000523 \"Bernd\""}));
        QCOMPARE(TerminalPlanTexts(PlanSite({{"Tor 1", &m}}, directory, QDate(2026, 4, 1)).terminals[0], 0).mid(1, 1),
                 QStringList({"Tor 1, Berechtigungen Spur 2: 10000999 „----------“ entfernen"}));
    }

    void directoryMessages_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("de") << 0
                            << "Nichts wurde geändert. Diese Zeilen von %1.csv können nicht übernommen werden:\n\n"
                               "Zeile 2: valid_until 2026-03-31 liegt vor valid_from 2026-04-01; der Standort hat kein Terminal „Keller“";
        QTest::newRow("fr") << 2000
                            << "Rien n'a été modifié. Ces lignes de %1.csv ne peuvent pas être reprises :\n\n"
                               "ligne 2 : valid_until 2026-03-31 est avant valid_from 2026-04-01; le site n'a pas de terminal « Keller »";
    }
    void directoryMessages()
    {
        QFETCH(int, language);
        const Directory directory = ParseDirectoryCsv("name,track2,track3,valid_from,valid_until,terminals,blocked\n"
                                                      "A,1,,2026-04-01,2026-03-31,Keller,no\n",
                                                      {"Tor 1"});
        QTEST(DirectoryMessage(directory, "%1.csv", language), "message");
    }
};

QTEST_GUILESS_MAIN(DirectoryTextsTest)
#include "tst_directorytexts.moc"
