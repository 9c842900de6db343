#pragma once
// The command line of vardelo-cli: every command is one entry of the command
// table (cli/main.cpp) and one function that receives its parsed call. The
// entry declares the command's arguments, options and exit statuses once;
// parsing (Qt's QCommandLineParser), usage errors, the command's help and the
// command list are made from it here. Options several commands share
// (--lang, --port, the password, --json/--pretty) come from the factories
// below, and the parsed call reads them through its helpers.

#include <QCommandLineParser>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

enum ExitStatus { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

struct OptionSpec {
    QString name;          // without dashes
    QString valueName;     // empty for a switch
    QString help;          // what the option does
    QString values;        // what its value may be, for the help and for "needs a value"
    QStringList choices;   // the only values taken (compared ignoring case); empty: any
    QString defaultValue;  // of a choice, when the option is not given
    bool required = false;
};

struct ArgumentSpec {
    QString name;   // as the usage line shows it, e.g. FILE.QLV
    QString help;
};

struct ExitCode {
    int status;
    QString meaning;
};

class CommandCall;
using CommandFunction = int (*)(CommandCall& call);

struct Command {
    QString name;
    QString summary;                 // one line in the command list
    QList<ArgumentSpec> arguments;   // all required, in this order
    QList<OptionSpec> options;
    QList<ExitCode> exitCodes;       // 2 (wrong usage) is added when absent
    CommandFunction run;
    bool needsGui = false;           // fonts and painting: a QGuiApplication
};

// The shared options.
OptionSpec LangOption(const QString& defaultLanguage);
OptionSpec PortOption();
QList<OptionSpec> PasswordOptions();
QList<OptionSpec> JsonOptions();   // --json and --pretty
OptionSpec PrettyOption();

// One parsed invocation of a command.
class CommandCall {
public:
    CommandCall(const Command& command, QTextStream& out, QTextStream& err);

    // Parses args (everything after the command's name). Nothing when the
    // command may run; otherwise the status to exit with, its help or its
    // usage error already printed.
    std::optional<int> Parse(const QStringList& args);

    const Command& command() const { return command_; }
    QTextStream& out;
    QTextStream& err;

    QString Argument(int index) const { return positional_.value(index); }
    QString Value(const QString& option) const;   // the default of a choice when not given
    bool IsSet(const QString& option) const { return parser_.isSet(option); }

    // Prints "vardelo-cli COMMAND: message" and the usage line on stderr;
    // returns ExitUsage.
    int UsageError(const QString& message);
    // Prints "vardelo-cli COMMAND: message" on stderr; returns ExitFailed.
    int Failure(const QString& message);
    // The same, for a command that goes on.
    void Warning(const QString& message);

    // --lang as a language offset (0 German, 1000 English, ...).
    qint16 LanguageOffset() const;
    // The terminal password as the terminal is sent it, from --password,
    // --password-file, the environment or a prompt; nothing, with the
    // reason printed, when none gives one or it is malformed.
    std::optional<QString> TerminalPassword();
    // value as one JSON document on stdout, indented with --pretty.
    void PrintJson(const QJsonValue& value);

private:
    std::optional<QString> CheckArguments(const QStringList& args) const;
    const OptionSpec* FindOption(const QString& name) const;

    const Command& command_;
    QCommandLineParser parser_;
    QStringList positional_;
};

// A file name as a command prints its result on stdout: control characters
// and line ends shown as \xNN as in the messages on stderr (a script reads
// one name a line), never cut.
QString PrintedName(const QString& name);

// A result that is bytes (a CSV with its byte order mark, which a text stream
// would drop) written as they are; a failure marks out as failed.
void WriteRawBytes(QTextStream& out, const QByteArray& content);

// "usage: vardelo-cli ..." of one command, generated from its entry.
QString UsageLine(const Command& command);
QString CommandHelp(const Command& command);
QString CommandList(const QList<Command>& commands);
