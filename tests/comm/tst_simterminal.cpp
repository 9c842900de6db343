#include "comm/mappedlink.h"
#include "comm/simterminal.h"
#include "config/configfiles.h"
#include "platform/timers.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class SimTerminalTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // Collects what the terminal delivers, one entry per receive event.
    struct Listener {
        QList<QByteArray> deliveries;
        QList<int> codes;
        void Attach(SerialLink& link)
        {
            QObject::connect(&link, &SerialLink::ReceiveEvent, &link, [this, &link](int code) {
                codes << code;
                if (code == LinkEvent::Received)
                    deliveries << link.ReadAll();
            });
        }
        QByteArray All() const
        {
            QByteArray all;
            for (const QByteArray& d : deliveries)
                all += d;
            return all;
        }
    };

    QString WriteMemoryFile(const QString& name, int fill)
    {
        ConfigBlock block{};
        block.fill(qint16(fill));
        const QString path = dir.filePath(name);
        WriteFileAtomically(path, FormatConfigBlock(block));
        return path;
    }

private slots:
    void options_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("burst");
        QTest::addColumn<int>("stop");
        QTest::newRow("plain") << "" << true << "" << 1 << -1;
        QTest::newRow("file") << ":/t/T.QLV" << true << "/t/T.QLV" << 1 << -1;
        QTest::newRow("file and options") << ":T.QLV,burst=8,stop=100" << true << "T.QLV" << 8 << 100;
        QTest::newRow("options only") << ",silent" << true << "" << 1 << -1;
        QTest::newRow("unknown") << ",loud" << false << "" << 0 << 0;
        QTest::newRow("burst 0") << ",burst=0" << false << "" << 0 << 0;
        QTest::newRow("stop not a number") << ",stop=x" << false << "" << 0 << 0;
        QTest::newRow("free text too long") << ",free=123456789" << false << "" << 0 << 0;
        QTest::newRow("no separator") << "x" << false << "" << 0 << 0;
    }
    void options()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QString error;
        const auto o = ParseSimulationOptions(text, &error);
        QCOMPARE(o.has_value(), valid);
        if (!valid) {
            QVERIFY(!error.isEmpty());
            return;
        }
        QTEST(o->file, "file");
        QTEST(o->burst, "burst");
        QTEST(o->stopAfter, "stop");
    }

    // Each byte arrives one byte time (1/240 s) after the one before, as
    // its own receive event; bursts gather N bytes.
    void pacingAndBursts_data()
    {
        QTest::addColumn<int>("burst");
        QTest::addColumn<int>("events");
        QTest::newRow("one per byte") << 1 << 2069;
        QTest::newRow("bursts of 7") << 7 << 1 + 2068 / 7 + 1;
    }
    void pacingAndBursts()
    {
        QFETCH(int, burst);
        ManualClock clock;
        SimulatedTerminal sim(clock);
        SimulationOptions o;
        o.burst = burst;
        sim.SetOptions(o);
        QVERIFY(sim.Open());
        Listener l;
        l.Attach(sim);
        sim.SetDtr(true);
        clock.Advance(200);
        sim.SetRts(true);
        sim.SetDtr(false);
        QCOMPARE(sim.CurrentPhase(), SimulatedTerminal::Phase::AwaitPassword);
        clock.Advance(4);
        QVERIFY(l.deliveries.isEmpty());
        clock.Advance(1);   // 4.17 ms
        QCOMPARE(l.All(), QByteArray(1, 16));
        sim.Send(QByteArray("0\x21\x43\x65", 4));   // 123456 packed
        clock.Advance(20000);
        const QByteArray all = l.All();
        QCOMPARE(all.size(), 1 + 4 + 2048 + 16);
        QCOMPARE(all.mid(1, 4), QByteArray("0\x21\x43\x65", 4));
        QCOMPARE(all.right(16), QByteArray("VARDELO SIM 1.00"));
        QTEST(int(l.deliveries.size()), "events");
        // Password 4 bytes arrive at 205 + 16.7 ms; then 2068 byte times.
        QCOMPARE(sim.LastByteSentMs(), qint64(222 + (2068 * 1000 + 239) / 240));
    }

    void linePatterns()
    {
        ManualClock clock;
        SimulatedTerminal sim(clock);
        QVERIFY(sim.Open());
        QSignalSpy restarted(&sim, &SimulatedTerminal::Restarted);
        // Reset pulse.
        sim.SetDtr(true);
        clock.Advance(500);
        sim.SetDtr(false);
        QCOMPARE(restarted.count(), 1);
        // RTS without DTR first: a write.
        sim.SetRts(true);
        QCOMPARE(sim.CurrentPhase(), SimulatedTerminal::Phase::TakingWrite);
        // Dropping RTS ends it.
        sim.SetRts(false);
        QCOMPARE(sim.CurrentPhase(), SimulatedTerminal::Phase::Idle);
        // The end of a write (DTR on, RTS off, DTR off) is no reset.
        sim.SetRts(true);
        sim.SetDtr(true);
        sim.SetRts(false);
        sim.SetDtr(false);
        QCOMPARE(restarted.count(), 1);
        // Lines do nothing on a closed port.
        sim.Close();
        sim.SetDtr(true);
        QVERIFY(!sim.Dtr());
    }

    // A write taken from a file-backed terminal is stored back into the file.
    void memoryFileRoundTrip()
    {
        const QString path = WriteMemoryFile(QStringLiteral("T.QLV"), 5);
        ManualClock clock;
        SimulatedTerminal sim(clock);
        sim.SetOptions(*ParseSimulationOptions(QStringLiteral(":") + path));
        QVERIFY(sim.Open());
        QCOMPARE(int(sim.Memory()[100]), 5);
        Listener l;
        l.Attach(sim);
        sim.SetRts(true);
        QByteArray image(2048, char(9));
        image[0] = char(200);
        sim.Send(image);
        clock.Advance(20000);
        QCOMPARE(sim.WritesTaken(), 1);
        QCOMPARE(l.All(), image);
        ConfigBlock block{};
        QVERIFY(ReadConfigBlock(path, block));
        QCOMPARE(block[0], qint16(200));
        QCOMPARE(block[2047], qint16(9));
    }

    void unusableMemoryFile_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("missing") << QString();
        QTest::newRow("short") << " 1 \r\n 2 \r\n";
        QTest::newRow("not a byte") << QString(" 300 \r\n").repeated(2048);
    }
    void unusableMemoryFile()
    {
        QFETCH(QString, content);
        const QString path = dir.filePath(QStringLiteral("bad.QLV"));
        QFile::remove(path);
        if (!content.isNull())
            QVERIFY(WriteFileAtomically(path, content.toLatin1()));
        ManualClock clock;
        SimulatedTerminal sim(clock);
        sim.SetOptions(*ParseSimulationOptions(QStringLiteral(":") + path));
        QVERIFY(!sim.Open());
        QVERIFY(!sim.ErrorText().isEmpty());
    }

    // The simulated terminal is used only where the map names it.
    void mappedLink()
    {
        ManualClock clock;
        PortMap map = PortMap::Parse(QStringLiteral("com2=sim\ncom3=/dev/vardelo-no-such-device\n"));
        MappedSerialLink link(clock, map);
        link.SetPortNumber(2);
        QVERIFY(link.Open());
        QVERIFY(link.Simulation());
        link.SetPortNumber(3);
        QVERIFY(!link.Open());
        QVERIFY(!link.Simulation());
        QVERIFY(!link.IsOpen());
        QVERIFY(link.ErrorText().contains(QStringLiteral("/dev/vardelo-no-such-device")));
        link.SetFixedTarget(PortMap::TargetFromText(QStringLiteral("sim,silent")));
        QVERIFY(link.Open());
        QVERIFY(link.Simulation()->Options().silent);
        link.SetFixedTarget(PortMap::TargetFromText(QStringLiteral("sim,nonsense")));
        QVERIFY(!link.Open());
        QVERIFY(link.ErrorText().contains(QStringLiteral("nonsense")));
    }
};

QTEST_GUILESS_MAIN(SimTerminalTest)
#include "tst_simterminal.moc"
