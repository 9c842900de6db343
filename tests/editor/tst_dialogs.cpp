#include "app/catalogue.h"
#include "common/fakes.h"
#include "editor/displayline.h"
#include "editor/password.h"
#include "editor/rowedit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class DialogsTest : public QObject {
    Q_OBJECT
    Vardelomod m;
    FakeMessages messages;

    QString Shown() const { return messages.shown.size() == 1 ? messages.shown[0].prompt : QString(); }

private slots:
    void init()
    {
        m = Vardelomod();
        messages = {};
    }

    // Keys typed one by one ("\b" is Backspace), then OK or Cancel.
    void password_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QList<int>>("stored");   // codes of TerminalPassword; empty: not accepted
        const QList<int> packed{48, 33, 67, 101};
        QTest::newRow("six digits packed") << "123456" << "OK" << "123456" << packed;
        QTest::newRow("seventh digit cannot be typed") << "1234567" << "OK" << "123456" << packed;
        QTest::newRow("five digits refused") << "12345" << "OK" << "12345" << QList<int>{};
        QTest::newRow("letters and blanks ignored") << "1a2 3.4-5x6" << "OK" << "123456" << packed;
        QTest::newRow("backspace works") << "1299\b\b3456" << "OK" << "123456" << packed;
        QTest::newRow("X first: free mode") << "Xab#12" << "OK" << "ab#12" << QList<int>{};
        QTest::newRow("X first: free text") << "Xabc def" << "OK" << "abc def" << QList<int>{88, 97, 98, 99, 32, 100, 101, 102};
        QTest::newRow("X second: free mode") << "7Xabcdefgh" << "OK" << "7abcdefg" << QList<int>{88, 55, 97, 98, 99, 100, 101, 102, 103};
        QTest::newRow("X third is discarded") << "12X3456" << "OK" << "123456" << packed;
        QTest::newRow("lower-case x never switches") << "xabc123456" << "OK" << "123456" << packed;
        QTest::newRow("cancel") << "123456" << "abbrechen" << "123456" << QList<int>{};
    }
    void password()
    {
        QFETCH(QString, keys);
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(QList<int>, stored);
        int stops = 0;
        PasswordDialog dialog(m, messages, [&] { ++stops; });
        auto* entry = dialog.findChild<QLineEdit*>("Text1");
        QTest::keyClicks(entry, keys);
        QCOMPARE(entry->text(), field);
        dialog.findChild<QPushButton*>(button)->click();
        QList<int> codes;
        for (QChar c : m.TerminalPassword)
            codes << c.unicode();
        QCOMPARE(m.PasswordAccepted ? codes : QList<int>(), stored);
        QCOMPARE(Shown(), stored.isEmpty() && button == "OK" ? TableText(m, 171) : QString());
        QCOMPARE(stops, 1);   // switched off once, never on again
    }

    // The selected data is overtyped; Backspace is discarded.
    void rowEdit_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("field");   // accepted when as long as start
        QTest::newRow("nibble characters") << "0000" << ":;<=" << ":;<=";
        QTest::newRow("hash and >") << "0000" << "#>?9" << "#>?9";
        QTest::newRow("letters, blank, @ dropped; too short") << "0000" << "a1 @b2/3" << "123";
        QTest::newRow("length kept") << "00" << "123456" << "12";
        QTest::newRow("Backspace discarded") << "0000" << "12\b34" << "1234";
    }
    void rowEdit()
    {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, field);
        const bool accepted = field.size() == start.size();
        m.CurrentRow = 7;
        m.ListData[7] = start;
        RowEditDialog dialog(m, messages);
        auto* data = dialog.findChild<QLineEdit*>("Text1");
        data->selectAll();
        QTest::keyClicks(data, keys);
        QCOMPARE(data->text(), field);
        dialog.findChild<QPushButton*>("Command2")->click();
        QCOMPARE(m.ListData[7], accepted ? field : start);
        QCOMPARE(QList<int>({m.EditConfirmed, m.ChangeCount}), QList<int>({accepted, accepted}));
        QCOMPARE(Shown(), accepted ? QString() : TableText(m, 156));
    }

    // OK in either dialog counts one more edit (as the row and display tests
    // see from 0), up to 32767 and no further:
    // a count that wrapped below 0 would close the editor without asking.
    void changeCountStops_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        for (const char* dialog : {"Datensp", "displayeingabe"}) {
            QTest::addRow("%s from 32766", dialog) << dialog << 32766 << 32767;
            QTest::addRow("%s at 32767", dialog) << dialog << 32767 << 32767;
        }
    }
    void changeCountStops()
    {
        QFETCH(QString, dialog);
        QFETCH(int, before);
        m.ChangeCount = qint16(before);
        m.ListData[0] = QStringLiteral("1234");
        QLineEdit lineBox;
        std::unique_ptr<QDialog> d;
        if (dialog == "Datensp")
            d = std::make_unique<RowEditDialog>(m, messages);
        else
            d = std::make_unique<DisplayLineDialog>(m, &lineBox);
        d->findChild<QPushButton*>(dialog == "Datensp" ? "Command2" : "Co2")->click();
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QTEST(int(m.ChangeCount), "after");
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
