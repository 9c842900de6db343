// The editor as the operator works it with keys, through the real modal loops
// of its questions and dialogs: the save question, a refused data length, the
// tab order of the basic settings, and where the dialogs open.
#include "texts/catalogue.h"
#include "app/ui/languagewindow.h"
#include "common/editorfixture.h"
#include "common/fakes.h"
#include "common/filebytes.h"
#include "common/modalscript.h"
#include "config/configfiles.h"
#include "editor/editorwindow.h"
#include "platform/ui/gridwidget.h"
#include "platform/ui/qtmessages.h"
#include "platform/ui/windowmanners.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QTabWidget>
#include <QtTest>

namespace {
constexpr int AllLists = 0x04 | 0x10 | 0x40;   // magnetic-card signal, evaluation, block lists

QString FocusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}
} // namespace

class EditorKeysTest : public QObject, EditorFixture {
    Q_OBJECT
    QtMessages realMessages;

private slots:
    void initTestCase() { WindowManners::Install(); }

    void init() { Reset(); }

    // Closing the editor with changes asks once. Escape and the question's
    // close button go back to the editor with the changes; Yes saves and
    // closes, No closes without saving.
    void closeQuestion_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Escape returns to the editor") << "Escape" << false << false;
        QTest::newRow("the close button returns to the editor") << "close" << false << false;
        QTest::newRow("Return is Yes: saved and closed") << "Return" << true << true;
        QTest::newRow("Alt+N is No: closed, not saved") << "Alt+N" << true << false;
    }
    void closeQuestion()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        messageBoxes = &realMessages;
        QVERIFY(Open());
        const QByteArray before = Bytes(m.CurrentConfigFile);
        QTest::mouseClick(Child<QAbstractButton>(QStringLiteral("O1(0)")), Qt::LeftButton);
        QCOMPARE(m.ChangeCount, qint16(1));
        ModalScript script;
        QStringList asked;
        script.Then<QMessageBox>([&](QMessageBox& box) {
            asked << box.text();
            if (answer == "close")
                box.close();
            else if (answer == "Alt+N")
                ModalScript::Key(Qt::Key_N, Qt::AltModifier);
            else
                ModalScript::Key(answer == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
        });
        ModalScript::Key(Qt::Key_Escape);   // the operator closes the editor
        VERIFY_MODALS_DONE(script);
        QCOMPARE(asked, QStringList{TableText(program, Text::AskToSave)});
        QCOMPARE(e->isVisible(), !closes);
        QCOMPARE(Bytes(m.CurrentConfigFile) != before, saved);
        QCOMPARE(m.ChangeCount, qint16(saved ? 0 : 1));
        QCOMPARE(m.ConfigImage[1] & 0x01, 1);   // the edit is still in the image
    }

    // A data length out of range is refused with a message naming the limit;
    // the box shows its value before and no card is lost. (The English
    // caption of track 3/1 says "max 26".)
    void dataLengthRefused_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("keys");   // "" : Delete
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("refusal");
        const auto refusal = [](int language, int upper, int kept) {
            return CatalogueText(Text::DataLengthRefused, language).arg(upper).arg(kept);
        };
        QTest::newRow("track 3/1: 26 in English") << "Text3" << 1000 << "26" << "24" << refusal(1000, 24, 24);
        QTest::newRow("track 3/1: 25") << "Text3" << 0 << "25" << "24" << refusal(0, 24, 24);
        QTest::newRow("track 2: 9") << "Text2" << 0 << "9" << "8" << refusal(0, 8, 8);
        QTest::newRow("track 2: 0") << "Text2" << 2000 << "0" << "8" << refusal(2000, 8, 8);
        QTest::newRow("track 2: emptied") << "Text2" << 3000 << "" << "8" << refusal(3000, 8, 8);
        QTest::newRow("track 3/1: 20 is taken") << "Text3" << 0 << "20" << "20" << "";
    }
    void dataLengthRefused()
    {
        QFETCH(QString, box);
        QFETCH(int, language);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QString, refusal);
        messageBoxes = &realMessages;
        QVERIFY(Open({}, language));
        const int list = box == "Text2" ? 1 : 2;
        const QString firstCard = e->ListGrid(list)->TextAt(2 * 3);
        const auto image = m.ConfigImage;
        QStringList prompts;
        ModalScript script;
        const auto answer = [&](QMessageBox& shownBox) {
            prompts << shownBox.text();
            ModalScript::Key(Qt::Key_Return);
        };
        script.Then<QMessageBox>(answer);   // entering: card data may be lost
        if (!refusal.isEmpty())
            script.Then<QMessageBox>(answer);
        QTest::mouseClick(Child<QLineEdit>(box), Qt::LeftButton);
        QCoreApplication::processEvents();   // the box selects its text
        if (keys.isEmpty())
            ModalScript::Key(Qt::Key_Delete);
        else
            ModalScript::Type(keys);
        ModalScript::Key(Qt::Key_Return);   // commits the box
        VERIFY_MODALS_DONE(script);
        QStringList expected{TableText(program, Text::CardDataLostWhenChanging)};
        if (!refusal.isEmpty())
            expected << refusal;
        QCOMPARE(prompts, expected);
        QCOMPARE(Child<QLineEdit>(box)->text(), shown);
        if (refusal.isEmpty()) {
            QCOMPARE(m.ConfigImage[4], qint16(10));
            QCOMPARE(m.ListComment[3], ResetCommentText);
        } else {
            QVERIFY(m.ConfigImage == image);
            QCOMPARE(e->ListGrid(list)->TextAt(2 * 3), firstCard);
            QVERIFY(m.ListComment[3] != ResetCommentText);
        }
        QVERIFY(e->isVisible());
    }

    // Tab goes down each column of the basic settings, then on to the next
    // column; into a yes/no pair it lands on the selected button. The
    // password field opens its dialog and passes the focus on.
    void tabOrder_data()
    {
        QTest::addColumn<int>("features");
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("stops");
        QTest::newRow("down the columns from the door opening time")
            << AllLists << "Text1" << int(Qt::Key_Tab)
            << QStringList{"O2(0)", "O2(1)", "O2(10)", "Text4>O2(3)", "O1(2)", "O2(5)", "Op3", "Op5", "O2(7)",
                           "O1(4)", "Op1", "Text2", "Text3"};
        QTest::newRow("selected yes buttons") << (AllLists | 0x01 | 0x02 | 0x80) << "Text1" << int(Qt::Key_Tab)
                                              << QStringList{"O1(0)", "O1(1)", "O2(10)"};
        QTest::newRow("Backtab up the columns") << (AllLists & ~0x40) << "Text3" << int(Qt::Key_Backtab)
                                                << QStringList{"Text2", "Op2", "O1(4)", "O2(7)", "Op5", "Op3", "O2(5)",
                                                               "O1(2)", "O2(3)", "Text4>O2(10)", "O2(1)"};
    }
    void tabOrder()
    {
        QFETCH(int, features);
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(QStringList, stops);
        QVERIFY(Open({features}));
        int passwordDialogs = 0;
        e->ShowModal = [&](QDialog& d) {
            ++passwordDialogs;
            d.reject();
        };
        Child(start)->setFocus(Qt::MouseFocusReason);
        QStringList seen;
        for (int i = 0; i < stops.size(); ++i) {
            ModalScript::Key(key);
            QString stop = FocusName();
            QCoreApplication::processEvents();   // a dialog the focus opens
            if (FocusName() != stop)
                stop += u'>' + FocusName();
            seen << stop;
        }
        QCOMPARE(seen, stops);
        QCOMPARE(passwordDialogs, int(stops.filter(QStringLiteral("Text4")).size()));
    }

    // The row dialog, the password dialog and the language window open
    // centred over the window they belong to.
    void dialogsOpenCentred_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("row dialog of a right-hand grid") << "Datensp";
        QTest::newRow("password dialog of the editor") << "Passwort";
        QTest::newRow("language window") << "start";
    }
    void dialogsOpenCentred()
    {
        QFETCH(QString, dialog);
        ModalScript script;
        QString opened;
        QPoint centre, ownerCentre;
        script.Then([&](QWidget& d) {
            opened = d.objectName();
            centre = d.frameGeometry().center();
            ownerCentre = d.parentWidget()->window()->frameGeometry().center();
            ModalScript::Key(Qt::Key_Escape);
        });
        QMainWindow main;
        if (dialog == "start") {
            main.setGeometry(40, 60, 600, 480);
            main.show();
            QVERIFY(QTest::qWaitForWindowExposed(&main));
            LanguageWindow window(program, dir.filePath(QStringLiteral("VARDELO.ini")), &main);
            window.exec();
        } else {
            QVERIFY(Open());
            e->move(0, 25);   // the editor fills the test screen (800 by 600)
            if (dialog == "Datensp") {
                Tabs()->setCurrentIndex(1);
                GridWidget* grid = e->ListGrid(2);
                grid->setFocus(Qt::TabFocusReason);
                grid->SetRow(3);
                ModalScript::Key(Qt::Key_Return);
            } else {
                QTest::mouseClick(Child(QStringLiteral("Text4")), Qt::LeftButton);
                QCoreApplication::processEvents();   // the field opens its dialog
            }
        }
        VERIFY_MODALS_DONE(script);
        QCOMPARE(opened, dialog);
        QVERIFY2((centre - ownerCentre).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("centre %1,%2, its window's %3,%4")
                                .arg(centre.x()).arg(centre.y()).arg(ownerCentre.x()).arg(ownerCentre.y())));
    }
};

QTEST_MAIN(EditorKeysTest)
#include "tst_editorkeys.moc"
