#pragma once
// A terminal on the other end of the line, built in: it watches DTR and RTS,
// answers a read with its start byte, checks the password, answers it and
// sends its 2048 configuration bytes and its 16-character identification at
// 2400-baud pace; it takes a write and replies with its memory; it restarts
// on a reset pulse. It can be told to misbehave. It runs on the same Timers
// as the sequences, so a test drives both on one virtual time line.
//
// Line signalling it understands:
//   read:   DTR on (RTS off), then RTS on and DTR off  -> start byte, password, answer
//   write:  RTS on while DTR has not been raised first  -> takes 2048 bytes, replies
//   reset:  DTR on (RTS off), then DTR off with RTS off -> restart
// Dropping RTS ends whatever it is sending or taking.

#include "config/configuration.h"
#include "platform/seriallink.h"

#include <QList>
#include <QLockFile>
#include <QString>
#include <array>
#include <memory>
#include <optional>

class PeriodicTimer;
class Timers;

using TerminalMemory = std::array<quint8, Configuration::BlockSlots>;

struct SimulationOptions {
    QString file;                  // memory file (.QLV); empty: built-in memory
    QString freeText = QStringLiteral("SIMULATE");   // accepted as "X" + this text
    QString identification = QStringLiteral("VARDELO SIM 1.00");   // 16 characters
    bool silent = false;           // never answers
    int stopAfter = -1;            // sends only this many bytes of an answer or reply
    int burst = 1;                 // bytes per receive event
    bool differ = false;           // write reply differs from what was taken (one byte)
    bool shortReply = false;       // write reply one byte short (2047 bytes)
    int framingAt = -1;            // a framing error instead of this byte (0 = first) of an answer
};

// Reads "" / ":FILE.QLV" / ":FILE.QLV,opt,opt" / ",opt" (the text after
// "sim"). Options: silent, stop=N, burst=N, differ, short, framing=N,
// free=TEXT, id=TEXT. Nothing on an unknown option (error says which).
std::optional<SimulationOptions> ParseSimulationOptions(const QString& text, QString* error = nullptr);

// Built-in memory of a simulated terminal without a file: an empty
// configuration whose password is 123456.
TerminalMemory DefaultTerminalMemory();

class SimulatedTerminal : public SerialLink {
    Q_OBJECT
public:
    explicit SimulatedTerminal(Timers& timers, QObject* parent = nullptr);
    ~SimulatedTerminal() override;

    void SetOptions(const SimulationOptions& options) { options_ = options; }
    const SimulationOptions& Options() const { return options_; }
    SimulationOptions& Options() { return options_; }
    void SetMemory(const TerminalMemory& memory) { memory_ = memory; }
    const TerminalMemory& Memory() const { return memory_; }
    // Loads the memory from the options' file (when one is named).
    bool LoadMemoryFile();

    // SerialLink. Open() takes the memory file for this session (a second
    // session on the same file is refused, see InUse()) and loads it; Close()
    // lets it go.
    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    void SetDtr(bool on) override;
    void SetRts(bool on) override;
    bool Dtr() const override { return dtr_; }
    bool Rts() const override { return rts_; }
    void Send(const QByteArray& bytes) override;
    QByteArray ReadAll() override;
    void ClearReceive() override { waiting_.clear(); }
    QString Description() const override;
    // Every port of a link that is the simulated terminal leads to it.
    PortTarget TargetOf(int port) const override;

    // The last Open() failed because another session uses the memory file.
    bool InUse() const { return inUse_; }

    // What it is doing, for tests and the CLI.
    enum class Phase { Idle, AwaitPassword, Answering, TakingWrite, Replying };
    Phase CurrentPhase() const { return phase_; }
    int Restarts() const { return restarts_; }
    int WritesTaken() const { return writes_; }
    // Time (ms of the Timers clock) of the last byte put on the line.
    qint64 LastByteSentMs() const { return lastSentMs_; }
    int BytesSent() const { return exchangeBytes_; }

signals:
    void Restarted();
    void WriteTaken();   // 2048 bytes taken into memory and stored to its file
                         // (a write its file cannot store is not taken: ErrorText() says why)

private:
    void LinesChanged(bool dtrWas, bool rtsWas);
    void BeginAnswer(const QByteArray& bytes);
    void StopActivity();
    void OnSendTick();
    void OnInboundTick();
    void TakeInbound(quint8 byte);
    void ScheduleSend();
    int ExchangeLimit() const;
    QByteArray IdentificationBytes() const;
    bool SaveMemoryFile(const TerminalMemory& memory);
    bool LockMemoryFile();
    qint64 NowUs() const;
    qint64 ByteTimeUs(qint64 bytes) const;

    Timers& timers_;
    SimulationOptions options_;
    TerminalMemory memory_{};
    bool memoryLoaded_ = false;
    std::unique_ptr<QLockFile> memoryLock_;   // held while a session uses the memory file
    bool inUse_ = false;
    bool open_ = false;
    bool dtr_ = false;
    bool rts_ = false;
    bool armed_ = false;     // DTR rose while RTS was low
    Phase phase_ = Phase::Idle;

    // Outbound: the bytes of the current answer and the line clock.
    QByteArray outbound_;
    int sentInAnswer_ = 0;
    int exchangeBytes_ = 0;  // bytes of the current read answer or write reply
    quint64 generation_ = 0; // counts StopActivity(), to notice it from a handler
    qint64 answerStartUs_ = 0;
    QByteArray waiting_;     // delivered to the program, not yet read
    int pendingBurst_ = 0;
    qint64 lastSentMs_ = -1;
    std::unique_ptr<PeriodicTimer> sendTimer_;

    // Inbound: bytes from the program with the time they arrive here.
    QList<QPair<qint64, quint8>> inbound_;
    qint64 inboundFreeUs_ = 0;
    QByteArray taken_;
    std::unique_ptr<PeriodicTimer> inboundTimer_;

    int restarts_ = 0;
    int writes_ = 0;
};
