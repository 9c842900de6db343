#include "texts/cardlisttexts.h"
#include "common/democonfig.h"
#include "common/spreadsheetedit.h"
#include "config/cardlists.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "config/csvtable.h"

#include <QtTest>
#include <memory>

namespace {

constexpr int English = 1000;

struct Setup {
    bool blockLists = true;
    int track2Digits = 8;
};

// The demonstration configuration (all four lists, 8 and 12 digits), or a
// variant of its settings laid out afresh with two cards in list 1.
std::unique_ptr<Configuration> Demo(const Setup& setup = {})
{
    auto m = std::make_unique<Configuration>();
    BuildDemoConfiguration(*m);
    if (!setup.blockLists || setup.track2Digits != 8) {
        SetFlag(*m, Slot::FeatureFlags, Feature::BlockListsOn, setup.blockLists);
        EncodeDataLength(*m, TrackNo::Track2, setup.track2Digits);
        LayOutLists(*m);
    }
    DecodeLists(*m);
    return m;
}

int FirstRow(const Configuration& m, int list)
{
    for (const ListRows& rows : ShownListRows(m))
        if (rows.list == list)
            return rows.firstRow;
    return -1;
}

// The reasons of a refused import, one line each, in English.
QStringList Reasons(const CardListImport& import)
{
    QStringList lines = CardListImportMessage(import, QStringLiteral("in.csv"), English).split(u'\n');
    lines.removeFirst();   // what the message is about
    lines.removeFirst();   // a blank line
    return lines;
}

// "list: card/comment, ..." for every list an import names.
QString Dump(const CardListImport& import)
{
    QStringList lists;
    for (int list = 1; list <= 4; ++list) {
        if (!import.lists[list])
            continue;
        QStringList cards;
        for (const ImportedCard& card : *import.lists[list])
            cards << card.data + u'/' + card.comment;
        lists << QString::number(list) + QStringLiteral(": ") + cards.join(QStringLiteral(", "));
    }
    return lists.join(QStringLiteral(" | "));
}

QByteArray ManyCards(int list, int count)
{
    QByteArray csv = "list,card\n";
    for (int k = 0; k < count; ++k)
        csv += QByteArray::number(list) + ",6720009" + QByteArray::number(10000 + k) + "\n";
    return csv;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class CardListsTest : public QObject {
    Q_OBJECT
private slots:
    // Every reason a row is refused for, by its line, several on one line
    // together; nothing of a refused file is taken.
    void badRows_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("reasons");
        const QByteArray head = "list,card,comment\n";
        const Setup demo;
        QTest::newRow("too few columns") << demo << head + "1,10000417\n"
                                         << QStringList{"line 2: too few columns: 3 expected, 2 found"};
        QTest::newRow("unknown list") << demo << head + "5,10000417,x\nPrivileges,10000417,x\n"
                                      << QStringList{"line 2: unknown list \"5\" (1 to 4)",
                                                     "line 3: unknown list \"Privileges\" (1 to 4)"};
        QTest::newRow("list not in use") << Setup{false, 8} << head + "3,10000417,x\n"
                                         << QStringList{"line 2: list 3 is not in use with the current basic settings"};
        QTest::newRow("characters outside the card alphabet")
            << demo << head + "1,1234567a,x\n2,6.72E+11,x\n"
            << QStringList{"line 2: card \"1234567a\" holds \"a\"; allowed are 0-9 : ; < = > ? #",
                           "line 3: card \"6.72E+11\" holds \".\"; allowed are 0-9 : ; < = > ? #"};
        QTest::newRow("leading zeros dropped, too long")
            << demo << head + "1,417,x\n1,123456789,x\n2,10000417,x\n"
            << QStringList{"line 2: 8 digits expected, 3 found", "line 3: 8 digits expected, 9 found",
                           "line 4: 12 digits expected, 8 found"};
        QTest::newRow("odd length: 7 digits, or 8 with the filler, not with an eighth digit")
            << Setup{true, 7} << head + "1,123456,x\n1,1234567,x\n1,1234567#,x\n1,12345678,x\n"
            << QStringList{"line 2: 7 digits expected, 6 found",
                           "line 4: card 1234567# is already in list 1 (line 3)", "line 5: 7 digits expected, 8 found"};
        QTest::newRow("only zeros") << demo << head + "3,00000000,x\n"
                                    << QStringList{"line 2: card \"00000000\" is all zeros: that is an empty place, not a card"};
        QTest::newRow("same card twice in one list")
            << demo << head + "1,12345678,a\n3,12345678,b\n1,12345678,c\n1,1234567>,d\n1,1234567#,e\n"
            << QStringList{"line 4: card 12345678 is already in list 1 (line 2)",
                           "line 6: card 1234567# is already in list 1 (line 5)"};
        auto m = Demo();
        const int rows4 = m->ListCount4;
        QTest::newRow("more cards than the list has rows")
            << demo << ManyCards(4, rows4 + 2)
            << QStringList{QStringLiteral("line %1: more cards than list 4 has rows (%2)").arg(rows4 + 2).arg(rows4),
                           QStringLiteral("line %1: more cards than list 4 has rows (%2)").arg(rows4 + 3).arg(rows4)};
        QTest::newRow("comment the comments file cannot hold")
            << demo << head + "1,12345678,Zutritt \u2713\n1,123,\"\u65e5\"\n"
            << QStringList{"line 2: the comment holds \"\u2713\", which the comments file cannot store",
                           "line 3: 8 digits expected, 3 found; the comment holds \"\u65e5\", which the comments file cannot store"};
        QTest::newRow("broken quotes, later lines still checked")
            << demo << head + "1,12345678,\"Hans \"Muster\"\n1,12x45678,y\n1,12345679,\"open\n1,1,x\n"
            << QStringList{"line 2: the quotes do not follow the CSV rules",
                           "line 3: card \"12x45678\" holds \"x\"; allowed are 0-9 : ; < = > ? #",
                           "line 4: the quotes do not follow the CSV rules"};
        QTest::newRow("lines counted across blank lines and line breaks in a field")
            << demo << head + "1,12345678,\"two\r\nlines\"\r\n\r\n1,1234,x\r\n"
            << QStringList{"line 5: 8 digits expected, 4 found"};
        QTest::newRow("control characters escaped, a character beyond 16 bits whole")
            << demo
            << head + "\x1B[2J,10000417,x\n1,\x1B[31m123,x\n1,1234\xF0\x9F\x94\x91" "5,x\n1,12345678,\xF0\x9F\x94\x91\n"
                      "1,1\xC2\x9B" "3456789,x\n"
            << QStringList{"line 2: unknown list \"\\x1b[2J\" (1 to 4)",
                           "line 3: card \"\\x1b[31m123\" holds \"\\x1b\"; allowed are 0-9 : ; < = > ? #",
                           "line 4: card \"1234\U0001F511" "5\" holds \"\U0001F511\"; allowed are 0-9 : ; < = > ? #",
                           "line 5: the comment holds \"\U0001F511\", which the comments file cannot store",
                           "line 6: card \"1\\x9b3456789\" holds \"\\x9b\"; allowed are 0-9 : ; < = > ? #"};
        const QByteArray ones(999, '1');
        QTest::newRow("a long card cut before a character beyond 16 bits, not within it")
            << demo << head + "1," + ones + "\xF0\x9F\x94\x91,x\n"
            << QStringList{"line 2: card \"" + QString(ones) + "...\" holds \"\U0001F511\"; allowed are 0-9 : ; < = > ? #"};
        QStringList first20;
        QByteArray many = head;
        for (int k = 0; k < 25; ++k) {
            many += "1,1,x\n";
            if (k < 20)
                first20 << QStringLiteral("line %1: 8 digits expected, 1 found").arg(k + 2);
        }
        QTest::newRow("the first 20 lines, then how many more") << demo << many << (first20 << "... and 5 more lines");
    }
    void badRows()
    {
        QFETCH(Setup, setup);
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, reasons);
        auto m = Demo(setup);
        const CardListImport import = ReadCardListsCsv(csv, *m);
        QCOMPARE(import.failure, CardListImport::Failure::BadRows);
        QCOMPARE(Reasons(import), reasons);
        const ConfigBlock before = ImageBlock(*m);
        ApplyCardListImport(*m, import);
        QCOMPARE(ImageBlock(*m), before);
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("message");
        const QString notText = "The file is neither UTF-8 nor Windows-1252 text and is not imported: in.csv";
        const QString noHeader = "The header line does not name the columns \"list\" and \"card\"; nothing was imported: in.csv";
        const QString noCards = "The file holds no cards; nothing was changed: in.csv";
        const QString utf16 = "list,card\n1,10000417\n";
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2)
                                << notText;
        const QString mixed = "The file is UTF-8 (by its byte order mark or other lines), but line %1 is not; nothing was imported: in.csv";
        const QString undefined = "Line %1 holds a byte that is neither UTF-8 nor Windows-1252; nothing was imported: in.csv";
        QTest::newRow("one Latin-1 byte in a UTF-8 file")
            << QByteArray("list,card,comment\n1,10000417,M\xC3\xBCller\n1,10000418,J\xFCrgen\n1,10000422,\xC3\xBC\n") << mixed.arg(3);
        QTest::newRow("UTF-8 and Latin-1 on one line") << QByteArray("list,card,comment\n1,10000417,M\xC3\xBCller J\xFCrgen\n")
                                                       << mixed.arg(2);
        QTest::newRow("UTF-8 after the Latin-1 byte")
            << QByteArray("list;card;comment\r\n1;10000417;\"a\r\nb\"\r\n\r\n1;10000418;\xE4\r1;10000419;\xE2\x80\x93\r\n") << mixed.arg(5);
        QTest::newRow("byte order mark, then no UTF-8") << Utf8ByteOrderMark + "list,card,comment\n1,10000417,M\xFCller\n"
                                                        << mixed.arg(2);
        QTest::newRow("UTF-8 cut off at the end") << QByteArray("list,card,comment\n1,10000417,\xC3\xBC\xE2\x80") << mixed.arg(2);
        QTest::newRow("an encoded surrogate is no UTF-8") << QByteArray("list,card\n1,1\xED\xA0\x80\n1,\xC3\xBC\n") << mixed.arg(2);
        QTest::newRow("an overlong form is no UTF-8") << QByteArray("list,card\n1,\xC3\xBC\n1,\xC0\xAF\n") << mixed.arg(3);
        QTest::newRow("byte Windows-1252 leaves undefined")
            << QByteArray("list,card,comment\n1,10000417,M\xFCller\n1,10000418,M\x81ller\n1,10000419,\x9D\n") << undefined.arg(3);
        QTest::newRow("empty file") << QByteArray() << noHeader;
        QTest::newRow("no card column") << QByteArray("list,number\n1,10000417\n") << noHeader;
        QTest::newRow("header with broken quotes") << QByteArray("\"list,card\n1,10000417\n") << noHeader;
        QTest::newRow("header only") << QByteArray("list;card;comment\r\n") << noCards;
        QTest::newRow("empty rows only") << QByteArray("list;card;comment\r\n;;\r\n  \r\n") << noCards;
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, message);
        auto m = Demo();
        const CardListImport import = ReadCardListsCsv(csv, *m);
        QVERIFY(!import);
        const QString shown = CardListImportMessage(import, QStringLiteral("in.csv"), English);
        QVERIFY2(shown.endsWith(message), qPrintable(shown));
    }

    // What spreadsheets write: either separator, with or without the byte
    // order mark, CR LF or LF, Windows-1252, quoted fields, any column order.
    void acceptedForms_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("lists");
        QTest::newRow("commas, LF") << QByteArray("list,list_name,position,card,comment\n1,x,7,12345678,Hans\n")
                                    << "1: 12345678/Hans";
        QTest::newRow("semicolons, CR LF, byte order mark")
            << Utf8ByteOrderMark + "list;card;comment\r\n3;12345678;M\xC3\xBCller, Hans\r\n1;87654321;\r\n"
            << "1: 87654321/---------- | 3: 12345678/M\u00fcller, Hans";
        QTest::newRow("Windows-1252") << QByteArray("list;card;comment\r\n1;12345678;M\xFCller \x80\r\n")
                                      << "1: 12345678/M\u00fcller \u20ac";
        QTest::newRow("Windows-1252, letters and quotes in a row")
            << QByteArray("list;card;comment\r\n1;12345678;\xC4\xD6\xDC \x84Gr\xFC\xDF" "e\x93 \xE0\xE9\r\n")
            << "1: 12345678/\u00c4\u00d6\u00dc \u201eGr\u00fc\u00dfe\u201c \u00e0\u00e9";
        QTest::newRow("other column order, capitals, an unknown column")
            << QByteArray(" Card ,Extra,LIST\n672000104799,a,2\n") << "2: 672000104799/----------";
        QTest::newRow("quoted fields") << QByteArray("list,card,comment\n\"1\",\"1234567>\",\"A, \"\"B\"\"\nC \"\n")
                                       << "1: 1234567#/A, \"B\" C ";
        QTest::newRow("blank lines before the header") << QByteArray("\r\n\r\nlist;card\r\n2;672000104799\r\n")
                                                      << "2: 672000104799/----------";
        QTest::newRow("blanks around list and card") << QByteArray("list;card\n 4 ; 672000104711 \n")
                                                     << "4: 672000104711/----------";
        QTest::newRow("empty rows between") << QByteArray("list,card\n,\n1,12345678\n\n , \n1,12345679\n")
                                            << "1: 12345678/----------, 12345679/----------";
    }
    void acceptedForms()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, lists);
        auto m = Demo();
        const CardListImport import = ReadCardListsCsv(csv, *m);
        QVERIFY2(import, qPrintable(CardListImportMessage(import, "in.csv", English)));
        QCOMPARE(Dump(import), lists);
    }

    // The export as a spreadsheet opens it; edited there (rows reordered, one
    // added, one comment changed, saved with semicolons) it comes back as
    // exactly those changes.
    void exportEditedImportsBack()
    {
        auto m = Demo();
        const int row1 = FirstRow(*m, 1);
        m->ListComment[row1 + 1] = ResetCommentText;   // a card without comment
        m->ListComment[row1 + 2] = QStringLiteral(" Weiß; \"GF\" ");
        const QByteArray csv = ExportCardListsCsv(*m, ListCaptions(English));
        QVERIFY(csv.startsWith(Utf8ByteOrderMark + "list,list_name,position,card,comment\r\n"
                               "1,Privileges track 2,1,10000417,\"M\xC3\xBCller, J\xC3\xBCrgen \xE2\x80\x93 Lager\"\r\n"
                               "1,Privileges track 2,2,10000418,\r\n"
                               "1,Privileges track 2,3,10000422,\" Wei\xC3\x9F; \"\"GF\"\" \"\r\n"));
        QCOMPARE(csv.count("\r\n"), 1 + ExportedCardCount(*m));
        QCOMPARE(ExportedCardCount(*m), 29);
        QVERIFY(!csv.contains(",00000000,"));

        const CardListImport import = ReadCardListsCsv(SpreadsheetEdit(csv), *m);
        QVERIFY2(import, qPrintable(CardListImportMessage(import, "in.csv", English)));
        auto expected = Demo();
        expected->ListComment = m->ListComment;
        ApplySpreadsheetEdit(*expected);

        ApplyCardListImport(*m, import);
        QCOMPARE(ImageBlock(*m), ImageBlock(*expected));
        QCOMPARE(m->ListComment, expected->ListComment);
        QCOMPARE(m->ListData, expected->ListData);
    }

    // A cell a spreadsheet would run as a formula is exported behind a ',
    // which import takes off again: the card and the comment come back as
    // they were (a line break in a comment becomes a blank, as always).
    void formulaCells_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QByteArray>("exported");   // the row's card and comment cells
        QTest::addColumn<QString>("imported");      // the comment the import gives
        const QString card = QStringLiteral("10000417");
        QTest::newRow("=") << card << "=HYPERLINK(\"http://x\",\"a\")" << QByteArray("10000417,\"'=HYPERLINK(\"\"http://x\"\",\"\"a\"\")\"")
                           << "=HYPERLINK(\"http://x\",\"a\")";
        QTest::newRow("+") << card << "+49 170 1234" << QByteArray("10000417,'+49 170 1234") << "+49 170 1234";
        QTest::newRow("-") << card << "-1" << QByteArray("10000417,'-1") << "-1";
        QTest::newRow("@") << card << "@SUM(A1)" << QByteArray("10000417,'@SUM(A1)") << "@SUM(A1)";
        QTest::newRow("tab") << card << "\t=1" << QByteArray("10000417,'\t=1") << "\t=1";
        QTest::newRow("carriage return") << card << "\r=1" << QByteArray("10000417,\"'\r=1\"") << " =1";
        QTest::newRow("a card beginning with =") << "=1234567" << "x" << QByteArray("'=1234567,x") << "x";
        QTest::newRow("the comment's own quote before =") << card << "'=1" << QByteArray("10000417,''=1") << "'=1";
        QTest::newRow("quotes only") << card << "''" << QByteArray("10000417,''") << "''";
        QTest::newRow("a quote before text") << card << "'s Lager" << QByteArray("10000417,'s Lager") << "'s Lager";
        QTest::newRow("formula characters later on") << card << "a=b-c" << QByteArray("10000417,a=b-c") << "a=b-c";
        QTest::newRow("a blank first") << card << " =1" << QByteArray("10000417,\" =1\"") << " =1";
    }
    void formulaCells()
    {
        QFETCH(QString, card);
        QFETCH(QString, comment);
        QFETCH(QByteArray, exported);
        QFETCH(QString, imported);
        auto m = Demo();
        const int row = FirstRow(*m, 1);
        m->ListData[row] = card;
        m->ListComment[row] = comment;
        EncodeRowData(*m, row);
        DecodeLists(*m);
        const QByteArray csv = ExportCardListsCsv(*m, ListCaptions(English));
        QVERIFY2(csv.contains("\r\n1,Privileges track 2,1," + exported + "\r\n"), csv.left(200).constData());

        const CardListImport import = ReadCardListsCsv(csv, *m);
        QVERIFY2(import, qPrintable(CardListImportMessage(import, "in.csv", English)));
        QCOMPARE(import.lists[1]->first().data, card);
        QCOMPARE(import.lists[1]->first().comment, imported);
    }

    // A named list is replaced from its first row, the rest of it emptied;
    // the others stay. With an odd length the empty places keep their filler.
    void importReplacesNamedListsOnly()
    {
        auto m = Demo(Setup{true, 7});
        const int row1 = FirstRow(*m, 1), row3 = FirstRow(*m, 3);
        m->ListData[row1 + 4] = QStringLiteral("7654321#");
        m->ListComment[row1 + 4] = QStringLiteral("old");
        EncodeRowData(*m, row1 + 4);
        m->ListData[row3] = QStringLiteral("1111111#");
        EncodeRowData(*m, row3);
        const QByteArray list3Before = QByteArray::number(m->ConfigImage[m->RowSlot[row3]]);
        const CardListImport import = ReadCardListsCsv("list,card,comment\n1,1234567,neu\n1,2345678#,\n", *m);
        QVERIFY(import);
        ApplyCardListImport(*m, import);
        QCOMPARE(m->ListData[row1], QStringLiteral("1234567#"));
        QCOMPARE(m->ListComment[row1], QStringLiteral("neu"));
        QCOMPARE(m->ListData[row1 + 1], QStringLiteral("2345678#"));
        QCOMPARE(m->ListComment[row1 + 1], ResetCommentText);
        QCOMPARE(m->ListData[row1 + 4], QStringLiteral("0000000#"));
        QCOMPARE(m->ListComment[row1 + 4], ResetCommentText);
        QCOMPARE(int(m->ConfigImage[m->RowSlot[row1 + 4] + 3]), 224);
        QCOMPARE(m->ListData[row3], QStringLiteral("1111111#"));
        QCOMPARE(QByteArray::number(m->ConfigImage[m->RowSlot[row3]]), list3Before);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("from");    // list:position, or nothing for the start
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QString>("found");   // list:position, or nothing
        QTest::newRow("comment in list 3, any case") << "GESTOHLEN" << "" << true << "3:3";
        QTest::newRow("part of the digits") << "230056" << "" << true << "2:4";
        QTest::newRow("next after a hit") << "wachdienst" << "2:3" << true << "2:4";
        QTest::newRow("wraps to the first") << "Besucherkarte" << "3:4" << true << "1:11";
        QTest::newRow("backwards from the end") << "Besucherkarte" << "" << false << "3:4";
        QTest::newRow("backwards wraps, back to itself last") << "Müller" << "1:1" << false << "1:1";
        QTest::newRow("empty places are no cards") << "00000000" << "" << true << "";
        QTest::newRow("the reset comment is no text") << "-----" << "" << true << "";
        QTest::newRow("not there") << "xyz" << "" << true << "";
        QTest::newRow("blank search") << "  " << "" << true << "";
    }
    void search()
    {
        QFETCH(QString, text);
        QFETCH(QString, from);
        QFETCH(bool, forward);
        QFETCH(QString, found);
        auto m = Demo();
        const auto place = [&](int row) {
            for (const ListRows& rows : ShownListRows(*m))
                if (row >= rows.firstRow && row < rows.firstRow + rows.count)
                    return QStringLiteral("%1:%2").arg(rows.list).arg(row - rows.firstRow + 1);
            return QString();
        };
        const int fromRow = from.isEmpty() ? -1 : FirstRow(*m, from.section(u':', 0, 0).toInt()) + from.section(u':', 1).toInt() - 1;
        const std::optional<int> row = FindCardRow(*m, text, fromRow, forward ? SearchDirection::Forward : SearchDirection::Backward);
        QCOMPARE(row ? place(*row) : QString(), found);
    }
};

QTEST_APPLESS_MAIN(CardListsTest)
#include "tst_cardlists.moc"
