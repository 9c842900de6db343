// vardelo-cli simulate --listen [HOST:]PORT MEMORY.QLV[,OPTION...]: the
// simulated terminal served on a TCP port to one RFC 2217 client at a time,
// at the pace of a 2400-baud line, until the process is told to stop.
#include "cli/commands.h"

#include "comm/rfc2217server.h"
#include "comm/simterminal.h"
#include "platform/fileaccess.h"
#include "platform/interrupts.h"
#include "platform/timers.h"
#include "texts/catalogue.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QRegularExpression>

namespace {

struct Listening {
    QHostAddress address;
    quint16 port = 0;
};

// "[HOST:]PORT": a port alone listens on this machine only (127.0.0.1); a
// host is an address of one of its interfaces ("0.0.0.0" for all of them,
// "[::1]" for IPv6) or a name that resolves to one.
std::optional<Listening> ParseListen(const QString& text, QString* error)
{
    static const QRegularExpression form(QStringLiteral("^(?:(\\[[^\\]]*\\]|[^:\\[\\]]*):)?([0-9]{1,5})$"));
    const auto match = form.match(text.trimmed());
    const uint port = match.hasMatch() ? match.captured(2).toUInt() : 70000;
    if (port > 65535) {
        *error = QStringLiteral("--listen takes [HOST:]PORT with a port of 0 to 65535, not ") + PrintableText(text);
        return std::nullopt;
    }
    QString host = match.captured(1);
    if (host.startsWith(u'['))
        host = host.mid(1, host.size() - 2);
    Listening listening{QHostAddress(QHostAddress::LocalHost), quint16(port)};
    if (host.isEmpty())
        return listening;
    if (listening.address.setAddress(host))
        return listening;
    const QHostInfo info = QHostInfo::fromName(host);
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        *error = QStringLiteral("--listen: unknown host ") + PrintableText(host);
        return std::nullopt;
    }
    listening.address = info.addresses().first();
    return listening;
}

QString HostPort(const QHostAddress& address, quint16 port)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("[%1]").arg(address.toString())
                                                                             : address.toString();
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

} // namespace

int RunSimulate(CommandCall& call)
{
    QString error;
    const auto listening = ParseListen(call.Value(QStringLiteral("listen")), &error);
    if (!listening)
        return call.UsageError(error);
    const QString memory = call.Argument(0);
    const auto options = ParseSimulationOptions(u':' + memory, &error);
    if (!options)
        return call.UsageError(PrintableText(error));
    if (options->file.isEmpty())
        return call.UsageError(QStringLiteral("MEMORY.QLV: the terminal's memory is a configuration file, and none is named"));
    const int language = call.LanguageOffset();
    const auto say = [&](TextNumber id, const QString& first, const QString& second = {}) {
        const QString text = CatalogueText(id, language);
        call.err << "vardelo-cli simulate: " << PrintableText(second.isNull() ? text.arg(first) : text.arg(first, second))
                 << '\n';
        call.err.flush();
    };

    QtTimers timers;
    SimulatedTerminal terminal(timers);
    terminal.SetOptions(*options);
    Rfc2217Server server(terminal);
    // Set before listening: a stop asked for from then on is not lost.
    InterruptWatcher stop;
    if (!server.Listen(listening->address, listening->port)) {
        say(Text::CannotServeSimulation, HostPort(listening->address, listening->port), server.ErrorText());
        return ExitFailed;
    }
    QObject::connect(&server, &Rfc2217Server::ClientConnected, [&](const QString& client) {
        say(Text::ServedClientConnected, client);
    });
    QObject::connect(&server, &Rfc2217Server::ClientDisconnected, [&](const QString& client) {
        say(Text::ServedClientDisconnected, client);
    });
    QObject::connect(&server, &Rfc2217Server::ClientRefused, [&](const QString& client, const QString& served) {
        say(Text::ServedClientRefused, client, served);
    });
    // The memory file became unusable since (taken by another program):
    // this client is sent away, and the next one tried again.
    QObject::connect(&server, &Rfc2217Server::TerminalUnavailable, [&](const QString&, const QString& reason) {
        say(Text::CannotServeSimulation, HostPort(listening->address, server.Port()), reason);
    });
    say(Text::ServedSimulation, options->file, HostPort(listening->address, server.Port()));

    QEventLoop loop;
    QObject::connect(&stop, &InterruptWatcher::Interrupted, &loop, &QEventLoop::quit);
    loop.exec();
    return ExitOk;
}
