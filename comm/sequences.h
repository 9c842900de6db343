#pragma once
// The terminal sequences: read, write (with its verification) and reset.
// They are QObjects without widgets. The main window constructs one
// TerminalSession, connects the signals below to its controls and calls the
// Start functions from its buttons and menus; it holds no rule of its own.
//
//     TerminalSession session(program, link, timers, messages);
//     connect(&session.Read(), &ReadSequence::ChecksChanged, ...);   // Ch1..Ch3
//     connect(&session, &TerminalSession::BusyChanged, ...);         // menus
//     session.Read().Start([&] { return showPasswordDialog(); });    // Taste1
//     session.Write().Start(ImageBlock(configuration));              // taste2
//
// A session keeps its own state (SessionState: port, password, the bytes
// read, identification, receive and sequence state) and touches no
// configuration: a read stores the block it read (and ReadSequence::LastRead
// holds it), a write sends the block it is given. So a program can run as
// many sessions side by side as it has links, on one event loop.
//
// Messages go through the Messages seam, with texts from the program's text
// table. A Messages that answers at once (as vardelo-cli's does) lets a
// session run without any window.

#include "comm/sessionstate.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "config/readhistory.h"
#include "texts/textids.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class Messages;
class PeriodicTimer;
class ReceiveHandler;
class SerialLink;
class Timers;

// One sequence at a time: while a read, write or reset runs, no other can
// start (and the main window disables the commands that would disturb it).
class SequenceGate : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool Busy() const { return busy_; }
    bool TryAcquire();
    void Release();
signals:
    void BusyChanged(bool busy);

private:
    bool busy_ = false;
};

struct SequenceContext {
    SessionState& s;
    SerialLink& link;
    Timers& timers;
    Messages& messages;
    ReceiveHandler& rx;
    SequenceGate& gate;
};

// Reading the terminal: password, start byte, 2048 configuration bytes and
// the identification; the block read is written to "VARDELO.QLV" (or as
// SetOutputFile and SetStoring say) and kept in LastRead.
class ReadSequence : public QObject {
    Q_OBJECT
public:
    explicit ReadSequence(const SequenceContext& c, QObject* parent = nullptr);
    ~ReadSequence() override;

    // Asks for the password (the caller's function, which gives what the
    // password dialog gives: PasswordAccepted and TerminalPassword) and
    // starts the read when it was accepted. False when nothing started:
    // another sequence runs, the port is closed (Text::PortBusy shown) or the
    // dialog was cancelled.
    bool Start(const std::function<PasswordEntry()>& askPassword);
    bool IsRunning() const;

    // Where the result goes; default "VARDELO.QLV" in the directory that is
    // current when the read finishes. The pair it replaces is kept in
    // history/ beside it, and the replaced comments carried over.
    void SetOutputFile(const QString& path) { outputFile_ = path; }
    QString OutputFile() const;
    // What a finished read stores: the output file as above, only a copy in
    // history/ beside the output file (the read before a write), or nothing
    // (a dry run).
    enum class Storing { OutputFile, HistoryOnly, Nothing };
    void SetStoring(Storing storing) { storing_ = storing; }
    // Where the last completed read went and what it held (read.block: the
    // 2048 configuration bytes), with the comments carried over to it;
    // nullptr before the first.
    const ReadStorage* LastRead() const { return lastRead_ ? &*lastRead_ : nullptr; }
    // The time a read is named by in history/.
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };
    // Configuration files whose comments a read carries over besides those of
    // the pair it replaces, asked with the terminal's identification when
    // the read ends (the transfer log's recorder names the file last written
    // to that terminal).
    std::function<QStringList(const QString& identification)> CommentSources;
    // Runs the storing of a completed read (files written and synced)
    // elsewhere, on another thread: work touches only files; done must be
    // called with its result on this sequence's thread. Unset, a read is
    // stored at once. A site stores its terminals' reads side by side so,
    // that reads ending on one tick do not wait for each other's disk.
    std::function<void(std::function<ReadStorage()> work, std::function<void(const ReadStorage&)> done)> StoreAside;
    // Where a read goes when its own folder cannot take it.
    void SetFallbackFolder(const QString& folder) { fallbackFolder_ = folder; }
    // Whether the question "Edit loaded file?" is asked.
    void SetAskToEdit(bool ask) { askToEdit_ = ask; }
    // The last identification line: six blanks and 16 characters.
    QString IdentificationLine() const { return c_.s.Identification; }
    // The message that ended the last failed read (empty after success).
    QString FailureText() const { return failure_; }
    // What the last completed read told about where it was stored (a read
    // not kept in history/, or kept elsewhere than asked); empty when none.
    QString NoticeText() const { return notice_; }

    // Stops a running read without a message; DTR and RTS off.
    void Abort();

