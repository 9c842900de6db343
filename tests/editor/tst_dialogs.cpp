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

    void Click(QDialog& d, const QString& button) { d.findChild<QPushButton*>(button)->click(); }

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
        QTest::newRow("zeros") << "000000" << "OK" << "000000" << QList<int>{48, 0, 0, 0};
        QTest::newRow("nines") << "999999" << "OK" << "999999" << QList<int>{48, 153, 153, 153};
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
        Click(dialog, button);
        QCOMPARE(m.PasswordAccepted, quint16(stored.isEmpty() ? 0 : 1));
        QList<int> codes;
        for (QChar c : m.TerminalPassword)
            codes << c.unicode();
        if (!stored.isEmpty())
            QCOMPARE(codes, stored);
        QCOMPARE(messages.shown.size(), stored.isEmpty() && button == "OK" ? 1 : 0);
        if (!messages.shown.isEmpty())
            QCOMPARE(messages.shown[0].prompt, TableText(m, 171));
        QCOMPARE(stops, 1);   // switched off once, never on again
    }

    // The selected data is overtyped; Backspace is discarded, Delete works.
    void rowEdit_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("nibble characters") << "0000" << ":;<=" << ":;<=" << true;
        QTest::newRow("hash and >") << "0000" << "#>?9" << "#>?9" << true;
        QTest::newRow("letters, blank, @ dropped") << "0000" << "a1 @b2/3" << "123" << false;
        QTest::newRow("length kept") << "00" << "123456" << "12" << true;
        QTest::newRow("Backspace discarded") << "0000" << "12\b34" << "1234" << true;
        QTest::newRow("Delete") << "0000" << "\x7f" << "" << false;
    }
    void rowEdit()
    {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, field);
        QFETCH(bool, accepted);
        m.CurrentRow = 7;
        m.ListData[7] = start;
        m.ListComment[7] = QStringLiteral("alt");
        m.ChangeCount = 4;
        RowEditDialog dialog(m, messages);
        auto* data = dialog.findChild<QLineEdit*>("Text1");
        data->selectAll();
        if (keys == "\x7f")
            QTest::keyClick(data, Qt::Key_Delete);
        else
            QTest::keyClicks(data, keys);
        QCOMPARE(data->text(), field);
        dialog.findChild<QLineEdit*>("Text2")->clear();
        Click(dialog, "Command2");
        QCOMPARE(m.ListData[7], accepted ? field : start);
        QCOMPARE(m.ListComment[7], accepted ? QString() : QStringLiteral("alt"));
        QCOMPARE(m.EditConfirmed, qint16(accepted ? 1 : 0));
        QCOMPARE(m.ChangeCount, qint16(accepted ? 5 : 4));
        QCOMPARE(messages.shown.size(), accepted ? 0 : 1);
        if (!accepted)
            QCOMPARE(messages.shown[0].prompt, TableText(m, 156));
    }

    // Co2 stores the line (blanks after it); Co1 and the close box store
    // nothing. Every close gives the box the colour &H800 back.
    void displayLine_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("close");   // the button, empty: the close box
        QTest::addColumn<QList<int>>("stored");
        QTest::newRow("umlauts") << 5 << "ÄÖÜäöüß" << "Co2" << QList<int>{225, 239, 245, 225, 239, 245, 226};
        QTest::newRow("cut to 16") << 15 << "ABCDEFGHIJKLMNOPQRST" << "Co2" << QList<int>{65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80};
        QTest::newRow("empty gives blanks") << 0 << "" << "Co2" << QList<int>{};
        QTest::newRow("cancel") << 2 << "neu" << "Co1" << QList<int>(16, 0);
        QTest::newRow("close box") << 2 << "neu" << "" << QList<int>(16, 0);
    }
    void displayLine()
    {
        QFETCH(int, line);
        QFETCH(QString, entry);
        QFETCH(QString, close);
        QFETCH(QList<int>, stored);
        m.DisplayLineIndex = quint16(line);
        QLineEdit box(QStringLiteral("old line"));
        DisplayLineDialog dialog(m, &box);
        auto* edit = dialog.findChild<QLineEdit*>("Text1");
        QCOMPARE(edit->text(), QStringLiteral("old line"));
        edit->setText(entry);
        if (close.isEmpty()) {
            dialog.show();
            dialog.close();
        } else {
            Click(dialog, close);
        }
        const bool stores = close == "Co2";
        stored = QList<int>{0} + stored + QList<int>(16 - stored.size(), 32) + QList<int>{0};   // neighbours untouched
        QCOMPARE(QList<int>(m.ConfigImage.begin() + 15 + 16 * line, m.ConfigImage.begin() + 33 + 16 * line), stored);
        QCOMPARE(box.text(), stores ? (entry + QString(16, u' ')).left(16) : QStringLiteral("old line"));
        QCOMPARE(m.ChangeCount, qint16(stores ? 1 : 0));
        QCOMPARE(box.palette().color(QPalette::Text), QColor(0, 8, 0));
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
