// A read of a terminal whose lists changed since the file beside it was
// saved: every row gets the comment of its card; both files are kept in
// history/. Every read and write leaves one line in the transfer log as it
// ends, before the message or question that follows it, and a log that
// cannot be written is reported once without stopping anything.
#include "comm/transferlog.h"
#include "common/democonfig.h"
#include "common/filebytes.h"
#include "common/sessionrig.h"
#include "config/configimage.h"

#include <QtTest>

namespace {

// A session on the simulated terminal, its read going to dir/VARDELO.QLV,
// its log to dir/transfers.log.
struct Rig : SessionRig {
    std::unique_ptr<TransferRecorder> recorder;
    QStringList problems;
    QString logPath;
    QList<int> loggedAtMessage;   // lines in the log as each message opens

    explicit Rig(const QString& log = {}) : logPath(log.isEmpty() ? Path("transfers.log") : log)
    {
        session->Read().SetFallbackFolder(Path("fallback"));
        session->Read().Now = [] { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27), Qt::OffsetFromUTC, 3600); };
        recorder = std::make_unique<TransferRecorder>(*session, logPath);
        recorder->Now = session->Read().Now;
        QObject::connect(recorder.get(), &TransferRecorder::Problem, [this](const QString& p) { problems << p; });
        onShow = [this] { loggedAtMessage << int(ReadTransferLog(logPath, 0).entries.size()); };
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    bool Read()
    {
        answers.enqueue(Answer::No);
        return StartRead(DemoPassword) && clock.RunUntil([&] { return !session->Busy(); }, 60000)
            && State().TerminalRead == 1;
    }
    bool Write(const ConfigBlock& block)
    {
        return session->Write().Start(block) && clock.RunUntil([&] { return !session->Busy(); }, 60000);
    }
};

// One row of a list's new content: a card of the saved file (by its record
// number there) or new data, and the saved record whose comment it must get
// (-1: none).
struct NewRow {
    int savedRecord = -1;
    int commentFrom = -1;
    QString data;
};

int FirstRow(const Configuration& m, int list)
{
    int row = 0;
    for (int l = 1; l < list; ++l)
        row += m.ListCount(l);
    return row;
}

} // namespace

