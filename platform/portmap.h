#pragma once
// Which device, the built-in simulated terminal or a terminal on the network
// each of com1..com8 stands for, and how a port is written wherever one is
// taken (the port map, --port of the command line, a site's terminals).

#include "platform/fileaccess.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// Where a port number leads: a device, the built-in simulated terminal, or a
// serial device server on the network.
struct PortTarget {
    enum class Kind { Device, Simulated, Network };
    Kind kind = Kind::Device;
    QString device;        // Device: the system's name of the port
    QString simulation;    // Simulated: the text after "sim" ("" or ":FILE.QLV,options")
    QString address;       // Network: the address as written ("rfc2217://HOST:PORT", or one that is none)
};

// A serial line over the network: Telnet with COM port control (RFC 2217),
// written "rfc2217://HOST:PORT", a numeric IPv6 host in brackets
// ("rfc2217://[::1]:4001").
struct NetworkAddress {
    QString host;
    quint16 port = 0;
    static constexpr QStringView Scheme = u"rfc2217://";
    // Host and port of such an address; nothing for any other text.
    static std::optional<NetworkAddress> Parse(const QString& text);
    // Whether the text is meant as a network address: "rfc2217://..." or
    // any other "SCHEME://..." (which is refused as none, rather than taken
    // for a device of that name).
    static bool LooksLikeOne(const QString& text);
};

// The user's port map: com N to a device or to the simulated terminal.
// File "ports.map" in the user's configuration folder, one line per port:
//     com1=/dev/ttyUSB0
//     com2=sim                    the simulated terminal with its own memory
//     com3=sim:/home/me/T.QLV     a simulated terminal that holds that configuration
//     com4=sim:T.QLV,burst=8      ... with the options of the simulated terminal
//     com5=rfc2217://door1:4001   a terminal behind a serial device server
// Blank lines and lines starting with '#' are ignored. Ports the map does
// not name are the system's own (com N = /dev/ttyS(N-1), COMN on Windows).
class PortMap {
public:
    PortMap() = default;
    static QString DefaultPath();
    // A map larger than this is not one written by hand and is not read.
    static constexpr qint64 MaxFileBytes = 64 * 1024;
    // Of the lines it cannot read, the first ten are reported, each cut to
    // 80 characters, control characters shown escaped.
    static constexpr int MaxReportedLines = 10;
    static constexpr int ShownLineChars = 80;

    // Reads the map; a missing file is an empty map. A map that is no regular
    // file or is too large is not read at all: the map is empty and
    // LoadStatus() says why. Lines it cannot read (a line with control
    // characters among them) are listed in Problems() and otherwise ignored.
    static PortMap Load(const QString& path = DefaultPath());
    static PortMap Parse(const QString& text);
    const FileStatus& LoadStatus() const { return status_; }

    void Set(int port, const QString& target) { entries_.insert(port, target); }
    void Remove(int port) { entries_.remove(port); }
    PortTarget Resolve(int port) const;
    // The ports the map names, with the target text of each.
    const QHash<int, QString>& Entries() const { return entries_; }
    QStringList Problems() const { return problems_; }

    // "com1".."com8" (any letter case) to 1..8, otherwise 0.
    static int PortNumberOf(const QString& name);
    // The system's own name of com N.
    static QString SystemDevice(int port);
    // Reads a target text as given in the map or on the command line.
    static PortTarget TargetFromText(const QString& text);
    // The map's text with com N's line replaced (the first one, later ones
    // removed; appended when there is none), or removed for an empty target;
    // every other line, comments included, stays as it was.
    static QString WithEntry(const QString& text, int port, const QString& target);

private:
    QHash<int, QString> entries_;
    QStringList problems_;
    FileStatus status_;
};
