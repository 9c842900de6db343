// Two configurations compared: what the summary and the details say for
// typical edits, in the operator's language; the JSON of the comparison.
#include "comm/changereport.h"
#include "common/democonfig.h"
#include "config/configcompare.h"
#include "config/configimage.h"

#include <QtTest>
#include <functional>

namespace {

using Edit = std::function<void(Configuration&)>;

// The demonstration configuration, edited, as a snapshot with its comments.
ConfigSnapshot Demo(const Edit& edit = {})
{
    auto m = std::make_unique<Configuration>();
    BuildDemoConfiguration(*m);
    DecodeLists(*m);
    if (edit)
        edit(*m);
    return ConfigSnapshot::From(ImageBlock(*m), m->ListComment);
}

// The first row of a list and the row of its k-th record.
int Row(const Configuration& m, int list, int k)
{
    int row = 0;
    for (int l = 1; l < list; ++l)
        row += m.ListCount(l);
    return row + k;
}

void SetCard(Configuration& m, int list, int k, const QString& data, const QString& comment = ResetCommentText)
{
    const int row = Row(m, list, k);
    m.ListData[row] = data;
    EncodeRowData(m, row);
    m.ListComment[row] = comment;
}

QStringList Lines(const QList<ChangeLine>& lines)
{
    QStringList out;
    for (const ChangeLine& l : lines)
        out << l.what + QStringLiteral(" | ") + l.before + QStringLiteral(" | ") + l.after;
    return out;
}

} // namespace

class ConfigCompareTest : public QObject {
    Q_OBJECT
private slots:
    void compare_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("summary");
        QTest::addColumn<QStringList>("details");
        QTest::addColumn<bool>("terminalUnchanged");

        QTest::newRow("equal") << Edit() << 1000 << QStringList{"no change"} << QStringList{} << true;
        QTest::newRow("door open time, German")
            << Edit([](Configuration& m) { m.ConfigImage[Slot::DoorOpenTime] = 9; }) << 0
            << QStringList{"1 Grundeinstellung(en) geändert"}
            << QStringList{"Türöffnungszeit | 5 Sekunden | 9 Sekunden"} << false;
        QTest::newRow("3 cards added, 1 removed, door open time")
            << Edit([](Configuration& m) {
                   m.ConfigImage[Slot::DoorOpenTime] = 12;
                   SetCard(m, 1, 12, "30000001", "Neu, Eins");
                   SetCard(m, 1, 13, "30000002");
                   SetCard(m, 2, 9, "672000777001", "Neu, Drei");
                   SetCard(m, 3, 1, "00000000");
               })
            << 1000
            << QStringList{"1 basic setting(s) changed", "List 1: 2 card(s) added, 0 removed",
                           "List 2: 1 card(s) added, 0 removed", "List 3: 0 card(s) added, 1 removed"}
            << QStringList{"Door opening time | 5 seconds | 12 seconds", "Card added to list 1 |  | 30000001  Neu, Eins",
                           "Card added to list 1 |  | 30000002", "Card added to list 2 |  | 672000777001  Neu, Drei",
                           "Card removed from list 3 | 10000402  ausgeschieden – Vogel, Heike | "}
            << false;
        QTest::newRow("flags and password as the report names them")
            << Edit([](Configuration& m) {
                   SetFlag(m, Slot::FeatureFlags, Feature::OpenDoorOnFault, true);
                   SetFlag(m, Slot::FeatureFlags, Feature::BuzzerWithOpener, false);
                   m.ConfigImage[Slot::PasswordBcd] = 0x56;
                   SetFlag(m, Slot::TrackFlags, Track::MonitoringModule, true);
               })
            << 1000 << QStringList{"4 basic setting(s) changed"}
            << QStringList{"Door opener with buzzer | Yes | No", "Monitoring module | No | Yes",
                           "Password | 123456 | 653456", "Open door on fault | No | Yes"}
            << false;
        QTest::newRow("a display line")
            << Edit([](Configuration& m) { EncodeDisplayLine(m, 3, QStringLiteral(" Tür öffnet!    ")); }) << 1000
            << QStringList{"1 display text(s) changed"}
            << QStringList{"Display text 2, line 2 | \" Tür öffnet ... \" | \" Tür öffnet!    \""} << false;
        // Bytes no setting, card or line shows are counted, never hidden.
        QTest::newRow("two cards swapped, an uninterpreted slot")
            << Edit([](Configuration& m) {
                   SetCard(m, 1, 0, "10000418", "Schäfer, Anna – Einkauf");
                   SetCard(m, 1, 1, "10000417", "Müller, Jürgen – Lager");
                   m.ConfigImage[8] = 1;
               })
            << 1000 << QStringList{"3 other byte(s) changed"} << QStringList{"3 other byte(s) changed |  | "} << false;
        QTest::newRow("a comment only: not in the terminal")
            << Edit([](Configuration& m) { m.ListComment[Row(m, 2, 0)] = QStringLiteral("Kälte-Nord, neuer Techniker"); })
            << 1000 << QStringList{"1 comment(s) changed"}
            << QStringList{"Comment in list 2, card 672000104711 | Servicetechniker Fa. Kälte-Nord | Kälte-Nord, neuer Techniker"}
            << true;
    }
    void compare()
    {
        QFETCH(Edit, edit);
        QFETCH(int, language);
        QFETCH(QStringList, summary);
        QFETCH(QStringList, details);
        QFETCH(bool, terminalUnchanged);
        const ConfigDifference d = CompareConfigurations(Demo(), Demo(edit));
        QCOMPARE(SummarizeChanges(d, language), summary);
        QCOMPARE(Lines(DescribeChanges(d, language)), details);
        QCOMPARE(d.TerminalUnchanged(), terminalUnchanged);
        QCOMPARE(DifferenceJson(d).value("equal").toBool(), details.isEmpty());
    }

    // Switching the block lists off drops lists 3 and 4: their cards count
    // as removed, with their comments.
    void layoutChangeRemovesTheLists()
    {
        const ConfigDifference d = CompareConfigurations(
            Demo(), Demo([](Configuration& m) { SetFlag(m, Slot::FeatureFlags, Feature::BlockListsOn, false); }));
        QCOMPARE(d.settings.size(), 1);
        QCOMPARE(d.settings[0].name, QStringLiteral("BlockListsOn"));
        QCOMPARE(d.Removed(3), 5);
        QCOMPARE(d.Removed(4), 3);
        QCOMPARE(d.removed.last().comment, QStringLiteral("Testkarte – nie freigeben"));
        const QJsonObject json = DifferenceJson(d);
        QCOMPARE(json.value("removed").toArray().size(), 8);
        QCOMPARE(json.value("settings").toArray().at(0).toObject().value("new").toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(ConfigCompareTest)
#include "tst_configcompare.moc"
