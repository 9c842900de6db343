// vardelo-cli: the command-line companion of the configuration program.
#include "cli/commands.h"
#include "cli/sitecommand.h"
#include "comm/rfc2217link.h"
#include "platform/fileaccess.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <memory>

namespace {

const QString QlvFile = QStringLiteral("FILE.QLV");
const QString QlvHelp = QStringLiteral("the configuration file (its comments file .BGT beside it)");
const ExitCode TerminalFailed{ExitFailed, QStringLiteral("the work failed: the port, the terminal or a file (the message says which)")};

// One entry per command: adding a command is an entry here and its function.
const QList<Command>& Commands()
{
    static const QList<Command> commands{
        {QStringLiteral("show"), QStringLiteral("print a configuration and its comments as JSON"),
         {{QlvFile, QlvHelp}},
         {PrettyOption()},
         {{ExitOk, QStringLiteral("the configuration was printed")},
          {ExitFailed, QStringLiteral("the file could not be read (the message names the file, line and slot)")}},
         RunShow},
        {QStringLiteral("print"), QStringLiteral("write the printed report of a configuration as a PDF"),
         {{QlvFile, QlvHelp}},
         {{QStringLiteral("section"), QStringLiteral("SECTION"), QStringLiteral("what to print"),
           QStringLiteral("basic, privileges, blocklists, display or all"),
           {"basic", "privileges", "blocklists", "display", "all"}, {}, true},
          {QStringLiteral("pdf"), QStringLiteral("OUT.pdf"), QStringLiteral("the PDF file to write"), {}, {}, {}, true},
          LangOption(QStringLiteral("de"))},
         {{ExitOk, QStringLiteral("the PDF was written (its name is printed)")},
          {ExitFailed, QStringLiteral("the configuration could not be read or the PDF not written "
                                      "(an existing PDF is left as it was)")}},
         RunPrintCommand, true},
        {QStringLiteral("read"), QStringLiteral("read the terminal's configuration into a file"),
         {},
         QList<OptionSpec>{PortOption()} + PasswordOptions() +
             QList<OptionSpec>{{QStringLiteral("out"), QlvFile, QStringLiteral("the configuration file to write"), {}, {},
                                QStringLiteral("VARDELO.QLV"), false},
                               LangOption(QStringLiteral("en"))},
         {{ExitOk, QStringLiteral("read and stored (the terminal's identification is printed)")}, TerminalFailed},
         RunRead},
        {QStringLiteral("write"), QStringLiteral("read the terminal, then write a configuration into it and verify it"),
         {{QlvFile, QStringLiteral("the configuration file to write into the terminal")}},
         QList<OptionSpec>{PortOption()} + PasswordOptions() +
             QList<OptionSpec>{{QStringLiteral("dry-run"), {},
                                QStringLiteral("read the terminal and print what the write would change; write nothing"),
                                {}, {}, {}, false},
                               LangOption(QStringLiteral("en"))},
         {{ExitOk, QStringLiteral("the terminal replied with what was sent (with --dry-run: the changes were printed)")},
          TerminalFailed},
         RunWrite},
        {QStringLiteral("reset"), QStringLiteral("give the terminal its reset pulse"),
         {},
         {PortOption(), LangOption(QStringLiteral("en"))},
         {{ExitOk, QStringLiteral("the reset pulse was given")}, TerminalFailed},
         RunReset},
        {QStringLiteral("simulate"),
         QStringLiteral("serve a simulated terminal over the network (RFC 2217) until stopped (Ctrl+C)"),
         {{QStringLiteral("MEMORY.QLV[,OPTION...]"),
           QStringLiteral("its memory (a write it takes is stored there) and the options of the simulated terminal "
                          "(silent, stop=N, burst=N, differ, short, framing=N, free=TEXT, id=TEXT)")}},
         {{QStringLiteral("listen"), QStringLiteral("[HOST:]PORT"),
           QStringLiteral("where to serve it: a port alone serves this machine only (127.0.0.1), 0.0.0.0:PORT "
                          "every network; port 0 takes a free one, named in the first line"),
           {}, {}, {}, true},
          LangOption(QStringLiteral("en"))},
         {{ExitOk, QStringLiteral("stopped by SIGINT or SIGTERM")},
          {ExitFailed, QStringLiteral("it could not be served (the memory file or the port: the message says which)")}},
         RunSimulate},
        {QStringLiteral("ports"), QStringLiteral("list the serial ports, their adapters and the port map line for each"),
         {},
         JsonOptions(),
         {{ExitOk, QStringLiteral("the ports were listed")}},
         RunPorts},
        {QStringLiteral("export"), QStringLiteral("write the card lists of a configuration as CSV"),
         {{QlvFile, QlvHelp}},
         {{QStringLiteral("csv"), QStringLiteral("OUT.csv"),
           QStringLiteral("the CSV file to write; without it the CSV goes to standard output"), {}, {}, {}, false},
          LangOption(QStringLiteral("en"))},
         {{ExitOk, QStringLiteral("the CSV was written (the file's name is printed)")},
          {ExitFailed, QStringLiteral("the configuration could not be read or the CSV file not written "
                                      "(an existing file is left as it was)")}},
         RunExport},
        {QStringLiteral("import"), QStringLiteral("replace card lists of a configuration from CSV, into a new file"),
         {{QlvFile, QStringLiteral("the configuration to start from (never changed)")}},
         {{QStringLiteral("csv"), QStringLiteral("IN.csv"), QStringLiteral("the CSV file: columns list, card and, if wanted, comment"), {}, {}, {}, true},
          {QStringLiteral("out"), QStringLiteral("NEW.QLV"), QStringLiteral("the configuration to write, its comments file beside it"), {}, {}, {}, true},
          LangOption(QStringLiteral("en"))},
         {{ExitOk, QStringLiteral("NEW.QLV and its .BGT were written (the name is printed)")},
          {ExitFailed, QStringLiteral("a file could not be read or written, or the CSV file was refused: "
                                      "every bad line is named with its reason, and nothing is written")}},
         RunImport},
        {QStringLiteral("diff"), QStringLiteral("compare two configurations and their comments"),
         {{QStringLiteral("A.QLV"), QStringLiteral("the first configuration file (its comments file beside it)")},
          {QStringLiteral("B.QLV"), QStringLiteral("the second configuration file (its comments file beside it)")}},
         JsonOptions() + QList<OptionSpec>{LangOption(QStringLiteral("en"))},
         {{ExitOk, QStringLiteral("the configurations are equal")},
          {ExitFailed, QStringLiteral("they differ (what differs is printed)")},
          {ExitUsage, QStringLiteral("wrong usage, or a file that cannot be read (the message names it)")}},
         RunDiff},
        {QStringLiteral("log"), QStringLiteral("print the log of reads and writes"),
         {},
         {{QStringLiteral("last"), QStringLiteral("N"), QStringLiteral("only the last N transfers"),
           QStringLiteral("a whole number of 1 or more"), {}, {}, false}},
         {{ExitOk, QStringLiteral("the log was printed")},
          {ExitFailed, QStringLiteral("the log cannot be read (the message names it)")}},
         RunLog},
        SiteCommand(),
    };
    return commands;
}

const Command* FindCommand(const QString& name)
{
    for (const Command& command : Commands())
        if (command.name == name)
            return &command;
    return nullptr;
}

// The raw bytes of an argument shown as text: what decodes as itself, and
// every other byte as \xNN.
QString ShownBytes(const QByteArray& raw)
{
    QString shown;
    for (qsizetype i = 0; i < raw.size();) {
        qsizetype length = 1;
        QString part;
        // A character takes up to four bytes in any encoding of names in use.
        for (qsizetype n = 1; n <= 4 && i + n <= raw.size(); ++n) {
            const QString decoded = QFile::decodeName(raw.mid(i, n));
            if (decoded.size() <= 2 && !decoded.contains(QChar::ReplacementCharacter)
                && QFile::encodeName(decoded) == raw.mid(i, n)) {
                part = decoded;
                length = n;
                break;
            }
        }
        shown += part.isEmpty() ? QStringLiteral("\\x%1").arg(uchar(raw.at(i)), 2, 16, QLatin1Char('0')) : part;
        i += length;
    }
    return PrintableText(shown);
}

// Qt decodes the arguments in the system's encoding of names and puts a
// replacement character where bytes are not valid in it: a file name with
// such bytes would be taken for another, not found or written under another
// name. Such an argument is told from the raw bytes and refused.
std::optional<QString> UndecodableArgument(int argc, char** argv)
{
#ifndef Q_OS_WIN   // Windows hands Qt its arguments as UTF-16, not as bytes
    for (int i = 2; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QFile::encodeName(QFile::decodeName(raw)) != raw)
            return ShownBytes(raw);
    }
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
#endif
    return std::nullopt;
}

