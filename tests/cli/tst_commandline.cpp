// The command line itself: help, version, usage errors and the bash
// completion script, run against the real program.
#include "common/clirun.h"
#include "common/filebytes.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

QString SourceFile(const QString& name)
{
    return qEnvironmentVariable("VARDELO_SOURCE_DIR") + u'/' + name;
}

// The commands the command list names, and the options a command's help
// names, as the completion should offer them.
QStringList WordsOf(const QByteArray& help, const QString& pattern)
{
    QStringList words;
    for (const auto& match : QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(QString::fromUtf8(help)))
        words << match.captured(1);
    words.sort();
    return words;
}

QStringList CommandNames()
{
    return WordsOf(RunCli({"--help"}).out, QStringLiteral("^  ([a-z]+) "));
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // Which stream a text goes to and the exit status. The port is a device
    // that does not exist: a usage error must come before any attempt to
    // open it (which would end with 1 and "Serial interface occupied").
    void invocation_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("says");   // on stdout for 0, on stderr otherwise
        const QString none = QStringLiteral("/dev/vardelo-none");
        const QStringList commandList{"usage: vardelo-cli COMMAND", "  show ", "  read ", "  help [COMMAND] ", "exit status: 0 success, 1",
                                      "environment:\n  VARDELO_PASSWORD ", "files:\n  ~/.config/vardelo/ports.map "};
        const QStringList readHelp{"usage: vardelo-cli read --port PORT", "--port PORT ", "--out FILE.QLV ", "-h, --help ", "exit status:\n  0  ", "  2  wrong usage"};
        QTest::newRow("no arguments") << QStringList{} << 2 << commandList;
        QTest::newRow("--help") << QStringList{"--help"} << 0 << commandList;
        QTest::newRow("-h") << QStringList{"-h"} << 0 << commandList;
        QTest::newRow("help") << QStringList{"help"} << 0 << commandList;
        QTest::newRow("read --help") << QStringList{"read", "--help"} << 0 << readHelp;
        QTest::newRow("help read") << QStringList{"help", "read"} << 0 << readHelp;
        QTest::newRow("-h among other options") << QStringList{"show", "x.QLV", "-h"} << 0 << QStringList{"usage: vardelo-cli show FILE.QLV [--pretty]", "arguments:\n  FILE.QLV "};
        QTest::newRow("print's own exit status") << QStringList{"print", "--help"} << 0 << QStringList{"  1  the configuration could not be read or the PDF not written"};
        QTest::newRow("unknown command") << QStringList{"shw", "x.QLV"} << 2 << QStringList{"vardelo-cli: unknown command shw\n", "  show "};
        QTest::newRow("help for an unknown command") << QStringList{"help", "shw"} << 2 << QStringList{"unknown command shw"};
        QTest::newRow("help for two commands") << QStringList{"help", "read", "write"} << 2 << QStringList{"unexpected argument write"};
        QTest::newRow("unknown program option") << QStringList{"--verbose"} << 2 << QStringList{"unknown option --verbose"};
        QTest::newRow("unknown option") << QStringList{"read", "--port", none, "--pasword", "1"} << 2 << QStringList{"vardelo-cli read: unknown option --pasword\nusage: vardelo-cli read "};
        QTest::newRow("unknown option with a value") << QStringList{"reset", "--port", none, "--baud=9600"} << 2 << QStringList{"unknown option --baud\n"};
        QTest::newRow("value missing at the end") << QStringList{"read", "--port", none, "--password"} << 2 << QStringList{"--password needs a value: six digits"};
        QTest::newRow("value missing before an option") << QStringList{"read", "--port", "--password", "123456"} << 2 << QStringList{"--port needs a value: com1 to com8"};
        QTest::newRow("empty value") << QStringList{"reset", "--port="} << 2 << QStringList{"--port needs a value"};
        QTest::newRow("value missing, choice") << QStringList{"print", "x.QLV", "--pdf", "x.pdf", "--section"} << 2 << QStringList{"--section needs a value: basic, privileges, blocklists, display or all"};
        QTest::newRow("option twice") << QStringList{"reset", "--port", none, "--port=sim"} << 2 << QStringList{"--port is given twice"};
        QTest::newRow("value to a switch") << QStringList{"show", "x.QLV", "--pretty=yes"} << 2 << QStringList{"--pretty takes no value"};
        QTest::newRow("option not given") << QStringList{"print", "x.QLV", "--pdf", "x.pdf"} << 2 << QStringList{"--section is required: basic,"};
        QTest::newRow("value not among the choices") << QStringList{"print", "x.QLV", "--pdf", "x.pdf", "--section", "bas"} << 2 << QStringList{"--section takes basic, privileges, blocklists, display or all, not bas"};
        QTest::newRow("stray argument, read") << QStringList{"read", "--port", none, "--password", "123456", "extra.QLV"} << 2 << QStringList{"unexpected argument extra.QLV"};
        QTest::newRow("stray argument, show") << QStringList{"show", "a.QLV", "b.QLV"} << 2 << QStringList{"unexpected argument b.QLV"};
        QTest::newRow("argument missing") << QStringList{"write", "--port", none, "--password", "123456"} << 2 << QStringList{"missing FILE.QLV"};
        QTest::newRow("control characters shown escaped") << QStringList{"show", "a", "b\x1b[2J\n"} << 2 << QStringList{"unexpected argument b\\x1b[2J\\x0a\n"};
        // Ports that cannot be meant, refused before any is opened.
        QTest::newRow("com9") << QStringList{"read", "--port", "com9", "--password", "123456"} << 2 << QStringList{"--port takes com1 to com8, not com9\nusage: vardelo-cli read "};
        QTest::newRow("COM0") << QStringList{"reset", "--port", "COM0"} << 2 << QStringList{"com1 to com8, not COM0"};
        QTest::newRow("simulated terminal option it does not have") << QStringList{"reset", "--port", "sim,loud"} << 2 << QStringList{"--port: unknown simulated terminal option \"loud\""};
        QTest::newRow("simulated terminal option without its value") << QStringList{"write", "x.QLV", "--port", "sim:t.QLV,burst=0", "--password", "123456"} << 2 << QStringList{"bad value in simulated terminal option \"burst=0\""};
        QTest::newRow("a network address that is none") << QStringList{"reset", "--port", "rfc2217://door1"} << 2 << QStringList{"--port: rfc2217://door1 is not a network address of the form rfc2217://HOST:PORT\nusage: vardelo-cli reset "};
        QTest::newRow("plain TCP is no terminal's line") << QStringList{"read", "--port", "socket://door1:4001", "--password", "123456"} << 2 << QStringList{"socket://door1:4001 is not a network address"};
        // A terminal on the network that is not there: said with its address.
        QTest::newRow("nothing listens") << QStringList{"reset", "--port", "rfc2217://127.0.0.1:1"} << 1 << QStringList{"rfc2217://127.0.0.1:1: connection refused, no server listens on port 1\n"};
        QTest::newRow("nothing listens, in German") << QStringList{"reset", "--port", "rfc2217://127.0.0.1:1", "--lang", "de"} << 1 << QStringList{"rfc2217://127.0.0.1:1: Verbindung abgewiesen, an Port 1 wartet kein Server\n"};
        // The served simulated terminal's usage.
        QTest::newRow("simulate without --listen") << QStringList{"simulate", "x.QLV"} << 2 << QStringList{"--listen is required"};
        QTest::newRow("simulate on a port too large") << QStringList{"simulate", "x.QLV", "--listen", "70000"} << 2 << QStringList{"--listen takes [HOST:]PORT with a port of 0 to 65535, not 70000"};
        QTest::newRow("simulate with an option it does not have") << QStringList{"simulate", "x.QLV,loud", "--listen", "0"} << 2 << QStringList{"unknown simulated terminal option \"loud\""};
        QTest::newRow("simulate without a memory") << QStringList{"simulate", ",burst=2", "--listen", "0"} << 2 << QStringList{"MEMORY.QLV: the terminal's memory is a configuration file"};
        QTest::newRow("simulate a memory that is not there") << QStringList{"simulate", none + ".QLV", "--listen", "127.0.0.1:0"} << 1 << QStringList{"vardelo-cli simulate: The simulated terminal cannot be served at 127.0.0.1:0: " + none + ".QLV"};
        // The option forms that are taken: each reaches the port.
        QTest::newRow("--port=value") << QStringList{"reset", "--port=" + none} << 1 << QStringList{"Serial interface occupied"};
        QTest::newRow("-port value") << QStringList{"reset", "-port", none, "--lang=DE"} << 1 << QStringList{"Serielle Schnittstelle belegt"};
        QTest::newRow("a file after --") << QStringList{"show", "--", "--x.QLV"} << 1 << QStringList{"--x.QLV does not exist"};
    }
    void invocation()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, says);
        const CliRun run = RunCli(args, {"XDG_CONFIG_HOME=" + dir.path()});
        const QString text = QString::fromUtf8(status == 0 ? run.out : run.err);
        QVERIFY2(run.status == status, qPrintable(text));
        QVERIFY2((status == 0 ? run.err : run.out).isEmpty(), (run.out + run.err).constData());
        for (const QString& part : says)
            QVERIFY2(text.contains(part), qPrintable(part + QStringLiteral("\nnot in\n") + text));
    }

    // A name whose bytes are not valid in the system's encoding (a Latin-1
    // "é" under UTF-8) would be decoded to another name: refused as such,
    // before anything is read or written, never reported missing nor
    // written under the other name. \351 is that byte, made by the shell.
    void undecodableNamesAreRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("shown");
        const QString demo = SourceFile(QStringLiteral("demo/DEMO.QLV"));
        QTest::newRow("show") << QStringList{"show", "DIR/caf\\351.QLV"} << "caf\\xe9.QLV";
        QTest::newRow("read --out") << QStringList{"read", "--port", "sim", "--password", "123456", "--out", "DIR/caf\\351.QLV"} << "caf\\xe9.QLV";
        QTest::newRow("export --csv") << QStringList{"export", demo, "--csv", "DIR/k\\303\\274che-\\374.csv"} << "küche-\\xfc.csv";
        QTest::newRow("an option's value") << QStringList{"reset", "--port", "sim", "--lang", "de\\377"} << "de\\xff";
    }
    void undecodableNamesAreRefused()
    {
        QFETCH(QStringList, args);
        QTemporaryDir folder;
        // The file that a decoding loss would make of the name: a read or
        // export must not land there.
        const QStringList before = QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        shell.setProcessEnvironment(env);
        // Each argument goes through printf %b, which turns \NNN into its byte.
        const QString script = QStringLiteral("program=$1; shift; for a; do set -- \"$@\" \"$(printf '%b' \"$a\")\"; shift; done; "
                                              "exec \"$program\" \"$@\"");
        shell.start(QStringLiteral("/bin/sh"), QStringList{"-c", script, "sh", QStringLiteral(VARDELO_CLI_PATH)}
                                                   + args.replaceInStrings(QStringLiteral("DIR"), folder.path()));
        QVERIFY(shell.waitForFinished(30000));
        const QString err = QString::fromUtf8(shell.readAllStandardError());
        QVERIFY2(shell.exitCode() == 2, qPrintable(err));
        QFETCH(QString, shown);
        QVERIFY2(err.contains(shown + QStringLiteral(" holds bytes that are not valid in the system's encoding")), qPrintable(err));
        QVERIFY2(!err.contains(u"does not exist"), qPrintable(err));
        QVERIFY(shell.readAllStandardOutput().isEmpty());
        QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
    }

    // The names that export, import and print report on stdout, one a line:
    // control characters and line ends escaped as on stderr.
    void printedNamesAreEscaped_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("printed");   // DIR: the folder
        const QString demo = SourceFile(QStringLiteral("demo/DEMO.QLV"));
        QTest::newRow("export") << QStringList{"export", demo, "--csv", "DIR/a\x1b[2Jb\n.csv"} << "DIR/a\\x1b[2Jb\\x0a.csv\n";
        QTest::newRow("import") << QStringList{"import", demo, "--csv", "DIR/in.csv", "--out", "DIR/new\r\n.QLV"} << "DIR/new\\x0d\\x0a.QLV\n";
        QTest::newRow("print") << QStringList{"print", demo, "--section", "basic", "--pdf", "DIR/x\x07\ty.pdf"} << "DIR/x\\x07\\x09y.pdf\n";
    }
    void printedNamesAreEscaped()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, printed);
        QTemporaryDir folder;
        QVERIFY(WriteBytes(folder.filePath(QStringLiteral("in.csv")), "list,card\n1,10000418\n"));
        const CliRun run = RunCli(args.replaceInStrings(QStringLiteral("DIR"), folder.path()), {"XDG_CONFIG_HOME=" + dir.path()});
        QVERIFY2(run.status == 0, run.err.constData());
        QCOMPARE(QString::fromUtf8(run.out), printed.replace(QStringLiteral("DIR"), folder.path()));
    }

    void versionIsTheProjectVersion()
    {
        const QByteArray cmake = Bytes(SourceFile(QStringLiteral("CMakeLists.txt")));
        const auto match = QRegularExpression(QStringLiteral(R"(project\(vardelo[^)]*VERSION ([0-9.]+))")).match(QString::fromUtf8(cmake));
        QVERIFY(match.hasMatch());
        const CliRun run = RunCli({"--version"});
        QCOMPARE(run.status, 0);
        QCOMPARE(QString::fromUtf8(run.out), QStringLiteral("vardelo-cli %1\n").arg(match.captured(1)));
    }

    // A result that cannot be written (a full disk) is not reported as success.
    void outputThatCannotBeWrittenIsAFailure()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full on this system");
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(QStringLiteral(VARDELO_CLI_PATH), {"show", SourceFile(QStringLiteral("demo/DEMO.QLV"))});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("output could not be written"));
    }

    // What the completion script offers for the words typed so far (the last
    // one being completed), in a folder with a.QLV, b.txt, c.pdf, d.toml, e.csv and sub/.
    // The commands and each command's options must be those of the
    // program's own help.
    void completion_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("offered");
        QStringList commands = CommandNames() + QStringList{"--help", "--version"};
        commands.sort();
        QTest::newRow("commands") << QStringList{"vardelo-cli", ""} << commands;
        for (const QString& command : CommandNames()) {
            if (command != u"help")
                QTest::addRow("options of %s", qPrintable(command))
                    << QStringList{"vardelo-cli", command, "--"}
                    << WordsOf(RunCli({command, "--help"}).out, QStringLiteral("^  (?:-h, )?(--[a-z-]+)"));
        }
        QTest::newRow("help COMMAND") << QStringList{"vardelo-cli", "help", "re"} << QStringList{"read", "reset"};
        QTest::newRow("sections") << QStringList{"vardelo-cli", "print", "a.QLV", "--section", ""} << QStringList{"all", "basic", "blocklists", "display", "privileges"};
        QTest::newRow("--lang=") << QStringList{"vardelo-cli", "reset", "--lang", "=", "e"} << QStringList{"en", "es"};
        QTest::newRow("ports") << QStringList{"vardelo-cli", "read", "--port", "s"} << QStringList{"sim"};
        QTest::newRow("network port") << QStringList{"vardelo-cli", "reset", "--port", "r"} << QStringList{"rfc2217://"};
        QTest::newRow("memory of a served terminal") << QStringList{"vardelo-cli", "simulate", ""} << QStringList{"a.QLV", "sub"};
        QTest::newRow("nothing offered to listen on") << QStringList{"vardelo-cli", "simulate", "--listen", ""} << QStringList{};
        QTest::newRow("configuration files") << QStringList{"vardelo-cli", "show", ""} << QStringList{"a.QLV", "sub"};
        QTest::newRow("PDF files") << QStringList{"vardelo-cli", "print", "a.QLV", "--pdf", ""} << QStringList{"c.pdf", "sub"};
        QTest::newRow("site actions") << QStringList{"vardelo-cli", "site", ""}
                                      << QStringList{"apply", "diff", "directory", "plan", "read", "status", "write"};
        QTest::newRow("options of site plan") << QStringList{"vardelo-cli", "site", "plan", "d.toml", "--"}
                                              << QStringList{"--date", "--directory", "--help", "--json", "--lang", "--only", "--pretty"};
        QTest::newRow("options of site directory") << QStringList{"vardelo-cli", "site", "directory", "--"} << QStringList{"--help", "--lang"};
        QTest::newRow("directory files") << QStringList{"vardelo-cli", "site", "apply", "d.toml", "--directory", ""}
                                         << QStringList{"e.csv", "sub"};
        QTest::newRow("no date offered") << QStringList{"vardelo-cli", "site", "plan", "d.toml", "--date", ""} << QStringList{};
        QTest::newRow("site files") << QStringList{"vardelo-cli", "site", "read", ""} << QStringList{"d.toml", "sub"};
        QTest::newRow("no names offered") << QStringList{"vardelo-cli", "site", "read", "d.toml", "--only", ""} << QStringList{};
        QTest::newRow("no password offered") << QStringList{"vardelo-cli", "read", "--password", ""} << QStringList{};
    }
    void completion()
    {
        QFETCH(QStringList, words);
        QTemporaryDir folder;
        for (const char* name : {"a.QLV", "b.txt", "c.pdf", "d.toml", "e.csv"})
            QFile(folder.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
        QDir(folder.path()).mkdir(QStringLiteral("sub"));
        QStringList quoted;
        for (const QString& word : words)
            quoted << u'\'' + word + u'\'';
        const QString script = QStringLiteral(
            "source '%1' || exit 3\n"
            "completion=$(complete -p vardelo-cli) || exit 4\n"
            "function=${completion#*-F }; function=${function%% *}\n"
            "COMP_WORDS=(%2); COMP_CWORD=%3\n"
            "\"$function\"; printf '%s\\n' \"${COMPREPLY[@]}\"\n")
            .arg(SourceFile(QStringLiteral("scripts/vardelo-cli.bash")), quoted.join(u' '))
            .arg(words.size() - 1);
        QProcess bash;
        bash.setWorkingDirectory(folder.path());
        bash.start(QStringLiteral("bash"), {"--norc", "-c", script});
        QVERIFY(bash.waitForFinished(30000));
        QVERIFY2(bash.exitCode() == 0, bash.readAllStandardError().constData());
        QStringList offered = QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        offered.sort();
        QTEST(offered, "offered");
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
