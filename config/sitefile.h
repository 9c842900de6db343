#pragma once
// A site: the terminals of one building, listed in a TOML file that the
// operator writes by hand.
//
//     name = "Werk 2"
//     [[terminal]]
//     name = "Tor 1"
//     port = "com1"
//     password-file = "tor1.pw"      # or password-env = "TOR1_PW"
//     configuration = "tor1.QLV"     # optional
//
// Relative paths are relative to the site file's folder. Each terminal keeps
// its reads in a folder named after it beside the site file. A site file is
// taken whole or not at all: every problem is named with its line before any
// terminal is touched.

#include "platform/fileaccess.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Where a terminal hangs. The text stays as written; target is what a link
// opens, with a relative simulation file made absolute.
struct SitePort {
    enum class Kind {
        Com,          // com1..com8, through the port map
        Device,       // a device path: /dev/serial/by-id/..., \\.\COM12
        Simulated,    // sim[:FILE][,OPTION...]
        Network,      // rfc2217://HOST:PORT
    };
    Kind kind = Kind::Com;
    QString text;             // as written in the site file
    QString target;           // com1, the device, sim:/abs/FILE,OPTIONS, rfc2217://host:port
    int com = 0;              // Com: 1..8
    QString simulationFile;   // Simulated: absolute; empty for the built-in memory
    QString host;             // Network: as the URL gives it (lower case)
    int tcpPort = 0;          // Network: 1..65535
};

// Where the terminal's password comes from.
struct SitePassword {
    enum class Source {
        Default,       // VARDELO_PASSWORD, else a prompt once
        File,          // the first line of file
        Environment,   // the variable named
    };
    Source source = Source::Default;
    QString file;       // File: absolute
    QString variable;   // Environment
    int line = 0;       // of password-file or password-env; of the terminal's header for Default
};

struct SiteTerminal {
    QString name;            // as written; unique, also ignoring case
    int line = 0;            // of its [[terminal]] header
    SitePort port;
    SitePassword password;
    QString configuration;   // absolute; empty when the site file names none
    QString comments;        // the configuration's .BGT beside it; empty with it
    QString folder;          // <site folder>/<name>: its reads and history
};

struct Site {
    QString name;            // the site file's base name when it gives none
    QString file;            // the site file, absolute
    QString folder;          // the folder holding it
    QList<SiteTerminal> terminals;   // in the file's order
};

// Why a site file cannot be used. Values hold the texts the message needs,
// in order.
struct SiteProblem {
    enum class Kind {
        Syntax,                // values: column, the TOML reader's description (English)
        UnknownKey,            // values: key, the keys known there
        NotText,               // values: key
        TerminalsNotTables,    // "terminal" is not written as [[terminal]] tables
        NoTerminals,           // line 0: the file names no terminal
        MissingName,           // line of the terminal's header
        NameNotFolder,         // values: name
        DuplicateName,         // values: name, line of the terminal that has it first
        MissingPort,           // line of the terminal's header
        BadPort,               // values: port
        BadSimulation,         // values: port, why (English, from the simulated terminal)
        DuplicatePort,         // values: port, the terminal that has it first, its line
        TwoPasswordSources,    // both password-file and password-env
        EmptyPath,             // values: key (a path or the variable's name given empty)
        BadVariableName,       // values: variable
        NotConfigurationFile,  // values: file as written
        FolderTaken,           // values: name, the file of the site that has the folder's name
        BadSiteName,           // values: name (a control character)
        // Found when the passwords are fetched, before any terminal is touched:
        PasswordFileUnusable,  // status: why the password file cannot be read
        PasswordVariableUnset, // values: variable
        PasswordMalformed,     // values: where it came from (the file, the variable)
    };
    int line = 0;   // from 1; 0 for the file as a whole
    Kind kind = Kind::Syntax;
    QStringList values;
    FileStatus status;   // PasswordFileUnusable
};

struct SiteFileRead {
    FileStatus file;               // the site file itself could not be read
    QList<SiteProblem> problems;   // in line order
    Site site;                     // complete only when the read succeeded
    explicit operator bool() const { return file && problems.isEmpty(); }
};

// Checks the text after "sim" of a simulated terminal's port (":FILE,burst=8");
// empty when a simulated terminal can be made of it, otherwise why. The
// simulated terminal lives on a floor above: its owner passes the check in.
using SimulationCheck = std::function<QString(const QString& afterSim)>;

// A terminal name is a folder name and a column of every table: kept short
// enough that the folder, its history/ and the file names in it stay within
// the 260 characters Windows allows for a path.
constexpr int MaxTerminalNameChars = 64;

// Site files are written by hand; a larger one is not a site file.
constexpr qint64 MaxSiteFileBytes = 1024 * 1024;

// Reads the site file at path, refused like every file of ours when it is
// no regular file or too large. Touches nothing but that file (and looks
// where device and simulation paths lead, to tell two names of one port).
SiteFileRead ReadSiteFile(const QString& path, const SimulationCheck& checkSimulation = {});
// The same for a site file's content; path places its relative paths.
SiteFileRead ParseSiteFile(const QByteArray& content, const QString& path, const SimulationCheck& checkSimulation = {});

// The form in which terminal names are compared: two names that only differ
// in letter case or Unicode composition would share one folder on Windows and
// macOS, so they are one name.
QString TerminalNameKey(const QString& name);

// Beside the site file: the log of every read and write of its terminals, and
// which terminals failed in the last run of each command.
inline const QString SiteLogFileName = QStringLiteral("transfers.log");
QString SiteRunsFileName(const QString& siteFile);   // ".NAME.toml.runs"

// The texts of a refusal, in the operator's language, are in texts/sitetexts.h.