class TransfersTest : public QObject {
    Q_OBJECT
private slots:
    // The saved file is the demonstration configuration with two cards of
    // the same number in list 4. In the terminal since then: list 1
    // reordered, list 2 shortened, list 3 extended (one card twice), list 4
    // with its twins swapped around another card.
    void commentsCarriedOverToEveryRow()
    {
        Rig r;
        auto saved = std::make_unique<Configuration>();
        BuildDemoConfiguration(*saved);
        DecodeLists(*saved);
        const int twin = FirstRow(*saved, 4) + 3;
        saved->ListData[twin] = saved->ListData[FirstRow(*saved, 4)];
        EncodeRowData(*saved, twin);
        saved->ListComment[twin] = QStringLiteral("zweite Karte mit gleicher Nummer");
        QVERIFY(WriteConfigurationFile(*saved, r.Path("VARDELO.QLV")));
        QVERIFY(SaveComments(*saved, r.Path("VARDELO.BGT")));
        const QByteArray savedQlv = FormatConfigBlock(ImageBlock(*saved));

        // Twins take their comments in order; a card twice gets one comment.
        const QList<NewRow> lists[4] = {
            {{11, 11}, {10, 10}, {9, 9}, {8, 8}, {7, 7}, {6, 6}, {5, 5}, {4, 4}, {3, 3}, {2, 2}, {1, 1}, {0, 0}},
            {{0, 0}, {4, 4}, {8, 8}},
            {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {-1, -1, "30000001"}, {0, -1}, {-1, -1, "30000003"}},
            {{3, 0}, {1, 1}, {0, 3}, {2, 2}},
        };
        auto terminal = std::make_unique<Configuration>(*saved);
        QStringList expected;   // the comment of every row, in row order
        for (int list = 1; list <= 4; ++list) {
            const int first = FirstRow(*terminal, list);
            const int zeros = list % 2 ? 8 : 12;
            for (int k = 0; k < terminal->ListCount(list); ++k) {
                const NewRow row = lists[list - 1].value(k, NewRow{-1, -1, QString(zeros, u'0')});
                terminal->ListData[first + k] = row.savedRecord >= 0 ? saved->ListData[first + row.savedRecord] : row.data;
                EncodeRowData(*terminal, first + k);
                expected << (row.commentFrom >= 0 ? saved->ListComment[first + row.commentFrom] : ResetCommentText);
            }
        }
        r.sim->SetMemory(TerminalMemoryOf(*terminal));

        QVERIFY(r.Read());
        auto opened = std::make_unique<Configuration>();
        QVERIFY(ReadConfigurationFile(*opened, r.Path("VARDELO.QLV")));
        LoadComments(*opened, r.Path("VARDELO.QLV"), false);
        DecodeLists(*opened);
        QCOMPARE(int(expected.size()), FirstRow(*opened, 5));
        for (int row = 0; row < expected.size(); ++row)
            QVERIFY2(opened->ListComment[row] == expected[row],
                     qPrintable(QStringLiteral("row %1: %2 instead of %3").arg(row).arg(opened->ListComment[row], expected[row])));
        QCOMPARE(r.session->Read().LastRead()->commentsCarried, 12 + 3 + 5 + 4);

        // Both the replaced pair and the read are in history/.
        const QString history = r.Path("history/2026-12-06_14-03-27");
        QCOMPARE(QDir(r.Path("history")).entryList(QDir::Files).size(), 4);
        QCOMPARE(Bytes(history + "_VARDELO.QLV"), savedQlv);
        QCOMPARE(Bytes(history + "-2_VARDELO.QLV"), FormatConfigBlock(r.session->Read().LastRead()->read.block));
        QCOMPARE(r.shown.size(), 1);   // only the question to edit
    }

