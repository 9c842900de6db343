#include "texts/catalogue.h"
#include "texts/textids.h"

#include <QDirIterator>
#include <QRegularExpression>
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
            QVERIFY2(!CatalogueText(TextNumber(number), offset).isEmpty(), qPrintable(QString::number(number + offset)));
        QCOMPARE(CatalogueText(TextNumber(number), 1000), english);
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

    // Program code looks texts up by name. A look-up with a number does not
    // compile; what is left to find is a number made into a text by hand.
    void programCodeNamesItsTexts_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("TableText, SequenceText, PortFailedMessage")
            << R"(\b(TableText|SequenceText|PortFailedMessage)\s*\([^,()]*,\s*\d)";
        QTest::newRow("CatalogueText, ChangeText, a report source's Text")
            << R"(\b(CatalogueText|ChangeText|Text)\s*\(\s*\d)";
        QTest::newRow("a TextNumber made of a number") << R"(\bTextNumber\s*[({]\s*\d)";
    }
    void programCodeNamesItsTexts()
    {
        QFETCH(QString, pattern);
        const QRegularExpression lookUp(pattern);
        const QDir root(qEnvironmentVariable("VARDELO_SOURCE_DIR"));
        QVERIFY2(root.exists(QStringLiteral("texts/textids.h")), qPrintable(root.path()));
        QStringList found;
        int files = 0;
        for (const char* folder : {"app", "cli", "comm", "config", "editor", "platform", "report", "texts"}) {
            QDirIterator it(root.filePath(QLatin1String(folder)), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                            QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                if (path.endsWith(QStringLiteral("texts/textids.h")))
                    continue;   // where the numbers are named
                QFile file(path);
                QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
                ++files;
                const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
                for (int i = 0; i < lines.size(); ++i)
                    if (lines[i].contains(lookUp))
                        found << root.relativeFilePath(path) + u':' + QString::number(i + 1) + u' ' + lines[i].trimmed();
            }
        }
        QVERIFY(files > 100);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TextIdsTest)
#include "tst_textids.moc"
