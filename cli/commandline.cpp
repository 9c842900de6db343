#include "cli/commandline.h"

#include "cli/passwordsource.h"
#include "config/configimage.h"
#include "platform/fileaccess.h"

#include <QFileDevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString Program = QStringLiteral("vardelo-cli");
const OptionSpec HelpOption{QStringLiteral("help"), {}, QStringLiteral("show this help"), {}, {}, {}, false};
const QString PasswordRule = QStringLiteral("six digits, or X and a text of 6 to 8 characters");
const QList<ExitCode> UsageExit{{ExitUsage, QStringLiteral("wrong usage (the message names what was wrong)")}};

// "a, b or c"
QString OneOf(const QStringList& words)
{
    if (words.size() < 2)
        return words.join(QString());
    return words.mid(0, words.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + words.last();
}

QString OptionLabel(const OptionSpec& option)
{
    QString label = option.name == HelpOption.name ? QStringLiteral("-h, --help") : QStringLiteral("--") + option.name;
    if (!option.valueName.isEmpty())
        label += u' ' + option.valueName;
    return label;
}

QString OptionHelp(const OptionSpec& option)
{
    QString help = option.help;
    if (!option.values.isEmpty())
        help += QStringLiteral(": ") + option.values;
    if (!option.defaultValue.isEmpty())
        help += QStringLiteral(" (default ") + option.defaultValue + u')';
    return help;
}

// Two columns: the label, then its text wrapped to 80 characters a line.
void AddRow(QString& text, const QString& label, const QString& help, int column = 24)
{
    constexpr int Width = 80;
    const QString indent(column, u' ');
    QString line = QStringLiteral("  ") + label;
    if (line.size() + 1 > column) {
        text += line + u'\n';
        line.clear();
    }
    line = line.leftJustified(column);
    bool first = true;
    for (const QString& word : help.split(u' ', Qt::SkipEmptyParts)) {
        if (!first && line.size() + 1 + word.size() > Width) {
            text += line + u'\n';
            line = indent;
            first = true;
        }
        line += (first ? QString() : QStringLiteral(" ")) + word;
        first = false;
    }
    text += line + u'\n';
}

QList<ExitCode> ExitCodesOf(const Command& command)
{
    QList<ExitCode> codes = command.exitCodes;
    if (std::none_of(codes.cbegin(), codes.cend(), [](const ExitCode& c) { return c.status == ExitUsage; }))
        codes += UsageExit;
    return codes;
}

} // namespace

OptionSpec LangOption(const QString& defaultLanguage)
{
    return {QStringLiteral("lang"), QStringLiteral("LANG"), QStringLiteral("language of the texts"),
            QStringLiteral("de, en, fr or es"), {"de", "en", "fr", "es"}, defaultLanguage, false};
}

OptionSpec PortOption()
{
    return {QStringLiteral("port"), QStringLiteral("PORT"), QStringLiteral("the terminal's port"),
            QStringLiteral("com1 to com8 (through the port map), a device such as /dev/ttyUSB0, "
                           "sim[:FILE.QLV][,OPTION...] for the simulated terminal, or rfc2217://HOST:PORT for a "
                           "terminal behind a serial device server"),
            {}, {}, true};
}

QList<OptionSpec> PasswordOptions()
{
    return {{QStringLiteral("password-file"), QStringLiteral("FILE"),
             QStringLiteral("the terminal password is the first line of FILE (else the environment variable ") +
                 QLatin1String(PasswordVariable) + QStringLiteral(", else it is asked for without echo)"),
             {}, {}, {}, false},
            {QStringLiteral("password"), QStringLiteral("PW"),
             QStringLiteral("the terminal password (seen by every user of the machine in the process list)"),
             PasswordRule, {}, {}, false}};
}

QList<OptionSpec> JsonOptions()
{
    return {{QStringLiteral("json"), {}, QStringLiteral("print the result as JSON"), {}, {}, {}, false}, PrettyOption()};
}

OptionSpec PrettyOption()
{
    return {QStringLiteral("pretty"), {}, QStringLiteral("indent the JSON"), {}, {}, {}, false};
}

CommandCall::CommandCall(const Command& command, QTextStream& out, QTextStream& err)
    : out(out), err(err), command_(command)
{
    // -port is --port; -h is --help.
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), HelpOption.name}));
    for (const OptionSpec& option : command.options) {
        QCommandLineOption qtOption(option.name, option.help, option.valueName);
        if (!option.defaultValue.isEmpty())
            qtOption.setDefaultValue(option.defaultValue);
        parser_.addOption(qtOption);
    }
}

