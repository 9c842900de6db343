#include "config/sitefile.h"

#include "config/badlines.h"
#include "config/configfiles.h"
#include "platform/seriallink.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <optional>

// toml++ is header-only and compiled here, in this one file, so that the
// parser is built with our flags (the fuzzer's coverage and the sanitizers
// reach into it) and the program needs no library of it at run time. Without
// exceptions: a syntax error comes back as a value with its line and column,
// and nothing can be thrown through Qt's event loop, which the rest of the
// program does not expect either.
#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#include <toml++/toml.h>

namespace {

using Kind = SiteProblem::Kind;

const QString SiteKeys = QStringLiteral("name, terminal");
const QString TerminalKeys = QStringLiteral("name, port, password-file, password-env, configuration");
// Written beside the site file by the site's commands.
const QString TransferLogName = QStringLiteral("transfers.log");

int LineOf(const toml::node& node)
{
    return int(node.source().begin.line);
}

int LineOf(const toml::key& key)
{
    return int(key.source().begin.line);
}

QString TextOf(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Control characters and line separators: nothing a name shown in a window
// title, a table or a log line may hold.
bool IsControl(char32_t c)
{
    const auto category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Separator_Line || category == QChar::Separator_Paragraph;
}

bool HasControl(const QString& text)
{
    const QList<uint> characters = text.toUcs4();
    return std::any_of(characters.begin(), characters.end(), [](uint c) { return IsControl(c); });
}

// Device names Windows keeps in every folder, also with an extension ("CON.txt").
bool IsWindowsDeviceName(const QString& name)
{
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|CONIN\\$|CONOUT\\$|(COM|LPT)[0-9\u00B9\u00B2\u00B3])$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name.section(u'.', 0, 0).trimmed()).hasMatch();
}

// Whether name can be a folder on Linux, Windows and macOS alike, visible and
// distinct: no separator or character Windows forbids, no control or
// invisible formatting character, no blank or dot at either end (Windows
// drops a trailing one, a leading dot hides the folder; "." and ".." are
// none), no device name of Windows.
bool FolderNameAllowed(const QString& name)
{
    if (name.isEmpty() || name.size() > MaxTerminalNameChars || IsWindowsDeviceName(name))
        return false;
    if (name.front().isSpace() || name.back().isSpace() || name.front() == u'.' || name.back() == u'.')
        return false;
    const QList<uint> characters = name.toUcs4();
    return std::none_of(characters.begin(), characters.end(), [](uint c) {
        return IsControl(c) || QChar::category(c) == QChar::Other_Format || (c < 0x80 && QByteArrayView("/\\:*?\"<>|").contains(char(c)));
    });
}

