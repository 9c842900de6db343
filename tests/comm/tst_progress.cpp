// Progress in bytes and seconds: the figures of a read, a write and a reset
// as the monitor reports them on the manual clock against the simulated
// terminal, and the texts made of them.
#include "app/catalogue.h"
#include "comm/progress.h"
#include "comm/sequences.h"
#include "comm/simterminal.h"
#include "comm/timing.h"
#include "common/fakes.h"
#include "common/scriptedlink.h"
#include "config/configimage.h"

#include <QtTest>

namespace {

using Phase = TransferProgress::Phase;
constexpr int IntervalMs = 250;

struct Report {
    qint64 at;
    TransferProgress progress;
    QString status;
};

// Message boxes that note what the monitor says while each is open.
struct WatchingMessages : FakeMessages {
    std::function<void()> onShow;
    Answer Show(const QString& prompt, const QString& title, Buttons buttons, QWidget* parent) override
    {
        onShow();
        return FakeMessages::Show(prompt, title, buttons, parent);
    }
};

// A session with its monitor on a fresh clock; every report is kept with
// its time and the status line it makes.
struct Rig {
    QTemporaryDir dir;
    ManualClock clock;
    Vardelomod m;
    WatchingMessages messages;
    QList<Phase> duringMessages;
    std::unique_ptr<SerialLink> link;
    std::unique_ptr<TerminalSession> session;
    std::unique_ptr<TransferMonitor> monitor;
    QList<Report> reports;

