// The read, write and reset sequences on the manual clock, against the
// simulated terminal or a scripted peer, each time-out checked to the tick;
// and the opening of their port.
#include "comm/portopening.h"
#include "comm/timing.h"
#include "common/english.h"
#include "common/sessionrig.h"
#include "config/configfiles.h"

#include <QtTest>

namespace {

// The next tick of a timer of this interval started at 0, after time t.
qint64 NextTickAfter(qint64 t, int interval)
{
    return (t / interval + 1) * interval;
}

// The shared rig with the simulated terminal's memory patterned after the
// password (built-in password 123456).
struct Rig : SessionRig {
    explicit Rig(const QString& options = {}) : SessionRig(options)
    {
        if (sim)
            sim->SetMemory(Memory());
    }
    static TerminalMemory Memory()
    {
        TerminalMemory memory = DefaultTerminalMemory();
        for (int i = Slot::PasswordBcd + 3; i < Configuration::BlockSlots; ++i)
            memory[i] = quint8((i * 37 + 11) & 0xFF);
        return memory;
    }
    // A read answered No, its message forgotten.
    void FullRead()
    {
        answers.enqueue(Messages::Answer::No);
        QVERIFY(StartRead());
        RunToEnd();
        QCOMPARE(State().TerminalRead, qint16(1));
        shown.clear();
        at.clear();
    }
};

// The port the sequences talk through, opened at start-up or from the
// interface dialog; fallbacks: the option buttons the dialog is told to
// select, in order.
struct Opening {
    bool atStartUp;
    int chosen;
    QList<int> failing;
    int portAfter;   // 0: closed
    QList<int> fallbacks, texts;
};

} // namespace

