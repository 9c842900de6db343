// vardelo-cli read | write | reset: the terminal commands. They drive the very
// sequence objects of the program (TerminalSession) in real time; this file
// only parses the command line, shows progress and prints the result.
#include "cli/commands.h"

#include "texts/catalogue.h"
#include "texts/networktexts.h"
#include "app/mainflow.h"
#include "comm/changereport.h"
#include "comm/mappedlink.h"
#include "comm/progress.h"
#include "comm/portdiagnosis.h"
#include "comm/receivehandler.h"
#include "comm/sequences.h"
#include "texts/sequencetext.h"
#include "comm/timing.h"
#include "comm/transferlog.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "platform/messages.h"
#include "platform/timers.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimer>
#include <optional>

namespace {

// The progress line on stderr comes at most this often.
constexpr int ProgressIntervalMs = 1000;

// Why the port did not open: text 165, and under it the cause.
QString OpenFailureText(const ProgramState& program, const MappedSerialLink& link)
{
    QStringList lines = PortFailedMessage(program, Text::PortBusy, {link.OpenFailure()}).trimmed().split(u'\n');
    for (QString& line : lines)
        line = PrintableText(line);
    return lines.join(u'\n');
}

// A --port the command cannot mean is wrong usage, said before anything is
// opened: a com port beyond com8, a simulated terminal with an option it
// does not have, a network address that is none. (A port map that names
// such a terminal is the map's fault: its opening says so.)
std::optional<int> CheckPortText(CommandCall& call)
{
    const QString text = call.Value(QStringLiteral("port")).trimmed();
    static const QRegularExpression anyCom(QStringLiteral("^com[0-9]+$"), QRegularExpression::CaseInsensitiveOption);
    if (PortMap::PortNumberOf(text) == 0 && anyCom.match(text).hasMatch())
        return call.UsageError(QStringLiteral("--port takes com1 to com8, not ") + PrintableText(text));
    const PortTarget target = PortMap::TargetFromText(text);
    QString error;
    if (target.kind == PortTarget::Kind::Simulated && !ParseSimulationOptions(target.simulation, &error))
        return call.UsageError(QStringLiteral("--port: ") + PrintableText(error));
    if (target.kind == PortTarget::Kind::Network && !NetworkAddress::Parse(target.address))
        return call.UsageError(QStringLiteral("--port: ") +
                               CatalogueText(Text::NetworkNotAnAddress, 1000).arg(PrintableText(target.address)));
    return std::nullopt;
}

// Everything one terminal command needs, in real time.
class Terminal {
public:
    Terminal(const QString& portName, qint16 language)
    {
        program_.Ports = ProgramPortMap();
        link_ = std::make_unique<MappedSerialLink>(timers_, program_.Ports);
        program_.LanguageOffset = language;
        LoadWindowTexts(program_, TextWindow::Main);
        session_ = std::make_unique<TerminalSession>(program_, *link_, timers_, messages_);
        const int port = PortMap::PortNumberOf(portName);
        if (port > 0) {
            session_->State().PortNumber = qint16(port);
            link_->SetPortNumber(port);
        } else {
            link_->SetFixedTarget(PortMap::TargetFromText(portName));
        }
        port_ = port;
        monitor_ = std::make_unique<TransferMonitor>(*session_, timers_, ProgressIntervalMs);
        // The program's log: the same configuration folder as the port map.
        recorder_ = std::make_unique<TransferRecorder>(*session_, TransferLogPathFor(DefaultSettingsPath()));
        recorder_->PortName = [portName] { return portName; };
        QObject::connect(recorder_.get(), &TransferRecorder::Problem, [this](const QString& problem) {
            if (err_)
                *err_ << "vardelo-cli: " << SequenceText(program_, Text::TransferLogUnwritable).arg(problem) << '\n';
        });
        // A terminal on the network lost while a sequence runs: said at once.
        QObject::connect(link_.get(), &SerialLink::ConnectionFailed, [this] {
            const PortFailure failure = link_->OpenFailure();
            if (connected_ && err_)
                *err_ << "vardelo-cli: " << PrintableText(OpenFailureLine(failure, program_.LanguageOffset)) << '\n';
            // Lost for good (a lost connection is opened again at once, and
            // that says how it went): nothing the running sequence waits for
            // can come any more.
            if (failure.network != NetworkProblem::Dropped && lostForGood_)
                lostForGood_();
        });
    }
    ~Terminal()
    {
        monitor_.reset();
        session_->Shutdown();
        link_->Close();
    }

