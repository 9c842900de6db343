// The simulated terminal's memory file, and where the port map puts it. Its
// pacing and line patterns are checked by the sequence tests to the tick.
#include "comm/mappedlink.h"
#include "comm/portdiagnosis.h"
#include "texts/sequencetext.h"
#include "comm/simterminal.h"
#include "common/clirun.h"
#include "common/manualclock.h"
#include "config/configfiles.h"

#include <QtTest>

class SimTerminalTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // A write taken from a file-backed terminal is replied and stored back
    // into the file; a damaged file cannot be opened.
    void memoryFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("file") << QByteArray(" 5 \r\n").repeated(2048);
        QTest::newRow("short") << QByteArray(" 1 \r\n 2 \r\n");
        QTest::newRow("not a byte") << QByteArray(" 300 \r\n").repeated(2048);
        // The file turns into a folder after it was loaded: the write cannot
        // be stored, so it is not taken and not replied.
        QTest::newRow("cannot store") << QByteArray(" 5 \r\n").repeated(2048);
    }
    void memoryFile()
    {
        QFETCH(QByteArray, content);
        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".QLV"));
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
        QByteArray replied;
        connect(&sim, &SerialLink::ReceiveEvent, this, [&] { replied += sim.ReadAll(); });
        const bool stores = QTest::currentDataTag() != QByteArray("cannot store");
        if (!stores)
            QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        sim.SetRts(true);
        QByteArray image(2048, char(9));
        image[0] = char(200);
        sim.Send(image);
        clock.Advance(20000);
        if (!stores) {
            QVERIFY(replied.isEmpty());
            QCOMPARE(int(sim.Memory()[0]), 5);
            QCOMPARE(sim.WritesTaken(), 0);
            QVERIFY2(sim.ErrorText().contains(path), qPrintable(sim.ErrorText()));
            return;
        }
        QCOMPARE(replied, image);
        ConfigBlock block{};
        QVERIFY(ReadConfigBlock(path, block));
        QCOMPARE(block[0], qint16(200));
        QCOMPARE(block[2047], qint16(9));
    }

    // One session at a time uses a memory file, as a serial port: a second
    // one, in this process or another, is refused with the words of a port
    // another program holds. The memory is read again when a session begins,
    // so it sees what the session before it wrote.
    void oneSessionAtATime()
    {
        const QString path = dir.filePath(QStringLiteral("door.QLV"));
        QVERIFY(WriteFileAtomically(path, QByteArray(" 5 \r\n").repeated(2048)));
        ManualClock clock;
        SimulatedTerminal first(clock), second(clock);
        first.SetOptions(*ParseSimulationOptions(QStringLiteral(":") + path));
        second.SetOptions(first.Options());
        QVERIFY(first.Open());
        QVERIFY(!second.Open());
        QVERIFY2(second.ErrorText().contains("is in use by another program"), qPrintable(second.ErrorText()));

        const PortMap map = PortMap::Parse(QStringLiteral("com3=sim:") + path + QStringLiteral("\n"));
        MappedSerialLink link(clock, map);
        link.SetPortNumber(3);
        QVERIFY(!link.Open());
        QCOMPARE(link.OpenFailure().cause, PortFailure::Cause::Busy);
        ProgramState program;
        program.LanguageOffset = 1000;
        QCOMPARE(PortFailedMessage(program, Text::PortBusy, {link.OpenFailure()}),
                 SequenceText(program, Text::PortBusy) + u'\n' + path + QStringLiteral(" is in use by another program"));
        const CliRun other = RunCli({"read", "--port", "sim:" + path, "--password", "123456", "--out", dir.filePath("x.QLV")});
        QCOMPARE(other.status, 1);
        QVERIFY2(other.err.contains("Serial interface occupied\n" + path.toUtf8() + " is in use by another program"),
                 other.err.constData());

        first.Close();
        QVERIFY(WriteFileAtomically(path, QByteArray(" 7 \r\n").repeated(2048)));
        QVERIFY(second.Open());
        QCOMPARE(int(second.Memory()[100]), 7);
        QVERIFY(!first.Open());
    }
};

QTEST_GUILESS_MAIN(SimTerminalTest)
#include "tst_simterminal.moc"
