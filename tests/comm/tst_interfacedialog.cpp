// The interface dialog: a click reopens the port at once, OK stores it,
// closing without OK keeps it for this run only, the fallback is bounded.
#include "comm/ui/interfacedialog.h"
#include "common/mainwindowharness.h"
#include "common/scriptedlink.h"

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class InterfaceDialogTest : public QObject {
    Q_OBJECT
private slots:
    void openingReopensAndOkStores()
    {
        MainWindowHarness h(MainWindowHarness::LinkKind::Scripted, QByteArray(" 2\r\n 1000\r\n"));
        h.StartAndPassLanguageWindow();
        QStringList captions;
        h.onModal = [&](QDialog& dialog) {
            auto* d = qobject_cast<InterfaceDialog*>(&dialog);
            QVERIFY(d);
            for (int i = 0; i < 8; ++i)
                captions << d->PortButton(i)->text();
            QVERIFY(d->PortButton(1)->isChecked());
            QCOMPARE(d->windowTitle(), QStringLiteral("Select serial interface"));
            // Columns: com1..com4 left, com5..com8 right, in rows.
            QCOMPARE(d->PortButton(4)->y(), d->PortButton(0)->y());
            QVERIFY(d->PortButton(4)->x() > d->PortButton(0)->x());
            QVERIFY(d->PortButton(3)->y() > d->PortButton(2)->y());
            d->findChild<QPushButton*>(QStringLiteral("Co1"))->click();
        };
        const int closesBefore = h.Scripted().closes;
        h.Trigger(QStringLiteral("mnuschnittst"));
        QCOMPARE(captions, (QStringList{"com1:", "com2:", "com3:", "com4:", "com5:", "com6:", "com7:", "com8:"}));
        // Opening the dialog closed and reopened the port on the same number.
        QCOMPARE(h.Scripted().opened, (QList<int>{2, 2}));
        QVERIFY(h.Scripted().closes > closesBefore);
        QCOMPARE(h.SettingsContent(), QByteArray(" 2\r\n 1000\r\n"));
    }

    void aClickTakesEffectOkStoresIt_data()
    {
        QTest::addColumn<bool>("pressOk");
        QTest::newRow("OK") << true;
        QTest::newRow("closed without OK") << false;
    }
    void aClickTakesEffectOkStoresIt()
    {
        QFETCH(bool, pressOk);
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        h.onModal = [&](QDialog& dialog) {
            auto* d = qobject_cast<InterfaceDialog*>(&dialog);
            d->PortButton(4)->click();
            QCOMPARE(h.link->PortNumber(), 5);
            QVERIFY(h.link->IsOpen());
            if (pressOk)
                d->findChild<QPushButton*>(QStringLiteral("Co1"))->click();
            else
                d->reject();
        };
        h.Trigger(QStringLiteral("mnuschnittst"));
        QCOMPARE(h.m.PortNumber, qint16(5));
        QCOMPARE(h.Scripted().opened.last(), 5);
        QCOMPARE(h.SettingsContent(), pressOk ? QByteArray(" 5\r\n 0\r\n") : QByteArray(" 1\r\n 0\r\n"));
    }

    // A busy port: text 165 and the fallback of the table, shown in the
    // dialog; when the fallbacks are busy as well the port stays closed
    // after each was tried once.
    void busyPortFallsBack_data()
    {
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QList<int>>("failing");
        QTest::addColumn<int>("portInUse");   // 0: closed
        QTest::addColumn<int>("messages");
        QTest::newRow("com7 to com2") << 7 << QList<int>{7} << 2 << 1;
        QTest::newRow("com6 to com1") << 6 << QList<int>{6} << 1 << 1;
        QTest::newRow("com3, com2 and com1 busy") << 3 << QList<int>{1, 2, 3} << 0 << 3;
    }
    void busyPortFallsBack()
    {
        QFETCH(int, chosen);
        QFETCH(QList<int>, failing);
        QFETCH(int, portInUse);
        QFETCH(int, messages);
        MainWindowHarness h;
        h.StartAndPassLanguageWindow();
        int checkedAfter = -1;
        h.onModal = [&](QDialog& dialog) {
            // The dialog has reopened com1 on opening; now the ports turn busy.
            h.Scripted().failingPorts = QSet<int>(failing.begin(), failing.end());
            auto* d = qobject_cast<InterfaceDialog*>(&dialog);
            d->PortButton(chosen - 1)->click();
            for (int i = 0; i < 8; ++i)
                if (d->PortButton(i)->isChecked())
                    checkedAfter = i + 1;
            d->reject();
        };
        h.Trigger(QStringLiteral("mnuschnittst"));
        QCOMPARE(h.messages.shown.size(), messages);
        for (const auto& shown : h.messages.shown)
            QCOMPARE(shown.prompt, QStringLiteral("Serielle Schnittstelle belegt"));
        QCOMPARE(h.link->IsOpen(), portInUse != 0);
        if (portInUse != 0) {
            QCOMPARE(int(h.m.PortNumber), portInUse);
            QCOMPARE(checkedAfter, portInUse);
        }
    }
};

QTEST_MAIN(InterfaceDialogTest)
#include "tst_interfacedialog.moc"
