// Whole transfers through the read and write sequences over the network
// link, against the served simulated terminal over TCP on this machine. Both
// ends run on one manual clock that moves on only when nothing is on its way
// between them, so a transfer takes the loopback's time, not the line's,
// and every time-out is kept to the tick: a read returns the memory byte for
// byte, a write is verified, a connection lost in the middle of a read ends
// it as a lost line does and leaves no file behind, and one lost in the
// middle of a write ends it unverified with the terminal's memory as it was.
#include "comm/rfc2217link.h"
#include "comm/rfc2217server.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "common/fakes.h"
#include "common/lockstep.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "texts/catalogue.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int ConnectWaitMs = 20000;
constexpr qint64 TransferLimitMs = 60000;   // clock time; a write is 17 s of line time

// Every byte value, 255 (Telnet's IAC) many times among them, behind the
// built-in password.
TerminalMemory PatternedMemory()
{
    TerminalMemory memory = DefaultTerminalMemory();
    for (int i = Slot::PasswordBcd + 3; i < Configuration::BlockSlots; ++i)
        memory[i] = quint8((i * 37 + 11) & 0xFF);
    return memory;
}

// The served terminal and a terminal session on the network link to it, on
// one clock.
struct Rig {
    QTemporaryDir dir;
    ManualClock clock;
    SimulatedTerminal sim{clock};
    std::unique_ptr<Rfc2217Server> server = std::make_unique<Rfc2217Server>(sim);
    ProgramState program;
    FakeMessages messages;
    std::unique_ptr<Rfc2217Link> link;
    std::unique_ptr<TerminalSession> session;

    Rig()
    {
        sim.SetMemory(PatternedMemory());
        QVERIFY(server->Listen(QHostAddress::LocalHost, 0));
        link = std::make_unique<Rfc2217Link>(clock, QStringLiteral("rfc2217://127.0.0.1:%1").arg(server->Port()));
        program.LanguageOffset = 1000;
        LoadWindowTexts(program, TextWindow::Main);
        session = std::make_unique<TerminalSession>(program, *link, clock, messages);
        session->Read().SetOutputFile(dir.filePath(QStringLiteral("VARDELO.QLV")));
        session->Read().SetAskToEdit(false);
        QSignalSpy ready(link.get(), &SerialLink::Ready);
        QVERIFY(link->Open());
        QVERIFY(ready.wait(ConnectWaitMs));
    }
    Lockstep Steps() { return {clock, *link, *server}; }
    bool StartRead()
    {
        return session->Read().Start(
            [] { return PasswordEntry{1, PackTerminalPassword(QStringLiteral("123456"), false)}; });
    }
    // The server goes away with its connection; the link sees it drop and
    // its reopening refused.
    void KillServer()
    {
        QSignalSpy failed(link.get(), &SerialLink::ConnectionFailed);
        server.reset();
        QVERIFY(QTest::qWaitFor([&] { return failed.size() == 2; }, ConnectWaitMs));
    }
    bool RunToEnd() { return clock.RunUntil([&] { return !session->Busy(); }, TransferLimitMs); }
};

} // namespace

