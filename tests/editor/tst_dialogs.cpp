#include "texts/catalogue.h"
#include "config/configimage.h"
#include "common/fakes.h"
#include "editor/displayline.h"
#include "editor/password.h"
#include "editor/rowedit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class DialogsTest : public QObject {
    Q_OBJECT
    ProgramState program;
    Configuration m;
    FakeMessages messages;

    QString Shown() const { return messages.shown.size() == 1 ? messages.shown[0].prompt : QString(); }

private slots:
    void init()
    {
        m = Configuration();
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
        PasswordDialog dialog(program, messages, [&] { ++stops; });
        auto* entry = dialog.findChild<QLineEdit*>("Text1");
        QTest::keyClicks(entry, keys);
        QCOMPARE(entry->text(), field);
        dialog.findChild<QPushButton*>(button)->click();
        QList<int> codes;
        for (QChar c : dialog.Result().TerminalPassword)
            codes << c.unicode();
        QCOMPARE(dialog.Result().PasswordAccepted ? codes : QList<int>(), stored);
        QCOMPARE(Shown(), stored.isEmpty() && button == "OK" ? TableText(program, Text::PasswordTooShort) : QString());
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
        RowEditDialog dialog(program, m, messages);
        auto* data = dialog.findChild<QLineEdit*>("Text1");
        data->selectAll();
        QTest::keyClicks(data, keys);
        QCOMPARE(data->text(), field);
        dialog.findChild<QPushButton*>("Command2")->click();
        QCOMPARE(m.ListData[7], accepted ? field : start);
        QCOMPARE(QList<int>({m.EditConfirmed, m.ChangeCount}), QList<int>({accepted, accepted}));
        QCOMPARE(Shown(), accepted ? QString() : TableText(program, Text::DataStringTooShort));
    }

    // The entry holds what a display line holds. A character the terminal's
    // files cannot store is refused on OK with a message naming it (whole,
    // control characters escaped); nothing is stored and the dialog stays.
    void displayLine_data()
    {
        QTest::addColumn<QString>("typed");    // key by key, any character
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("refused");  // named in the message; empty: stored
        QTest::newRow("20 typed, 16 fit") << "ABCDEFGHIJKLMNOPQRST" << "" << "ABCDEFGHIJKLMNOP" << "";
        QTest::newRow("18 pasted, 16 fit") << "" << "0123456789abcdefgh" << "0123456789abcdef" << "";
        QTest::newRow("euro sign and umlauts stored") << "5 € Tür Öl" << "" << "5 € Tür Öl" << "";
        QTest::newRow("greek letter refused") << "Ωmega Ω" << "" << "Ωmega Ω" << "Ω";
        QTest::newRow("beyond 16 bits, named whole") << "" << "ok \U0001F600" << "ok \U0001F600" << "\U0001F600";
        QTest::newRow("control characters escaped") << "" << "A\tB\x01" << "A\tB\x01" << "\\x09 \\x01";
    }
    void displayLine()
    {
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, field);
        QFETCH(QString, refused);
        const QString before = QStringLiteral("alt             ");
        QLineEdit lineBox(before);
        m.DisplayLineIndex = 3;
        EncodeDisplayLine(m, 3, before);
        const auto image = m.ConfigImage;
        DisplayLineDialog dialog(program, m, messages, &lineBox);
        auto* entry = dialog.findChild<QLineEdit*>("Text1");
        entry->selectAll();
        for (qsizetype i = 0; i < typed.size(); ++i) {
            const qsizetype length = typed.at(i).isHighSurrogate() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, entry, Qt::Key_unknown, typed.mid(i, length), Qt::NoModifier);
            i += length - 1;
        }
        entry->insert(pasted);
        QCOMPARE(entry->text(), field);
        dialog.findChild<QPushButton*>("Co2")->click();
        if (refused.isEmpty()) {
            QCOMPARE(lineBox.text(), field.leftJustified(16));
            auto stored = std::make_unique<Configuration>();
            EncodeDisplayLine(*stored, 3, field);
            QVERIFY(std::equal(&m.ConfigImage[64], &m.ConfigImage[80], &stored->ConfigImage[64]));
            QCOMPARE(int(m.ChangeCount), 1);
            QVERIFY(messages.shown.isEmpty());
        } else {
            QCOMPARE(Shown(), CatalogueText(Text::DisplayLineUnstorable, 0).arg(refused));
            QCOMPARE(lineBox.text(), before);
            QVERIFY(m.ConfigImage == image);
            QCOMPARE(int(m.ChangeCount), 0);
            QVERIFY(dialog.result() != QDialog::Accepted);
        }
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
            d = std::make_unique<RowEditDialog>(program, m, messages);
        else
            d = std::make_unique<DisplayLineDialog>(program, m, messages, &lineBox);
        d->findChild<QPushButton*>(dialog == "Datensp" ? "Command2" : "Co2")->click();
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QTEST(int(m.ChangeCount), "after");
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
