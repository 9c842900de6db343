// vardelo-cli read | write | reset: the terminal commands. They drive the very
// sequence objects of the program (TerminalSession) in real time; this file
// only parses the command line, shows progress and prints the result.
#include "cli/commands.h"
#include "cli/passwordsource.h"

#include "app/catalogue.h"
#include "app/filetexts.h"
#include "app/mainflow.h"
#include "comm/mappedlink.h"
#include "comm/receivehandler.h"
#include "comm/sequences.h"
#include "comm/timing.h"
#include "config/configimage.h"
#include "platform/messages.h"
#include "platform/timers.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <optional>

namespace {

// Messages of the sequences go to the terminal instead of a box; questions
// are answered No (the command line opens no editor).
class CliMessages : public Messages {
public:
    QString last;
    Answer Show(const QString& prompt, const QString&, Buttons buttons, QWidget*) override
    {
        last = prompt;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
};

struct Options {
    QString port;
    QString password;
    QString passwordFile;
    QString out;
    QString lang = QStringLiteral("en");
    QStringList files;
};

std::optional<Options> ParseOptions(const QStringList& args, const QStringList& allowed, QTextStream& err)
{
    Options o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!a.startsWith(QStringLiteral("--"))) {
            o.files << a;
            continue;
        }
        const QString name = a.mid(2);
        if (!allowed.contains(name) || i + 1 >= args.size()) {
            err << "vardelo-cli: unknown option or missing value: " << PrintableText(a) << '\n';
            return std::nullopt;
        }
        const QString value = args.at(++i);
        if (name == u"port")
            o.port = value;
        else if (name == u"password")
            o.password = value;
        else if (name == u"password-file")
            o.passwordFile = value;
        else if (name == u"out")
            o.out = value;
        else if (name == u"lang")
            o.lang = value;
    }
    if (o.port.isEmpty()) {
        err << "vardelo-cli: --port PORT is required (com1..com8, a device, or sim[:FILE.QLV])\n";
        return std::nullopt;
    }
    return o;
}

std::optional<qint16> LanguageOffsetOf(const QString& lang)
{
    static const QStringList names{QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("fr"),
                                   QStringLiteral("es")};
    const qsizetype i = names.indexOf(lang.toLower());
    if (i < 0)
        return std::nullopt;
    return qint16(i * 1000);
}

// Six digits, or "X" and the free-mode text (6 to 8 characters, as the
// password dialog takes it): the text the terminal is sent.
std::optional<QString> TerminalPasswordOf(const QString& pw)
{
    if (pw.startsWith(u'X')) {
        const QString text = pw.mid(1);
        if (text.size() < 6 || text.size() > 8)
            return std::nullopt;
        for (QChar c : text)
            if (c.unicode() > 255)
                return std::nullopt;
        return PackTerminalPassword(text, true);
    }
    if (!PackPasswordDigits(pw))
        return std::nullopt;
    return PackTerminalPassword(pw, false);
}

// The port map is the program's: the same configuration folder as the GUI.
PortMap ProgramPortMap()
{
    QCoreApplication::setApplicationName(QStringLiteral("vardelo"));
    return PortMap::Load(PortMap::DefaultPath());
}

// Why the port did not open. The simulated terminal's memory file is no
// occupied interface.
QString OpenFailureText(const Vardelomod& m, const MappedSerialLink& link)
{
    const bool simulated = link.Target().kind == PortTarget::Kind::Simulated;
    const QString what = simulated ? CatalogueText(FileText::SimulationMemoryFile, m.LanguageOffset)
                                   : SequenceText(m, 165).trimmed() + u':';
    return what + u' ' + PrintableText(link.ErrorText());
}

