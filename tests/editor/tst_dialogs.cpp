#include "app/catalogue.h"
#include "common/fakes.h"
#include "config/configimage.h"
#include "editor/displayline.h"
#include "editor/password.h"
#include "editor/rowedit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
QString Codes(const QString& s)
{
    QStringList out;
    for (QChar c : s)
        out << QString::number(c.unicode());
    return out.join(u',');
}
}

class DialogsTest : public QObject {
    Q_OBJECT
    Vardelomod m;
    FakeMessages messages;

private slots:
    void init()
    {
        m = Vardelomod();
        messages = {};
    }

    // Keys are typed one by one; "\b" is Backspace.
    void passwordEntry_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("result");   // character codes of TerminalPassword after OK
        QTest::newRow("six digits packed") << "123456" << "123456" << true << "48,33,67,101";
        QTest::newRow("seventh digit cannot be typed") << "1234567" << "123456" << true << "48,33,67,101";
        QTest::newRow("five digits refused") << "12345" << "12345" << false << "";
        QTest::newRow("letters and blanks ignored") << "1a2 3.4-5x6" << "123456" << true << "48,33,67,101";
        QTest::newRow("backspace works") << "1299\b\b3456" << "123456" << true << "48,33,67,101";
        QTest::newRow("X first: free mode") << "Xab#12" << "ab#12" << false << "";
        QTest::newRow("X first: free text") << "Xabc def" << "abc def" << true << "88,97,98,99,32,100,101,102";
        QTest::newRow("X second: free mode") << "7Xabcdefgh" << "7abcdefg" << true << "88,55,97,98,99,100,101,102,103";
        QTest::newRow("X third is discarded") << "12X3456" << "123456" << true << "48,33,67,101";
        QTest::newRow("lower-case x never switches") << "xabc123456" << "123456" << true << "48,33,67,101";
        QTest::newRow("zeros") << "000000" << "000000" << true << "48,0,0,0";
        QTest::newRow("nines") << "999999" << "999999" << true << "48,153,153,153";
    }
    void passwordEntry()
    {
        QFETCH(QString, keys);
        QFETCH(QString, field);
        QFETCH(bool, accepted);
        QFETCH(QString, result);
        int stops = 0;
        PasswordDialog dialog(m, messages, [&] { ++stops; });
        QCOMPARE(stops, 1);
        QCOMPARE(dialog.objectName(), QStringLiteral("Passwort"));
        auto* entry = dialog.findChild<QLineEdit*>("Text1");
        for (QChar c : keys) {
            if (c == u'\b')
                QTest::keyClick(entry, Qt::Key_Backspace);
            else
                QTest::keyClicks(entry, QString(c));
        }
        QCOMPARE(entry->text(), field);
        dialog.findChild<QPushButton*>("OK")->click();
        QCOMPARE(m.PasswordAccepted, quint16(accepted ? 1 : 0));
        if (accepted) {
            QCOMPARE(Codes(m.TerminalPassword), result);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(messages.shown.isEmpty());
        } else {
            QCOMPARE(messages.shown.size(), 1);
            QCOMPARE(messages.shown[0].prompt, TableText(m, 171));
            QCOMPARE(messages.shown[0].title, TableText(m, 172));
        }
        QCOMPARE(stops, 1);   // never switched on again, never twice
    }

    void passwordCancelLeavesNothingAccepted()
    {
        PasswordDialog dialog(m, messages, {});
        auto* entry = dialog.findChild<QLineEdit*>("Text1");
        QTest::keyClicks(entry, "123456");
        dialog.findChild<QPushButton*>("abbrechen")->click();
        QCOMPARE(m.PasswordAccepted, quint16(0));
        QCOMPARE(m.TerminalPassword, QStringLiteral("12345"));   // the raw text before the last key
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.geometry().size(), QSize(244, 145));
    }

    void rowEditKeyFilter_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("field");
        QTest::newRow("nibble characters") << "0000" << ":;<=" << ":;<=";
        QTest::newRow("hash and >") << "0000" << "#>?9" << "#>?9";
        QTest::newRow("letters, blank, @ dropped") << "0000" << "a1 @b2/3" << "123";
        QTest::newRow("length kept") << "00" << "123456" << "12";
    }
    void rowEditKeyFilter()
    {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, field);
        m.CurrentRow = 7;
        m.ListData[7] = start;
        RowEditDialog dialog(m, messages);
        auto* data = dialog.findChild<QLineEdit*>("Text1");
        data->selectAll();
        QTest::keyClicks(data, keys);
        QCOMPARE(data->text(), field);
        QTest::keyClick(data, Qt::Key_Backspace);   // discarded: correct by overtyping
        QCOMPARE(data->text(), field);
    }

    void rowEditAcceptance()
    {
        m.CurrentRow = 3;
        m.ListData[3] = QStringLiteral("1234");
        m.ListComment[3] = QStringLiteral("alt");
        m.ChangeCount = 4;
        RowEditDialog dialog(m, messages);
        QCOMPARE(m.EditConfirmed, qint16(0));
        auto* data = dialog.findChild<QLineEdit*>("Text1");
        auto* comment = dialog.findChild<QLineEdit*>("Text2");
        QCOMPARE(data->maxLength(), 4);
        data->setCursorPosition(2);
        QTest::keyClick(data, Qt::Key_Delete);
        QCOMPARE(data->text(), QStringLiteral("124"));
        comment->setText(QString());
        dialog.findChild<QPushButton*>("Command2")->click();
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].prompt, TableText(m, 156));
        QCOMPARE(m.ListData[3], QStringLiteral("1234"));
        QCOMPARE(m.EditConfirmed, qint16(0));
        QTest::keyClick(data, Qt::Key_End);
        QTest::keyClicks(data, "9");
        QCOMPARE(data->text(), QStringLiteral("1249"));
        dialog.findChild<QPushButton*>("Command2")->click();
        QCOMPARE(m.ListData[3], QStringLiteral("1249"));
        QCOMPARE(m.ListComment[3], QString());
        QCOMPARE(m.EditConfirmed, qint16(1));
        QCOMPARE(m.ChangeCount, qint16(5));
    }

    void displayLineStore_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("stored");   // codes of the 16 slots
        QTest::addColumn<QString>("shown");
        auto codes = [](QList<int> v) {
            while (v.size() < 16)
                v << 32;
            QStringList out;
            for (int c : v)
                out << QString::number(c);
            return out.join(u',');
        };
        QTest::newRow("empty gives blanks") << 0 << "" << codes({}) << QString(16, u' ');
        QTest::newRow("cut to 16") << 15 << "ABCDEFGHIJKLMNOPQRST" << codes({65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80}) << "ABCDEFGHIJKLMNOP";
        QTest::newRow("padded") << 3 << "Hallo" << codes({72, 97, 108, 108, 111}) << "Hallo           ";
        QTest::newRow("umlauts") << 5 << "ÄÖÜäöüß" << codes({225, 239, 245, 225, 239, 245, 226}) << "ÄÖÜäöüß         ";
    }
    void displayLineStore()
    {
        QFETCH(int, line);
        QFETCH(QString, entry);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        m.DisplayLineIndex = quint16(line);
        m.ConfigImage.fill(0);
        QLineEdit box;
        box.setText(QStringLiteral("old line"));
        DisplayLineDialog dialog(m, &box);
        QCOMPARE(dialog.findChild<QLineEdit*>("Text1")->text(), QStringLiteral("old line"));
        dialog.findChild<QLineEdit*>("Text1")->setText(entry);
        dialog.findChild<QPushButton*>("Co2")->click();
        QStringList codes;
        for (int k = 0; k < 16; ++k)
            codes << QString::number(m.ConfigImage[16 + 16 * line + k]);
        QCOMPARE(codes.join(u','), stored);
        QCOMPARE(box.text(), shown);
        const int before = 16 + 16 * line - 1;
        const int after = 16 + 16 * line + 16;
        if (line > 0)
            QCOMPARE(m.ConfigImage[before], qint16(0));
        if (line < 15)
            QCOMPARE(m.ConfigImage[after], qint16(0));
        QCOMPARE(m.ChangeCount, qint16(1));
        QCOMPARE(box.palette().color(QPalette::Text), QColor(0, 8, 0));
    }

    void displayLineCloseResetsColourAndStoresNothing_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel") << false;
        QTest::newRow("close box") << true;
    }
    void displayLineCloseResetsColourAndStoresNothing()
    {
        QFETCH(bool, closeBox);
        QLineEdit box;
        QPalette red = box.palette();
        red.setColor(QPalette::Text, Qt::red);
        box.setPalette(red);
        box.setText(QStringLiteral("unverändert"));
        m.DisplayLineIndex = 2;
        DisplayLineDialog dialog(m, &box);
        dialog.findChild<QLineEdit*>("Text1")->setText(QStringLiteral("neu"));
        if (closeBox) {
            dialog.show();
            dialog.close();
        } else {
            dialog.findChild<QPushButton*>("Co1")->click();
        }
        QCOMPARE(box.text(), QStringLiteral("unverändert"));
        QVERIFY(std::all_of(m.ConfigImage.begin(), m.ConfigImage.end(), [](qint16 v) { return v == 0; }));
        QCOMPARE(m.ChangeCount, qint16(0));
        QCOMPARE(box.palette().color(QPalette::Text), QColor(0, 8, 0));
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