class SequencesTest : public QObject {
    Q_OBJECT
private slots:
    // A complete read ends at the first 200 ms tick after the last
    // identification character, whatever the password's length; the first
    // configuration byte lands in slot 0.
    void completeRead_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("options");
        QTest::newRow("4-char password") << "123456" << "";
        QTest::newRow("9-char password") << "XSIMULATE" << "";
        QTest::newRow("7-char password") << "XABCDEF" << ",free=ABCDEF";
        QTest::newRow("8-char password") << "XABCDEFG" << ",free=ABCDEFG";
        QTest::newRow("bursts of 8") << "123456" << ",burst=8";
    }
    void completeRead()
    {
        QFETCH(QString, entry);
        QFETCH(QString, options);
        Rig r(options);
        QSignalSpy checks(&r.session->Read(), &ReadSequence::ChecksChanged);
        QVERIFY(WriteFileAtomically(r.dir.filePath(QStringLiteral("VARDELO.BGT")), "old comments\r\n"));
        QVERIFY(r.StartRead(entry));
        const qint64 end = r.RunToEnd();
        QCOMPARE(end, qint64(9400));
        QCOMPARE(end, NextTickAfter(r.sim->LastByteSentMs(), Timing::ReadTickMs));
        ConfigBlock block{};
        QVERIFY(ReadConfigBlock(r.dir.filePath(QStringLiteral("VARDELO.QLV")), block));
        for (int i = 0; i < Configuration::BlockSlots; ++i) {
            QCOMPARE(r.session->Read().LastRead()->read.block[i], qint16(Rig::Memory()[i]));
            QCOMPARE(block[i], qint16(Rig::Memory()[i]));
        }
        QVERIFY(!QFile::exists(r.dir.filePath(QStringLiteral("VARDELO.BGT"))));
        QCOMPARE(r.State().TerminalRead, qint16(1));
        QCOMPARE(r.shown.size(), 1);
        QCOMPARE(r.shown.at(0).prompt, En(147));
        QCOMPARE(checks, (QList<QVariantList>{{false, false, false}, {true, true, false}, {true, true, true}}));
        QVERIFY(!r.sim->Dtr() && !r.sim->Rts());
    }

    // The end of a read ticks "Fertig" only; "Verbindung" and "Passwort"
    // keep telling whether the start byte was recognised.
    void readEndTicksDone_data()
    {
        QTest::addColumn<bool>("startByteAlone");
        QTest::newRow("start byte alone") << true;
        QTest::newRow("start byte within a delivery") << false;
    }
    void readEndTicksDone()
    {
        QFETCH(bool, startByteAlone);
        Rig r(QStringLiteral("scripted"));
        QSignalSpy checks(&r.session->Read(), &ReadSequence::ChecksChanged);
        r.answers.enqueue(Messages::Answer::No);
        QVERIFY(r.StartRead());
        r.clock.Advance(700);
        QByteArray bytes(Timing::ReadCompleteIndex, '\x01');
        bytes[0] = 16;
        if (startByteAlone)
            r.scripted->Deliver(bytes.left(1));
        r.scripted->Deliver(bytes.mid(startByteAlone ? 1 : 0));
        r.RunToEnd();
        QCOMPARE(r.State().TerminalRead, qint16(1));
        QCOMPARE(checks.last(), (QVariantList{startByteAlone, startByteAlone, true}));
    }

    // The failures of a read, each at its exact tick, the lines as they were
    // while the message is open.
    void readFailures_data()
    {
        QTest::addColumn<QString>("peer");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("text");
        QTest::addColumn<qint64>("failedAt");   // -1: the 48th tick after the last byte
        QTest::addColumn<QString>("lines");   // while the message is open
        // No start byte: DTR 400..600, RTS 600..failure; 143 at the 51st tick.
        QTest::newRow("no answer") << "scripted" << "123456" << 143 << qint64(10200) << "-R";
        QTest::newRow("silent terminal") << ",silent" << "123456" << 143 << qint64(10200) << "-R";
        // Start byte at 605 ms; 48 ticks without a single byte after the 600 ms tick.
        QTest::newRow("wrong digits") << "" << "123457" << 141 << qint64(10200) << "-R";
        QTest::newRow("wrong free text") << "" << "XSIMULATF" << 141 << qint64(10200) << "-R";
        QTest::newRow("bursts do not feed the watchdog") << ",burst=4,stop=1000" << "123456" << 141 << qint64(10200) << "-R";
        QTest::newRow("stops after 500 bytes") << ",stop=500" << "123456" << 141 << qint64(-1) << "-R";
        // A garbled byte: the port is reopened with the lines off, the terminal stops.
        QTest::newRow("framing error") << ",framing=300" << "123456" << 141 << qint64(-1) << "--";
    }
    void readFailures()
    {
        QFETCH(QString, peer);
        QFETCH(QString, entry);
        QFETCH(int, text);
        QFETCH(qint64, failedAt);
        Rig r(peer);
        QSignalSpy checks(&r.session->Read(), &ReadSequence::ChecksChanged);
        QVERIFY(r.StartRead(entry));
        const qint64 end = r.RunToEnd();
        if (failedAt < 0) {
            QVERIFY(r.sim->LastByteSentMs() > 600 && r.sim->LastByteSentMs() < 9000);
            failedAt = NextTickAfter(r.sim->LastByteSentMs(), Timing::ReadTickMs) + 47 * Timing::ReadTickMs;
        }
        QFETCH(QString, lines);
        QCOMPARE(r.at, QStringList{QStringLiteral("%1 %2").arg(failedAt).arg(lines)});
        QCOMPARE(end, failedAt);
        QCOMPARE(r.shown.at(0).prompt, En(text));
        QCOMPARE(r.shown.at(0).title, En(text + 1));
        QCOMPARE(checks.last(), (QVariantList{false, false, false}));
        QCOMPARE(r.State().TerminalRead, qint16(0));
        QVERIFY(!r.link->Dtr() && !r.link->Rts());
        if (r.scripted)
            QCOMPARE(r.scripted->lineChanges.join(u' '), QStringLiteral("D+@400 R+@600 D-@600 R-@10200"));
        r.clock.Advance(30000);   // nothing ticks on after the failure
        QCOMPARE(r.shown.size(), 1);
    }

    // A write is verified: the reply must come back complete and equal to
    // what was sent; every write needs a fresh read.
    void write_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("text");
        QTest::addColumn<qint64>("delay");   // message after the last reply byte, to the 100 ms tick
        QTest::newRow("verified") << "" << 149 << qint64(300);
        QTest::newRow("bursts") << ",burst=16" << 149 << qint64(300);
        QTest::newRow("2047 bytes") << ",short" << 145 << qint64(19700);
        QTest::newRow("differing byte") << ",differ" << 145 << qint64(300);
    }
    void write()
    {
        QFETCH(QString, options);
        QFETCH(int, text);
        QFETCH(qint64, delay);
        Rig r(options);
        r.FullRead();
        ConfigBlock sent;
        for (int i = 0; i < Configuration::BlockSlots; ++i)
            sent[i] = qint16((i * 13) & 0xFF);
        QVERIFY(r.session->Write().Start(sent));
        r.RunToEnd();
        QCOMPARE(r.shown.size(), 1);
        QCOMPARE(r.shown.at(0).prompt, En(text));
        // Success: DTR pulsed and both off before the message; failure: DTR
        // on and RTS off while it is open.
        QVERIFY(r.at.at(0).endsWith(text == 149 ? QStringLiteral(" --") : QStringLiteral(" D-")));
        const qint64 after = r.at.at(0).section(u' ', 0, 0).toLongLong() - r.sim->LastByteSentMs();
        QVERIFY2(after >= delay && after <= delay + 100, qPrintable(QString::number(after)));
        QCOMPARE(r.sim->Restarts(), 0);   // the end of a write is no reset pulse
        for (int i = 0; i < Configuration::BlockSlots; ++i)
            QCOMPARE(qint16(r.sim->Memory()[i]), sent[i]);
        QVERIFY(!r.sim->Dtr() && !r.sim->Rts());
        QVERIFY(!r.session->Write().Start(sent));
        QCOMPARE(r.shown.last().prompt, En(135));
    }

    // Refused before anything moves: no fresh read (135), a slot value that
    // is not a byte (280); a closed port (165) for every command.
    void refusals_data()
    {
        QTest::addColumn<int>("command");   // 0 read, 1 write, 2 reset
        QTest::addColumn<int>("terminalRead");
        QTest::addColumn<int>("badValue");   // put in slot 100, 0 for none
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("no read") << 1 << 0 << 0 << true << En(135);
        QTest::newRow("value 256") << 1 << 1 << 256 << true << En(280).arg(100).arg(256);
        QTest::newRow("value -1") << 1 << 1 << -1 << true << En(280).arg(100).arg(-1);
        QTest::newRow("read, port closed") << 0 << 1 << 0 << false << En(165);
        QTest::newRow("write, port closed") << 1 << 1 << 0 << false << En(165);
        QTest::newRow("reset, port closed") << 2 << 1 << 0 << false << En(165);
    }
    void refusals()
    {
        QFETCH(int, command);
        QFETCH(int, terminalRead);
        QFETCH(int, badValue);
        QFETCH(bool, portOpen);
        Rig r(QStringLiteral("scripted"));
        if (!portOpen)
            r.scripted->Close();
        r.scripted->lineChanges.clear();
        r.State().TerminalRead = qint16(terminalRead);
        ConfigBlock block{};
        block[100] = qint16(badValue);
        bool asked = false;
        const bool started = command == 0   ? r.session->Read().Start([&] {
                                 asked = true;
                                 return PasswordEntry{};
                             })
                             : command == 1 ? r.session->Write().Start(block)
                                            : r.session->Reset().Start();
        QVERIFY(!started && !asked);
        QCOMPARE(r.shown.size(), 1);
        QTEST(r.shown.at(0).prompt, "prompt");
        QVERIFY(r.scripted->sent.isEmpty() && r.scripted->lineChanges.isEmpty() && !r.session->Busy());
        QCOMPARE(r.State().TerminalRead, qint16(terminalRead));
    }

    // While one sequence runs no other starts; shutting down (exit) leaves
    // the lines off and nothing ticks on. Then a reset: a 500 ms DTR pulse
    // restarts the terminal and takes back the read.
    void oneSequenceAtATimeThenReset()
    {
        Rig r;
        QVERIFY(r.StartRead());
        r.clock.AdvanceTo(3000);
        r.State().TerminalRead = 1;
        QVERIFY(!r.StartRead());
        QVERIFY(!r.session->Write().Start(ConfigBlock{}));
        QVERIFY(!r.session->Reset().Start());
        QVERIFY(r.sim->Rts());
        r.session->Shutdown();
        QVERIFY(!r.sim->Dtr() && !r.sim->Rts() && !r.session->Busy());
        r.clock.AdvanceTo(20000);
        QVERIFY(r.shown.isEmpty());
        QSignalSpy hide(&r.session->Reset(), &ResetSequence::PanelsHideRequested);
        QVERIFY(r.session->Reset().Start());
        QVERIFY(r.sim->Dtr() && !r.sim->Rts());
        QCOMPARE(r.RunToEnd(), qint64(20500));
        QVERIFY(!r.sim->Dtr());
        QCOMPARE(r.sim->Restarts(), 1);
        QCOMPARE(hide.count(), 1);
        QCOMPARE(r.State().TerminalRead, qint16(0));
    }

    // Each fallback is tried once.
    void opening_data()
    {
        QTest::addColumn<Opening>("c");
        QTest::newRow("start saved com2 busy") << Opening{true, 2, {2}, 0, {}, {129}};
        QTest::newRow("start saved com5 busy") << Opening{true, 5, {5}, 0, {}, {165}};
        QTest::newRow("start saved com5") << Opening{true, 5, {1, 2}, 5, {}, {}};
        QTest::newRow("dialog opens") << Opening{false, 4, {}, 4, {}, {}};
        QTest::newRow("odd to com2") << Opening{false, 3, {3}, 2, {2}, {165}};
        QTest::newRow("even to com1") << Opening{false, 6, {6}, 1, {1}, {165}};
        QTest::newRow("com1 to com2") << Opening{false, 1, {1}, 2, {2}, {165}};
        QTest::newRow("com1, com2 busy") << Opening{false, 1, {1, 2}, 0, {2}, {165, 165}};
        QTest::newRow("all busy from com7") << Opening{false, 7, {7, 1, 2}, 0, {2, 1}, {165, 165, 165}};
    }
    void opening()
    {
        QFETCH(Opening, c);
        ProgramState program;
        SessionState session(program);
        session.PortNumber = qint16(c.chosen);
        ScriptedLink link;
        if (!c.atStartUp)
            link.Open();   // the dialog reopens an open port
        link.failingPorts = QSet<int>(c.failing.begin(), c.failing.end());
        FakeMessages messages;
        QList<int> selected;
        const bool open = c.atStartUp ? OpenPortAtStartUp(session, link, messages)
                                      : OpenSelectedPort(session, link, messages, [&](int p) { selected << p; });
        QCOMPARE(open, c.portAfter != 0);
        QCOMPARE(link.IsOpen(), open);
        if (open)
            QCOMPARE(int(session.PortNumber), c.portAfter);
        QCOMPARE(selected, c.fallbacks);
        QCOMPARE(messages.shown.size(), c.texts.size());
        for (int i = 0; i < c.texts.size(); ++i)
            QCOMPARE(messages.shown.at(i).prompt, CatalogueText(TextNumber(c.texts.at(i)), 0));
        QVERIFY(!link.Dtr() && !link.Rts());
    }
};

QTEST_GUILESS_MAIN(SequencesTest)
#include "tst_sequences.moc"