// Everything one terminal command needs, in real time.
class Terminal {
public:
    Terminal(const Options& o, qint16 language)
        : map_(ProgramPortMap()), link_(timers_, map_)
    {
        m_.LanguageOffset = language;
        LoadWindowTexts(m_, TextWindow::Main);
        const int port = PortMap::PortNumberOf(o.port);
        if (port > 0) {
            m_.PortNumber = qint16(port);
            link_.SetPortNumber(port);
        } else {
            link_.SetFixedTarget(PortMap::TargetFromText(o.port));
        }
        session_ = std::make_unique<TerminalSession>(m_, link_, timers_, messages_);
    }
    ~Terminal()
    {
        session_->Shutdown();
        link_.Close();
    }

    bool Open(QTextStream& err)
    {
        if (!map_.LoadStatus())
            err << "vardelo-cli: " << FileStatusText(map_.LoadStatus(), m_.LanguageOffset) << " (no port map)\n";
        for (const QString& problem : map_.Problems())
            err << "vardelo-cli: " << PrintableText(PortMap::DefaultPath()) << ", " << problem << " (ignored)\n";
        if (link_.Open())
            return true;
        err << OpenFailureText(m_, link_) << '\n';
        return false;
    }

    // Runs the sequence that start() begins until it has finished; false
    // when it did not start or failed.
    template <typename Sequence>
    bool Run(Sequence& sequence, const std::function<bool()>& start, const char* what, int total,
             QTextStream& err)
    {
        QEventLoop loop;
        bool ok = false;
        QObject::connect(&sequence, &Sequence::Finished, &loop, [&](bool success) {
            ok = success;
            loop.quit();
        });
        QTimer progress;
        QObject::connect(&progress, &QTimer::timeout, &loop, [&] {
            const int done = std::min(session_->Receiver().State().RxIndex, total);
            err << what << ": " << done << '/' << total << " bytes\n";
            err.flush();
        });
        if (!start())
            return false;
        if (total > 0)
            progress.start(1000);
        loop.exec();
        return ok;
    }

    Vardelomod m_;
    QtTimers timers_;
    PortMap map_;
    MappedSerialLink link_;
    CliMessages messages_;
    std::unique_ptr<TerminalSession> session_;
};

// Reads the terminal into outFile; the identification line on success.
bool ReadTerminal(Terminal& t, const QString& terminalPassword, const QString& outFile, QTextStream& err)
{
    ReadSequence& read = t.session_->Read();
    read.SetOutputFile(outFile);
    read.SetAskToEdit(false);
    const bool ok = t.Run(
        read,
        [&] {
            return read.Start([&] {
                t.m_.TerminalPassword = terminalPassword;
                t.m_.PasswordAccepted = 1;
            });
        },
        "read", Timing::ReadCompleteIndex, err);
    // A read that ended but could not store its file says so too.
    if (!ok || !read.FailureText().isEmpty()) {
        err << (t.messages_.last.isEmpty() ? QStringLiteral("read failed") : t.messages_.last.trimmed()) << '\n';
        return false;
    }
    return true;
}

std::optional<Options> Prepare(const QStringList& args, const QStringList& allowed, QTextStream& err,
                               qint16& language)
{
    auto o = ParseOptions(args, allowed, err);
    if (!o)
        return std::nullopt;
    const auto offset = LanguageOffsetOf(o->lang);
    if (!offset) {
        err << "vardelo-cli: --lang must be de, en, fr or es\n";
        return std::nullopt;
    }
    language = *offset;
    return o;
}

// The password from wherever it was given, packed; the refusal on stderr.
std::optional<QString> TerminalPasswordOf(const Options& o, qint16 language, QTextStream& err)
{
    const auto given = ResolvePassword({o.password, o.passwordFile}, language, err);
    if (!given)
        return std::nullopt;
    const auto password = TerminalPasswordOf(*given);
    if (!password)
        err << "vardelo-cli: the password (--password, --password-file or " << PasswordVariable << ") must be six digits, or X and a text of 6 to 8 characters\n";
    return password;
}

// A file name where none belongs.
bool RefuseStrayArguments(const Options& o, const char* usage, QTextStream& err)
{
    if (o.files.isEmpty())
        return false;
    err << "vardelo-cli: unexpected argument " << PrintableText(o.files.first()) << "\nusage: vardelo-cli " << usage
        << '\n';
    return true;
}

