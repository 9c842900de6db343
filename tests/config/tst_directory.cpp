// The directory of card holders: the rows it takes (as the card-list import
// reads CSV), and every bad row named with its line; one bad row refuses the
// whole directory.
#include "config/csvtable.h"
#include "config/directory.h"
#include "texts/directorytexts.h"

#include <QtTest>

namespace {

const QStringList SiteTerminals{QStringLiteral("Tor 1"), QStringLiteral("Lager"), QStringLiteral("Tür Süd")};
const QByteArray Header = "name,track2,track3,valid_from,valid_until,terminals,blocked\n";

// One line per entry: "line: holder | track2 | track3 | from..until | terminals | blocked".
QStringList Dump(const Directory& directory)
{
    QStringList lines;
    for (const DirectoryEntry& e : directory.entries) {
        const auto date = [](const QDate& d) { return d.isNull() ? QStringLiteral("open") : d.toString(Qt::ISODate); };
        lines << QStringLiteral("%1: %2 | %3 | %4 | %5..%6 | %7%8")
                     .arg(e.line)
                     .arg(e.holder, e.track2.isEmpty() ? QStringLiteral("-") : e.track2,
                          e.track3.isEmpty() ? QStringLiteral("-") : e.track3, date(e.validFrom), date(e.validUntil),
                          e.allTerminals ? QStringLiteral("*") : e.terminals.join(u';'),
                          e.blocked ? QStringLiteral(" | blocked") : QString());
    }
    return lines;
}

// The message in English, as the command line shows it.
QString Message(const Directory& directory, const QString& file = QStringLiteral("people.csv"))
{
    return DirectoryMessage(directory, file, 1000);
}

// The lines of the message after its heading and the blank line.
QStringList Reasons(const Directory& directory)
{
    return Message(directory).split(u'\n').mid(2);
}

} // namespace

