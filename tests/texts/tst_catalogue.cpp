#include "texts/catalogue.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

QStringList PlaceHolders(const QString& text)
{
    QStringList found;
    for (const QRegularExpressionMatch& m : QRegularExpression(QStringLiteral("%[1-9]")).globalMatch(text))
        found << m.captured();
    found.removeDuplicates();
    found.sort();
    return found;
}

} // namespace

class CatalogueTest : public QObject {
    Q_OBJECT
private slots:
    // Every ID of the windows' range, and every other text there is, stands
    // in all four languages with the same place holders as the German.
    void everyIdInEveryLanguage()
    {
        int texts = 0;
        for (int id = 1; id < 1000; ++id) {
            QStringList four;
            for (int offset : {0, 1000, 2000, 3000})
                four << CatalogueText(TextNumber(id), offset);
            if (four.join(QString()).isEmpty() && (id < FirstTextId.value || id > LastTextId.value))
                continue;
            ++texts;
            for (const QString& text : four)
                QVERIFY2(!text.isEmpty() && PlaceHolders(text) == PlaceHolders(four[0]), qPrintable(QString::number(id) + u' ' + text));
        }
        QVERIFY(texts > 300);
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
