// The toolkit's own windows in the program's language and the manners of
// every window: real message boxes through their own modal loop.
#include "common/modalscript.h"
#include "platform/ui/qtmessages.h"
#include "platform/ui/toolkittexts.h"
#include "platform/ui/windowmanners.h"

#include <QtTest>
#include <QtWidgets>

namespace {

struct SeenBox {
    QStringList buttons;   // captions without their access-key marker, in button-box order
    QPoint centre;
};

// Shows a question through the program's message seam and, once the box is
// on screen and placed, notes what it shows and answers No.
SeenBox AskQuestion(Messages::Buttons buttons, QWidget* parent = nullptr)
{
    SeenBox seen;
    ModalScript script;   // fails the test when no box opens
    script.Then<QMessageBox>([&](QMessageBox& box) {
        for (QAbstractButton* b : box.findChild<QDialogButtonBox*>()->buttons())
            seen.buttons << b->text().remove(u'&');
        seen.centre = box.frameGeometry().center();
        box.reject();
    });
    QtMessages().Show(QStringLiteral("?"), QStringLiteral("title"), buttons, parent);
    return seen;
}

} // namespace

class WindowMannersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { WindowManners::Install(); }

    // Each language's buttons, and back to English after another language.
    void toolkitLanguage_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("yesNo");
        QTest::addColumn<QStringList>("okCancel");
        QTest::newRow("German") << 1000 << 0 << QStringList{"Ja", "Nein"} << QStringList{"OK", "Abbrechen"};
        QTest::newRow("Spanish") << 0 << 3000 << QStringList{"Sí", "No"} << QStringList{"Aceptar", "Cancelar"};
        QTest::newRow("French") << 3000 << 2000 << QStringList{"Oui", "Non"} << QStringList{"OK", "Annuler"};
        QTest::newRow("English after German") << 0 << 1000 << QStringList{"Yes", "No"} << QStringList{"OK", "Cancel"};
    }
    void toolkitLanguage()
    {
        QFETCH(int, before);
        QFETCH(int, language);
        ToolkitTexts texts;
        texts.Follow(before);
        QVERIFY2(texts.Follow(language), "Qt's translations are missing (package qt6-translations-l10n)");
        // The order of the buttons is the platform's; the words are the language's.
        QFETCH(QStringList, yesNo);
        QFETCH(QStringList, okCancel);
        QStringList shownYesNo = AskQuestion(Messages::Buttons::YesNo).buttons, shownOkCancel = AskQuestion(Messages::Buttons::OkCancel).buttons;
        for (QStringList* captions : {&yesNo, &okCancel, &shownYesNo, &shownOkCancel})
            captions->sort();
        QCOMPARE(shownYesNo, yesNo);
        QCOMPARE(shownOkCancel, okCancel);
    }

    // A window that cannot be resized shows no maximise button; one that
    // can keeps it.
    void maximiseButton_data()
    {
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<bool>("fixed");
        QTest::newRow("fixed dialog") << true << true;
        QTest::newRow("fixed window") << false << true;
        QTest::newRow("resizable window") << false << false;
    }
    void maximiseButton()
    {
        QFETCH(bool, dialog);
        QFETCH(bool, fixed);
        std::unique_ptr<QWidget> w(dialog ? new QDialog : new QWidget);
        if (fixed)
            w->setFixedSize(300, 200);
        else
            w->resize(300, 200);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const Qt::WindowFlags flags = w->windowHandle()->flags();
        QCOMPARE(bool(flags & Qt::WindowMaximizeButtonHint), !fixed);
        QVERIFY(!fixed || (flags & Qt::WindowCloseButtonHint && flags & Qt::WindowTitleHint));
        QCOMPARE(bool(flags & Qt::WindowMinimizeButtonHint), !dialog);
    }

    // A message box stands centred over its window, named or not: a message
    // of a running sequence names none.
    void messageBoxCentredOverItsWindow_data()
    {
        QTest::addColumn<bool>("named");
        QTest::newRow("parent named") << true;
        QTest::newRow("no parent named") << false;
    }
    void messageBoxCentredOverItsWindow()
    {
        QFETCH(bool, named);
        QMainWindow window;
        window.setGeometry(400, 300, 600, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const SeenBox seen = AskQuestion(Messages::Buttons::YesNo, named ? &window : nullptr);
        QVERIFY2((seen.centre - window.frameGeometry().center()).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("box centre %1,%2").arg(seen.centre.x()).arg(seen.centre.y())));
    }

    // Escape and the close button never stand for an answer a box offers
    // beside OK: a Yes/No question escaped is answered Cancel, not No.
    void escapedBoxes_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<bool>("closeButton");
        QTest::addColumn<int>("answer");
        using B = Messages::Buttons;
        using A = Messages::Answer;
        QTest::newRow("Yes/No, Escape") << int(B::YesNo) << false << int(A::Cancel);
        QTest::newRow("Yes/No, close button") << int(B::YesNo) << true << int(A::Cancel);
        QTest::newRow("OK/Cancel, Escape") << int(B::OkCancel) << false << int(A::Cancel);
        QTest::newRow("OK, close button") << int(B::Ok) << true << int(A::Ok);
    }
    void escapedBoxes()
    {
        QFETCH(int, buttons);
        QFETCH(bool, closeButton);
        ModalScript script;
        script.Then([&](QWidget& box) {
            if (closeButton)
                box.close();
            else
                ModalScript::Key(Qt::Key_Escape);
        });
        const auto answer = QtMessages().Show(QStringLiteral("?"), QStringLiteral("title"), Messages::Buttons(buttons));
        VERIFY_MODALS_DONE(script);
        QTEST(int(answer), "answer");
    }

    // A dialog of a fixed size with a parent and no place of its own stands
    // centred over the parent's window too; one the program placed (the
    // editor) keeps its place.
    void dialogCentredUnlessPlaced_data()
    {
        QTest::addColumn<bool>("placed");
        QTest::newRow("no place of its own") << false;
        QTest::newRow("placed by the program") << true;
    }
    void dialogCentredUnlessPlaced()
    {
        QFETCH(bool, placed);
        QMainWindow window;
        window.setGeometry(100, 80, 700, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QDialog dialog(&window);
        dialog.setFixedSize(300, 200);
        if (placed)
            dialog.move(20, 30);
        QPoint seen;
        ModalScript script;
        script.Then([&](QWidget&) {
            seen = placed ? dialog.pos() : dialog.frameGeometry().center();
            dialog.reject();
        });
        dialog.exec();
        VERIFY_MODALS_DONE(script);
        const QPoint expected = placed ? QPoint(20, 30) : window.frameGeometry().center();
        QVERIFY2((seen - expected).manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(seen.x()).arg(seen.y())));
    }
};

QTEST_MAIN(WindowMannersTest)
#include "tst_windowmanners.moc"
