#include "texts/catalogue.h"

#include <QtTest>

class CatalogueTest : public QObject {
    Q_OBJECT
private slots:
    void everyIdInEveryLanguage()
    {
        for (int offset : {0, 1000, 2000, 3000})
            for (TextNumber id = FirstTextId; id <= LastTextId; id = id + 1)
                QVERIFY2(!CatalogueText(id, offset).isEmpty(), qPrintable(QString::number(id.value + offset)));
    }

    void exactTexts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("text");
        QTest::newRow("leading blanks") << 142 << 0 << QStringLiteral("   Achtung!");
        QTest::newRow("spanish tab") << 211 << 3000 << QStringLiteral("autorizaciones pista 2:\t");
        QTest::newRow("backslashes") << 140 << 2000 << QStringLiteral("c:\\programmes\\vardelo");
        QTest::newRow("trailing blank") << 109 << 2000 << QStringLiteral("Décrire ");
        QTest::newRow("grid header") << 258 << 0 << QStringLiteral("Berechtigungen Spur 2            |Begleittext                                    ");
        QTest::newRow("below the first ID") << 100 << 0 << QString();
        QTest::newRow("no such language") << 101 << 500 << QString();
    }
    void exactTexts()
    {
        QFETCH(int, id);
        QFETCH(int, offset);
        QTEST(CatalogueText(TextNumber(id), offset), "text");
    }

    void windowsLoadOnlyTheirRange()
    {
        ProgramState program;
        program.LanguageOffset = 1000;
        LoadWindowTexts(program, TextWindow::Interface);
        QCOMPARE(TableText(program, Text::InterfaceTitle), CatalogueText(Text::InterfaceTitle, 1000));
        QCOMPARE(TableText(program, Text::Com8), QStringLiteral("com8:"));
        QVERIFY(TableText(program, TextNumber(160)).isEmpty() && TableText(program, TextNumber(167)).isEmpty()
                && TableText(program, TextNumber(267)).isEmpty());

        // A window shows the language that was active when it was last loaded.
        LoadWindowTexts(program, TextWindow::Main);
        program.LanguageOffset = 0;
        LoadWindowTexts(program, TextWindow::Start);
        QCOMPARE(TableText(program, Text::SelectLanguage), QStringLiteral("Sprache wählen"));
        QCOMPARE(TableText(program, Text::NoFileSelected), QStringLiteral("No VARDELO file selected"));
    }
};

QTEST_GUILESS_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
