// Several terminals from one program: two sessions, each on its own
// simulated terminal behind the program's port map, run side by side on one
// clock. Each reads into its own folder exactly what its terminal holds, a
// failure in one leaves the other's read complete, and a write to one does
// not reach the other. The sessions report through signals and a Messages
// that answers at once, as a program without windows runs them.
#include "comm/mappedlink.h"
#include "comm/sequences.h"
#include "comm/timing.h"
#include "common/english.h"
#include "common/fakes.h"
#include "common/filebytes.h"
#include "common/manualclock.h"
#include "config/configfiles.h"
#include "texts/catalogue.h"

#include <QtTest>

namespace {

// What a terminal holds: its password in slots 5..7, the rest a pattern of
// its own, so that bytes of one terminal in the other's file would show.
ConfigBlock TerminalContent(const QString& password, int seed)
{
    ConfigBlock block{};
    for (int i = 0; i < Configuration::BlockSlots; ++i)
        block[i] = qint16((i * seed + 7 * seed + i / 256) & 0xFF);
    const auto packed = PackPasswordDigits(password);
    for (int i = 0; i < 3; ++i)
        block[Slot::PasswordBcd + i] = (*packed)[i];
    return block;
}

// One terminal of the site: com N of the program's port map leads to a
// simulated terminal held in its memory file; its session reads into a
// folder of its own and shows its messages in a box that answers at once.
struct Terminal {
    QString memoryFile;
    QString folder;
    FakeMessages messages;
    MappedSerialLink link;
    TerminalSession session;
    QList<bool> ended;       // Ended(ok) of each read and write, in order
    qint64 endedAt = -1;     // clock time of the last end

    Terminal(ManualClock& clock, const ProgramState& program, int port, const QString& dir)
        : memoryFile(dir + QStringLiteral("/terminal%1.QLV").arg(port)),
          folder(dir + QStringLiteral("/com%1").arg(port)),
          link(clock, program.Ports),
          session(program, link, clock, messages)
    {
        QDir().mkpath(folder);
        link.SetPortNumber(port);
        session.State().PortNumber = qint16(port);
        session.Read().SetOutputFile(folder + QStringLiteral("/VARDELO.QLV"));
        session.Read().SetFallbackFolder(folder + QStringLiteral("/fallback"));
        session.Read().SetAskToEdit(false);
        const auto end = [this, &clock](bool ok) {
            ended << ok;
            endedAt = clock.NowMs();
        };
        QObject::connect(&session.Read(), &ReadSequence::Ended, end);
        QObject::connect(&session.Write(), &WriteSequence::Ended, end);
    }
    bool Read(const QString& password)
    {
        return session.Read().Start([password] { return PasswordEntry{1, PackTerminalPassword(password, false)}; });
    }
    QString ReadFile() const { return folder + QStringLiteral("/VARDELO.QLV"); }
};

// Two terminals, com3 and com4, with their own passwords, contents and
// identifications; the options of the second one are given.
struct Site {
    QTemporaryDir dir;
    ManualClock clock;
    ProgramState program;
    std::unique_ptr<Terminal> first, second;

    explicit Site(const QString& secondOptions = {})
    {
        program.LanguageOffset = 1000;
        LoadWindowTexts(program, TextWindow::Main);
        const QString a = dir.filePath(QStringLiteral("terminal3.QLV"));
        const QString b = dir.filePath(QStringLiteral("terminal4.QLV"));
        program.Ports = PortMap::Parse(QStringLiteral("com3=sim:%1,id=TOR1-A\ncom4=sim:%2,id=TOR2-B%3\n")
                                           .arg(a, b, secondOptions));
        WriteFileAtomically(a, FormatConfigBlock(TerminalContent(QStringLiteral("123456"), 13)));
        WriteFileAtomically(b, FormatConfigBlock(TerminalContent(QStringLiteral("654321"), 29)));
        first = std::make_unique<Terminal>(clock, program, 3, dir.path());
        second = std::make_unique<Terminal>(clock, program, 4, dir.path());
    }
    bool Open() { return first->link.Open() && second->link.Open(); }
    bool RunUntilBothEnded()
    {
        return clock.RunUntil([&] { return !first->session.Busy() && !second->session.Busy(); }, 60000);
    }
};

} // namespace

