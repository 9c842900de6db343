// Progress in bytes and seconds: the figures of a read, a write and a reset
// as the monitor reports them on the manual clock against the simulated
// terminal, and the texts made of them.
#include "comm/progress.h"
#include "comm/timing.h"
#include "common/sessionrig.h"

#include <QtTest>

namespace {

using Phase = TransferProgress::Phase;
constexpr int IntervalMs = 250;

struct Report {
    qint64 at;
    TransferProgress progress;
    QString status;
};

struct TextCase {
    int language;
    Phase phase;
    int done, total;
    NextStep next;
    QString status, line;   // the status line, the command line's progress line
};
struct SequenceCase {
    QString sequence, options;
    QList<Phase> phases;    // in order
    QList<int> spansMs;     // how long each lasts (± two reports)
    int lastDone;           // of the last counted report
    NextStep next;
    Phase duringMessage;    // phase shown while the last message is open
};

// The shared rig with a monitor; every report is kept with its time and the
// status line it makes, and the phase shown while each message is open.
struct Rig : SessionRig {
    std::unique_ptr<TransferMonitor> monitor;
    QList<Report> reports;
    QList<Phase> duringMessages;

    explicit Rig(const QString& options) : SessionRig(options)
    {
        monitor = std::make_unique<TransferMonitor>(*session, clock, IntervalMs);
        onShow = [this] { duringMessages << monitor->Current().phase; };
        QObject::connect(monitor.get(), &TransferMonitor::Changed, [this](const TransferProgress& p) {
            reports.append({clock.NowMs(), p, StatusLineText(program, p, monitor->Next())});
        });
    }
    bool Start(const QString& sequence)
    {
        if (sequence == u"read")
            return StartRead();
        if (sequence == u"write") {
            State().TerminalRead = 1;
            return session->Write().Start(ConfigBlock{});
        }
        return session->Reset().Start();
    }
    // First and last report time of a phase; -1 when it never showed.
    QPair<qint64, qint64> Span(Phase phase) const
    {
        qint64 first = -1, last = -1;
        for (const Report& r : reports)
            if (r.progress.phase == phase) {
                first = first < 0 ? r.at : first;
                last = r.at;
            }
        return {first, last};
    }
};

} // namespace

class ProgressTest : public QObject {
    Q_OBJECT
private slots:
    void texts_data()
    {
        QTest::addColumn<TextCase>("c");
        const NextStep any = NextStep::Read;
        QTest::newRow("read, rounded up") << TextCase{0, Phase::Reading, 1234, 2069, any,
                                                      "Auslesen: 1234 von 2069 Bytes, noch 4 s", "read: 1234/2069 bytes, 4 s left"};
        QTest::newRow("send") << TextCase{1000, Phase::Sending, 812, 2048, any, "Sending: 812 of 2048 bytes, 6 s left", "send: 812/2048 bytes, 6 s left"};
        QTest::newRow("reply") << TextCase{3000, Phase::Replying, 1200, 2048, any,
                                           "Respuesta: 1200 de 2048 bytes recibidos, quedan 4 s", "reply: 1200/2048 bytes, 4 s left"};
        QTest::newRow("one byte left") << TextCase{1000, Phase::Replying, 2047, 2048, any,
                                                   "Reply: 2047 of 2048 bytes received, 1 s left", "reply: 2047/2048 bytes, 1 s left"};
        QTest::newRow("all there") << TextCase{2000, Phase::Reading, 2069, 2069, any,
                                               "Lecture : 2069 sur 2069 octets, encore 0 s", "read: 2069/2069 bytes, 0 s left"};
        QTest::newRow("reset") << TextCase{0, Phase::Resetting, 0, 0, any, "Reset-Impuls wird gegeben", ""};
        // The menu path is the menu's own caption, without its access key.
        QTest::newRow("no port") << TextCase{2000, Phase::Idle, 0, 0, NextStep::OpenPort, "Aucune interface ouverte : Vardelo > Interface", ""};
        QTest::newRow("not read") << TextCase{3000, Phase::Idle, 0, 0, NextStep::Read, "Todavía no leído: Vardelo > leer Vardelo", ""};
        QTest::newRow("read") << TextCase{1000, Phase::Idle, 0, 0, NextStep::Write,
                                          "Terminal read: you can write a file now (VARDELO > Write VARDELO)", ""};
        QTest::newRow("programmed") << TextCase{0, Phase::Idle, 0, 0, NextStep::ReadAgain,
                                                "VARDELO programmiert: zur Kontrolle erneut auslesen (VARDELO > VARDELO auslesen)", ""};
        QTest::newRow("reset given") << TextCase{1000, Phase::Idle, 0, 0, NextStep::ReadAfterReset,
                                                 "Reset pulse sent to VARDELO: read it again before the next write (VARDELO > Read VARDELO)", ""};
        QTest::newRow("reset given, fr") << TextCase{2000, Phase::Idle, 0, 0, NextStep::ReadAfterReset,
                                                     "Impulsion de réinitialisation envoyée à Vardelo : relisez-le avant la prochaine écriture (Vardelo > Sélectionner Vardelo)", ""};
    }
    void texts()
    {
        QFETCH(TextCase, c);
        ProgramState program;
        program.LanguageOffset = qint16(c.language);
        LoadWindowTexts(program, TextWindow::Main);
        const TransferProgress p{c.phase, c.done, c.total};
        QCOMPARE(StatusLineText(program, p, c.next), c.status);
        QCOMPARE(ProgressLine(p), c.line);
    }