    // A read also carries the comments of the file last written to the same
    // terminal (the same device and identification, a write that
    // succeeded). Where the replaced pair names a card too, the comments file
    // changed last wins; the other fills what it leaves.
    void commentsOfTheFileLastWritten_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("row0");   // the comment row 0 gets; "demo": the written file's
        QTest::addColumn<bool>("carried");   // the written file's comments reach the other rows
        QTest::newRow("the same terminal") << "" << "demo" << true;
        QTest::newRow("another terminal on the line") << "id" << "----------" << false;
        QTest::newRow("the write failed") << "differ" << "----------" << false;
        QTest::newRow("renamed in the replaced pair later") << "renamed later" << "Umbenannt" << true;
        QTest::newRow("renamed in the replaced pair before") << "renamed before" << "demo" << true;
    }
    void commentsOfTheFileLastWritten()
    {
        QFETCH(QString, change);
        QFETCH(QString, row0);
        QFETCH(bool, carried);
        Rig r;
        auto demo = std::make_unique<Configuration>();
        BuildDemoConfiguration(*demo);
        r.sim->SetMemory(TerminalMemoryOf(*demo));
        QVERIFY(r.Read());   // VARDELO.QLV, without comments
        const QString edited = r.Path("edited.QLV");
        QVERIFY(WriteConfigurationFile(*demo, edited) && SaveComments(*demo, CommentFileNameFor(edited)));
        r.recorder->SetWriteFile(edited);
        if (change == "differ")
            r.sim->SetOptions(*ParseSimulationOptions(QStringLiteral(",differ")));
        QVERIFY(r.Write(ImageBlock(*demo)));
        const QJsonObject logged = ReadTransferLog(r.Path("transfers.log"), 1).entries.value(0);
        QCOMPARE(logged.value("result").toString() == "success", change != "differ");
        r.sim->SetOptions(*ParseSimulationOptions(change == "id" ? QStringLiteral(",id=VARDELO 2.00") : QString()));
        if (change.startsWith("renamed")) {
            auto named = std::make_unique<Configuration>();
            ResetComments(*named);
            named->ListComment[0] = QStringLiteral("Umbenannt");
            QVERIFY(SaveComments(*named, r.Path("VARDELO.BGT")));
            const QDateTime written = QFileInfo(CommentFileNameFor(edited)).lastModified();
            QFile file(r.Path("VARDELO.BGT"));
            QVERIFY(file.open(QIODevice::ReadWrite)
                    && file.setFileTime(written.addSecs(change == "renamed later" ? 60 : -60), QFileDevice::FileModificationTime));
        }
        QVERIFY(r.Read());

        auto opened = std::make_unique<Configuration>();
        LoadComments(*opened, r.Path("VARDELO.QLV"), false);
        QCOMPARE(opened->ListComment[0], row0 == "demo" ? demo->ListComment[0] : row0);
        for (int row = 1; row < Configuration::RowEntries; ++row)
            QCOMPARE(opened->ListComment[row], carried ? demo->ListComment[row] : ResetCommentText);
    }

    // A replaced comments file that cannot be used is said, not passed over:
    // it is kept in history/ with the pair, and the read carries none of it.
    void aDamagedReplacedCommentsFileIsSaid()
    {
        Rig r;
        r.sim->SetMemory(DefaultTerminalMemory());
        QVERIFY(r.Read());
        const QByteArray damaged = QByteArray("Pforte Nord\r\n").repeated(10);
        QVERIFY(WriteBytes(r.Path("VARDELO.BGT"), damaged));
        r.shown.clear();
        QVERIFY(r.Read());
        const QString said = CatalogueText(Text::CommentsNotRead, 1000) + u' '
            + CatalogueText(Text::CommentsTooFewLines, 1000).arg(r.Path("VARDELO.BGT"), "10") + ". "
            + CatalogueText(Text::CommentsKeptInHistory, 1000);
        QVERIFY(std::any_of(r.shown.begin(), r.shown.end(), [&](const auto& shown) { return shown.prompt == said; }));
        QCOMPARE(r.session->Read().NoticeText(), said);
        QVERIFY(!QFileInfo::exists(r.Path("VARDELO.BGT")));
        QCOMPARE(Bytes(r.Path("history/2026-12-06_14-03-27-2_VARDELO.BGT")), damaged);
    }

    // A read and a write leave one line each, with what a script needs.
    void everyTransferLogged()
    {
        Rig r;
        r.sim->SetMemory(DefaultTerminalMemory());
        QVERIFY(r.Read());
        ConfigBlock edited = r.session->Read().LastRead()->read.block;
        edited[Slot::DoorOpenTime] = 9;
        r.recorder->SetWriteFile(r.Path("edited.QLV"));
        QVERIFY(r.Write(edited));
        QCOMPARE(r.sim->Memory()[Slot::DoorOpenTime], quint8(9));

        const TransferLogContent log = ReadTransferLog(r.Path("transfers.log"), 0);
        QVERIFY(log.status);
        QCOMPARE(log.entries.size(), 2);
        const QJsonObject read = log.entries[0], write = log.entries[1];
        QCOMPARE(read.value("time").toString(), QStringLiteral("2026-12-06T14:03:27+01:00"));
        QCOMPARE(read.value("command").toString(), QStringLiteral("read"));
        QCOMPARE(read.value("port").toString(), QStringLiteral("com1"));
        QCOMPARE(read.value("device").toString(), QStringLiteral("simulated terminal"));
        QCOMPARE(read.value("terminal").toString(), QStringLiteral("VARDELO SIM 1.00"));
        QCOMPARE(read.value("file").toString(), r.Path("VARDELO.QLV"));
        QCOMPARE(read.value("result").toString(), QStringLiteral("success"));
        QCOMPARE(read.value("sha256").toString(), BlockSha256(r.session->Read().LastRead()->read.block));
        QCOMPARE(write.value("command").toString(), QStringLiteral("write"));
        QCOMPARE(write.value("file").toString(), r.Path("edited.QLV"));
        QCOMPARE(write.value("sha256").toString(), BlockSha256(edited));
        QCOMPARE(write.value("changes").toObject().value("settings").toInt(), 1);
        QCOMPARE(write.value("result").toString(), QStringLiteral("success"));
        QVERIFY(FormatTransferEntry(write).contains("write  com1 (simulated terminal)  \"VARDELO SIM 1.00\""));

        // A failed read says why.
        r.sim->SetOptions(*ParseSimulationOptions(QStringLiteral(",silent")));
        QVERIFY(!r.Read());
        const QJsonObject failed = ReadTransferLog(r.Path("transfers.log"), 1).entries.value(0);
        QCOMPARE(failed.value("result").toString(), QStringLiteral("No connection to VARDELO"));
        QVERIFY(r.problems.isEmpty());
    }

    // A transfer is in the log when it ends: a crash while its message or
    // the question to edit the read is open (or while the editor is) loses
    // nothing.
    void loggedBeforeItsLastMessage_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("write");
        QTest::addColumn<bool>("readStoredElsewhere");
        QTest::addColumn<QList<int>>("texts");    // the messages shown, in order
        QTest::addColumn<QList<int>>("logged");   // lines in the log as each opens
        QTest::newRow("read") << "" << false << false << QList<int>{147} << QList<int>{1};
        QTest::newRow("read, silent terminal") << ",silent" << false << false << QList<int>{143} << QList<int>{1};
        QTest::newRow("read stored beside its place") << "" << false << true << QList<int>{340, 147} << QList<int>{1, 1};
        QTest::newRow("write") << "" << true << false << QList<int>{147, 149} << QList<int>{1, 2};
        QTest::newRow("write, reply differs") << ",differ" << true << false << QList<int>{147, 145} << QList<int>{1, 2};
    }
    void loggedBeforeItsLastMessage()
    {
        QFETCH(QString, options);
        QFETCH(bool, write);
        QFETCH(QList<int>, texts);
        Rig r;
        r.sim->SetMemory(DefaultTerminalMemory());
        r.sim->SetOptions(*ParseSimulationOptions(options));
        if (QFETCH(bool, readStoredElsewhere); readStoredElsewhere) {
            QVERIFY(QDir().mkdir(r.Path("VARDELO.QLV")));
            r.answers.enqueue(Messages::Answer::Ok);   // the notice where it went
        }
        QCOMPARE(r.Read(), options != u",silent");
        if (write)
            QVERIFY(r.Write(r.session->Read().LastRead()->read.block));
        QCOMPARE(r.shown.size(), texts.size());
        for (int i = 0; i < texts.size(); ++i) {
            const QString text = CatalogueText(TextNumber(texts[i]), 1000).section(QStringLiteral("%1"), 0, 0);
            QVERIFY2(r.shown[i].prompt.startsWith(text), qPrintable(r.shown[i].prompt));
        }
        QTEST(r.loggedAtMessage, "logged");
        QCOMPARE(int(ReadTransferLog(r.logPath, 0).entries.size()), r.loggedAtMessage.last());
    }

    // A log in a place that cannot take it: the transfers go on, and the
    // problem is reported once, naming the log.
    void unwritableLogReportedOnce()
    {
        QTemporaryDir other;
        const QString logPath = other.filePath("transfers.log");
        QVERIFY(QDir().mkdir(logPath));
        Rig r(logPath);
        r.sim->SetMemory(DefaultTerminalMemory());
        QVERIFY(r.Read());
        QVERIFY(r.Read());
        QCOMPARE(r.problems.size(), 1);
        QVERIFY(r.problems[0].contains(logPath));
        QVERIFY(QFile::exists(r.Path("VARDELO.QLV")));
        const TransferLogContent content = ReadTransferLog(logPath, 0);
        QVERIFY(!content.status && content.status.message.contains(logPath));
    }
};

QTEST_GUILESS_MAIN(TransfersTest)
#include "tst_transfers.moc"
