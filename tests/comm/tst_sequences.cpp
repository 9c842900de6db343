#include "app/catalogue.h"
#include "comm/receivehandler.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "comm/timing.h"
#include "common/fakes.h"
#include "common/scriptedlink.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "platform/timers.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Records when each message was shown on the virtual time line.
class TimedMessages : public FakeMessages {
public:
    explicit TimedMessages(const Timers& clock) : clock_(clock) {}
    QList<qint64> at;
    // The control lines while each message is open ("DR", "D-", "-R", "--").
    QStringList lines;
    const SerialLink* link = nullptr;
    Answer Show(const QString& prompt, const QString& title, Buttons buttons, QWidget* parent) override
    {
        at << clock_.NowMs();
        if (link)
            lines << QString(link->Dtr() ? QChar(u'D') : QChar(u'-')) + QString(link->Rts() ? QChar(u'R') : QChar(u'-'));
        return FakeMessages::Show(prompt, title, buttons, parent);
    }

private:
    const Timers& clock_;
};

QString En(int id)
{
    return CatalogueText(id, 1000);
}

TerminalMemory SampleMemory()
{
    TerminalMemory memory{};
    for (int i = 0; i < Vardelomod::BlockSlots; ++i)
        memory[i] = quint8((i * 37 + 11) & 0xFF);
    const auto pw = PackPasswordDigits(QStringLiteral("472915"));
    for (int i = 0; i < 3; ++i)
        memory[Slot::PasswordBcd + i] = (*pw)[i];
    return memory;
}

// The next tick of a timer of this interval started at 0, after time t.
qint64 NextTickAfter(qint64 t, int interval)
{
    return (t / interval + 1) * interval;
}

} // namespace

class SequencesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<Vardelomod> m;
    std::unique_ptr<TimedMessages> messages;
    std::unique_ptr<SimulatedTerminal> sim;
    std::unique_ptr<ScriptedLink> scripted;
    std::unique_ptr<TerminalSession> session;

    void Build(SerialLink& link)
    {
        session = std::make_unique<TerminalSession>(*m, link, *clock, *messages);
        messages->link = &link;
        session->Read().SetOutputFile(dir.filePath(QStringLiteral("VARDELO.QLV")));
    }
    void UseSim(const QString& options = {})
    {
        sim = std::make_unique<SimulatedTerminal>(*clock);
        sim->SetOptions(*ParseSimulationOptions(options));
        sim->SetMemory(SampleMemory());
        QVERIFY(sim->Open());
        Build(*sim);
    }
    void UseScripted()
    {
        scripted = std::make_unique<ScriptedLink>(clock.get());
        scripted->Open();
        scripted->lineChanges.clear();
        Build(*scripted);
    }
    bool StartRead(const QString& entry, bool freeMode)
    {
        return session->Read().Start([&] {
            m->TerminalPassword = PackTerminalPassword(entry, freeMode);
            m->PasswordAccepted = 1;
        });
    }
    // Runs until the running sequence has ended; its end time.
    qint64 RunToEnd(qint64 limitMs = 60000)
    {
        QSignalSpy busy(session.get(), &TerminalSession::BusyChanged);
        clock->RunUntil([&] { return !session->Busy(); }, limitMs);
        return clock->NowMs();
    }
    void FullRead()
    {
        messages->answers.enqueue(Messages::Answer::No);
        QVERIFY(StartRead(QStringLiteral("472915"), false));
        RunToEnd();
        QCOMPARE(m->TerminalRead, qint16(1));
        messages->shown.clear();
        messages->at.clear();
        messages->lines.clear();
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        clock = std::make_unique<ManualClock>();
        m = std::make_unique<Vardelomod>();
        m->LanguageOffset = 1000;
        LoadWindowTexts(*m, TextWindow::Main);
        messages = std::make_unique<TimedMessages>(*clock);
    }
    void cleanup()
    {
        session.reset();
        sim.reset();
        scripted.reset();
    }

    // A complete read to the tick: the start byte at 605 ms (RTS rises at
    // 600 ms, one byte time 4.17 ms), the answer after the password, and the
    // end at the first 200 ms tick after the last identification character.
    void completeRead_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("freeMode");
        QTest::addColumn<QString>("options");
        QTest::addColumn<qint64>("finishedAt");
        QTest::newRow("4-char password") << "472915" << false << "" << qint64(9400);
        QTest::newRow("9-char password") << "SIMULATE" << true << "" << qint64(9400);
        QTest::newRow("7-char password") << "ABCDEF" << true << ",free=ABCDEF" << qint64(9400);
        QTest::newRow("8-char password") << "ABCDEFG" << true << ",free=ABCDEFG" << qint64(9400);
        QTest::newRow("bursts of 8") << "472915" << false << ",burst=8" << qint64(9400);
    }
    void completeRead()
    {
        QFETCH(QString, entry);
        QFETCH(bool, freeMode);
        QFETCH(QString, options);
        UseSim(options);
        QSignalSpy checks(&session->Read(), &ReadSequence::ChecksChanged);
        QSignalSpy running(&session->Read(), &ReadSequence::RunningChanged);
        QSignalSpy edit(&session->Read(), &ReadSequence::EditRequested);
        QVERIFY(WriteFileAtomically(dir.filePath(QStringLiteral("VARDELO.BGT")), "old comments\r\n"));
        m->ConfigImage[2047] = 999;
        QVERIFY(StartRead(entry, freeMode));
        QVERIFY(session->Busy());
        const qint64 end = RunToEnd();
        QTEST(end, "finishedAt");
        QCOMPARE(end, NextTickAfter(sim->LastByteSentMs(), Timing::ReadTickMs));

        const TerminalMemory memory = SampleMemory();
        for (int i = 0; i < Vardelomod::BlockSlots; ++i)
            QCOMPARE(m->ConfigImage[i], qint16(memory[i]));
        // Slots 2048..2052 keep the tail of the block, 2053..2068 the identification.
        QCOMPARE(m->ConfigImage[2052], qint16(memory[2047]));
        QCOMPARE(m->ConfigImage[2053], qint16('V'));
        QCOMPARE(session->Read().IdentificationLine(), QStringLiteral("      VARDELO SIM 1.00"));
        QCOMPARE(m->TerminalRead, qint16(1));

        ConfigBlock block{};
        QVERIFY(ReadConfigBlock(dir.filePath(QStringLiteral("VARDELO.QLV")), block));
        for (int i = 0; i < Vardelomod::BlockSlots; ++i)
            QCOMPARE(block[i], qint16(memory[i]));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("VARDELO.BGT"))));

        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown.at(0).prompt, En(147));
        QCOMPARE(messages->shown.at(0).buttons, Messages::Buttons::YesNo);
        QCOMPARE(edit.count(), 1);
        QCOMPARE(checks.count(), 3);
        QCOMPARE(checks.at(0), (QList<QVariant>{false, false, false}));
        QCOMPARE(checks.at(1), (QList<QVariant>{true, true, false}));
        QCOMPARE(checks.at(2), (QList<QVariant>{true, true, true}));
        QCOMPARE(running.count(), 2);
        QVERIFY(!sim->Dtr() && !sim->Rts());
    }

    // The failures of a read, each at its exact tick.
    void readFailures_data()
    {
        QTest::addColumn<QString>("peer");   // scripted: a silent peer; else sim options
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("text");
        QTest::addColumn<qint64>("failedAt");
        // No start byte: DTR 400..600, RTS 600..failure; 143 at the 51st tick.
        QTest::newRow("no answer") << "scripted" << "472915" << 143 << qint64(10200);
        QTest::newRow("silent terminal") << ",silent" << "472915" << 143 << qint64(10200);
        // Start byte at 605 ms; 48 ticks without a single byte after the
        // 600 ms tick: 141 at 10.2 s.
        QTest::newRow("wrong digits") << "" << "472916" << 141 << qint64(10200);
        QTest::newRow("wrong free text") << "" << "XSIMULATF" << 141 << qint64(10200);
        // Bursts do not feed the watchdog.
        QTest::newRow("bursts that stop") << ",burst=4,stop=1000" << "472915" << 141 << qint64(10200);
        // Single bytes feed it: 9.6 s after the last of 500 bytes.
        QTest::newRow("stops after 500 bytes") << ",stop=500" << "472915" << 141 << qint64(-1);
        // A garbled byte: the port is reopened (RTS falls, the terminal stops).
        QTest::newRow("framing error") << ",framing=300" << "472915" << 141 << qint64(-1);
    }
    void readFailures()
    {
        QFETCH(QString, peer);
        QFETCH(QString, entry);
        if (peer == u"scripted")
            UseScripted();
        else
            UseSim(peer);
        const bool freeMode = entry.startsWith(u'X');
        QSignalSpy checks(&session->Read(), &ReadSequence::ChecksChanged);
        QSignalSpy finished(&session->Read(), &ReadSequence::Finished);
        QVERIFY(StartRead(freeMode ? entry.mid(1) : entry, freeMode));
        const qint64 end = RunToEnd();
        QFETCH(qint64, failedAt);
        if (failedAt < 0) {
            const qint64 last = sim->LastByteSentMs();
            QVERIFY(last > 600 && last < 9000);
            failedAt = NextTickAfter(last, Timing::ReadTickMs) + 47 * Timing::ReadTickMs;
        }
        QCOMPARE(end, failedAt);
        QCOMPARE(messages->at, QList<qint64>{failedAt});
        // The lines stay as they are while the message is open (the
        // reopening after a line error has already dropped RTS).
        QCOMPARE(messages->lines, QStringList{peer.contains(u"framing") ? QStringLiteral("--") : QStringLiteral("-R")});
        QFETCH(int, text);
        QCOMPARE(messages->shown.at(0).prompt, En(text));
        QCOMPARE(messages->shown.at(0).title, En(text + 1));
        QCOMPARE(session->Read().FailureText(), En(text));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(checks.last(), (QList<QVariant>{false, false, false}));
        QCOMPARE(m->TerminalRead, qint16(0));
        if (scripted) {
            QCOMPARE(scripted->LinePattern(), QStringLiteral("D+@400 R+@600 D-@600 R-@10200"));
            QVERIFY(scripted->sent.isEmpty());
        } else {
            QVERIFY(!sim->Dtr() && !sim->Rts());
        }
        // Nothing ticks on after the failure.
        clock->Advance(30000);
        QCOMPARE(messages->shown.size(), 1);
    }

    void startByteOnlyAlone()
    {
        UseScripted();
        QVERIFY(StartRead(QStringLiteral("472915"), false));
        clock->AdvanceTo(700);
        scripted->Deliver(QByteArray("\x10\x01\x02", 3));
        clock->AdvanceTo(900);
        QVERIFY(scripted->sent.isEmpty());
        scripted->Deliver(QByteArray("\x10", 1));
        QCOMPARE(scripted->sent, PackTerminalPassword(QStringLiteral("472915"), false).toLatin1());
        QCOMPARE(session->Receiver().State().RxIndex, 1);
        QCOMPARE(m->ConfigImage[0], qint16(16));
        // The 48th tick after the last single byte (at 900 ms): 141 at 10.4 s.
        QCOMPARE(RunToEnd(), qint64(1000 + 47 * 200));
        QCOMPARE(messages->shown.at(0).prompt, En(141));
    }

    void cancelledPasswordStartsNothing()
    {
        UseScripted();
        QVERIFY(!session->Read().Start([] {}));
        clock->Advance(20000);
        QVERIFY(scripted->lineChanges.isEmpty());
        QVERIFY(!session->Busy());
        QVERIFY(messages->shown.isEmpty());
    }

    // Write: the reply must come back complete and equal to what was sent.
    void write_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("text");
        QTest::addColumn<qint64>("minDelay");   // message time after the last reply byte
        QTest::addColumn<qint64>("maxDelay");
        QTest::newRow("verified") << "" << 149 << qint64(300) << qint64(400);
        QTest::newRow("bursts") << ",burst=16" << 149 << qint64(300) << qint64(400);
        QTest::newRow("2047 bytes") << ",short" << 145 << qint64(19700) << qint64(19800);
        QTest::newRow("differing byte") << ",differ" << 145 << qint64(300) << qint64(400);
    }
    void write()
    {
        QFETCH(QString, options);
        UseSim(options);
        FullRead();
        for (int i = 0; i < Vardelomod::BlockSlots; ++i)
            m->ConfigImage[i] = qint16((i * 13) & 0xFF);
        const std::array<qint16, 2201> toSend = m->ConfigImage;
        QSignalSpy send(&session->Write(), &WriteSequence::SendProgress);
        QSignalSpy hide(&session->Write(), &WriteSequence::PanelHideRequested);
        QSignalSpy ident(&session->Write(), &WriteSequence::IdentificationChanged);
        const qint64 start = clock->NowMs();
        QVERIFY(session->Write().Start());
        QCOMPARE(send.count(), 2049);
        QCOMPARE(send.at(2045).at(0).toInt(), 2046);
        QCOMPARE(send.at(2046).at(0).toInt(), 0);   // restarts at its end
        QCOMPARE(send.last().at(0).toInt(), 0);
        QCOMPARE(ident.at(0).at(0).toString(), En(128));
        QCOMPARE(m->TerminalRead, qint16(0));
        RunToEnd();
        QFETCH(int, text);
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown.at(0).prompt, En(text));
        QCOMPARE(session->Write().ResultText(), En(text));
        // Success: DTR pulsed and both off before the message; failure: DTR
        // on and RTS off while the message is open.
        QCOMPARE(messages->lines, QStringList{text == 149 ? QStringLiteral("--") : QStringLiteral("D-")});
        const qint64 delay = messages->at.at(0) - sim->LastByteSentMs();
        QFETCH(qint64, minDelay);
        QFETCH(qint64, maxDelay);
        QVERIFY2(delay >= minDelay && delay <= maxDelay, qPrintable(QString::number(delay)));
        // The terminal took the whole image: 2048 bytes at 2400 baud.
        QCOMPARE(sim->WritesTaken(), 1);
        QVERIFY2(sim->LastByteSentMs() - start > 2 * 8500, qPrintable(QStringLiteral("%1 %2").arg(start).arg(sim->LastByteSentMs())));
        for (int i = 0; i < Vardelomod::BlockSlots; ++i)
            QCOMPARE(qint16(sim->Memory()[i]), toSend[i]);
        QCOMPARE(hide.count(), 1);
        QVERIFY(!sim->Dtr() && !sim->Rts());
        QCOMPARE(m->TerminalRead, qint16(0));
        // Every write needs a fresh read.
        QVERIFY(!session->Write().Start());
        QCOMPARE(messages->shown.last().prompt, En(135));
    }

    void writeLinePattern()
    {
        UseScripted();
        m->TerminalRead = 1;
        QSignalSpy replyBar(&session->Write(), &WriteSequence::ReplyProgress);
        QVERIFY(session->Write().Start());
        QCOMPARE(scripted->sent.size(), 2048);
        QCOMPARE(scripted->clears, 1);
        clock->AdvanceTo(1000);
        QByteArray reply;
        for (int i = 0; i < 2048; ++i)
            reply.append(char(m->ConfigImage[i]));
        for (char c : reply)
            scripted->Deliver(QByteArray(1, c));
        QCOMPARE(RunToEnd(), qint64(1400));   // Timer2 at 1100 sees 2048, Timer4 300 ms later
        QCOMPARE(scripted->LinePattern(), QStringLiteral("R+@0 D+@1400 R-@1400 D-@1400"));
        // The reply bar moved once per 100 ms tick until the success at 1400
        // (Timer4, armed at 1100, comes before Timer2's tick at 1400).
        QCOMPARE(replyBar.count(), 13);
        QCOMPARE(replyBar.last().at(0).toInt(), 13);
        QCOMPARE(messages->shown.at(0).prompt, En(149));
    }

    void writeRefusals_data()
    {
        QTest::addColumn<int>("terminalRead");
        QTest::addColumn<int>("badSlot");
        QTest::addColumn<int>("badValue");
        QTest::addColumn<int>("text");
        QTest::newRow("no read") << 0 << -1 << 0 << 135;
        QTest::newRow("value 256") << 1 << 100 << 256 << 280;
        QTest::newRow("value -1") << 1 << 2047 << -1 << 280;
    }
    void writeRefusals()
    {
        QFETCH(int, terminalRead);
        QFETCH(int, badSlot);
        QFETCH(int, badValue);
        UseScripted();
        m->TerminalRead = qint16(terminalRead);
        if (badSlot >= 0)
            m->ConfigImage[badSlot] = qint16(badValue);
        QVERIFY(!session->Write().CheckReadDone() || terminalRead == 1);
        messages->shown.clear();
        QVERIFY(!session->Write().Start());
        QFETCH(int, text);
        QCOMPARE(messages->shown.size(), 1);
        QString expected = En(text);
        if (text == 280)
            expected = expected.arg(badSlot).arg(badValue);
        QCOMPARE(messages->shown.at(0).prompt, expected);
        QVERIFY(scripted->sent.isEmpty());
        QVERIFY(scripted->lineChanges.isEmpty());
        QVERIFY(!session->Busy());
        QCOMPARE(m->TerminalRead, qint16(terminalRead));
    }

    void resetPulse()
    {
        UseSim();
        FullRead();
        const qint64 start = clock->NowMs();
        QSignalSpy hide(&session->Reset(), &ResetSequence::PanelsHideRequested);
        QVERIFY(session->Reset().Start());
        QVERIFY(sim->Dtr() && !sim->Rts());
        QCOMPARE(RunToEnd(), start + 500);
        QVERIFY(!sim->Dtr());
        QCOMPARE(sim->Restarts(), 1);
        QCOMPARE(hide.count(), 1);
        QCOMPARE(m->TerminalRead, qint16(0));
        QVERIFY(!session->Write().Start());
        QCOMPARE(messages->shown.last().prompt, En(135));
    }

    // A terminal command with no open port says so at once.
    void closedPort_data()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("read") << 0;
        QTest::newRow("write") << 1;
        QTest::newRow("reset") << 2;
    }
    void closedPort()
    {
        QFETCH(int, command);
        UseScripted();
        scripted->Close();
        m->TerminalRead = 1;
        bool asked = false;
        const bool started = command == 0   ? session->Read().Start([&] { asked = true; })
                             : command == 1 ? session->Write().Start()
                                            : session->Reset().Start();
        QVERIFY(!started);
        QVERIFY(!asked);
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown.at(0).prompt, En(165));
        QVERIFY(!session->Busy());
    }

    // While one sequence runs no other starts; exit leaves the lines off.
    void oneSequenceAtATime()
    {
        UseSim();
        QSignalSpy busy(session.get(), &TerminalSession::BusyChanged);
        QVERIFY(StartRead(QStringLiteral("472915"), false));
        clock->AdvanceTo(3000);
        m->TerminalRead = 1;
        bool asked = false;
        QVERIFY(!session->Read().Start([&] { asked = true; }));
        QVERIFY(!session->Write().Start());
        QVERIFY(!session->Reset().Start());
        QVERIFY(!asked);
        QVERIFY(messages->shown.isEmpty());
        QVERIFY(sim->Rts());
        session->Shutdown();
        QVERIFY(!sim->Dtr() && !sim->Rts());
        QVERIFY(!session->Busy());
        QCOMPARE(busy.count(), 2);
        clock->Advance(20000);
        QVERIFY(messages->shown.isEmpty());
    }

    // The read's file cannot be created: a message, and the image can
    // still be written.
    void readFileNotWritten()
    {
        UseSim();
        session->Read().SetOutputFile(dir.filePath(QStringLiteral("missing/VARDELO.QLV")));
        QSignalSpy hide(&session->Read(), &ReadSequence::PanelsHideRequested);
        QVERIFY(StartRead(QStringLiteral("472915"), false));
        RunToEnd();
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY(messages->shown.at(0).prompt.startsWith(En(281)));
        QCOMPARE(m->TerminalRead, qint16(1));
        QCOMPARE(hide.count(), 1);
        QVERIFY(session->Write().Start());
    }

    // After a read, bytes on the line while nothing runs change nothing.
    void idleNoiseIsIgnored()
    {
        UseScripted();
        m->ConfigImage[0] = 42;
        scripted->Deliver(QByteArray("\x10", 1));
        scripted->Deliver(QByteArray("abc"));
        QCOMPARE(m->ConfigImage[0], qint16(42));
        QVERIFY(scripted->sent.isEmpty());
    }
};

QTEST_GUILESS_MAIN(SequencesTest)
#include "tst_sequences.moc"
