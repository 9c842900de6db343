#pragma once
// The log of every read and write: one JSON object per line in
// "transfers.log" in the user's configuration folder, appended, flushed and
// synced line by line. A log that cannot be written never stops a transfer;
// the first failure is reported, later ones are not.
//
// A line: {"time": "2026-12-06T14:03:27+01:00", "command": "read",
//          "port": "com1", "device": "/dev/ttyUSB0", "terminal": "VARDELO SIM 1.00",
//          "file": "/home/op/VARDELO.QLV", "sha256": "...", "result": "success"}
// and for a write also "changes": the change summary against the last read.
// A terminal of a site is named too ("name": "Tor 1"); its site keeps a log
// of its own beside the site file.

#include "config/configcompare.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class TerminalSession;

struct TransferEntry {
    QDateTime time;
    QString command;          // "read" or "write"
    QString name;             // the terminal's name in its site; empty for none
    QString port;             // "com1", "/dev/ttyUSB0", "sim:T.QLV"
    QString device;           // what the port stands for
    QString terminal;         // the terminal's 16 identification characters
    QString file;
    QString sha256;           // of the 2048 configuration bytes read or sent
    bool hasChanges = false;
    QJsonObject changes;      // a write's change summary
    bool ok = false;
    QString result;           // "success", or the message that ended it

    QJsonObject ToJson() const;
};

// The SHA-256 of the block as the 2048 bytes the terminal holds, in hex.
QString BlockSha256(const ConfigBlock& block);
// {"settings": n, "display": n, "other": n, "lists": [{"list": 1, "added": n, "removed": n}, ...]}
QJsonObject ChangeSummaryJson(const ConfigDifference& difference);

// "transfers.log" in the folder of the settings file.
QString TransferLogPathFor(const QString& settingsPath);

class TransferLog {
public:
    explicit TransferLog(QString path) : path_(std::move(path)) {}
    QString Path() const { return path_; }
    // Appends one line, flushed and synced. Returns the problem (English,
    // naming the path) the first time an append fails, empty otherwise.
    QString Append(const TransferEntry& entry);

private:
    QString path_;
    bool reported_ = false;
};

struct TransferLogContent {
    QList<QJsonObject> entries;   // oldest first
    int damagedLines = 0;         // lines that are no JSON object (skipped)
    bool truncated = false;       // only the beginning of a very large log was read
    FileStatus status;
};
// The last `last` entries, read from the end of a log of any size (all
// when last <= 0). A file where the log's folder should be is a failure.
TransferLogContent ReadTransferLog(const QString& path, int last);
// The file of the last successful write to the terminal behind device (what
// the port stood for) with this identification, and in a site's log with
// this name (letter case aside); empty when the log names none.
QString LastFileWrittenTo(const QString& logPath, const QString& device, const QString& terminal,
                          const QString& name = {});
// One entry as a readable line: "2026-12-06 14:03:27  read   com1 ...  success".
QString FormatTransferEntry(const QJsonObject& entry);

// Appends a line for every read and write of a session. The program and
// the command line attach one to their session. It also tells the session's
// reads which file was last written to the terminal they read, so that its
// comments are carried over too.
class TransferRecorder : public QObject {
    Q_OBJECT
public:
    TransferRecorder(TerminalSession& session, QString logPath, QObject* parent = nullptr);

    // What the port is called ("com1"; the CLI's --port text), asked at each entry.
    std::function<QString()> PortName;
    // The file a write sends (the write sequence knows only the block).
    void SetWriteFile(const QString& path) { writeFile_ = path; }
    // The terminal's name in its site, written with each entry.
    void SetTerminalName(const QString& name) { name_ = name; }

    // The clock of the entries (tests).
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };

signals:
    // The log could not be written (once per recorder).
    void Problem(const QString& message);

private:
    TransferEntry Entry(const QString& command) const;
    void Append(const TransferEntry& entry);
    void ReadEnded(bool ok);
    void WriteEnded(bool ok);

    TerminalSession& session_;
    TransferLog log_;
    QString writeFile_;
    QString name_;
};