    bool Open(QTextStream& err)
    {
        err_ = &err;
        // The port used here says for itself why it does not open.
        ReportPortMap(program_.Ports, link_->Devices(), port_, program_.LanguageOffset, err);
        if (!link_->Open()) {
            err << OpenFailureText(program_, *link_) << '\n';
            return false;
        }
        // A terminal on the network is connected before anything starts:
        // the sequences time its control lines. The link gives up by itself.
        if (!link_->IsReady()) {
            QEventLoop loop;
            QObject::connect(link_.get(), &SerialLink::Ready, &loop, &QEventLoop::quit);
            QObject::connect(link_.get(), &SerialLink::ConnectionFailed, &loop, &QEventLoop::quit);
            loop.exec();
            if (!link_->IsReady()) {
                err << OpenFailureText(program_, *link_) << '\n';
                return false;
            }
        }
        if (link_->RoundTripUs() >= 0)
            err << "vardelo-cli: "
                << PrintableText(ConnectedText(link_->Description(), link_->RoundTripUs(), program_.LanguageOffset)) << '\n';
        connected_ = true;
        return true;
    }

    // Runs the sequence that start() begins until it has finished, with a
    // progress line on stderr every second; false when it did not start or
    // failed.
    template <typename Sequence>
    bool Run(Sequence& sequence, const std::function<bool()>& start, QTextStream& err)
    {
        QEventLoop loop;
        bool ok = false;
        QObject::connect(&sequence, &Sequence::Finished, &loop, [&](bool success) {
            ok = success;
            loop.quit();
        });
        // The line gone for good: the sequence stops without its message
        // (the failure was said) and the command fails.
        lostForGood_ = [&] {
            if (!sequence.IsRunning())
                return;
            sequence.Abort();
            ok = false;
            loop.quit();
        };
        const auto forget = qScopeGuard([this] { lostForGood_ = nullptr; });
        QTimer progress;
        QObject::connect(&progress, &QTimer::timeout, &loop, [&] {
            const QString line = ProgressLine(monitor_->Current());
            if (!line.isEmpty()) {
                err << line << '\n';
                err.flush();
            }
        });
        if (!start())
            return false;
        progress.start(ProgressIntervalMs);
        loop.exec();
        return ok;
    }

    ProgramState program_;
    QtTimers timers_;
    std::unique_ptr<MappedSerialLink> link_;
    AnsweringMessages messages_;
    std::unique_ptr<TerminalSession> session_;
    std::unique_ptr<TransferMonitor> monitor_;
    int port_ = 0;   // com N, or 0 for a device or simulation named directly
    std::unique_ptr<TransferRecorder> recorder_;
    QTextStream* err_ = nullptr;
    bool connected_ = false;   // Open() has succeeded
    std::function<void()> lostForGood_;   // set while a sequence runs
};

// Reads the terminal into outFile (or as storing says); the identification
// line on success.
bool ReadTerminal(Terminal& t, const QString& terminalPassword, const QString& outFile, QTextStream& err,
                  ReadSequence::Storing storing = ReadSequence::Storing::OutputFile)
{
    ReadSequence& read = t.session_->Read();
    read.SetOutputFile(outFile);
    read.SetStoring(storing);
    read.SetAskToEdit(false);
    const bool ok = t.Run(
        read,
        [&] {
            return read.Start([&] { return PasswordEntry{1, terminalPassword}; });
        },
        err);
    // A read that ended but could not store its file says so too.
    if (!ok || !read.FailureText().isEmpty()) {
        err << (t.messages_.last.isEmpty() ? QStringLiteral("read failed") : t.messages_.last.trimmed()) << '\n';
        return false;
    }
    // Kept elsewhere than asked, or without a history copy: said, not failed.
    if (!read.NoticeText().isEmpty())
        err << "vardelo-cli: " << PrintableText(read.NoticeText()) << '\n';
    return true;
}

// What writing file would change in the terminal just read, as the write
// panel words it.
bool PrintWriteChanges(Terminal& t, const QString& file, QTextStream& out, QTextStream& err)
{
    ConfigSnapshot chosen;
    if (const FileStatus status = LoadSnapshot(file, chosen); !status) {
        err << PrintableText(status.message) << '\n';
        return false;
    }
    ConfigDifference d = CompareConfigurations(t.session_->Read().LastRead()->read, chosen);
    d.comments.clear();   // the terminal holds no comments
    for (const QString& line : ChangeReportLines(d, t.program_.LanguageOffset))
        out << PrintableText(line) << '\n';
    return true;
}

} // namespace

