// The site file: what each terminal's lines give (ports of every form, paths
// placed beside the site file, password sources), and every refusal named
// with the line it stands on, all of them at once.
#include "comm/simterminal.h"
#include "config/sitefile.h"
#include "texts/sitetexts.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// A site file in a folder that does not exist: paths are placed, not opened.
const QString SitePath = QStringLiteral("/sites/werk2/site.toml");

QString SimulationError(const QString& afterSim)
{
    QString error;
    return ParseSimulationOptions(afterSim, &error) ? QString() : error;
}

SiteFileRead Parse(const QByteArray& toml)
{
    return ParseSiteFile(toml, SitePath, SimulationError);
}

QString Shown(QString path, const QString& folder)
{
    return path.isEmpty() ? QStringLiteral("-") : path.replace(folder, QStringLiteral("$"));
}

// "site NAME" and one line per terminal, paths below the site folder as "$/...".
QStringList Dump(const Site& site)
{
    QStringList lines{QStringLiteral("site ") + site.name};
    for (const SiteTerminal& t : site.terminals) {
        static const char* const kinds[] = {"com", "device", "sim", "network"};
        QString password = QStringLiteral("default");
        if (t.password.source == SitePassword::Source::File)
            password = QStringLiteral("file ") + Shown(t.password.file, site.folder);
        else if (t.password.source == SitePassword::Source::Environment)
            password = QStringLiteral("env ") + t.password.variable;
        QString port = QString::fromLatin1(kinds[int(t.port.kind)]) + u' ' + Shown(t.port.target, site.folder);
        if (t.port.kind == SitePort::Kind::Network)
            port += QStringLiteral(" (%1 %2)").arg(t.port.host).arg(t.port.tcpPort);
        lines << QStringLiteral("%1 @%2: %3 | %4 | %5 %6 | %7")
                     .arg(t.name)
                     .arg(t.line)
                     .arg(port, password, Shown(t.configuration, site.folder), Shown(t.comments, site.folder),
                          Shown(t.folder, site.folder));
    }
    return lines;
}

// The lines of the message after its heading.
QStringList Reasons(const SiteFileRead& read)
{
    QStringList lines = SiteFileMessage(read, SitePath, 1000).split(u'\n');
    lines.removeFirst();
    return lines;
}

QByteArray Terminal(const QByteArray& name, const QByteArray& port)
{
    return "[[terminal]]\nname = \"" + name + "\"\nport = \"" + port + "\"\n";
}

} // namespace