const OptionSpec* CommandCall::FindOption(const QString& name) const
{
    if (name == u"h" || name == HelpOption.name)
        return &HelpOption;
    for (const OptionSpec& option : command_.options)
        if (option.name == name)
            return &option;
    return nullptr;
}

// The faults QCommandLineParser would report in words of its own, named
// here after the argument: an unknown option, a missing or empty value
// (also when the next word is an option: "--port --password 1" does not
// make "--password" a port), a value given to a switch, an option given
// twice.
std::optional<QString> CommandCall::CheckArguments(const QStringList& args) const
{
    const auto optionWord = [this](const QString& word) {
        return word.startsWith(QStringLiteral("--")) || (word.size() > 1 && word.startsWith(u'-') && FindOption(word.mid(1)));
    };
    QStringList given;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args.at(i);
        if (word == u"--")
            break;   // the rest are arguments
        if (word.size() < 2 || !word.startsWith(u'-'))
            continue;
        const qsizetype equals = word.indexOf(u'=');
        const QString written = equals < 0 ? word : word.left(equals);
        const OptionSpec* option = FindOption(written.mid(written.startsWith(QStringLiteral("--")) ? 2 : 1));
        if (!option)
            return QStringLiteral("unknown option ") + PrintableText(written);
        // Which of two values was meant is not for the program to guess.
        if (given.contains(option->name) && option != &HelpOption)
            return QStringLiteral("--") + option->name + QStringLiteral(" is given twice");
        given << option->name;
        if (option->valueName.isEmpty()) {
            if (equals >= 0)
                return PrintableText(written) + QStringLiteral(" takes no value");
            continue;
        }
        QString value;
        if (equals >= 0)
            value = word.mid(equals + 1);
        else if (i + 1 < args.size() && !optionWord(args.at(i + 1)))
            value = args.at(++i);
        if (value.isEmpty())
            return PrintableText(written) + QStringLiteral(" needs a value: ") +
                   (option->values.isEmpty() ? option->help : option->values);
    }
    return std::nullopt;
}

std::optional<int> CommandCall::Parse(const QStringList& args)
{
    if (const auto fault = CheckArguments(args))
        return UsageError(*fault);
    if (!parser_.parse(QStringList{Program} + args))
        return UsageError(parser_.errorText());
    if (parser_.isSet(HelpOption.name)) {
        out << CommandHelp(command_);
        return ExitOk;
    }
    positional_ = parser_.positionalArguments();
    if (positional_.size() > command_.arguments.size())
        return UsageError(QStringLiteral("unexpected argument ") + PrintableText(positional_.at(command_.arguments.size())));
    if (positional_.size() < command_.arguments.size()) {
        const ArgumentSpec& missing = command_.arguments.at(positional_.size());
        return UsageError(QStringLiteral("missing ") + missing.name + QStringLiteral(": ") + missing.help);
    }
    for (const OptionSpec& option : command_.options) {
        if (option.required && !parser_.isSet(option.name))
            return UsageError(QStringLiteral("--") + option.name + QStringLiteral(" is required: ") +
                              (option.values.isEmpty() ? option.help : option.values));
        if (!option.choices.isEmpty() && parser_.isSet(option.name) && !option.choices.contains(Value(option.name)))
            return UsageError(QStringLiteral("--") + option.name + QStringLiteral(" takes ") + OneOf(option.choices) +
                              QStringLiteral(", not ") + PrintableText(parser_.value(option.name)));
    }
    return std::nullopt;
}

QString CommandCall::Value(const QString& option) const
{
    const OptionSpec* declared = FindOption(option);
    const QString value = parser_.value(option);
    return declared && !declared->choices.isEmpty() ? value.toLower() : value;
}

int CommandCall::UsageError(const QString& message)
{
    err << Program << u' ' << command_.name << QStringLiteral(": ") << message << u'\n' << UsageLine(command_)
        << QStringLiteral("(") << Program << u' ' << command_.name << QStringLiteral(" --help tells more)\n");
    return ExitUsage;
}

int CommandCall::Failure(const QString& message)
{
    Warning(message);
    return ExitFailed;
}

void CommandCall::Warning(const QString& message)
{
    err << Program << u' ' << command_.name << QStringLiteral(": ") << message << u'\n';
}

qint16 CommandCall::LanguageOffset() const
{
    const qsizetype index = LangOption({}).choices.indexOf(Value(QStringLiteral("lang")));
    return qint16(std::max<qsizetype>(index, 0) * 1000);
}