class SessionsTest : public QObject {
    Q_OBJECT
private slots:
    // Two reads at once, the second started 300 ms after the first so that
    // their ticks and bytes interleave: each ends on its own tick, as a read
    // alone does, and its file holds exactly what its terminal holds.
    void twoReadsAtOnce()
    {
        Site site;
        QVERIFY(site.Open());
        QVERIFY(site.first->Read(QStringLiteral("123456")));
        site.clock.Advance(300);
        QVERIFY(site.second->Read(QStringLiteral("654321")));
        QVERIFY(site.first->session.Busy() && site.second->session.Busy());
        QVERIFY(site.RunUntilBothEnded());

        for (Terminal* t : {site.first.get(), site.second.get()}) {
            QCOMPARE(t->ended, QList<bool>{true});
            QVERIFY(t->messages.shown.isEmpty());
            QCOMPARE(t->session.State().TerminalRead, qint16(1));
            QCOMPARE(Bytes(t->ReadFile()), Bytes(t->memoryFile));
            QVERIFY(!t->link.Dtr() && !t->link.Rts());
        }
        QCOMPARE(site.first->endedAt, qint64(9400));
        QCOMPARE(site.second->endedAt, qint64(300 + 9400));
        QCOMPARE(site.first->session.Read().IdentificationLine(), QStringLiteral("      TOR1-A          "));
        QCOMPARE(site.second->session.Read().IdentificationLine(), QStringLiteral("      TOR2-B          "));
        QVERIFY(Bytes(site.first->ReadFile()) != Bytes(site.second->ReadFile()));
    }

    // A read that fails leaves the other one, running at the same time,
    // complete and correct; only the failing session says why, at its own
    // tick, and stores nothing.
    void aFailureLeavesTheOtherRead_data()
    {
        QTest::addColumn<bool>("firstFails");
        QTest::addColumn<QString>("options");   // of the second terminal
        QTest::addColumn<QString>("password");  // the failing read's
        QTest::addColumn<int>("text");
        QTest::addColumn<qint64>("failedAt");   // after its start
        QTest::newRow("second: wrong password") << false << "" << "111111" << 141 << qint64(10200);
        QTest::newRow("first: wrong password") << true << "" << "111111" << 141 << qint64(10200);
        QTest::newRow("second: silent terminal") << false << ",silent" << "654321" << 143 << qint64(10200);
    }
    void aFailureLeavesTheOtherRead()
    {
        QFETCH(bool, firstFails);
        QFETCH(QString, options);
        QFETCH(QString, password);
        Site site(options);
        QVERIFY(site.Open());
        Terminal& failing = firstFails ? *site.first : *site.second;
        Terminal& healthy = firstFails ? *site.second : *site.first;
        QVERIFY(site.first->Read(firstFails ? password : QStringLiteral("123456")));
        site.clock.Advance(300);
        QVERIFY(site.second->Read(firstFails ? QStringLiteral("654321") : password));
        QVERIFY(site.RunUntilBothEnded());

        QCOMPARE(healthy.ended, QList<bool>{true});
        QVERIFY(healthy.messages.shown.isEmpty());
        QCOMPARE(Bytes(healthy.ReadFile()), Bytes(healthy.memoryFile));
        QCOMPARE(healthy.endedAt, qint64(firstFails ? 300 + 9400 : 9400));

        QCOMPARE(failing.ended, QList<bool>{false});
        QFETCH(int, text);
        QCOMPARE(failing.messages.shown.size(), 1);
        QCOMPARE(failing.messages.shown.at(0).prompt, En(text));
        QCOMPARE(failing.session.Read().FailureText(), En(text));
        QFETCH(qint64, failedAt);
        QCOMPARE(failing.endedAt, (firstFails ? 0 : 300) + failedAt);
        QCOMPARE(failing.session.State().TerminalRead, qint16(0));
        QVERIFY(!QFile::exists(failing.ReadFile()));
        QVERIFY(!failing.link.Dtr() && !failing.link.Rts());
    }

    // A write to one terminal while the other is read: the reply of the
    // write is compared in its own session, and neither terminal gets the
    // other's bytes.
    void writeToOneWhileTheOtherReads()
    {
        Site site;
        QVERIFY(site.Open());
        QVERIFY(site.first->Read(QStringLiteral("123456")));
        QVERIFY(site.RunUntilBothEnded());
        ConfigBlock changed = TerminalContent(QStringLiteral("123456"), 41);
        changed[Slot::DoorOpenTime] = 9;
        QVERIFY(site.first->session.Write().Start(changed));
        site.clock.Advance(1000);
        QVERIFY(site.second->Read(QStringLiteral("654321")));
        QVERIFY(site.RunUntilBothEnded());

        QCOMPARE(site.first->ended, (QList<bool>{true, true}));
        QCOMPARE(site.first->messages.shown.size(), 1);
        QCOMPARE(site.first->messages.shown.at(0).prompt, En(149));
        QCOMPARE(Bytes(site.first->memoryFile), FormatConfigBlock(changed));
        QCOMPARE(site.second->ended, QList<bool>{true});
        QVERIFY(site.second->messages.shown.isEmpty());
        QCOMPARE(Bytes(site.second->ReadFile()), FormatConfigBlock(TerminalContent(QStringLiteral("654321"), 29)));
        QCOMPARE(Bytes(site.second->memoryFile), Bytes(site.second->ReadFile()));
    }
};

QTEST_GUILESS_MAIN(SessionsTest)
#include "tst_sessions.moc"