class Rfc2217TransfersTest : public QObject {
    Q_OBJECT
private slots:
    // A read and then a write of an image full of 255s, byte for byte,
    // taking the line's own time on the clock.
    void readAndWrite()
    {
        Rig r;
        QSignalSpy readDone(&r.session->Read(), &ReadSequence::Finished);
        const qint64 start = r.clock.NowMs();
        QVERIFY(r.StartRead());
        QVERIFY(r.Steps().RunUntil([&] { return !readDone.isEmpty(); }, TransferLimitMs));
        QCOMPARE(readDone.first().first().toBool(), true);
        // 0.6 s of line signalling, 2069 bytes at 240 a second, the next tick.
        QVERIFY2(r.clock.NowMs() - start <= 9221 + 200, qPrintable(QString::number(r.clock.NowMs() - start)));
        ConfigBlock block{};
        QVERIFY(ReadConfigBlock(r.dir.filePath(QStringLiteral("VARDELO.QLV")), block));
        const TerminalMemory memory = PatternedMemory();
        for (int i = 0; i < Configuration::BlockSlots; ++i)
            QCOMPARE(block[i], qint16(memory[i]));

        ConfigBlock sent = block;
        for (int i = Slot::PasswordBcd + 3; i < Configuration::BlockSlots; ++i)
            sent[i] = qint16(255 - ((i * 13) & 0xFF));
        QSignalSpy writeDone(&r.session->Write(), &WriteSequence::Finished);
        QVERIFY(r.session->Write().Start(sent));
        QVERIFY(r.Steps().RunUntil([&] { return !writeDone.isEmpty(); }, TransferLimitMs));
        QCOMPARE(r.session->Write().ResultText(), CatalogueText(Text::Programmed, 1000));
        QCOMPARE(writeDone.first().first().toBool(), true);
        QCOMPARE(r.sim.WritesTaken(), 1);
        for (int i = 0; i < Configuration::BlockSlots; ++i)
            QCOMPARE(qint16(r.sim.Memory()[i]), sent[i]);
    }

    // The server goes away in the middle of the terminal's answer: the link
    // raises the lost line, the receive handler's reopening is refused, and
    // the read ends by its watchdog with its message; no file is written.
    void connectionLostDuringRead()
    {
        Rig r;
        const QString address = r.link->Description();
        QSignalSpy readDone(&r.session->Read(), &ReadSequence::Finished);
        QVERIFY(r.StartRead());
        QVERIFY(r.Steps().RunUntil([&] { return r.sim.BytesSent() > 200; }, TransferLimitMs));
        r.KillServer();
        QVERIFY(r.RunToEnd());
        QCOMPARE(readDone.first().first().toBool(), false);
        QCOMPARE(r.session->Read().FailureText(), CatalogueText(Text::TransmissionError, 1000));
        QCOMPARE(r.session->State().TerminalRead, qint16(0));
        QVERIFY(!QFile::exists(r.dir.filePath(QStringLiteral("VARDELO.QLV"))));
        QVERIFY(!r.link->IsOpen());
        QVERIFY(r.link->ErrorText().startsWith(address + QStringLiteral(": connection refused")));
    }

    // The server goes away while the terminal takes the image: the write
    // ends by its watchdog, unverified, no success said; the terminal took
    // no write and its memory is as it was.
    void connectionLostDuringWrite()
    {
        Rig r;
        QSignalSpy readDone(&r.session->Read(), &ReadSequence::Finished);
        QVERIFY(r.StartRead());
        QVERIFY(r.Steps().RunUntil([&] { return !readDone.isEmpty(); }, TransferLimitMs));
        const TerminalMemory before = r.sim.Memory();
        ConfigBlock sent = r.session->Read().LastRead()->read.block;
        sent[Slot::DoorOpenTime] = 9;
        QSignalSpy writeDone(&r.session->Write(), &WriteSequence::Finished);
        QVERIFY(r.session->Write().Start(sent));
        // Four seconds in, the terminal has taken some 960 of the 2048 bytes.
        const qint64 midway = r.clock.NowMs() + 4000;
        QVERIFY(r.Steps().RunUntil([&] { return r.clock.NowMs() >= midway; }, TransferLimitMs));
        QCOMPARE(r.sim.CurrentPhase(), SimulatedTerminal::Phase::TakingWrite);
        r.KillServer();
        QVERIFY(r.RunToEnd());
        QCOMPARE(writeDone.first().first().toBool(), false);
        QCOMPARE(r.session->Write().ResultText(), CatalogueText(Text::ComparisonError, 1000));
        QCOMPARE(r.session->State().TerminalRead, qint16(0));
        QCOMPARE(r.sim.WritesTaken(), 0);
        QVERIFY(r.sim.Memory() == before);
    }
};

QTEST_GUILESS_MAIN(Rfc2217TransfersTest)
#include "tst_rfc2217transfers.moc"
