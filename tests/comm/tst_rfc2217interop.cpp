// The network link and the served simulated terminal against peers no one
// here wrote: pyserial's RFC 2217 server on its loop:// port, which logs
// every setting and line change, must see our 2400 baud and the lines of a
// reset and of a read's start in their order; pyserial's RFC 2217 client
// must set the lines of the served terminal and read its start byte.
// Skipped when Debian's python3-serial is not installed.
#include "comm/rfc2217link.h"
#include "comm/rfc2217server.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "common/fakes.h"
#include "common/pyserialpeer.h"
#include "config/configimage.h"
#include "platform/timers.h"
#include "texts/catalogue.h"

#include <QProcess>
#include <QtTest>

namespace {

constexpr int WaitMs = Pyserial::WaitMs;

QString SourceFile(const QString& path)
{
    return qEnvironmentVariable("VARDELO_SOURCE_DIR") + u'/' + path;
}

} // namespace

class Rfc2217InteropTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (const QString missing = Pyserial::Missing(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
    }

    // Our client against pyserial's server: the settings first, then a
    // reset pulse (DTR on, off), then a read's start (DTR on, RTS on, DTR
    // off) and its end, each change once and in this order.
    void clientAgainstPyserialServer()
    {
        Pyserial::LoopServer server;
        QVERIFY(server.Listening());

        QtTimers timers;
        ProgramState program;
        program.LanguageOffset = 1000;
        LoadWindowTexts(program, TextWindow::Main);
        FakeMessages messages;
        Rfc2217Link link(timers, server.Address());
        TerminalSession session(program, link, timers, messages);
        QSignalSpy ready(&link, &Rfc2217Link::Ready);
        QVERIFY(link.Open());
        QVERIFY(ready.wait(WaitMs));
        qInfo("round trip at connect: %.3f ms", double(link.RoundTripUs()) / 1000.0);

        QSignalSpy resetDone(&session.Reset(), &ResetSequence::Finished);
        QVERIFY(session.Reset().Start());
        QVERIFY(resetDone.wait(WaitMs));
        QVERIFY(session.Read().Start(
            [] { return PasswordEntry{1, PackTerminalPassword(QStringLiteral("123456"), false)}; }));
        QTRY_VERIFY_WITH_TIMEOUT(link.Rts(), WaitMs);
        session.Read().Abort();
        link.Close();
        QVERIFY(server.SawDisconnect());
        const QStringList expected = Pyserial::LoopServer::SetUp() + QStringList{
            // reset
            QStringLiteral("changed DTR to active"), QStringLiteral("changed DTR to inactive"),
            // read's start, then its end
            QStringLiteral("changed DTR to active"), QStringLiteral("changed RTS to active"),
            QStringLiteral("changed DTR to inactive"), QStringLiteral("changed RTS to inactive")};
        QVERIFY2(server.Changes() == expected, qPrintable(server.log));
    }

    // pyserial's client against the served simulated terminal: it opens
    // the port (its negotiation and settings all answered), gives the read
    // signalling and gets the start byte.
    void pyserialClientAgainstServedTerminal()
    {
        QtTimers timers;
        SimulatedTerminal sim(timers);
        Rfc2217Server served(sim);
        QVERIFY(served.Listen(QHostAddress::LocalHost, 0));
        QSignalSpy connected(&served, &Rfc2217Server::ClientConnected);
        QProcess client;
        client.setProcessChannelMode(QProcess::MergedChannels);
        client.start(Pyserial::Python, {SourceFile(QStringLiteral("tests/comm/pyserial_rfc2217_client.py")),
                              QString::number(served.Port())});
        QSignalSpy finished(&client, &QProcess::finished);
        QVERIFY(finished.wait(WaitMs));
        const QString output = QString::fromUtf8(client.readAll()).trimmed();
        QCOMPARE(output, QStringLiteral("answer 10"));
        QCOMPARE(client.exitCode(), 0);
        QCOMPARE(connected.size(), 1);
    }
};

QTEST_GUILESS_MAIN(Rfc2217InteropTest)
#include "tst_rfc2217interop.moc"