int RunRead(CommandCall& call)
{
    if (const auto usage = CheckPortText(call))
        return *usage;
    const auto password = call.TerminalPassword();
    if (!password)
        return ExitUsage;
    Terminal t(call.Value(QStringLiteral("port")), call.LanguageOffset());
    if (!t.Open(call.err))
        return ExitFailed;
    if (!ReadTerminal(t, *password, call.Value(QStringLiteral("out")), call.err))
        return ExitFailed;
    // The characters come from the line: an escape sequence among them must
    // not reach the operator's terminal.
    call.out << PrintableText(t.session_->Read().IdentificationLine()) << '\n';
    // Stored, but not as FILE (the message above says where): a script must
    // not take FILE for the read.
    return t.session_->Read().LastRead()->AtTarget() ? ExitOk : ExitFailed;
}

int RunWrite(CommandCall& call)
{
    if (const auto usage = CheckPortText(call))
        return *usage;
    const auto password = call.TerminalPassword();
    if (!password)
        return ExitUsage;
    const QString file = call.Argument(0);
    const qint16 language = call.LanguageOffset();
    Terminal t(call.Value(QStringLiteral("port")), language);
    // The file is checked before the terminal is touched, a dry run's too:
    // what the write would refuse is refused alike.
    {
        ProgramState texts;
        texts.LanguageOffset = language;
        LoadWindowTexts(texts, TextWindow::Main);
        Configuration scratch;
        AnsweringMessages refused;
        if (LoadConfigFile(texts, scratch, file, refused) != LoadOutcome::Loaded) {
            call.err << refused.last.trimmed() << '\n';
            return ExitFailed;
        }
        if (const QString unsendable = UnsendableImageText(texts, ImageBlock(scratch)); !unsendable.isEmpty()) {
            call.err << unsendable << '\n';
            return ExitFailed;
        }
    }
    if (!t.Open(call.err))
        return ExitFailed;
    // A write needs a fresh read: the terminal's state before the write is
    // kept in history/ beside the file (a dry run keeps nothing).
    const bool dryRun = call.IsSet(QStringLiteral("dry-run"));
    if (!ReadTerminal(t, *password, file, call.err,
                      dryRun ? ReadSequence::Storing::Nothing : ReadSequence::Storing::HistoryOnly))
        return ExitFailed;
    if (dryRun) {
        if (!PrintWriteChanges(t, file, call.out, call.err))
            return ExitFailed;
        call.err << "vardelo-cli write: dry run, nothing was written\n";
        return ExitOk;
    }
    t.recorder_->SetWriteFile(QFileInfo(file).absoluteFilePath());
    Configuration configuration;
    if (LoadConfigFile(t.program_, configuration, file, t.messages_) != LoadOutcome::Loaded) {
        call.err << t.messages_.last.trimmed() << '\n';
        return ExitFailed;
    }
    WriteSequence& write = t.session_->Write();
    const bool ok = t.Run(write, [&] { return write.Start(ImageBlock(configuration)); }, call.err);
    const QString result = write.ResultText().isEmpty() ? t.messages_.last : write.ResultText();
    // A write stopped by a lost line has no result of its own: the line
    // said why.
    if (!result.trimmed().isEmpty())
        (ok ? call.out : call.err) << result.trimmed() << '\n';
    if (const SimulatedTerminal* sim = t.link_->Simulation(); !ok && sim && !sim->ErrorText().isEmpty())
        call.err << CatalogueText(Text::SimulationNotStored, language) << ' ' << PrintableText(sim->ErrorText())
                 << '\n';
    return ok ? ExitOk : ExitFailed;
}

int RunReset(CommandCall& call)
{
    if (const auto usage = CheckPortText(call))
        return *usage;
    Terminal t(call.Value(QStringLiteral("port")), call.LanguageOffset());
    if (!t.Open(call.err))
        return ExitFailed;
    ResetSequence& reset = t.session_->Reset();
    if (!t.Run(reset, [&] { return reset.Start(); }, call.err)) {
        call.err << t.messages_.last.trimmed() << '\n';
        return ExitFailed;
    }
    return ExitOk;
}