signals:
    // Check boxes Ch1 "Verbindung", Ch2 "Passwort", Ch3 "Fertig".
    void ChecksChanged(bool connection, bool password, bool done);
    // true: Taste1 red and disabled, Command2 disabled, wait notice
    // "Bitte warten" visible. false: Taste1 green and enabled, Command2
    // enabled, wait notice hidden and emptied.
    void RunningChanged(bool running);
    // Label1: the identification line after a read.
    void IdentificationChanged(const QString& line);
    // The read has ended and what it left is known (LastRead, FailureText,
    // NoticeText), before any message or question about it: what must not
    // wait for the operator (the transfer log) follows this.
    void Ended(bool ok);
    // The read has ended, after its last message (and the editor, when the
    // question to edit was answered Yes).
    void Finished(bool ok);
    // Answer Yes to "Edit loaded file?": open the editor on this file (Codg1's name).
    void EditRequested(const QString& path);
    // Answer No to "Edit loaded file?", or no file to edit: hide both panels.
    void PanelsHideRequested();

private:
    void OnTick();
    void FinishRead();
    void ReadFailed(TextNumber textId, TextNumber titleId);
    void SetLines(bool dtr, bool rts);
    ReadStorage StoreResult(const ConfigBlock& block);
    std::function<ReadStorage()> StoreWork(const ConfigBlock& block);
    static ReadStorage StoreBlock(const ConfigBlock& block, Storing storing, const QString& path,
                                  const QDateTime& time, const QString& fallbackFolder,
                                  const QStringList& commentSources);
    void Stored(const ReadStorage& stored);
    SequenceContext c_;
    std::unique_ptr<PeriodicTimer> readTimer_;
    QString outputFile_;
    QString fallbackFolder_ = DefaultReadFallbackFolder();
    Storing storing_ = Storing::OutputFile;
    std::optional<ReadStorage> lastRead_;
    QString failure_;
    QString notice_;
    bool askToEdit_ = true;
    bool startByteSeen_ = false;   // what Ch1 and Ch2 show
};

// Writing a configuration into the terminal and waiting for its reply,
// which must equal what was sent.
class WriteSequence : public QObject {
    Q_OBJECT
public:
    explicit WriteSequence(const SequenceContext& c, QObject* parent = nullptr);
    ~WriteSequence() override;

    // The write command's check before a file is chosen: Text::MustReadFirst and false
    // when no complete read exists (TerminalRead = 0).
    bool CheckReadDone();
    // Sends the block. False when nothing started: another sequence runs,
    // the port is closed (165), no fresh read (135), or the block holds a
    // value outside 0..255 (280).
    bool Start(const ConfigBlock& block);
    bool IsRunning() const;
    // The message that ended the last write.
    QString ResultText() const { return result_; }
    // The 2048 bytes the last write sent.
    const ConfigBlock& SentBlock() const { return sent_; }
    void Abort();

signals:
    // true: taste2 red and disabled, Command1 disabled.
    // false: Command1 enabled (the write has ended).
    void RunningChanged(bool running);
    // Label1 := Text::NoIdentification when the write starts.
    void IdentificationChanged(const QString& line);
    // taste2 hidden and the write panel hidden.
    void PanelHideRequested();
    // The write has ended and ResultText is known, before its message.
    void Ended(bool ok);
    // The write has ended, after its message.
    void Finished(bool ok);

private:
    void SendImage(const ConfigBlock& block);
    void OnTick();
    void OnSettled();
    void Succeeded();
    void VerifyFailed();
    void StopTimers();
    SequenceContext c_;
    std::unique_ptr<PeriodicTimer> writeTimer_;
    std::unique_ptr<PeriodicTimer> settleTimer_;
    ConfigBlock sent_{};
    QString result_;
};

// The reset pulse: DTR high for 500 ms with RTS low.
class ResetSequence : public QObject {
    Q_OBJECT
public:
    explicit ResetSequence(const SequenceContext& c, QObject* parent = nullptr);
    ~ResetSequence() override;
    // False when another sequence runs or the port is closed (165).
    bool Start();
    bool IsRunning() const;
    void Abort();

signals:
    void RunningChanged(bool running);                // the pulse has begun or ended
    void PanelsHideRequested();                       // read and write panels hidden
    void IdentificationChanged(const QString& line);  // Text::NoIdentification
    void Finished(bool ok);

private:
    void OnTick();
    SequenceContext c_;
    std::unique_ptr<PeriodicTimer> pulseTimer_;
};

// One terminal: its state, the receive handler, the three sequences and the
// gate between them, on one link.
class TerminalSession : public QObject {
    Q_OBJECT
public:
    TerminalSession(const ProgramState& program, SerialLink& link, Timers& timers, Messages& messages,
                    QObject* parent = nullptr);
    ~TerminalSession() override;

    SessionState& State() { return state_; }
    const SessionState& State() const { return state_; }
    ReceiveHandler& Receiver() { return *rx_; }
    ReadSequence& Read() { return *read_; }
    WriteSequence& Write() { return *write_; }
    ResetSequence& Reset() { return *reset_; }
    SerialLink& Link() { return link_; }

    // A read, write or reset runs: load, read, write, reset and the interface
    // dialog are unavailable; exit stays available.
    bool Busy() const { return gate_->Busy(); }
    // Stops whatever runs, without messages, and leaves DTR and RTS off (exit).
    void Shutdown();

signals:
    void BusyChanged(bool busy);

private:
    SessionState state_;
    SerialLink& link_;
    std::unique_ptr<SequenceGate> gate_;
    std::unique_ptr<ReceiveHandler> rx_;
    std::unique_ptr<ReadSequence> read_;
    std::unique_ptr<WriteSequence> write_;
    std::unique_ptr<ResetSequence> reset_;
};
