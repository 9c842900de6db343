#include "app/catalogue.h"
#include "comm/portopening.h"
#include "common/fakes.h"
#include "common/scriptedlink.h"

#include <QtTest>

class PortOpeningTest : public QObject {
    Q_OBJECT
private slots:
    void startUp_data()
    {
        QTest::addColumn<int>("saved");
        QTest::addColumn<QList<int>>("failing");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("portAfter");
        QTest::addColumn<int>("message");   // text ID, 0 for none
        QTest::newRow("com1 opens") << 1 << QList<int>{} << true << 1 << 0;
        QTest::newRow("com1 busy, com2 opens") << 1 << QList<int>{1} << true << 2 << 0;
        QTest::newRow("both busy") << 1 << QList<int>{1, 2} << false << 1 << 129;
        QTest::newRow("saved com2 busy") << 2 << QList<int>{2} << false << 2 << 129;
        QTest::newRow("saved com5 busy") << 5 << QList<int>{5} << false << 5 << 165;
        QTest::newRow("saved com5 opens") << 5 << QList<int>{1, 2} << true << 5 << 0;
    }
    void startUp()
    {
        QFETCH(int, saved);
        QFETCH(QList<int>, failing);
        Vardelomod m;
        m.LanguageOffset = 1000;
        m.PortNumber = qint16(saved);
        ScriptedLink link;
        link.failingPorts = QSet<int>(failing.begin(), failing.end());
        FakeMessages messages;
        QTEST(OpenPortAtStartUp(m, link, messages), "open");
        QTEST(int(m.PortNumber), "portAfter");
        QFETCH(bool, open);
        QCOMPARE(link.IsOpen(), open);
        QFETCH(int, message);
        QCOMPARE(messages.shown.size(), message ? 1 : 0);
        if (message)
            QCOMPARE(messages.shown.at(0).prompt, CatalogueText(message, 1000));
        QVERIFY(!link.Dtr() && !link.Rts());
    }

    void interfaceDialog_data()
    {
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QList<int>>("failing");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QList<int>>("fallbacks");   // option buttons selected, in order
        QTest::addColumn<int>("messages");           // texts 165 shown
        QTest::newRow("opens") << 4 << QList<int>{} << true << QList<int>{} << 0;
        QTest::newRow("odd falls back to com2") << 3 << QList<int>{3} << true << QList<int>{2} << 1;
        QTest::newRow("even falls back to com1") << 6 << QList<int>{6} << true << QList<int>{1} << 1;
        QTest::newRow("com1 to com2") << 1 << QList<int>{1} << true << QList<int>{2} << 1;
        QTest::newRow("com1 and com2 busy") << 1 << QList<int>{1, 2} << false << QList<int>{2} << 2;
        QTest::newRow("all busy from com7") << 7 << QList<int>{7, 1, 2} << false << QList<int>{2, 1} << 3;
    }
    void interfaceDialog()
    {
        QFETCH(int, chosen);
        QFETCH(QList<int>, failing);
        QFETCH(QList<int>, fallbacks);
        Vardelomod m;
        m.PortNumber = qint16(chosen);
        ScriptedLink link;
        link.Open();   // the dialog reopens an open port
        link.failingPorts = QSet<int>(failing.begin(), failing.end());
        FakeMessages messages;
        QList<int> selected;
        QTEST(OpenSelectedPort(m, link, messages, [&](int p) { selected << p; }), "open");
        QCOMPARE(selected, fallbacks);
        QTEST(int(messages.shown.size()), "messages");
        QFETCH(bool, open);
        QCOMPARE(link.IsOpen(), open);
        if (open)
            QCOMPARE(link.opened.last(), int(m.PortNumber));
        for (const auto& shown : messages.shown)
            QCOMPARE(shown.prompt, CatalogueText(165, 0));
    }
};

QTEST_GUILESS_MAIN(PortOpeningTest)
#include "tst_portopening.moc"