class SiteFileTest : public QObject {
    Q_OBJECT
private slots:
    void goodSites_data()
    {
        QTest::addColumn<QByteArray>("toml");
        QTest::addColumn<QStringList>("site");
        QTest::newRow("every key")
            << QByteArray("name = \"Werk 2\"   # shown in the title\n\n[[terminal]]\nname = \"Tor 1\"\nport = \"com1\"\n"
                          "password-file = \"tor1.pw\"\nconfiguration = \"tor1.QLV\"\n")
            << QStringList{"site Werk 2", "Tor 1 @3: com com1 | file $/tor1.pw | $/tor1.QLV $/tor1.BGT | $/Tor 1"};
        QTest::newRow("no site name: the file's name; no password source, no configuration")
            << Terminal("Lager", "COM8") << QStringList{"site site", "Lager @1: com com8 | default | - - | $/Lager"};
        QTest::newRow("password from the environment, paths beyond the site folder")
            << QByteArray("[[terminal]]\nname = 'Nord'\nport = 'com2'\npassword-env = 'NORD_PW'\n"
                          "configuration = '../soll/Nord.qlv'\n"
                          "[[terminal]]\nname = 'Süd'\nport = 'com3'\npassword-file = '/etc/vardelo/süd.pw'\n")
            << QStringList{"site site", "Nord @1: com com2 | env NORD_PW | /sites/soll/Nord.qlv /sites/soll/Nord.BGT | $/Nord",
                           "Süd @6: com com3 | file /etc/vardelo/süd.pw | - - | $/Süd"};
        QTest::newRow("device paths")
            << Terminal("A", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0") + Terminal("B", "\\\\\\\\.\\\\COM12")
            << QStringList{"site site", "A @1: device /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 | default | - - | $/A",
                           "B @4: device \\\\.\\COM12 | default | - - | $/B"};
        QTest::newRow("simulated terminals: files placed beside the site file, options kept, built-in memories apart")
            << Terminal("A", "sim:door.QLV,burst=8,silent") + Terminal("B", "sim:../x/d.QLV") + Terminal("C", "sim:/m/e.QLV")
                   + Terminal("D", "sim") + Terminal("E", "sim,stop=5") + Terminal("F", " sim ")
            << QStringList{"site site", "A @1: sim sim:$/door.QLV,burst=8,silent | default | - - | $/A",
                           "B @4: sim sim:/sites/x/d.QLV | default | - - | $/B", "C @7: sim sim:/m/e.QLV | default | - - | $/C",
                           "D @10: sim sim | default | - - | $/D", "E @13: sim sim,stop=5 | default | - - | $/E",
                           "F @16: sim sim | default | - - | $/F"};
        QTest::newRow("network")
            << Terminal("A", "rfc2217://Door-Server.example:4001") + Terminal("B", "RFC2217://10.0.0.7:7000")
                   + Terminal("C", "rfc2217://[::1]:4001")
            << QStringList{"site site",
                           "A @1: network rfc2217://door-server.example:4001 (door-server.example 4001) | default | - - | $/A",
                           "B @4: network rfc2217://10.0.0.7:7000 (10.0.0.7 7000) | default | - - | $/B",
                           "C @7: network rfc2217://[::1]:4001 (::1 4001) | default | - - | $/C"};
        QTest::newRow("inline tables, byte order mark, CR LF, names of any script")
            << QByteArray("\xEF\xBB\xBFname = \"Werk \xE2\x91\xA1\"\r\nterminal = [\r\n  {name = \"T\xC3\xBCr \xF0\x9F\x9A\xAA\", "
                          "port = \"com4\"},\r\n  {name = \"\xE5\x8C\x97\xE9\x97\xA8\", port = \"com5\"},\r\n]\r\n")
            << QStringList{"site Werk \u2461", "T\u00fcr \U0001F6AA @3: com com4 | default | - - | $/T\u00fcr \U0001F6AA",
                           "\u5317\u95e8 @4: com com5 | default | - - | $/\u5317\u95e8"};
        QTest::newRow("a line-ending backslash in a multi-line text, then a letter")
            << QByteArray("name = \"\"\"\\\n  \xC2\xA7 2\"\"\"\n") + Terminal("A", "com1")
            << QStringList{"site \u00a7 2", "A @3: com com1 | default | - - | $/A"};
        QTest::newRow("names close to the refused ones")
            << Terminal("Tor 1.2", "com1") + Terminal("CONSOLE", "com2") + Terminal("COM10", "com3") + Terminal("a..b", "com4")
                   + Terminal(QByteArray(MaxTerminalNameChars, 'x'), "com5")
            << QStringList{"site site", "Tor 1.2 @1: com com1 | default | - - | $/Tor 1.2",
                           "CONSOLE @4: com com2 | default | - - | $/CONSOLE", "COM10 @7: com com3 | default | - - | $/COM10",
                           "a..b @10: com com4 | default | - - | $/a..b",
                           QString(MaxTerminalNameChars, u'x') + " @13: com com5 | default | - - | $/"
                               + QString(MaxTerminalNameChars, u'x')};
    }
    void goodSites()
    {
        QFETCH(QByteArray, toml);
        QFETCH(QStringList, site);
        const SiteFileRead read = Parse(toml);
        QVERIFY2(read, qPrintable(SiteFileMessage(read, SitePath, 1000)));
        QCOMPARE(read.site.file, SitePath);
        QCOMPARE(read.site.folder, QStringLiteral("/sites/werk2"));
        QCOMPARE(Dump(read.site), site);
    }

    // Every refusal on its line, all of them, in line order; no terminal of
    // a refused file is given.
    void badSites_data()
    {
        QTest::addColumn<QByteArray>("toml");
        QTest::addColumn<QStringList>("reasons");
        const QString folderRule = "cannot be a folder name on every system: no / \\ : * ? \" < > |, no control or "
                                   "invisible characters, no blank or dot at either end, no device name such as CON, "
                                   "NUL, COM1 or LPT1, at most 64 characters";
        const QString portForms = "is none of com1 to com8, a device path (/dev/...), sim[:FILE][,OPTION...] or rfc2217://HOST:PORT";
        QTest::newRow("syntax: a string that does not end")
            << QByteArray("name = \"Werk 2\"\n[[terminal]]\nname = \"Tor 1\nport = \"com1\"\n")
            << QStringList{"line 3: syntax error at column 14: Error while parsing string: unescaped control characters other "
                           "than TAB (U+0009) are explicitly prohibited"};
        QTest::newRow("syntax: a key twice")
            << Terminal("A", "com1") + "port = \"com2\"\n"
            << QStringList{"line 4: syntax error at column 8: Error while parsing key-value pair: cannot redefine existing "
                           "string 'port'"};
        QTest::newRow("syntax: not UTF-8")
            << QByteArray("name = \"Werk\"\n\n[[terminal]]\nname = \"T\xFCr\"\n")
            << QStringList{"line 4: syntax error at column 9: Encountered invalid utf-8 sequence"};
        // Characters that the TOML reader of Debian 12 took into undefined
        // behaviour where it looks for a blank.
        QTest::newRow("syntax: a letter after a value")
            << QByteArray("name = \"Werk\"\xC3\xBC\n") + Terminal("A", "com1")
            << QStringList{"line 1: syntax error at column 14: Error while parsing key-value pair: expected a comment or "
                           "whitespace, saw '\u00fc'"};
        QTest::newRow("syntax: a letter after a number")
            << Terminal("A", "com1") + "x = 1\xC2\xA7\n"
            << QStringList{"line 4: syntax error at column 6: Error while parsing decimal integer: expected digit, saw '\u00a7'"};
        QTest::newRow("unknown keys at the top and in a terminal")
            << QByteArray("title = \"W\"\n") + Terminal("A", "com1") + "password = \"123456\"\nconfig.file = \"x\"\n"
            << QStringList{"line 1: unknown key \"title\" (known here: name, terminal)",
                           "line 5: unknown key \"password\" (known here: name, port, password-file, password-env, configuration)",
                           "line 6: unknown key \"config\" (known here: name, port, password-file, password-env, configuration)"};
        QTest::newRow("values that are no text")
            << QByteArray("name = 2\n[[terminal]]\nname = 1\nport = 1\npassword-env = true\n"
                          "[[terminal]]\nname = \"B\"\nport = [\"com1\"]\nconfiguration = {file = \"b.QLV\"}\n")
            << QStringList{"line 1: \"name\" must be a text in quotes", "line 3: \"name\" must be a text in quotes",
                           "line 4: \"port\" must be a text in quotes", "line 5: \"password-env\" must be a text in quotes",
                           "line 8: \"port\" must be a text in quotes", "line 9: \"configuration\" must be a text in quotes"};
        QTest::newRow("terminal as one table") << QByteArray("name = \"W\"\n\n[terminal]\nname = \"A\"\nport = \"com1\"\n")
                                               << QStringList{"line 3: terminals are written as [[terminal]] tables"};
        QTest::newRow("terminal as a text") << QByteArray("terminal = \"com1\"\n")
                                            << QStringList{"line 1: terminals are written as [[terminal]] tables"};
        QTest::newRow("no terminal") << QByteArray("name = \"Werk 2\"\n")
                                     << QStringList{"the site file names no terminal ([[terminal]])"};
        QTest::newRow("empty file") << QByteArray() << QStringList{"the site file names no terminal ([[terminal]])"};
        QTest::newRow("an empty list of terminals") << QByteArray("terminal = []\n")
                                                    << QStringList{"the site file names no terminal ([[terminal]])"};
        QTest::newRow("no name, no port, empty ones")
            << QByteArray("[[terminal]]\nport = \"com1\"\n\n[[terminal]]\nname = \"B\"\n[[terminal]]\nname = \"\"\nport = \" \"\n")
            << QStringList{"line 1: the terminal has no \"name\"", "line 4: the terminal has no \"port\"",
                           "line 6: the terminal has no \"name\"; the terminal has no \"port\""};
        QTest::newRow("the same name, letter case and composition aside")
            << Terminal("Tor 1", "com1") + Terminal("tor 1", "com2") + Terminal("T\xC3\xBCr", "com3")
                   + Terminal("Tu\xCC\x88r", "com4") + Terminal("TOR 1", "com5")
            << QStringList{"line 5: the name \"tor 1\" is already that of the terminal on line 1 (letter case aside)",
                           "line 11: the name \"Tu\u0308r\" is already that of the terminal on line 7 (letter case aside)",
                           "line 14: the name \"TOR 1\" is already that of the terminal on line 1 (letter case aside)"};
        // Each name as written in TOML, and as the message shows it.
        const QList<std::pair<QByteArray, QString>> names{
            {"a/b", "a/b"}, {"a\\\\b", "a\\b"}, {"..", ".."}, {".", "."}, {".hidden", ".hidden"}, {"Tor.", "Tor."},
            {" Tor", " Tor"}, {"Tor\\t", "Tor\\x09"}, {"a\\u0000b", "a\\x00b"}, {"\\u001b[2J", "\\x1b[2J"},
            {"a\\u2028b", "a\u2028b"}, {"zero\\u200Bwidth", "zero\u200Bwidth"}, {"a:b", "a:b"}, {"a*b", "a*b"},
            {"a?b", "a?b"}, {"<a>", "<a>"}, {"a|b", "a|b"}, {"CON", "CON"}, {"nul.txt", "nul.txt"}, {"Com1", "Com1"},
            {"lpt9.log", "lpt9.log"}, {"COM\\u00B9", "COM\u00B9"}, {"conin$", "conin$"}, {"%1/%2", "%1/%2"},
            {QByteArray(MaxTerminalNameChars + 1, 'x'), QString(MaxTerminalNameChars + 1, u'x')}};
        for (qsizetype first = 0; first < names.size(); first += 12) {
            QStringList notFolders;
            QByteArray badNames;
            for (qsizetype i = first; i < qMin(first + 12, names.size()); ++i) {
                badNames += Terminal(names[i].first, "sim");
                notFolders << QStringLiteral("line %1: the name \"%2\" %3").arg(3 * (i - first) + 2).arg(names[i].second, folderRule);
            }
            QTest::addRow("names that cannot be folder names %lld", first / 12 + 1) << badNames << notFolders;
        }
        QTest::newRow("ports of no accepted form")
            << Terminal("A", "com9") + Terminal("B", "com0") + Terminal("C", "ttyUSB0") + Terminal("D", "rfc2217://host")
                   + Terminal("E", "rfc2217://host:70000") + Terminal("F", "rfc2217://anna@host:4001")
                   + Terminal("G", "rfc2217://host:4001/x") + Terminal("H", "rfc2217://host:4001?logging=debug")
                   + Terminal("I", "socket://host:4001") + Terminal("J", "simulator") + Terminal("K", "/dev/tty\\u001b")
                   + Terminal("L", "rfc2217://:4001") + Terminal("M", "C:\\\\ports\\\\x")
            << QStringList{"line 3: port \"com9\" " + portForms, "line 6: port \"com0\" " + portForms,
                           "line 9: port \"ttyUSB0\" " + portForms, "line 12: port \"rfc2217://host\" " + portForms,
                           "line 15: port \"rfc2217://host:70000\" " + portForms,
                           "line 18: port \"rfc2217://anna@host:4001\" " + portForms,
                           "line 21: port \"rfc2217://host:4001/x\" " + portForms,
                           "line 24: port \"rfc2217://host:4001?logging=debug\" " + portForms,
                           "line 27: port \"socket://host:4001\" " + portForms, "line 30: port \"simulator\" " + portForms,
                           "line 33: port \"/dev/tty\\x1b\" " + portForms, "line 36: port \"rfc2217://:4001\" " + portForms,
                           "line 39: port \"C:\\ports\\x\" " + portForms};
        QTest::newRow("simulated terminals the simulation refuses")
            << Terminal("A", "sim:a.QLV,turbo") + Terminal("B", "sim:b.QLV,burst=0") + Terminal("C", "simx")
            << QStringList{"line 3: Setting of the simulated terminal cannot be used: sim:a.QLV,turbo: unknown simulated terminal option \"turbo\"",
                           "line 6: Setting of the simulated terminal cannot be used: sim:b.QLV,burst=0: bad value in simulated terminal option \"burst=0\"",
                           "line 9: port \"simx\" " + portForms};
        QTest::newRow("one port twice, however written")
            << Terminal("A", "com1") + Terminal("B", "COM1") + Terminal("C", "sim:door.QLV") + Terminal("D", "sim:./x/../door.QLV,burst=2")
                   + Terminal("E", "sim:/sites/werk2/door.QLV") + Terminal("F", "rfc2217://Host:4001")
                   + Terminal("G", "rfc2217://host:4001") + Terminal("H", "rfc2217://host:4002") + Terminal("I", "/dev/ttyUSB0")
                   + Terminal("J", "/dev//ttyUSB0") + Terminal("K", "sim") + Terminal("L", "sim")
            << QStringList{"line 6: port \"COM1\" is already that of terminal \"A\" (line 1)",
                           "line 12: port \"sim:./x/../door.QLV,burst=2\" is already that of terminal \"C\" (line 7)",
                           "line 15: port \"sim:/sites/werk2/door.QLV\" is already that of terminal \"C\" (line 7)",
                           "line 21: port \"rfc2217://host:4001\" is already that of terminal \"F\" (line 16)",
                           "line 30: port \"/dev//ttyUSB0\" is already that of terminal \"I\" (line 25)"};
        QTest::newRow("password sources")
            << Terminal("A", "com1") + "password-file = \"a.pw\"\npassword-env = \"A_PW\"\n" + Terminal("B", "com2")
                   + "password-env = \"1PW\"\n" + Terminal("C", "com3") + "password-env = \"A-PW\"\n" + Terminal("D", "com4")
                   + "password-file = \"\"\n" + Terminal("E", "com5") + "password-env = \"\"\n"
            << QStringList{"line 5: password-file and password-env are both given: name one source of the password",
                           "line 9: \"1PW\" is no environment variable name (letters, digits and _, not beginning with a digit)",
                           "line 13: \"A-PW\" is no environment variable name (letters, digits and _, not beginning with a digit)",
                           "line 17: \"password-file\" is empty",
                           "line 21: \"password-env\" is empty"};
        QTest::newRow("configurations")
            << Terminal("A", "com1") + "configuration = \"a.txt\"\n" + Terminal("B", "com2") + "configuration = \"\"\n"
                   + Terminal("C", "com3") + "configuration = \"c.Qlv\"\n" + Terminal("D", "com4") + "configuration = \"QLV\"\n"
            << QStringList{"line 4: configuration \"a.txt\" is not a .QLV file", "line 8: \"configuration\" is empty",
                           "line 12: configuration \"c.Qlv\" is not a .QLV file",
                           "line 16: configuration \"QLV\" is not a .QLV file"};
        QTest::newRow("a folder with the name of a file of the site")
            << Terminal("tor2.pw", "com1") + Terminal("Tor 2", "com2") + "password-file = \"TOR2.PW\"\n"
                   + Terminal("transfers.log", "com3") + Terminal("site.toml", "com4") + Terminal("m.QLV", "sim:m.QLV")
            << QStringList{"line 1: the folder of terminal \"tor2.pw\" would have the name of the file TOR2.PW",
                           "line 8: the folder of terminal \"transfers.log\" would have the name of the file transfers.log",
                           "line 11: the folder of terminal \"site.toml\" would have the name of the file site.toml",
                           "line 14: the folder of terminal \"m.QLV\" would have the name of the file m.QLV"};
        QTest::newRow("a site name with a control character")
            << QByteArray("name = \"Werk\\u001b[31m 2\"\n") + Terminal("A", "com1")
            << QStringList{"line 1: the site name \"Werk\\x1b[31m 2\" holds a control character"};
        QTest::newRow("several problems of one terminal, every terminal checked")
            << QByteArray("[[terminal]]\nname = \"a/b\"\nport = \"com9\"\npassword-file = \"p\"\npassword-env = \"P\"\nx = 1\n")
                   + Terminal("B", "com1") + Terminal("C", "com1")
            << QStringList{"line 2: the name \"a/b\" " + folderRule, "line 3: port \"com9\" " + portForms,
                           "line 5: password-file and password-env are both given: name one source of the password",
                           "line 6: unknown key \"x\" (known here: name, port, password-file, password-env, configuration)",
                           "line 12: port \"com1\" is already that of terminal \"B\" (line 7)"};
        QByteArray many;
        QStringList first20;
        for (int k = 0; k < 25; ++k) {
            many += Terminal("T" + QByteArray::number(k), "com0");
            if (k < 20)
                first20 << QStringLiteral("line %1: port \"com0\" %2").arg(3 * k + 3).arg(portForms);
        }
        QTest::newRow("the first 20 lines, then how many more") << many << (first20 << "... and 5 more lines");
    }
    void badSites()
    {
        QFETCH(QByteArray, toml);
        QFETCH(QStringList, reasons);
        const SiteFileRead read = Parse(toml);
        QVERIFY(!read);
        QVERIFY(read.site.terminals.isEmpty());
        QVERIFY(SiteFileMessage(read, SitePath, 1000)
                    .startsWith("The site file /sites/werk2/site.toml cannot be used; no terminal was touched:\n"));
        QCOMPARE(Reasons(read), reasons);
    }

    // Two names of one device (a stable name and the device it links to)
    // are one port; so are two names of one simulation file.
    void linksLeadToOnePort()
    {
        QTemporaryDir dir;
        QFile device(dir.filePath("ttyUSB0"));
        QVERIFY(device.open(QIODevice::WriteOnly));
        QVERIFY(QDir(dir.path()).mkpath("by-id"));
        QVERIFY(QFile::link(device.fileName(), dir.filePath("by-id/usb-FTDI-port0")));
        QVERIFY(QFile::link(device.fileName(), dir.filePath("door.QLV")));
        const QByteArray toml = Terminal("A", dir.filePath("by-id/usb-FTDI-port0").toUtf8())
            + Terminal("B", dir.filePath("ttyUSB0").toUtf8()) + Terminal("C", "sim:ttyUSB0") + Terminal("D", "sim:door.QLV");
        QFile site(dir.filePath("site.toml"));
        QVERIFY(site.open(QIODevice::WriteOnly) && site.write(toml) == toml.size());
        site.close();
        const SiteFileRead read = ReadSiteFile(site.fileName(), SimulationError);
        QCOMPARE(Reasons(read).size(), 2);   // the message names the real path, not SitePath
        QCOMPARE(read.problems.size(), 2);
        QCOMPARE(read.problems[0].line, 6);
        QCOMPARE(read.problems[0].values, (QStringList{dir.filePath("ttyUSB0"), "A", "1"}));
        QCOMPARE(read.problems[1].line, 12);
        QCOMPARE(read.problems[1].values, (QStringList{"sim:door.QLV", "C", "7"}));
    }

    // Read from disk: paths beside the file wherever it is; a file that is
    // no regular file, or is far larger than any site file, is not read.
    void siteFileOnDisk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("werk.toml");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Terminal("A", "sim:a.QLV"));
        file.close();
        const SiteFileRead read = ReadSiteFile(path);
        QVERIFY(read);
        QCOMPARE(read.site.name, QStringLiteral("werk"));
        QCOMPARE(read.site.terminals.value(0).port.target, "sim:" + dir.filePath("a.QLV"));
        QCOMPARE(read.site.terminals.value(0).folder, dir.filePath("A"));

        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Terminal("A", "com1") + QByteArray(MaxSiteFileBytes, '#'));
        file.close();
        QCOMPARE(SiteFileMessage(ReadSiteFile(path), path, 1000), path + " is too large and is not read");
        QCOMPARE(SiteFileMessage(ReadSiteFile(dir.path()), dir.path(), 1000), dir.path() + " is a folder, not a file");
#ifdef Q_OS_UNIX
        const QString fifo = dir.filePath("fifo.toml");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);
        QCOMPARE(SiteFileMessage(ReadSiteFile(fifo), fifo, 1000),
                 fifo + " is not a regular file (a FIFO, a device or the like) and is not used");
#endif
    }
};

QTEST_GUILESS_MAIN(SiteFileTest)
#include "tst_sitefile.moc"
