#pragma once
// Which device, or the built-in simulated terminal, each of com1..com8 stands
// for.

#include "platform/fileaccess.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Where a port number leads: a device, or the built-in simulated terminal.
struct PortTarget {
    enum class Kind { Device, Simulated };
    Kind kind = Kind::Device;
    QString device;        // Device: the system's name of the port
    QString simulation;    // Simulated: the text after "sim" ("" or ":FILE.QLV,options")
};

// The user's port map: com N to a device or to the simulated terminal.
// File "ports.map" in the user's configuration folder, one line per port:
//     com1=/dev/ttyUSB0
//     com2=sim                    the simulated terminal with its own memory
//     com3=sim:/home/me/T.QLV     a simulated terminal that holds that configuration
//     com4=sim:T.QLV,burst=8      ... with the options of the simulated terminal
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

private:
    QHash<int, QString> entries_;
    QStringList problems_;
    FileStatus status_;
};
