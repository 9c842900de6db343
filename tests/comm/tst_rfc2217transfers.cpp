// Whole transfers through the read and write sequences over the network
// link, against the served simulated terminal on this machine, in real time
// (the terminal paces its bytes at 2400 baud): a read returns the memory
// byte for byte, a write is verified, and a connection lost in the middle of
// a read ends it as a lost line does, leaving no file behind.
#include "comm/rfc2217link.h"
#include "comm/rfc2217server.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "common/fakes.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "platform/timers.h"
#include "texts/catalogue.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int ConnectWaitMs = 20000;
constexpr int TransferWaitMs = 90000;   // a write is 17 s of line time

// Every byte value, 255 (Telnet's IAC) many times among them, behind the
// built-in password.
TerminalMemory PatternedMemory()
{
    TerminalMemory memory = DefaultTerminalMemory();
    for (int i = Slot::PasswordBcd + 3; i < Configuration::BlockSlots; ++i)
        memory[i] = quint8((i * 37 + 11) & 0xFF);
    return memory;
}

struct Served {
    QtTimers timers;
    SimulatedTerminal sim{timers};
    Rfc2217Server server{sim};
    Served()
    {
        sim.SetMemory(PatternedMemory());
        QVERIFY(server.Listen(QHostAddress::LocalHost, 0));
    }
};

// A terminal session whose link is the network link to the served terminal.
struct NetworkSession {
    QTemporaryDir dir;
    QtTimers timers;
    ProgramState program;
    FakeMessages messages;
    Rfc2217Link link;
    TerminalSession session{program, link, timers, messages};

    explicit NetworkSession(quint16 port) : link(timers, QStringLiteral("rfc2217://127.0.0.1:%1").arg(port))
    {
        program.LanguageOffset = 1000;
        LoadWindowTexts(program, TextWindow::Main);
        session.Read().SetOutputFile(dir.filePath(QStringLiteral("VARDELO.QLV")));
        session.Read().SetAskToEdit(false);
        QSignalSpy ready(&link, &Rfc2217Link::Ready);
        QVERIFY(link.Open());
        QVERIFY(ready.wait(ConnectWaitMs));
    }
    bool StartRead()
    {
        return session.Read().Start(
            [] { return PasswordEntry{1, PackTerminalPassword(QStringLiteral("123456"), false)}; });
    }
};

} // namespace

class Rfc2217TransfersTest : public QObject {
    Q_OBJECT
private slots:
    // A read and then a write of an image full of 255s, byte for byte.
    void readAndWrite()
    {
        Served s;
        NetworkSession n(s.server.Port());
        QSignalSpy readDone(&n.session.Read(), &ReadSequence::Finished);
        QVERIFY(n.StartRead());
        QVERIFY(readDone.wait(TransferWaitMs));
        QCOMPARE(readDone.first().first().toBool(), true);
        ConfigBlock block{};
        QVERIFY(ReadConfigBlock(n.dir.filePath(QStringLiteral("VARDELO.QLV")), block));
        const TerminalMemory memory = PatternedMemory();
        for (int i = 0; i < Configuration::BlockSlots; ++i) {
            QCOMPARE(n.session.Read().LastRead()->read.block[i], qint16(memory[i]));
            QCOMPARE(block[i], qint16(memory[i]));
        }

        ConfigBlock sent = block;
        for (int i = Slot::PasswordBcd + 3; i < Configuration::BlockSlots; ++i)
            sent[i] = qint16(255 - ((i * 13) & 0xFF));
        QSignalSpy writeDone(&n.session.Write(), &WriteSequence::Finished);
        QVERIFY(n.session.Write().Start(sent));
        QVERIFY(writeDone.wait(TransferWaitMs));
        QCOMPARE(n.session.Write().ResultText(), CatalogueText(149, 1000));
        QCOMPARE(writeDone.first().first().toBool(), true);
        QCOMPARE(s.sim.WritesTaken(), 1);
        for (int i = 0; i < Configuration::BlockSlots; ++i)
            QCOMPARE(qint16(s.sim.Memory()[i]), sent[i]);
    }

    // The server goes away in the middle of the terminal's answer: the link
    // raises the lost line, the receive handler's reopening is refused, and
    // the read ends by its watchdog with its message; no file is written.
    void connectionLostDuringRead()
    {
        auto s = std::make_unique<Served>();
        NetworkSession n(s->server.Port());
        const QString address = n.link.Description();
        QSignalSpy readDone(&n.session.Read(), &ReadSequence::Finished);
        QSignalSpy failed(&n.link, &Rfc2217Link::ConnectionFailed);
        QVERIFY(n.StartRead());
        QTRY_VERIFY_WITH_TIMEOUT(s->sim.BytesSent() > 200, ConnectWaitMs);
        s.reset();
        QVERIFY(readDone.wait(TransferWaitMs));
        QCOMPARE(readDone.first().first().toBool(), false);
        QCOMPARE(n.session.Read().FailureText(), CatalogueText(141, 1000));
        QCOMPARE(n.session.State().TerminalRead, qint16(0));
        QVERIFY(!QFile::exists(n.dir.filePath(QStringLiteral("VARDELO.QLV"))));
        QCOMPARE(failed.size(), 2);   // lost, then the reopening refused
        QVERIFY(!n.link.IsOpen());
        QVERIFY(n.link.ErrorText().startsWith(address + QStringLiteral(": connection refused")));
    }
};

QTEST_GUILESS_MAIN(Rfc2217TransfersTest)
#include "tst_rfc2217transfers.moc"
