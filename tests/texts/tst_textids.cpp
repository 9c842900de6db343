#include "texts/catalogue.h"
#include "texts/textids.h"

#include <QtTest>

#include <map>

namespace {

struct NamedText {
    const char* name;
    int number;
    const char* english;
};

#define VARDELO_TEXT_ROW(name, number, english) NamedText{#name, number, english},
const NamedText Named[] = {VARDELO_TEXTS(VARDELO_TEXT_ROW)};
#undef VARDELO_TEXT_ROW

} // namespace

class TextIdsTest : public QObject {
    Q_OBJECT
private slots:
    // Every name stands for a catalogue text in all four languages, and the
    // English text beside it is the catalogue's, blanks and all.
    void namedTextsAreTheCatalogues_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("english");
        for (const NamedText& text : Named)
            QTest::newRow(text.name) << text.number << QString::fromUtf8(text.english);
    }
    void namedTextsAreTheCatalogues()
    {
        QFETCH(int, number);
        QFETCH(QString, english);
        for (int offset : {0, 1000, 2000, 3000})
            QVERIFY2(!CatalogueText(number, offset).isEmpty(), qPrintable(QString::number(number + offset)));
        QCOMPARE(CatalogueText(number, 1000), english);
    }

    // Two names for one text would let the code say two things with one
    // line of the catalogue; none is meant.
    void noTwoNamesShareANumber()
    {
        std::map<int, QStringList> names;
        for (const NamedText& text : Named)
            names[text.number] << QString::fromLatin1(text.name);
        QStringList shared;
        for (const auto& [number, those] : names)
            if (those.size() > 1)
                shared << QString::number(number) + u' ' + those.join(u',');
        QVERIFY2(shared.isEmpty(), qPrintable(shared.join(QStringLiteral("; "))));
    }
};

QTEST_GUILESS_MAIN(TextIdsTest)
#include "tst_textids.moc"
