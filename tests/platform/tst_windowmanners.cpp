// The toolkit's own windows in the program's language and the manners of
// every window: real message boxes through their own modal loop.
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
    QTimer poll;
    int visibleFor = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || ++visibleFor < 3)
            return;
        poll.stop();
        for (QAbstractButton* b : box->findChild<QDialogButtonBox*>()->buttons())
            seen.buttons << b->text().remove(u'&');
        seen.centre = box->frameGeometry().center();
        box->reject();
    });
    poll.start(10);
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
};

QTEST_MAIN(WindowMannersTest)
#include "tst_windowmanners.moc"