const char* const ReadUsage =
    "read --port PORT [--password-file FILE | --password PW] [--out FILE.QLV] [--lang de|en|fr|es]";
const char* const ResetUsage = "reset --port PORT [--lang de|en|fr|es]";

} // namespace

int RunRead(const QStringList& args, QTextStream& out, QTextStream& err)
{
    qint16 language = 1000;
    const auto o = Prepare(args, {QStringLiteral("port"), QStringLiteral("password"), QStringLiteral("password-file"),
                                  QStringLiteral("out"), QStringLiteral("lang")},
                           err, language);
    if (!o || RefuseStrayArguments(*o, ReadUsage, err))
        return 2;
    const auto password = TerminalPasswordOf(*o, language, err);
    if (!password)
        return 2;
    Terminal t(*o, language);
    if (!t.Open(err))
        return 1;
    const QString outFile = o->out.isEmpty() ? QDir::current().filePath(QStringLiteral("VARDELO.QLV")) : o->out;
    if (!ReadTerminal(t, *password, outFile, err))
        return 1;
    out << t.session_->Read().IdentificationLine() << '\n';
    return 0;
}

int RunWrite(const QStringList& args, QTextStream& out, QTextStream& err)
{
    qint16 language = 1000;
    const auto o = Prepare(args, {QStringLiteral("port"), QStringLiteral("password"), QStringLiteral("password-file"),
                                  QStringLiteral("lang")},
                           err, language);
    if (!o)
        return 2;
    if (o->files.size() != 1) {
        err << "vardelo-cli: write needs exactly one FILE.QLV\n";
        return 2;
    }
    const auto password = TerminalPasswordOf(*o, language, err);
    if (!password)
        return 2;
    Terminal t(*o, language);
    // The file is checked before the terminal is touched.
    {
        Vardelomod scratch;
        scratch.LanguageOffset = language;
        LoadWindowTexts(scratch, TextWindow::Main);
        CliMessages refused;
        if (LoadConfigFile(scratch, o->files.at(0), refused) != LoadOutcome::Loaded) {
            err << refused.last.trimmed() << '\n';
            return 1;
        }
    }
    if (!t.Open(err))
        return 1;
    // A write needs a fresh read; its result is not kept.
    QTemporaryDir scratchDir;
    if (!ReadTerminal(t, *password, scratchDir.filePath(QStringLiteral("VARDELO.QLV")), err))
        return 1;
    if (LoadConfigFile(t.m_, o->files.at(0), t.messages_) != LoadOutcome::Loaded) {
        err << t.messages_.last.trimmed() << '\n';
        return 1;
    }
    WriteSequence& write = t.session_->Write();
    const bool ok = t.Run(write, [&] { return write.Start(); }, "write reply", Vardelomod::BlockSlots, err);
    const QString result = write.ResultText().isEmpty() ? t.messages_.last : write.ResultText();
    (ok ? out : err) << result.trimmed() << '\n';
    if (const SimulatedTerminal* sim = t.link_.Simulation(); !ok && sim && !sim->ErrorText().isEmpty())
        err << CatalogueText(FileText::SimulationNotStored, language) << ' ' << PrintableText(sim->ErrorText()) << '\n';
    return ok ? 0 : 1;
}

int RunReset(const QStringList& args, QTextStream&, QTextStream& err)
{
    qint16 language = 1000;
    const auto o = Prepare(args, {QStringLiteral("port"), QStringLiteral("lang")}, err, language);
    if (!o || RefuseStrayArguments(*o, ResetUsage, err))
        return 2;
    Terminal t(*o, language);
    if (!t.Open(err))
        return 1;
    ResetSequence& reset = t.session_->Reset();
    if (!t.Run(reset, [&] { return reset.Start(); }, "reset", 0, err)) {
        err << t.messages_.last.trimmed() << '\n';
        return 1;
    }
    return 0;
}