    explicit Rig(const QString& options, int language = 1000)
    {
        m.LanguageOffset = qint16(language);
        LoadWindowTexts(m, TextWindow::Main);
        if (options == u"scripted") {
            link = std::make_unique<ScriptedLink>(&clock);
        } else {
            auto sim = std::make_unique<SimulatedTerminal>(clock);
            sim->SetOptions(*ParseSimulationOptions(options));
            link = std::move(sim);
        }
        link->Open();
        session = std::make_unique<TerminalSession>(m, *link, clock, messages);
        session->Read().SetOutputFile(dir.filePath(QStringLiteral("VARDELO.QLV")));
        monitor = std::make_unique<TransferMonitor>(m, *session, clock, IntervalMs);
        messages.onShow = [this] { duringMessages << monitor->Current().phase; };
        QObject::connect(monitor.get(), &TransferMonitor::Changed, [this](const TransferProgress& p) {
            reports.append({clock.NowMs(), p, StatusLineText(m, p, monitor->Next())});
        });
    }
    bool Start(const QString& sequence)
    {
        if (sequence == u"read")
            return session->Read().Start([this] {
                m.TerminalPassword = PackTerminalPassword(QStringLiteral("123456"), false);
                m.PasswordAccepted = 1;
            });
        if (sequence == u"write") {
            m.TerminalRead = 1;
            return session->Write().Start();
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

QString Text(int id, int language)
{
    return CatalogueText(id, language);
}

} // namespace

class ProgressTest : public QObject {
    Q_OBJECT
private slots:
    void texts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("done");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("next");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("line");
        const int idle = int(Phase::Idle), any = int(NextStep::Read);
        QTest::newRow("read, rounded up") << 0 << int(Phase::Reading) << 1234 << 2069 << any
                                          << "Auslesen: 1234 von 2069 Bytes, noch 4 s" << "read: 1234/2069 bytes, 4 s left";
        QTest::newRow("send") << 1000 << int(Phase::Sending) << 812 << 2048 << any
                              << "Sending: 812 of 2048 bytes, 6 s left" << "send: 812/2048 bytes, 6 s left";
        QTest::newRow("reply") << 3000 << int(Phase::Replying) << 1200 << 2048 << any
                               << "Respuesta: 1200 de 2048 bytes recibidos, quedan 4 s" << "reply: 1200/2048 bytes, 4 s left";
        QTest::newRow("one byte left") << 1000 << int(Phase::Replying) << 2047 << 2048 << any
                                       << "Reply: 2047 of 2048 bytes received, 1 s left" << "reply: 2047/2048 bytes, 1 s left";
        QTest::newRow("all there") << 2000 << int(Phase::Reading) << 2069 << 2069 << any
                                   << "Lecture : 2069 sur 2069 octets, encore 0 s" << "read: 2069/2069 bytes, 0 s left";
        QTest::newRow("reset") << 0 << int(Phase::Resetting) << 0 << 0 << any << "Reset-Impuls wird gegeben" << "";
        // The menu path is the menu's own caption, without its access key.
        QTest::newRow("no port") << 2000 << idle << 0 << 0 << int(NextStep::OpenPort)
                                 << "Aucune interface ouverte : Vardelo > Interface" << "";
        QTest::newRow("not read") << 3000 << idle << 0 << 0 << int(NextStep::Read)
                                  << "Todavía no leído: Vardelo > leer Vardelo" << "";
        QTest::newRow("read") << 1000 << idle << 0 << 0 << int(NextStep::Write)
                              << "Terminal read: you can write a file now (VARDELO > Write VARDELO)" << "";
        QTest::newRow("programmed") << 0 << idle << 0 << 0 << int(NextStep::ReadAgain)
                                    << "VARDELO programmiert: zur Kontrolle erneut auslesen (VARDELO > VARDELO auslesen)" << "";
    }
    void texts()
    {
        QFETCH(int, language);
        QFETCH(int, phase);
        QFETCH(int, done);
        QFETCH(int, total);
        QFETCH(int, next);
        Vardelomod m;
        m.LanguageOffset = qint16(language);
        LoadWindowTexts(m, TextWindow::Main);
        const TransferProgress p{Phase(phase), done, total};
        QTEST(StatusLineText(m, p, NextStep(next)), "status");
        QTEST(ProgressLine(p), "line");
    }

    // Every sequence reported from start to end: never more bytes than the
    // total, never a negative second, counts that only rise, a report at
    // least every 500 ms while it runs, each phase as long as the line needs
    // for its bytes, and the hint for the next step at once when it ends.
    void sequences_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QList<int>>("phases");     // in order
        QTest::addColumn<QList<int>>("spansMs");    // how long each lasts (± two reports)
        QTest::addColumn<int>("lastDone");          // of the last counted report
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("duringMessage");   // phase shown while the last message is open
        using L = QList<int>;
        const int idle = int(Phase::Idle);
        const int reading = int(Phase::Reading), sending = int(Phase::Sending), replying = int(Phase::Replying);
        const int lineRead = 600 + 2069 * 1000 / 240, lineBlock = 2048 * 1000 / 240;
        QTest::newRow("read") << "read" << "" << L{reading} << L{lineRead} << 2069 << int(NextStep::Write) << idle;
        QTest::newRow("read, silent terminal") << "read" << ",silent" << L{reading} << L{10200} << 0 << int(NextStep::Read) << reading;
        QTest::newRow("read in bursts") << "read" << ",burst=64" << L{reading} << L{lineRead} << 2069 << int(NextStep::Write) << idle;
        QTest::newRow("write") << "write" << "" << L{sending, replying} << L{lineBlock, lineBlock} << 2048
                               << int(NextStep::ReadAgain) << replying;
        // A reply that stops: the count stays where it stopped until the
        // watchdog ends the write.
        QTest::newRow("write, reply stops") << "write" << ",stop=1000" << L{sending, replying}
                                            << L{lineBlock, 1000 * 1000 / 240 + 19800} << 1000 << int(NextStep::Read) << replying;
        // The bytes leave the port all the same; no reply comes.
        QTest::newRow("write, terminal silent") << "write" << ",silent" << L{sending, replying}
                                                << L{lineBlock, 20000 - lineBlock} << 0 << int(NextStep::Read) << replying;
        QTest::newRow("reset") << "reset" << "" << L{int(Phase::Resetting)} << L{500} << 0 << int(NextStep::Read) << idle;
    }
    void sequences()
    {
        QFETCH(QString, sequence);
        QFETCH(QString, options);
        QFETCH(QList<int>, phases);
        QFETCH(QList<int>, spansMs);
        Rig rig(options);
        QVERIFY(rig.Start(sequence));
        QVERIFY(rig.clock.RunUntil([&] { return !rig.session->Busy(); }, 60000));
        rig.clock.Advance(2000);

        QList<int> seen;
        int high = 0;
        for (qsizetype i = 0; i < rig.reports.size(); ++i) {
            const Report& r = rig.reports.at(i);
            const TransferProgress& p = r.progress;
            QVERIFY2(p.done >= 0 && p.done <= p.total && p.SecondsLeft() >= 0, qPrintable(r.status));
            if (p.phase == Phase::Idle)
                continue;
            if (seen.isEmpty() || seen.last() != int(p.phase)) {
                seen << int(p.phase);
                high = 0;
            }
            QVERIFY2(p.done >= high, qPrintable(r.status));
            high = p.done;
            if (i > 0)
                QVERIFY(r.at - rig.reports.at(i - 1).at <= IntervalMs);
        }
        QCOMPARE(seen, phases);
        for (qsizetype i = 0; i < phases.size(); ++i) {
            const auto [first, last] = rig.Span(Phase(phases.at(i)));
            QVERIFY2(qAbs(last - first - spansMs.at(i)) <= 2 * IntervalMs,
                     qPrintable(QStringLiteral("phase %1 lasted %2 ms").arg(phases.at(i)).arg(last - first)));
        }
        QTEST(std::find_if(rig.reports.rbegin(), rig.reports.rend(), [](const Report& r) {
                  return r.progress.phase != Phase::Idle;
              })->progress.done,
              "lastDone");
        // The sequence has ended: the last word is the next step, reported
        // the moment the gate opened, and nothing comes after.
        QCOMPARE(rig.reports.last().progress.phase, Phase::Idle);
        QVERIFY(rig.reports.last().at <= rig.clock.NowMs() - 2000);
        QTEST(int(rig.monitor->Next()), "next");
        QTEST(rig.duringMessages.isEmpty() ? int(Phase::Idle) : int(rig.duringMessages.last()), "duringMessage");
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
        static_cast<ScriptedLink&>(*rig.link).Deliver(QByteArray(3, 'a'));
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