    // Every sequence reported from start to end: never more bytes than the
    // total, never a negative second, counts that only rise, a report at
    // least every 500 ms while it runs, each phase as long as the line needs
    // for its bytes, and the hint for the next step at once when it ends.
    void sequences_data()
    {
        QTest::addColumn<SequenceCase>("c");
        using L = QList<Phase>;
        const int lineRead = 600 + 2069 * 1000 / 240, lineBlock = 2048 * 1000 / 240;
        const L write{Phase::Sending, Phase::Replying};
        QTest::newRow("read") << SequenceCase{"read", "", {Phase::Reading}, {lineRead}, 2069, NextStep::Write, Phase::Idle};
        QTest::newRow("read, silent terminal") << SequenceCase{"read", ",silent", {Phase::Reading}, {10200}, 0, NextStep::Read, Phase::Reading};
        QTest::newRow("read in bursts") << SequenceCase{"read", ",burst=64", {Phase::Reading}, {lineRead}, 2069, NextStep::Write, Phase::Idle};
        QTest::newRow("write") << SequenceCase{"write", "", write, {lineBlock, lineBlock}, 2048, NextStep::ReadAgain, Phase::Replying};
        // A reply that stops: the count stays where it stopped until the
        // watchdog ends the write.
        QTest::newRow("write, reply stops")
            << SequenceCase{"write", ",stop=1000", write, {lineBlock, 1000 * 1000 / 240 + 19800}, 1000, NextStep::Read, Phase::Replying};
        // The bytes leave the port all the same; no reply comes.
        QTest::newRow("write, terminal silent")
            << SequenceCase{"write", ",silent", write, {lineBlock, 20000 - lineBlock}, 0, NextStep::Read, Phase::Replying};
        QTest::newRow("reset") << SequenceCase{"reset", "", {Phase::Resetting}, {500}, 0, NextStep::ReadAfterReset, Phase::Idle};
    }
    void sequences()
    {
        QFETCH(SequenceCase, c);
        Rig rig(c.options);
        QVERIFY(rig.Start(c.sequence));
        QVERIFY(rig.RunToEnd() > 0 && !rig.session->Busy());
        rig.clock.Advance(2000);

        QList<Phase> seen;
        int high = 0;
        for (qsizetype i = 0; i < rig.reports.size(); ++i) {
            const Report& r = rig.reports.at(i);
            const TransferProgress& p = r.progress;
            QVERIFY2(p.done >= 0 && p.done <= p.total && p.SecondsLeft() >= 0, qPrintable(r.status));
            if (p.phase == Phase::Idle)
                continue;
            if (seen.isEmpty() || seen.last() != p.phase) {
                seen << p.phase;
                high = 0;
            }
            QVERIFY2(p.done >= high, qPrintable(r.status));
            high = p.done;
            if (i > 0)
                QVERIFY(r.at - rig.reports.at(i - 1).at <= IntervalMs);
        }
        QCOMPARE(seen, c.phases);
        for (qsizetype i = 0; i < c.phases.size(); ++i) {
            const auto [first, last] = rig.Span(c.phases.at(i));
            QVERIFY2(qAbs(last - first - c.spansMs.at(i)) <= 2 * IntervalMs,
                     qPrintable(QStringLiteral("phase %1 lasted %2 ms").arg(int(c.phases.at(i))).arg(last - first)));
        }
        QCOMPARE(std::find_if(rig.reports.rbegin(), rig.reports.rend(), [](const Report& r) {
                     return r.progress.phase != Phase::Idle;
                 })->progress.done,
                 c.lastDone);
        // The sequence has ended: the last word is the next step, reported
        // the moment the gate opened, and nothing comes after.
        QCOMPARE(rig.reports.last().progress.phase, Phase::Idle);
        QVERIFY(rig.reports.last().at <= rig.clock.NowMs() - 2000);
        QCOMPARE(rig.monitor->Next(), c.next);
        QCOMPARE(rig.duringMessages.isEmpty() ? Phase::Idle : rig.duringMessages.last(), c.duringMessage);
    }

    // A write right after a read starts with its first byte to send: the
    // bytes the read received are no reply to it (the write bars and a
    // site's row bar would show a full reply for a moment).
    void writeAfterAReadStartsWithSending()
    {
        Rig rig{QString()};
        QVERIFY(rig.Start(QStringLiteral("read")));
        rig.RunToEnd();
        QCOMPARE(rig.State().TerminalRead, qint16(1));
        rig.reports.clear();
        QVERIFY(rig.session->Write().Start(ConfigBlock{}));
        QVERIFY(!rig.reports.isEmpty());
        QCOMPARE(rig.reports.first().progress, (TransferProgress{Phase::Sending, 0, 2048}));
    }

    // A port that reports bytes as written when the system takes them (all
    // at once) still shows them leaving at line pace; a reply means all
    // have gone.
    void sendingNeverOutrunsTheLine()
    {
        Rig rig(QStringLiteral("scripted"));
        QVERIFY(rig.Start(QStringLiteral("write")));
        emit rig.link->BytesWritten(2048);
        rig.clock.Advance(1000);
        QCOMPARE(rig.monitor->Current(), (TransferProgress{Phase::Sending, 240, 2048}));
        rig.clock.Advance(1000);
        QCOMPARE(rig.monitor->Current(), (TransferProgress{Phase::Sending, 480, 2048}));
        rig.scripted->Deliver(QByteArray(3, 'a'));
        QCOMPARE(rig.monitor->Current(), (TransferProgress{Phase::Replying, 3, 2048}));
        // Bytes reported before the write (the read's password) do not count.
        Rig other(QStringLiteral("scripted"));
        emit other.link->BytesWritten(4);
        QVERIFY(other.Start(QStringLiteral("write")));
        other.clock.Advance(5000);
        QCOMPARE(other.monitor->Current(), (TransferProgress{Phase::Sending, 0, 2048}));
    }
};

QTEST_GUILESS_MAIN(ProgressTest)
#include "tst_progress.moc"
