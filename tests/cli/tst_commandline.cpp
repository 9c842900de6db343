// The command line itself: help, version, usage errors and the bash
// completion script, run against the real program.
#include "common/clirun.h"

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
        const QStringList commandList{"usage: vardelo-cli COMMAND", "  show ", "  read ", "  help [COMMAND] ", "exit status: 0 success, 1"};
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
        QTest::newRow("stray argument, reset") << QStringList{"reset", "extra.QLV", "--port", none} << 2 << QStringList{"unexpected argument extra.QLV"};
        QTest::newRow("stray argument, show") << QStringList{"show", "a.QLV", "b.QLV"} << 2 << QStringList{"unexpected argument b.QLV"};
        QTest::newRow("argument missing") << QStringList{"write", "--port", none, "--password", "123456"} << 2 << QStringList{"missing FILE.QLV"};
        QTest::newRow("control characters shown escaped") << QStringList{"show", "a", "b\x1b[2J\n"} << 2 << QStringList{"unexpected argument b\\x1b[2J\\x0a\n"};
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

    void versionIsTheProjectVersion()
    {
        QFile cmake(SourceFile(QStringLiteral("CMakeLists.txt")));
        QVERIFY(cmake.open(QIODevice::ReadOnly));
        const auto match = QRegularExpression(QStringLiteral(R"(project\(vardelo[^)]*VERSION ([0-9.]+))")).match(QString::fromUtf8(cmake.readAll()));
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
    // one being completed), in a folder with a.QLV, b.txt, c.pdf and sub/.
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
        QTest::newRow("configuration files") << QStringList{"vardelo-cli", "show", ""} << QStringList{"a.QLV", "sub"};
        QTest::newRow("PDF files") << QStringList{"vardelo-cli", "print", "a.QLV", "--pdf", ""} << QStringList{"c.pdf", "sub"};
        QTest::newRow("no password offered") << QStringList{"vardelo-cli", "read", "--password", ""} << QStringList{};
    }
    void completion()
    {
        QFETCH(QStringList, words);
        QTemporaryDir folder;
        for (const char* name : {"a.QLV", "b.txt", "c.pdf"})
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