int RunCommand(const Command& command, int& argc, char** argv, QTextStream& out, QTextStream& err)
{
    // Help and usage errors need no graphics: the arguments are parsed first.
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    CommandCall call(command, out, err);
    if (const auto argument = UndecodableArgument(argc, argv))
        return call.UsageError(*argument + QStringLiteral(" holds bytes that are not valid in the system's encoding "
                                                          "of names (UTF-8): a file of this name can be neither "
                                                          "found nor written; rename it, or choose a name in UTF-8"));
    if (const auto status = call.Parse(QCoreApplication::arguments().mid(2)))
        return *status;
    if (command.needsGui) {
        // The command-line companion never shows a window.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app.reset();
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    const int status = command.run(call);
    // A terminal on the network: its connection is closed before the
    // program ends, so that the lines going off reach the server.
    Rfc2217Link::FinishClosing();
    return status;
}

// Everything that is not a command: help, version, usage errors.
int RunProgramOption(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty()) {
        err << CommandList(Commands());
        return ExitUsage;
    }
    const QString first = args.first();
    const bool help = first == u"--help" || first == u"-h" || first == u"help";
    QString fault;
    if (!help && first != u"--version")
        fault = (first.startsWith(u'-') ? QStringLiteral("unknown option ") : QStringLiteral("unknown command ")) + first;
    else if (first == u"help" && args.size() >= 2 && !FindCommand(args.at(1)))
        fault = QStringLiteral("unknown command ") + args.at(1);
    else if (args.size() > (first == u"help" ? 2 : 1))
        fault = QStringLiteral("unexpected argument ") + args.last();
    if (!fault.isEmpty()) {
        err << "vardelo-cli: " << PrintableText(fault) << "\n\n" << CommandList(Commands());
        return ExitUsage;
    }
    if (first == u"--version")
        out << "vardelo-cli " << VARDELO_VERSION << '\n';
    else if (args.size() == 2)
        out << CommandHelp(*FindCommand(args.at(1)));
    else
        out << CommandList(Commands());
    return ExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const Command* command = argc > 1 ? FindCommand(QString::fromLocal8Bit(argv[1])) : nullptr;
    int status;
    if (command) {
        status = RunCommand(*command, argc, argv, out, err);
    } else {
        QCoreApplication app(argc, argv);
        status = RunProgramOption(QCoreApplication::arguments().mid(1), out, err);
    }
    out.flush();
    // A result that did not reach its reader (a full disk, a closed pipe) is
    // not a success.
    if (out.status() != QTextStream::Ok && status == ExitOk) {
        err << "vardelo-cli: the output could not be written\n";
        status = ExitFailed;
    }
    err.flush();
    return status;
}
