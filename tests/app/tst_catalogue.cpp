#include "app/catalogue.h"

#include <QtTest>

class CatalogueTest : public QObject {
    Q_OBJECT
private slots:
    void everyIdInEveryLanguage()
    {
        for (int offset : {0, 1000, 2000, 3000})
            for (int id = FirstTextId; id <= LastTextId; ++id)
                QVERIFY2(!CatalogueText(id, offset).isEmpty(), qPrintable(QString::number(id + offset)));
    }

    void exactTexts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("text");
        QTest::newRow("umlaut") << 101 << 0 << QStringLiteral("Sprache wählen");
        QTest::newRow("leading blanks") << 142 << 0 << QStringLiteral("   Achtung!");
        QTest::newRow("spanish tab") << 211 << 3000 << QStringLiteral("autorizaciones pista 2:\t");
        QTest::newRow("backslashes") << 140 << 2000 << QStringLiteral("c:\\programmes\\vardelo");
        QTest::newRow("unbalanced parenthesis") << 243 << 1000 << QStringLiteral("VARDELO files|*.QLV|all files)|*.*");
        QTest::newRow("trailing blank") << 109 << 2000 << QStringLiteral("Décrire ");
        QTest::newRow("grid header") << 258 << 0
                                     << QStringLiteral("Berechtigungen Spur 2            |Begleittext                                    ");
        QTest::newRow("same in all") << 273 << 3000 << QStringLiteral("com8:");
    }
    void exactTexts()
    {
        QFETCH(int, id);
        QFETCH(int, offset);
        QFETCH(QString, text);
        QCOMPARE(CatalogueText(id, offset), text);
    }

    void unknownIdsAndLanguagesGiveNothing()
    {
        QVERIFY(CatalogueText(100, 0).isEmpty());
        QVERIFY(CatalogueText(274, 0).isEmpty());
        QVERIFY(CatalogueText(101, 500).isEmpty());
        QVERIFY(CatalogueText(101, 4000).isEmpty());
    }

    void windowsLoadOnlyTheirRange()
    {
        Vardelomod m;
        m.LanguageOffset = 1000;
        LoadWindowTexts(m, TextWindow::Interface);
        QCOMPARE(TableText(m, 161), CatalogueText(161, 1000));
        QCOMPARE(TableText(m, 273), QStringLiteral("com8:"));
        QVERIFY(TableText(m, 160).isEmpty());
        QVERIFY(TableText(m, 167).isEmpty());
        QVERIFY(TableText(m, 267).isEmpty());

        // A window shows the language that was active when it was last loaded.
        LoadWindowTexts(m, TextWindow::Main);
        m.LanguageOffset = 0;
        LoadWindowTexts(m, TextWindow::Start);
        QCOMPARE(TableText(m, 101), QStringLiteral("Sprache wählen"));
        QCOMPARE(TableText(m, 126), QStringLiteral("No VARDELO file selected"));
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