class DirectoryTest : public QObject {
    Q_OBJECT
private slots:
    void goodDirectories_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("the two kinds of row")
            << Header + "Anna Berg,10000417,,2026-01-01,2027-03-31,Tor 1;Lager,no\nBernd Krause,10000523,,,,*,yes\n"
            << QStringList{"2: Anna Berg | 10000417 | - | 2026-01-01..2027-03-31 | Tor 1;Lager",
                           "3: Bernd Krause | 10000523 | - | open..open | * | blocked"};
        QTest::newRow("semicolons, byte order mark, CR LF, quoted terminals")
            << Utf8ByteOrderMark + "name;track2;track3;valid_from;valid_until;terminals;blocked\r\n"
                                   "\"Berg; Anna\";;672000104799;;2026-12-31;\"Lager;T\xC3\xBCr S\xC3\xBC" "d\";\r\n"
            << QStringList{"2: Berg; Anna | - | 672000104799 | open..2026-12-31 | Lager;Tür Süd"};
        QTest::newRow("Windows-1252, columns in another order, other columns ignored, capitals and blanks")
            << QByteArray(" Blocked ;Terminals;Notes;NAME;Track3;Track2;Valid_Until;Valid_From\r\n"
                          " No ; lager ;Etage 2; J\xFCrgen M\xFCller ; ; 1234567> ;;2026-02-01\r\n")
            << QStringList{"2: Jürgen Müller | 1234567# | - | 2026-02-01..open | Lager"};
        QTest::newRow("terminal names in any case, each once, empty parts left out; no terminal at all")
            << Header + "A,1,,,,TOR 1; tor 1;;Lager;,\nB,2,,,,,YES\nC,3,,,,,\n"
            << QStringList{"2: A | 1 | - | open..open | Tor 1;Lager", "3: B | 2 | - | open..open |  | blocked",
                           "4: C | 3 | - | open..open | "};
        QTest::newRow("one holder's card on two rows (two groups of doors, each with its dates), one holder's two cards")
            << Header + "Anna,10000417,,2026-01-01,2026-03-31,Lager,no\nAnna,10000417,,,,Tor 1,no\nAnna,10000418,99,,,*,\n"
            << QStringList{"2: Anna | 10000417 | - | 2026-01-01..2026-03-31 | Lager", "3: Anna | 10000417 | - | open..open | Tor 1",
                           "4: Anna | 10000418 | 99 | open..open | *"};
        QTest::newRow("one card number on both tracks is two cards")
            << Header + "Anna,10000417,,,,*,no\nBernd,,10000417,,,*,no\n"
            << QStringList{"2: Anna | 10000417 | - | open..open | *", "3: Bernd | - | 10000417 | open..open | *"};
        QTest::newRow("cells a spreadsheet would run as formulas come back, a line break in a name is a blank")
            << Header + "'-Anna,'=1234,,,,*,no\n\"Bernd\nKrause\",5678,,,,*,no\n"
            << QStringList{"2: -Anna | =1234 | - | open..open | *", "3: Bernd Krause | 5678 | - | open..open | *"};
        QTest::newRow("a valid day of its own, a leap day")
            << Header + "A,1,,2028-02-29,2028-02-29,*,no\n" << QStringList{"2: A | 1 | - | 2028-02-29..2028-02-29 | *"};
    }
    void goodDirectories()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, entries);
        const Directory directory = ParseDirectoryCsv(csv, SiteTerminals);
        QVERIFY2(directory, qPrintable(Message(directory)));
        QCOMPARE(Dump(directory), entries);
    }

    void badRows_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("reasons");
        QTest::newRow("columns") << Header + "A,1,,,,*\nB,2,,,,Tor 1;Lager,no,x\n"
                                 << QStringList{"line 2: too few columns: 7 expected, 6 found",
                                                "line 3: 8 columns, but the header has 7: a separator in a cell without quotes?"};
        QTest::newRow("a ; in a cell without quotes in a ;-separated file")
            << QByteArray("name;track2;track3;valid_from;valid_until;terminals;blocked\nA;1;;;;Tor 1;Lager;no\n")
            << QStringList{"line 2: 8 columns, but the header has 7: a separator in a cell without quotes?"};
        QTest::newRow("holders") << Header + " ,1,,,,*,no\nZutritt \xE2\x9C\x93,2,,,,*,no\n"
                                 << QStringList{"line 2: the name is empty",
                                                "line 3: the name holds \"\u2713\", which the comments file cannot store"};
        QTest::newRow("cards") << Header + "A,,,,,*,no\nB,6.72E+11,,,,*,no\nC,1,12x4,,,*,no\nD,0000,,,,*,no\nE,\x1B[2J,,,,*,no\n"
                                           "F,,000>,,,*,no\n"
                               << QStringList{"line 2: neither track2 nor track3 gives a card",
                                              "line 3: track2 \"6.72E+11\" holds \".\"; allowed are 0-9 : ; < = > ? #",
                                              "line 4: track3 \"12x4\" holds \"x\"; allowed are 0-9 : ; < = > ? #",
                                              "line 5: track2 \"0000\" is all zeros: that is an empty place, not a card",
                                              "line 6: track2 \"\\x1b[2J\" holds \"\\x1b\"; allowed are 0-9 : ; < = > ? #",
                                              "line 7: track3 \"000>\" is all zeros: that is an empty place, not a card"};
        QTest::newRow("dates")
            << Header + "A,1,,01.01.2026,,*,no\nB,2,,,2026-02-30,*,no\nC,3,,2026-1-1,,*,no\nD,4,,,2026-03-31T00:00,*,no\n"
                        "E,5,,2026-04-01,2026-03-31,*,no\nF,6,,\xD9\xA2\xD9\xA0\xD9\xA2\xD9\xA6-01-01,,*,no\n"
            << QStringList{"line 2: valid_from \"01.01.2026\" is no date of the form YYYY-MM-DD",
                           "line 3: valid_until \"2026-02-30\" is no date of the form YYYY-MM-DD",
                           "line 4: valid_from \"2026-1-1\" is no date of the form YYYY-MM-DD",
                           "line 5: valid_until \"2026-03-31T00:00\" is no date of the form YYYY-MM-DD",
                           "line 6: valid_until 2026-03-31 is before valid_from 2026-04-01",
                           "line 7: valid_from \"\u0662\u0660\u0662\u0666-01-01\" is no date of the form YYYY-MM-DD"};
        QTest::newRow("terminals")
            << Header + "A,1,,,,Tor 2;Lager;Keller,no\nB,2,,,,*;Tor 1,no\nC,3,,,,Tor 1 ,no\nD,4,,,,Tür Sued,no\n"
            << QStringList{"line 2: the site has no terminal \"Tor 2\"; the site has no terminal \"Keller\"",
                           "line 3: \"*\" stands for all terminals and cannot stand beside names",
                           "line 5: the site has no terminal \"Tür Sued\""};
        QTest::newRow("blocked: yes, no or empty only")
            << Header + "A,1,,,,*,ja\nB,2,,,,*,true\nC,3,,,,*,1\nD,4,,,,*,x\n"
            << QStringList{"line 2: blocked \"ja\" is neither yes nor no", "line 3: blocked \"true\" is neither yes nor no",
                           "line 4: blocked \"1\" is neither yes nor no", "line 5: blocked \"x\" is neither yes nor no"};
        QTest::newRow("one card, two holders or blocked on one row only")
            << Header + "Anna,10000417,99,,,*,no\nBernd,10000417,,,,*,no\nAnna,1000041>,,,,*,no\nAnna,1000041#,,,,*,yes\n"
                        "anna,,99,,,*,no\nAnna,,99,,,Lager,\n"
            << QStringList{"line 3: track2 card 10000417 is already that of \"Anna\" (line 2)",
                           "line 5: track2 card 1000041# is blocked on one line and not on the other (line 4)",
                           "line 6: track3 card 99 is already that of \"Anna\" (line 2)"};
        QTest::newRow("broken quotes, later lines still checked")
            << Header + "\"Anna \"B\"\",1,,,,*,no\nB,x,,,,*,no\nC,3,,,,\"Lager\n"
            << QStringList{"line 2: the quotes do not follow the CSV rules",
                           "line 3: track2 \"x\" holds \"x\"; allowed are 0-9 : ; < = > ? #",
                           "line 4: the quotes do not follow the CSV rules"};
        QTest::newRow("every problem of a row on its line, lines counted across line breaks in a cell")
            << Header + "\"Anna\r\nBerg\",,,2026-13-01,,Keller,vielleicht\r\n"
            << QStringList{"line 2: neither track2 nor track3 gives a card; valid_from \"2026-13-01\" is no date of the form "
                           "YYYY-MM-DD; the site has no terminal \"Keller\"; blocked \"vielleicht\" is neither yes nor no"};
        QByteArray many = Header;
        QStringList first20;
        for (int k = 0; k < 25; ++k) {
            many += "P" + QByteArray::number(k) + ",1" + QByteArray::number(k) + ",,,,Keller,no\n";
            if (k < 20)
                first20 << QStringLiteral("line %1: the site has no terminal \"Keller\"").arg(k + 2);
        }
        QTest::newRow("the first 20 lines, then how many more") << many << (first20 << "... and 5 more lines");
    }
    void badRows()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, reasons);
        const Directory directory = ParseDirectoryCsv(csv, SiteTerminals);
        QCOMPARE(directory.failure, Directory::Failure::BadRows);
        QVERIFY(directory.entries.isEmpty());
        QVERIFY(Message(directory).startsWith("Nothing was changed. These lines of people.csv cannot be taken:\n\n"));
        QCOMPARE(Reasons(directory), reasons);
    }

    // A terminal may be called "Halle 3; Nord": parts that together spell a
    // name of the site are that name.
    void terminalNamesWithSeparators_data()
    {
        QTest::addColumn<QString>("terminals");
        QTest::addColumn<QString>("taken");   // joined by " + ", or the reason
        QTest::newRow("the name alone") << "Halle 3; Nord" << "Halle 3; Nord";
        QTest::newRow("other case, blanks around") << " HALLE 3; NORD " << "Halle 3; Nord";
        QTest::newRow("between others") << "Lager;Halle 3; Nord;Halle 3" << "Lager + Halle 3; Nord + Halle 3";
        QTest::newRow("a part alone") << "Halle 3" << "Halle 3";
        QTest::newRow("the other part alone") << "Nord" << "the site has no terminal \"Nord\"";
    }
    void terminalNamesWithSeparators()
    {
        QFETCH(QString, terminals);
        const QStringList site{"Halle 3; Nord", "Halle 3", "Lager"};
        const Directory directory = ParseDirectoryCsv(Header + "A,1,,,,\"" + terminals.toUtf8() + "\",no\n", site);
        QTEST(directory ? directory.entries[0].terminals.join(" + ") : DirectoryProblemText(directory.problems[0], 1000), "taken");
    }

    // What FormatDirectoryCsv writes, the reader takes back as it was.
    void writtenAndReadBack()
    {
        const QStringList site{"Tor 1", "Lager", "Halle 3; Nord", "=Kasse"};
        const QByteArray csv = Header
            + "\"Berg, Anna\",10000417,,2026-01-01,2027-03-31,Tor 1;Halle 3; Nord,no\n"
              "\"-Bernd \"\"B\"\" Krause\",,1234567#,,,*,yes\n"
              "J\xC3\xBCrgen M\xC3\xBCller,=1,:;<=?,,2026-12-31,=Kasse,\n";
        const Directory read = ParseDirectoryCsv(csv, site);
        QVERIFY2(read, qPrintable(Message(read)));
        const QByteArray written = FormatDirectoryCsv(read.entries);
        QVERIFY(written.startsWith(Utf8ByteOrderMark + "name,track2,track3,valid_from,valid_until,terminals,blocked\r\n"));
        QVERIFY(written.contains("\r\n\"'-Bernd \"\"B\"\" Krause\",,1234567#,,,*,yes\r\n"));
        const Directory again = ParseDirectoryCsv(written, site);
        QVERIFY2(again, qPrintable(Message(again)));
        QCOMPARE(Dump(again), Dump(read));
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("message");
        const QString utf16 = QString::fromUtf8(Header);
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2)
                                << "The directory people.csv is neither UTF-8 nor Windows-1252 text; nothing was changed.";
        QTest::newRow("one Latin-1 byte in a UTF-8 file")
            << Header + "M\xC3\xBCller,1,,,,*,no\nJ\xFCrgen,2,,,,*,no\n"
            << "The directory people.csv is UTF-8 (by its byte order mark or other lines), but line 3 is not; nothing was changed.";
        QTest::newRow("a byte Windows-1252 leaves undefined") << Header + "M\xFCller,1,,,,*,no\nM\x81ller,2,,,,*,no\n"
                                                              << "Line 3 of the directory people.csv holds a byte that is neither "
                                                                 "UTF-8 nor Windows-1252; nothing was changed.";
        QTest::newRow("a column misspelt") << QByteArray("name,track2,track3,valid_from,valid_until,terminals,bloked\n")
                                           << "The header line of the directory people.csv lacks the columns blocked; nothing was changed.";
        QTest::newRow("the card-list export's header")
            << QByteArray("list,list_name,position,card,comment\n1,x,1,10000417,Anna\n")
            << "The header line of the directory people.csv lacks the columns name, track2, track3, valid_from, "
               "valid_until, terminals, blocked; nothing was changed.";
        QTest::newRow("empty file") << QByteArray()
                                    << "The header line of the directory people.csv lacks the columns name, track2, track3, "
                                       "valid_from, valid_until, terminals, blocked; nothing was changed.";
        QTest::newRow("header only: it would take every card off every terminal")
            << Header + ",,,,,,\n" << "The directory people.csv holds no cards; nothing was changed.";
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, message);
        const Directory directory = ParseDirectoryCsv(csv, SiteTerminals);
        QVERIFY(!directory);
        QVERIFY(directory.entries.isEmpty());
        // A file name that looks like a place holder stays as it is.
        QCOMPARE(Message(directory, "%1.csv"), QString(message).replace("people.csv", "%1.csv"));
    }

    void refusedFileOnDisk()
    {
        QTemporaryDir dir;
        QCOMPARE(Message(ReadDirectoryFile(dir.path(), SiteTerminals), dir.path()), dir.path() + " is a folder, not a file");
        const QString path = dir.filePath("people.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Header + "Anna,10000417,,,,Lager,no\n");
        file.close();
        QCOMPARE(Dump(ReadDirectoryFile(path, SiteTerminals)), QStringList{"2: Anna | 10000417 | - | open..open | Lager"});
    }

    // Both edge days belong to the validity; an open end has no edge.
    void validOn_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("until");
        QTest::addColumn<QString>("valid");   // for the days 03-30 .. 04-02 of 2026, 1 valid
        QTest::newRow("both ends") << "2026-03-31" << "2026-04-01" << "0110";
        QTest::newRow("one day") << "2026-03-31" << "2026-03-31" << "0100";
        QTest::newRow("open start") << "" << "2026-03-31" << "1100";
        QTest::newRow("open end") << "2026-04-01" << "" << "0011";
        QTest::newRow("open") << "" << "" << "1111";
    }
    void validOn()
    {
        QFETCH(QString, from);
        QFETCH(QString, until);
        QFETCH(QString, valid);
        const Directory directory = ParseDirectoryCsv(Header + "A,1,," + from.toUtf8() + ',' + until.toUtf8() + ",Lager,no\n",
                                                      SiteTerminals);
        QCOMPARE(directory.entries.size(), 1);
        QString days;
        for (QDate day(2026, 3, 30); day <= QDate(2026, 4, 2); day = day.addDays(1))
            days += directory.entries[0].ValidOn(day) ? u'1' : u'0';
        QCOMPARE(days, valid);
        QVERIFY(directory.entries[0].ForTerminal("Lager"));
        QVERIFY(!directory.entries[0].ForTerminal("Tor 1"));
    }
};

QTEST_GUILESS_MAIN(DirectoryTest)
#include "tst_directory.moc"
