// Opening the port at start-up and from the interface dialog, with the
// fallbacks and their bound.
#include "app/catalogue.h"
#include "comm/portopening.h"
#include "common/fakes.h"
#include "common/scriptedlink.h"

#include <QtTest>

class PortOpeningTest : public QObject {
    Q_OBJECT
private slots:
    // fallbacks: the option buttons the dialog is told to select, in order;
    // start-up has none of its own (-1).
    void opening_data()
    {
        QTest::addColumn<bool>("atStartUp");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QList<int>>("failing");
        QTest::addColumn<int>("portAfter");   // 0: closed
        QTest::addColumn<QList<int>>("fallbacks");
        QTest::addColumn<QList<int>>("texts");
        QTest::newRow("start com1") << true << 1 << QList<int>{} << 1 << QList<int>{} << QList<int>{};
        QTest::newRow("start com1 busy") << true << 1 << QList<int>{1} << 2 << QList<int>{} << QList<int>{};
        QTest::newRow("start both busy") << true << 1 << QList<int>{1, 2} << 0 << QList<int>{} << QList<int>{129};
        QTest::newRow("start saved com2 busy") << true << 2 << QList<int>{2} << 0 << QList<int>{} << QList<int>{129};
        QTest::newRow("start saved com5 busy") << true << 5 << QList<int>{5} << 0 << QList<int>{} << QList<int>{165};
        QTest::newRow("start saved com5") << true << 5 << QList<int>{1, 2} << 5 << QList<int>{} << QList<int>{};
        QTest::newRow("dialog opens") << false << 4 << QList<int>{} << 4 << QList<int>{} << QList<int>{};
        QTest::newRow("odd to com2") << false << 3 << QList<int>{3} << 2 << QList<int>{2} << QList<int>{165};
        QTest::newRow("even to com1") << false << 6 << QList<int>{6} << 1 << QList<int>{1} << QList<int>{165};
        QTest::newRow("com1 to com2") << false << 1 << QList<int>{1} << 2 << QList<int>{2} << QList<int>{165};
        QTest::newRow("com1, com2 busy") << false << 1 << QList<int>{1, 2} << 0 << QList<int>{2} << QList<int>{165, 165};
        QTest::newRow("all busy from com7") << false << 7 << QList<int>{7, 1, 2} << 0 << QList<int>{2, 1} << QList<int>{165, 165, 165};
    }
    void opening()
    {
        QFETCH(bool, atStartUp);
        QFETCH(int, chosen);
        QFETCH(QList<int>, failing);
        QFETCH(int, portAfter);
        Vardelomod m;
        m.PortNumber = qint16(chosen);
        ScriptedLink link;
        if (!atStartUp)
            link.Open();   // the dialog reopens an open port
        link.failingPorts = QSet<int>(failing.begin(), failing.end());
        FakeMessages messages;
        QList<int> selected;
        const bool open = atStartUp ? OpenPortAtStartUp(m, link, messages)
                                    : OpenSelectedPort(m, link, messages, [&](int p) { selected << p; });
        QCOMPARE(open, portAfter != 0);
        QCOMPARE(link.IsOpen(), open);
        if (open)
            QCOMPARE(int(m.PortNumber), portAfter);
        QTEST(selected, "fallbacks");
        QStringList prompts;
        for (const auto& shown : messages.shown)
            prompts << shown.prompt;
        QStringList expected;
        QFETCH(QList<int>, texts);
        for (int id : texts)
            expected << CatalogueText(id, 0);
        QCOMPARE(prompts, expected);
        QVERIFY(!link.Dtr() && !link.Rts());
    }
};

QTEST_GUILESS_MAIN(PortOpeningTest)
#include "tst_portopening.moc"