bool IsVariableName(const QString& name)
{
    static const QRegularExpression variable(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return variable.match(name).hasMatch();
}

QString Resolved(const QString& folder, const QString& written)
{
    return QDir::cleanPath(QDir(folder).absoluteFilePath(written));
}

// Where a path leads, links followed, for telling two names of one file apart.
QString Identity(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

// A path compared as a case-insensitive file system compares it.
QString PathKey(const QString& path)
{
    return TerminalNameKey(QDir::cleanPath(path));
}

// Reads a port text; on success also the text that tells one port from
// another ("" for a simulated terminal with its own memory).
struct PortReading {
    std::optional<SitePort> port;
    QString identity;
    QString simulationError;
};

PortReading ReadPort(const QString& written, const QString& folder, const SimulationCheck& checkSimulation)
{
    PortReading reading;
    const QString text = written.trimmed();
    if (HasControl(text))
        return reading;
    SitePort port;
    port.text = written;
    if (const int com = PortMap::PortNumberOf(text); com > 0) {
        port.kind = SitePort::Kind::Com;
        port.com = com;
        port.target = QStringLiteral("com%1").arg(com);
        reading.identity = port.target;
    } else if (text.startsWith(QLatin1String("rfc2217://"), Qt::CaseInsensitive)) {
        const QUrl url(text, QUrl::StrictMode);
        const int tcpPort = url.port();
        if (!url.isValid() || url.host().isEmpty() || tcpPort < 1 || !url.userInfo().isEmpty() || !url.path().isEmpty()
            || url.hasQuery() || url.hasFragment())
            return reading;
        port.kind = SitePort::Kind::Network;
        port.host = url.host();
        port.tcpPort = tcpPort;
        const QString host = port.host.contains(u':') ? u'[' + port.host + u']' : port.host;
        port.target = QStringLiteral("rfc2217://%1:%2").arg(host).arg(tcpPort);
        reading.identity = port.target;
    } else if (const PortTarget target = PortMap::TargetFromText(text); target.kind == PortTarget::Kind::Simulated) {
        if (checkSimulation)
            reading.simulationError = checkSimulation(target.simulation);
        if (!reading.simulationError.isEmpty())
            return reading;
        port.kind = SitePort::Kind::Simulated;
        // ":FILE,OPTION,..." or ",OPTION,...": the file, if any, up to the first comma.
        const bool hasFile = target.simulation.startsWith(u':');
        const qsizetype comma = target.simulation.indexOf(u',');
        const QString file = hasFile ? target.simulation.mid(1, comma < 0 ? -1 : comma - 1).trimmed() : QString();
        const QString options = comma < 0 ? QString() : target.simulation.mid(comma);
        if (!file.isEmpty()) {
            port.simulationFile = Resolved(folder, file);
            reading.identity = QStringLiteral("sim:") + Identity(port.simulationFile);
        }
        port.target = QStringLiteral("sim") + (file.isEmpty() ? QString() : u':' + port.simulationFile) + options;
    } else if (text.startsWith(u'/') || text.startsWith(QLatin1String("\\\\.\\"))) {
        port.kind = SitePort::Kind::Device;
        port.target = text;
        reading.identity = text.startsWith(u'/') ? Identity(text) : text.toCaseFolded();
    } else {
        return reading;
    }
    reading.port = port;
    return reading;
}

// Reads a site file's tables into a Site, collecting every problem.
class SiteReader {
public:
    SiteReader(const QString& path, const SimulationCheck& checkSimulation)
        : checkSimulation_(checkSimulation)
    {
        const QFileInfo info(path);
        read_.site.file = info.absoluteFilePath();
        read_.site.folder = info.absolutePath();
        read_.site.name = info.completeBaseName();
    }

    SiteFileRead Read(const QByteArray& content)
    {
        const toml::parse_result parsed
            = toml::parse(std::string_view(content.constData(), size_t(content.size())), std::string_view("site"));
        if (!parsed) {
            const toml::parse_error& error = parsed.error();
            Add(int(error.source().begin.line), Kind::Syntax,
                {QString::number(error.source().begin.column), TextOf(error.description())});
            return read_;
        }
        for (const auto& [key, node] : parsed.table()) {
            if (key == "name") {
                if (const std::optional<QString> name = Text(key, node); name && !name->isEmpty()) {
                    if (HasControl(*name))
                        Add(LineOf(node), Kind::BadSiteName, {*name});
                    read_.site.name = *name;
                }
            } else if (key == "terminal") {
                const toml::array* terminals = node.as_array();
                if (!terminals || (!terminals->empty() && !terminals->is_array_of_tables())) {
                    Add(LineOf(node), Kind::TerminalsNotTables);
                    terminalTables_ = -1;
                    continue;
                }
                for (const toml::node& terminal : *terminals)
                    ReadTerminal(*terminal.as_table());
            } else {
                Add(LineOf(key), Kind::UnknownKey, {TextOf(key.str()), SiteKeys});
            }
        }
        if (terminalTables_ == 0)
            Add(0, Kind::NoTerminals);
        CheckFolders();
        std::stable_sort(read_.problems.begin(), read_.problems.end(),
                         [](const SiteProblem& a, const SiteProblem& b) { return a.line < b.line; });
        if (!read_.problems.isEmpty())
            read_.site.terminals.clear();
        return read_;
    }

private:
    void Add(int line, Kind kind, QStringList values = {}) { read_.problems.append({line, kind, std::move(values)}); }

    // A text value; a problem when it is something else.
    std::optional<QString> Text(const toml::key& key, const toml::node& node)
    {
        if (const auto* text = node.as_string())
            return TextOf(text->get());
        Add(LineOf(node), Kind::NotText, {TextOf(key.str())});
        return std::nullopt;
    }

    struct Value {
        QString text;
        int line = 0;
        bool given = false;       // present, whether a text or not
        bool wrongType = false;   // present and no text: named once, not again as missing or empty
        bool Missing() const { return text.isEmpty() && !wrongType; }
    };

    void ReadTerminal(const toml::table& table)
    {
        ++terminalTables_;
        const qsizetype before = read_.problems.size();
        SiteTerminal terminal;
        terminal.line = LineOf(table);
        Value name, port, passwordFile, passwordEnv, configuration;
        const std::pair<const char*, Value*> keys[] = {{"name", &name}, {"port", &port}, {"password-file", &passwordFile},
                                                       {"password-env", &passwordEnv}, {"configuration", &configuration}};
        for (const auto& [key, node] : table) {
            Value* known = nullptr;
            for (const auto& [keyName, slot] : keys)
                known = key == keyName ? slot : known;
            if (!known) {
                Add(LineOf(key), Kind::UnknownKey, {TextOf(key.str()), TerminalKeys});
                continue;
            }
            Value& value = *known;
            value.given = true;
            value.line = LineOf(node);
            const std::optional<QString> text = Text(key, node);
            value.text = text.value_or(QString());
            value.wrongType = !text;
        }

        terminal.name = name.text;
        if (name.Missing()) {
            Add(terminal.line, Kind::MissingName);
        } else if (!name.wrongType && !FolderNameAllowed(name.text)) {
            Add(name.line, Kind::NameNotFolder, {name.text});
        } else if (!name.wrongType) {
            const QString key = TerminalNameKey(name.text);
            if (const auto first = names_.constFind(key); first != names_.cend())
                Add(name.line, Kind::DuplicateName, {name.text, QString::number(*first)});
            else
                names_.insert(key, terminal.line);
        }

        if (port.text.trimmed().isEmpty()) {
            if (!port.wrongType)
                Add(terminal.line, Kind::MissingPort);
        } else {
            const PortReading reading = ReadPort(port.text, read_.site.folder, checkSimulation_);
            if (!reading.simulationError.isEmpty()) {
                Add(port.line, Kind::BadSimulation, {port.text, reading.simulationError});
            } else if (!reading.port) {
                Add(port.line, Kind::BadPort, {port.text});
            } else {
                terminal.port = *reading.port;
                if (!reading.identity.isEmpty()) {
                    if (const auto first = ports_.constFind(reading.identity); first != ports_.cend())
                        Add(port.line, Kind::DuplicatePort, {port.text, first->first, QString::number(first->second)});
                    else
                        ports_.insert(reading.identity, {name.text, terminal.line});
                }
            }
        }

        if (passwordFile.given && passwordEnv.given)
            Add(qMax(passwordFile.line, passwordEnv.line), Kind::TwoPasswordSources);
        if (passwordFile.given) {
            terminal.password.source = SitePassword::Source::File;
            terminal.password.file = ResolvedPath(passwordFile, "password-file");
        } else if (passwordEnv.given) {
            terminal.password.source = SitePassword::Source::Environment;
            terminal.password.variable = passwordEnv.text;
            if (passwordEnv.Missing())
                Add(passwordEnv.line, Kind::EmptyPath, {QStringLiteral("password-env")});
            else if (!passwordEnv.wrongType && !IsVariableName(passwordEnv.text))
                Add(passwordEnv.line, Kind::BadVariableName, {passwordEnv.text});
        }
        if (configuration.given) {
            terminal.configuration = ResolvedPath(configuration, "configuration");
            if (!terminal.configuration.isEmpty()) {
                if (!configuration.text.endsWith(QLatin1String(".QLV")) && !configuration.text.endsWith(QLatin1String(".qlv")))
                    Add(configuration.line, Kind::NotConfigurationFile, {configuration.text});
                terminal.comments = CommentFileNameFor(terminal.configuration);
            }
        }
        terminal.folder = QDir(read_.site.folder).filePath(terminal.name);
        if (read_.problems.size() == before)
            read_.site.terminals.append(terminal);
    }

    // A path given relative to the site file, made absolute; empty, and a
    // problem, when it is empty.
    QString ResolvedPath(const Value& value, const char* key)
    {
        if (value.text.isEmpty()) {
            if (!value.wrongType)
                Add(value.line, Kind::EmptyPath, {QString::fromLatin1(key)});
            return {};
        }
        return Resolved(read_.site.folder, value.text);
    }

    // A terminal's folder must not have the name of a file the site uses
    // beside it: the first read could not create it.
    void CheckFolders()
    {
        QHash<QString, QString> files;   // key -> path
        const auto add = [&](const QString& path) {
            if (!path.isEmpty())
                files.insert(PathKey(path), path);
        };
        add(read_.site.file);
        add(QDir(read_.site.folder).filePath(TransferLogName));
        for (const SiteTerminal& t : std::as_const(read_.site.terminals)) {
            add(t.password.file);
            add(t.configuration);
            add(t.comments);
            add(t.port.simulationFile);
        }
        for (const SiteTerminal& t : std::as_const(read_.site.terminals))
            if (const auto file = files.constFind(PathKey(t.folder)); file != files.cend())
                Add(t.line, Kind::FolderTaken, {t.name, QDir(read_.site.folder).relativeFilePath(*file)});
    }

    SimulationCheck checkSimulation_;
    SiteFileRead read_;
    QHash<QString, int> names_;                     // name key -> line of its terminal
    QHash<QString, std::pair<QString, int>> ports_; // port identity -> terminal name, line
    int terminalTables_ = 0;                        // -1 when "terminal" is no list of tables
};

} // namespace

QString TerminalNameKey(const QString& name)
{
    return name.normalized(QString::NormalizationForm_C).toCaseFolded();
}

SiteFileRead ParseSiteFile(const QByteArray& content, const QString& path, const SimulationCheck& checkSimulation)
{
    return SiteReader(path, checkSimulation).Read(content);
}

SiteFileRead ReadSiteFile(const QString& path, const SimulationCheck& checkSimulation)
{
    const FileContent file = ReadRegularFile(path, MaxSiteFileBytes);
    if (!file.status) {
        SiteFileRead refused;
        refused.file = file.status;
        return refused;
    }
    return ParseSiteFile(file.content, path, checkSimulation);
}

QString SiteProblemText(const SiteProblem& problem)
{
    const QStringList v = PrintableValues(problem.values, 4);
    switch (problem.kind) {
    case Kind::Syntax: return QStringLiteral("syntax error at column %1: %2").arg(v[0], v[1]);
    case Kind::UnknownKey: return QStringLiteral("unknown key \"%1\" (known here: %2)").arg(v[0], v[1]);
    case Kind::NotText: return QStringLiteral("\"%1\" must be a text in quotes").arg(v[0]);
    case Kind::TerminalsNotTables: return QStringLiteral("terminals are written as [[terminal]] tables");
    case Kind::NoTerminals: return QStringLiteral("the site file names no terminal ([[terminal]])");
    case Kind::MissingName: return QStringLiteral("the terminal has no name");
    case Kind::NameNotFolder:
        return QStringLiteral("the name \"%1\" cannot be a folder name on every system: no / \\ : * ? \" < > |, "
                              "no control or invisible characters, no blank or dot at either end, no device name "
                              "such as CON, NUL, COM1 or LPT1, at most %2 characters")
            .arg(v[0], QString::number(MaxTerminalNameChars));
    case Kind::DuplicateName:
        return QStringLiteral("the name \"%1\" is already that of the terminal on line %2 (letter case aside)").arg(v[0], v[1]);
    case Kind::MissingPort: return QStringLiteral("the terminal has no port");
    case Kind::BadPort:
        return QStringLiteral("port \"%1\" is none of com1 to com8, a device path (/dev/...), sim[:FILE][,OPTION...] "
                              "or rfc2217://HOST:PORT")
            .arg(v[0]);
    case Kind::BadSimulation: return QStringLiteral("port \"%1\": %2").arg(v[0], v[1]);
    case Kind::DuplicatePort:
        return QStringLiteral("port \"%1\" is already that of terminal \"%2\" (line %3)").arg(v[0], v[1], v[2]);
    case Kind::TwoPasswordSources:
        return QStringLiteral("password-file and password-env are both given: name one source of the password");
    case Kind::EmptyPath: return QStringLiteral("\"%1\" is empty").arg(v[0]);
    case Kind::BadVariableName:
        return QStringLiteral("\"%1\" is no environment variable name (letters, digits and _, not beginning with a digit)")
            .arg(v[0]);
    case Kind::NotConfigurationFile: return QStringLiteral("configuration \"%1\" is not a .QLV file").arg(v[0]);
    case Kind::FolderTaken:
        return QStringLiteral("the folder of terminal \"%1\" would have the name of the file %2").arg(v[0], v[1]);
    case Kind::BadSiteName: return QStringLiteral("the site name \"%1\" holds a control character").arg(v[0]);
    }
    return {};
}

QString SiteFileMessage(const SiteFileRead& read, const QString& fileName)
{
    if (!read.file)
        return read.file.message;
    if (read.problems.isEmpty())
        return {};
    QList<LineReason> reasons;
    for (const SiteProblem& problem : read.problems)
        reasons.append({problem.line, SiteProblemText(problem)});
    return QStringLiteral("The site file %1 cannot be used; no terminal was touched:").arg(PrintableText(fileName))
        + u'\n' + EnglishBadLines(reasons);
}
