// The simulated terminal on the manual clock: pacing, line patterns, its
// memory file, and where the port map puts it.
#include "comm/mappedlink.h"
#include "comm/simterminal.h"
#include "config/configfiles.h"
#include "platform/timers.h"

#include <QtTest>

class SimTerminalTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // Everything the terminal delivers, one entry per receive event.
    void Listen(SerialLink& link, QList<QByteArray>& deliveries)
    {
        connect(&link, &SerialLink::ReceiveEvent, &link, [&](int) { deliveries << link.ReadAll(); });
    }

private slots:
    void options_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("file");   // "!": refused
        QTest::addColumn<int>("burst");
        QTest::addColumn<int>("stop");
        QTest::newRow("plain") << "" << "" << 1 << -1;
        QTest::newRow("file and options") << ":T.QLV,burst=8,stop=100" << "T.QLV" << 8 << 100;
        QTest::newRow("unknown") << ",loud" << "!" << 0 << 0;
        QTest::newRow("burst 0") << ",burst=0" << "!" << 0 << 0;
        QTest::newRow("stop not a number") << ",stop=x" << "!" << 0 << 0;
        QTest::newRow("free text too long") << ",free=123456789" << "!" << 0 << 0;
        QTest::newRow("no separator") << "x" << "!" << 0 << 0;
    }
    void options()
    {
        QFETCH(QString, text);
        QFETCH(QString, file);
        QString error;
        const auto o = ParseSimulationOptions(text, &error);
        QCOMPARE(!o, file == u"!");
        QCOMPARE(error.isEmpty(), bool(o));
        if (o) {
            QCOMPARE(o->file, file);
            QTEST(o->burst, "burst");
            QTEST(o->stopAfter, "stop");
        }
    }

    // The start byte one byte time (1/240 s) after RTS rises with DTR low,
    // then the password, 2048 bytes and the identification, one receive
    // event per byte or per burst.
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
        sim.SetOptions(*ParseSimulationOptions(QStringLiteral(",burst=%1").arg(burst)));
        QVERIFY(sim.Open());
        QList<QByteArray> deliveries;
        Listen(sim, deliveries);
        sim.SetDtr(true);
        clock.Advance(200);
        sim.SetRts(true);
        sim.SetDtr(false);
        clock.Advance(4);
        QVERIFY(deliveries.isEmpty());
        clock.Advance(1);   // 4.17 ms
        QCOMPARE(deliveries, QList<QByteArray>{QByteArray(1, 16)});
        sim.Send(QByteArray("0\x21\x43\x65", 4));   // 123456 packed
        clock.Advance(20000);
        const QByteArray all = deliveries.join();
        QCOMPARE(all.size(), 1 + 4 + 2048 + 16);
        QCOMPARE(all.mid(1, 4), QByteArray("0\x21\x43\x65", 4));
        QCOMPARE(all.right(16), QByteArray("VARDELO SIM 1.00"));
        QTEST(int(deliveries.size()), "events");
        // The password's 4 bytes arrive by 205 + 16.7 ms; then 2068 byte times.
        QCOMPARE(sim.LastByteSentMs(), qint64(222 + (2068 * 1000 + 239) / 240));
    }

    // A DTR pulse alone restarts the terminal; RTS without DTR is a write;
    // the end of a write (DTR on, RTS off, DTR off) is no reset.
    void linePatterns()
    {
        ManualClock clock;
        SimulatedTerminal sim(clock);
        QVERIFY(sim.Open());
        sim.SetDtr(true);
        clock.Advance(500);
        sim.SetDtr(false);
        QCOMPARE(sim.Restarts(), 1);
        sim.SetRts(true);
        QCOMPARE(sim.CurrentPhase(), SimulatedTerminal::Phase::TakingWrite);
        sim.SetDtr(true);
        sim.SetRts(false);
        QCOMPARE(sim.CurrentPhase(), SimulatedTerminal::Phase::Idle);
        sim.SetDtr(false);
        QCOMPARE(sim.Restarts(), 1);
    }

    // A write taken from a file-backed terminal is replied and stored back
    // into the file; a missing or damaged file cannot be opened.
    void memoryFile_data()
    {
        QTest::addColumn<QByteArray>("content");   // empty: no file
        QTest::newRow("file") << QByteArray(" 5 \r\n").repeated(2048);
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("short") << QByteArray(" 1 \r\n 2 \r\n");
        QTest::newRow("not a byte") << QByteArray(" 300 \r\n").repeated(2048);
    }
    void memoryFile()
    {
        QFETCH(QByteArray, content);
        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".QLV"));
        if (!content.isEmpty())
            QVERIFY(WriteFileAtomically(path, content));
        ManualClock clock;
        SimulatedTerminal sim(clock);
        sim.SetOptions(*ParseSimulationOptions(QStringLiteral(":") + path));
        const bool usable = content.startsWith(" 5");
        QCOMPARE(sim.Open(), usable);
        QCOMPARE(sim.ErrorText().isEmpty(), usable);
        if (!usable)
            return;
        QCOMPARE(int(sim.Memory()[100]), 5);
        QList<QByteArray> deliveries;
        Listen(sim, deliveries);
        sim.SetRts(true);
        QByteArray image(2048, char(9));
        image[0] = char(200);
        sim.Send(image);
        clock.Advance(20000);
        QCOMPARE(deliveries.join(), image);
        ConfigBlock block{};
        QVERIFY(ReadConfigBlock(path, block));
        QCOMPARE(block[0], qint16(200));
        QCOMPARE(block[2047], qint16(9));
    }

    // The simulated terminal is used only where the map names it.
    void mappedLink()
    {
        ManualClock clock;
        MappedSerialLink link(clock, PortMap::Parse(QStringLiteral("com2=sim\ncom3=/dev/vardelo-no-such-device\n")));
        link.SetPortNumber(2);
        QVERIFY(link.Open() && link.Simulation());
        link.SetPortNumber(3);
        QVERIFY(!link.Open() && !link.Simulation() && !link.IsOpen());
        QVERIFY(link.ErrorText().contains(QStringLiteral("/dev/vardelo-no-such-device")));
        link.SetFixedTarget(PortMap::TargetFromText(QStringLiteral("sim,nonsense")));
        QVERIFY(!link.Open());
        QVERIFY(link.ErrorText().contains(QStringLiteral("nonsense")));
    }
};

QTEST_GUILESS_MAIN(SimTerminalTest)
#include "tst_simterminal.moc"