std::optional<QString> CommandCall::TerminalPassword()
{
    const auto given = ResolvePassword({Value(QStringLiteral("password")), Value(QStringLiteral("password-file"))},
                                       LanguageOffset(), err);
    if (!given)
        return std::nullopt;
    if (const auto packed = TerminalPasswordFromText(*given))
        return packed;
    UsageError(QStringLiteral("the password (--password, --password-file or ") + QLatin1String(PasswordVariable) +
               QStringLiteral(") must be ") + PasswordRule);
    return std::nullopt;
}

void CommandCall::PrintJson(const QJsonValue& value)
{
    const QJsonDocument document = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    const bool pretty = FindOption(PrettyOption().name) && parser_.isSet(PrettyOption().name);
    const QByteArray text = document.toJson(pretty ? QJsonDocument::Indented : QJsonDocument::Compact);
    out << QString::fromUtf8(text);
    if (!text.endsWith('\n'))
        out << u'\n';
}

QString PrintedName(const QString& name)
{
    return PrintableText(name, name.size());
}

QString UsageLine(const Command& command)
{
    QStringList words{QStringLiteral("usage:"), Program, command.name};
    for (const ArgumentSpec& argument : command.arguments)
        words << argument.name;
    for (const OptionSpec& option : command.options) {
        const QString label = QStringLiteral("--") + option.name +
                              (option.valueName.isEmpty() ? QString() : u' ' + option.valueName);
        words << (option.required ? label : u'[' + label + u']');
    }
    return words.join(u' ') + u'\n';
}

QString CommandHelp(const Command& command)
{
    QString text = UsageLine(command) + u'\n' + command.summary.left(1).toUpper() + command.summary.mid(1) +
                   QStringLiteral(".\n");
    if (!command.arguments.isEmpty()) {
        text += QStringLiteral("\narguments:\n");
        for (const ArgumentSpec& argument : command.arguments)
            AddRow(text, argument.name, argument.help);
    }
    text += QStringLiteral("\noptions:\n");
    for (const OptionSpec& option : command.options + QList<OptionSpec>{HelpOption})
        AddRow(text, OptionLabel(option), OptionHelp(option));
    text += QStringLiteral("\nexit status:\n");
    for (const ExitCode& code : ExitCodesOf(command))
        AddRow(text, QString::number(code.status), code.meaning, 5);
    return text;
}

QString CommandList(const QList<Command>& commands)
{
    QString text = QStringLiteral("usage: %1 COMMAND [ARGUMENTS] [OPTIONS]\n\n"
                                  "The command-line companion of the VARDELO configuration program.\n\n"
                                  "commands:\n").arg(Program);
    for (const Command& command : commands)
        AddRow(text, command.name, command.summary);
    AddRow(text, QStringLiteral("help [COMMAND]"), QStringLiteral("this list, or the help of COMMAND"));
    text += QStringLiteral("\n%1 COMMAND --help shows a command's arguments, options and exit status;\n"
                           "%1 --version prints the version.\n\n"
                           "exit status: 0 success, 1 the work failed (file, terminal), 2 wrong usage\n").arg(Program);
    // The manual page vardelo-cli(1) is made from this text and each
    // command's help (packaging/manpage.sh): what it lists here is all the
    // page says of the environment and the files.
    text += QStringLiteral("\nenvironment:\n");
    AddRow(text, QLatin1String(PasswordVariable),
           QStringLiteral("the terminal password of read and write when neither --password nor --password-file "
                          "gives it"), 20);
    AddRow(text, QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("the folder that holds vardelo/ in place of ~/.config"), 20);
    AddRow(text, QStringLiteral("XDG_DATA_HOME"),
           QStringLiteral("the folder that holds vardelo/reads in place of ~/.local/share"), 20);
    text += QStringLiteral("\nfiles:\n");
    AddRow(text, QStringLiteral("~/.config/vardelo/ports.map"),
           QStringLiteral("the port map: the device or simulated terminal com1 to com8 stand for"), 35);
    AddRow(text, QStringLiteral("~/.config/vardelo/transfers.log"),
           QStringLiteral("the log of reads and writes, shared with the program vardelo"), 35);
    AddRow(text, QStringLiteral("~/.local/share/vardelo/reads"),
           QStringLiteral("reads that could not be stored beside their target"), 35);
    return text;
}

void WriteRawBytes(QTextStream& out, const QByteArray& content)
{
    out.flush();
    QIODevice* device = out.device();
    if (!device || device->write(content) != content.size())
        out.setStatus(QTextStream::WriteFailed);
    else if (auto* file = qobject_cast<QFileDevice*>(device); file && !file->flush())
        out.setStatus(QTextStream::WriteFailed);
}
