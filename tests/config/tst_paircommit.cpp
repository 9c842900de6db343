// A configuration and its comments file are replaced as one pair: whichever
// step fails, and wherever the process is killed, the pair in place is the
// complete old one or the complete new one, and no file of history/ is ever
// replaced, not even by another process in the same second.
#include "common/filebytes.h"
#include "config/configfiles.h"
#include "config/paircommit.h"
#include "config/readhistory.h"
#include "platform/fileoperations.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace {

const QDateTime Time(QDate(2026, 12, 6), QTime(14, 3, 27));
const QString Stamp = QStringLiteral("2026-12-06_14-03-27");
const QByteArray None = MissingFile;

void Put(const QString& path, const QByteArray& content)
{
    if (content != None)
        QVERIFY(WriteBytes(path, content));
}

// The two files of a pair, None for one that is not there.
struct Pair {
    QByteArray configuration;
    QByteArray comments;
    bool operator==(const Pair&) const = default;
    QString Shown() const { return QString::fromLatin1(configuration + " / " + comments); }
};

// As the program's readers see it.
Pair AsRead(const QString& config)
{
    const QString comments = CommentFileToRead(config);
    return {Bytes(config), comments.isEmpty() ? None : Bytes(comments)};
}

// As it lies on the disk.
Pair OnDisk(const QString& config)
{
    return {Bytes(config), Bytes(CommentFileNameFor(config))};
}

// Every step of the system's file operations, counted; one of them fails or
// ends the process.
class CountedSteps : public FileOperations {
public:
    QList<int> failAt;
    int killAt = 0;
    int steps = 0;
    QStringList log;
    // Someone else takes this name just before the step that makes it.
    QString takenMeanwhile;

    FileStatus CreateFile(const QString& path, const QByteArray& content,
                          std::optional<QFileDevice::Permissions> permissions) override
    {
        if (!Step("create " + path))
            return Injected(path);
        return real_.CreateFile(path, content, permissions);
    }
    FileStatus LinkFile(const QString& existing, const QString& path) override
    {
        if (!Step("link " + path))
            return Injected(path);
        return real_.LinkFile(existing, path);
    }
    FileStatus Rename(const QString& from, const QString& to) override
    {
        if (!Step("rename " + to))
            return Injected(to);
        return real_.Rename(from, to);
    }
    FileStatus RemoveFile(const QString& path) override
    {
        if (!Step("remove " + path))
            return Injected(path);
        return real_.RemoveFile(path);
    }
    FileStatus SyncFolder(const QString& folder) override
    {
        if (!Step("sync " + folder))
            return Injected(folder);
        return real_.SyncFolder(folder);
    }
    FileStatus CreatePrivateFolder(const QString& folder) override
    {
        if (!Step("mkdir " + folder))
            return Injected(folder);
        return real_.CreatePrivateFolder(folder);
    }

private:
    bool Step(const QString& what)
    {
        ++steps;
        log << what;
#ifdef Q_OS_UNIX
        if (steps == killAt)
            ::raise(SIGKILL);
#endif
        if (!takenMeanwhile.isEmpty() && what.endsWith(takenMeanwhile)) {
            real_.CreateFile(takenMeanwhile, "another process", std::nullopt);
            takenMeanwhile.clear();
        }
        return !failAt.contains(steps);
    }
    static FileStatus Injected(const QString& path) { return FileStatus::Failed(path + ": injected failure"); }
    SystemFileOperations real_;
};

// The pairs of one case: what is in place before, what is committed.
struct Scenario {
    Pair before;
    Pair after;
    bool links = false;   // both files are links to files in real/
};

Scenario ScenarioNamed(const QString& name)
{
    const Pair oldPair{"old configuration", "old comments"};
    if (name == "pair over pair")
        return {oldPair, {"new configuration", "new comments"}};
    if (name == "pair over a configuration alone")
        return {{"old configuration", None}, {"new configuration", "new comments"}};
    if (name == "configuration alone over a pair")
        return {oldPair, {"new configuration", None}};
    if (name == "first pair")
        return {{None, None}, {"new configuration", "new comments"}};
    return {oldPair, {"new configuration", "new comments"}, true};
}

const QStringList Scenarios{"pair over pair", "pair over a configuration alone", "configuration alone over a pair",
                            "first pair", "through links"};

// Lays out the pair before the commit in folder; the configuration's path.
QString Prepare(const QString& folder, const Scenario& s)
{
    const QDir dir(folder);
    const QString config = dir.filePath(QStringLiteral("V.QLV"));
    if (!s.links) {
        Put(config, s.before.configuration);
        Put(CommentFileNameFor(config), s.before.comments);
        return config;
    }
    dir.mkdir(QStringLiteral("real"));
    Put(dir.filePath(QStringLiteral("real/door.QLV")), s.before.configuration);
    Put(dir.filePath(QStringLiteral("real/door.BGT")), s.before.comments);
    QFile::link(dir.filePath(QStringLiteral("real/door.QLV")), config);
    QFile::link(dir.filePath(QStringLiteral("real/door.BGT")), CommentFileNameFor(config));
    return config;
}

PairContent ContentOf(const Pair& p)
{
    return {p.configuration, p.comments == None ? std::nullopt : std::optional(p.comments)};
}

// Everything in the folder (and real/) but the pair, history/ and real/.
QStringList Leftovers(const QString& folder)
{
    QStringList left;
    for (const QString& sub : {QString(), QStringLiteral("real")}) {
        const QDir dir(QDir(folder).filePath(sub));
        for (const QString& name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
            if (!QStringList{"V.QLV", "V.BGT", "door.QLV", "door.BGT", "history", "real"}.contains(name))
                left << name;
    }
    return left;
}

QStringList History(const QString& folder)
{
    return QDir(QDir(folder).filePath(QStringLiteral("history"))).entryList(QDir::Files | QDir::Hidden);
}

// How many steps a commit of the scenario takes when none fails.
int StepsOf(const Scenario& s)
{
    QTemporaryDir dir;
    CountedSteps ops;
    CommitPair(Prepare(dir.path(), s), ContentOf(s.after), Time, ops);
    return ops.steps;
}

} // namespace

class PairCommitTest : public QObject {
    Q_OBJECT

private slots:
    void failureAtEachStep_data()
    {
        QTest::addColumn<QString>("scenario");
        for (const QString& name : Scenarios)
            QTest::newRow(qPrintable(name)) << name;
    }
    // A failure before the new configuration is in place reports it and
    // takes everything back; when the comments file then cannot be put in
    // place, the old configuration goes back too. A failure after both are
    // in place (a sync, removing the note) loses nothing and is no failure.
    void failureAtEachStep()
    {
        QFETCH(QString, scenario);
        const Scenario s = ScenarioNamed(scenario);
        const int steps = StepsOf(s);
        QVERIFY(steps >= 5);
        for (int step = 1; step <= steps; ++step) {
            QTemporaryDir dir;
            const QString config = Prepare(dir.path(), s);
            CountedSteps ops;
            ops.failAt = {step};
            const PairCommit result = CommitPair(config, ContentOf(s.after), Time, ops);
            const QString at = QStringLiteral("step %1 (%2): ").arg(step).arg(ops.log.value(step - 1));
            const Pair expected = result ? s.after : s.before;
            QVERIFY2(OnDisk(config) == expected, qPrintable(at + OnDisk(config).Shown() + " / " + result.status.message));
            QVERIFY2(AsRead(config) == expected, qPrintable(at + AsRead(config).Shown()));
            if (!result) {
                QVERIFY2(result.status.message.contains("injected"), qPrintable(at + result.status.message));
                QVERIFY2(!result.failedFile.isEmpty(), qPrintable(at));
                QVERIFY2(History(dir.path()).isEmpty(), qPrintable(at + History(dir.path()).join(u' ')));
                QVERIFY2(Leftovers(dir.path()).isEmpty(), qPrintable(at + Leftovers(dir.path()).join(u' ')));
            }
            if (s.links) {
                QVERIFY(QFileInfo(config).isSymLink() && QFileInfo(CommentFileNameFor(config)).isSymLink());
                QCOMPARE(Bytes(dir.filePath("real/door.QLV")), expected.configuration);
            }
            // The next commit finishes what this one left: no note stays.
            SystemFileOperations system;
            QVERIFY(FinishInterruptedCommit(config, system));
            QCOMPARE(OnDisk(config), expected);
            QVERIFY2(Leftovers(dir.path()).isEmpty(), qPrintable(at + Leftovers(dir.path()).join(u' ')));
        }
        // Past the last step nothing fails: the old pair is in history/.
        QTemporaryDir dir;
        const QString config = Prepare(dir.path(), s);
        const PairCommit result = CommitPair(config, ContentOf(s.after), Time);
        QVERIFY(result);
        QCOMPARE(OnDisk(config), s.after);
        QStringList kept;
        if (s.before.configuration != None)
            kept << Stamp + "_V.QLV";
        if (s.before.comments != None)
            kept << Stamp + "_V.BGT";
        kept.sort();
        QCOMPARE(History(dir.path()), kept);
        for (const QString& file : result.kept)
            QCOMPARE(Bytes(file), file.endsWith(".QLV") ? s.before.configuration : s.before.comments);
    }

#ifdef Q_OS_UNIX
    void killAtEachStep_data() { failureAtEachStep_data(); }
    // The process is killed right before each step: the pair the readers
    // see is the complete old or new one, and the next commit of the pair
    // leaves exactly that pair on the disk.
    void killAtEachStep()
    {
        QFETCH(QString, scenario);
        const Scenario s = ScenarioNamed(scenario);
        const int steps = StepsOf(s);
        QSet<int> outcomes;   // 0 old, 1 new
        for (int step = 1; step <= steps; ++step) {
            QTemporaryDir dir;
            const QString config = Prepare(dir.path(), s);
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--commit-child"), config, scenario, QString::number(step)});
            QVERIFY(child.waitForFinished(30000));
            const QString at = QStringLiteral("killed before step %1: ").arg(step);
            QVERIFY2(child.exitStatus() == QProcess::CrashExit, qPrintable(at + child.readAllStandardError()));
            const Pair seen = AsRead(config);
            QVERIFY2(seen == s.before || seen == s.after, qPrintable(at + seen.Shown()));
            outcomes << (seen == s.after ? 1 : 0);
            SystemFileOperations system;
            QVERIFY(FinishInterruptedCommit(config, system));
            QVERIFY2(OnDisk(config) == seen, qPrintable(at + OnDisk(config).Shown()));
            const QStringList left = Leftovers(dir.path());
            QVERIFY2(left.isEmpty() || (left.size() == 1 && left[0].endsWith(".commit-lock")), qPrintable(at + left.join(u' ')));
            // A lock left by the killed process stops no later commit.
            QVERIFY(CommitPair(config, {"later", std::optional<QByteArray>("later comments")}, Time));
            QCOMPARE(OnDisk(config), (Pair{"later", "later comments"}));
        }
        QCOMPARE(outcomes.size(), 2);   // killed both before and after the point of no return
    }

    // Two processes keep files in one history/ in the same second: every
    // one of them gets its own name, none replaces another.
    void historyNamesNeverCollideAcrossProcesses()
    {
        QTemporaryDir dir;
        const int each = 40;
        QList<QProcess*> children;
        for (const QString& tag : {QStringLiteral("1"), QStringLiteral("2")}) {
            auto* child = new QProcess(this);
            child->start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--history-child"), dir.filePath("door.QLV"), tag, QString::number(each)});
            children << child;
        }
        for (QProcess* child : children) {
            QVERIFY(child->waitForFinished(60000));
            QCOMPARE(child->exitCode(), 0);
        }
        QSet<QByteArray> contents;
        for (const QString& name : History(dir.path()))
            contents << Bytes(dir.filePath("history/" + name));
        QCOMPARE(History(dir.path()).size(), 2 * each);
        QCOMPARE(contents.size(), 2 * each);
    }
#endif

    // The comments file cannot be put in place, and neither can the old
    // configuration be put back: the note beside the pair makes readers
    // take the new comments waiting beside their place, a complete new
    // pair, and the next commit puts them there.
    void neitherInPlaceNorBack()
    {
        QTemporaryDir dir;
        const Scenario s = ScenarioNamed("pair over pair");
        const QString config = Prepare(dir.path(), s);
        QTemporaryDir trial;
        CountedSteps counting;
        CommitPair(Prepare(trial.path(), s), ContentOf(s.after), Time, counting);
        CountedSteps ops;
        const int second = int(counting.log.indexOf(QRegularExpression("^rename .*V.BGT$"))) + 1;
        QVERIFY(second > 0);
        ops.failAt = {second, second + 1};
        const PairCommit result = CommitPair(config, ContentOf(s.after), Time, ops);
        QVERIFY(!result);
        QVERIFY2(result.status.message.contains("stays in place"), qPrintable(result.status.message));
        QCOMPARE(AsRead(config), s.after);
        SystemFileOperations system;
        QVERIFY(FinishInterruptedCommit(config, system));
        QCOMPARE(OnDisk(config), s.after);
        QCOMPARE(Leftovers(dir.path()), QStringList());
    }

    // A name taken by someone else between the look and the making is not
    // replaced: the next one is used.
    void aNameTakenMeanwhileIsNotReplaced()
    {
        QTemporaryDir dir;
        const Scenario s = ScenarioNamed("pair over pair");
        const QString config = Prepare(dir.path(), s);
        QVERIFY(QDir(dir.path()).mkdir("history"));
        CountedSteps ops;
        ops.takenMeanwhile = dir.filePath("history/" + Stamp + "_V.BGT");
        const PairCommit result = CommitPair(config, ContentOf(s.after), Time, ops);
        QVERIFY2(result, qPrintable(result.status.message));
        QCOMPARE(Bytes(dir.filePath("history/" + Stamp + "_V.BGT")), QByteArray("another process"));
        QCOMPARE(Bytes(dir.filePath("history/" + Stamp + "-2_V.QLV")), s.before.configuration);
        QCOMPARE(Bytes(dir.filePath("history/" + Stamp + "-2_V.BGT")), s.before.comments);
        QVERIFY(!QFile::exists(dir.filePath("history/" + Stamp + "_V.QLV")));
    }

    // Every configuration holds the terminal's password: history/ is made
    // for its owner's eyes only; one that exists is left as it is.
    void historyIsPrivate()
    {
        QTemporaryDir dir;
        const QString config = Prepare(dir.path(), ScenarioNamed("pair over pair"));
        QVERIFY(CommitPair(config, {"new", std::nullopt}, Time));
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
            | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
        QCOMPARE(QFileInfo(dir.filePath("history")).permissions() & others, QFileDevice::Permissions());
        QTemporaryDir shared;
        QVERIFY(QDir(shared.path()).mkdir("history"));
        QVERIFY(QFile::setPermissions(shared.filePath("history"), QFileDevice::Permissions(0x7755)));
        const QString other = Prepare(shared.path(), ScenarioNamed("pair over pair"));
        QVERIFY(CommitPair(other, {"new", std::nullopt}, Time));
        QCOMPARE(QFileInfo(shared.filePath("history")).permissions() & others,
                 QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther);
    }

    // Something else than a file in either place is refused before anything
    // is written.
    void aFolderInEitherPlaceIsRefused_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("configuration") << "V.QLV";
        QTest::newRow("comments") << "V.BGT";
    }
    void aFolderInEitherPlaceIsRefused()
    {
        QFETCH(QString, folder);
        QTemporaryDir dir;
        const QString config = dir.filePath("V.QLV");
        Put(folder == "V.QLV" ? CommentFileNameFor(config) : config, "old");
        QVERIFY(QDir(dir.path()).mkdir(folder));
        const Pair before = OnDisk(config);
        CountedSteps ops;
        const PairCommit result = CommitPair(config, {"new", std::optional<QByteArray>("new")}, Time, ops);
        QVERIFY(!result);
        QCOMPARE(result.failedFile, dir.filePath(folder));
        QCOMPARE(ops.steps, 0);
        QCOMPARE(OnDisk(config), before);
    }
};

namespace {

// Run as a child process: commits the scenario's new pair and is killed
// right before step `step`.
int CommitChild(const QString& config, const QString& scenario, int step)
{
    CountedSteps ops;
    ops.killAt = step;
    CommitPair(config, ContentOf(ScenarioNamed(scenario).after), Time, ops);
    return 3;   // not killed: the parent reports it
}

// Run as a child process: keeps `count` reads, each of its own content, in
// history/ beside file, all in the same second.
int HistoryChild(const QString& file, const QString& tag, int count)
{
    for (int i = 0; i < count; ++i) {
        ConfigBlock block{};
        block[0] = qint16(tag.toInt());
        block[1] = qint16(i);
        QString problem;
        if (KeepReadInHistory(block, file, Time, problem).isEmpty())
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == "--commit-child")
        return CommitChild(args[2], args[3], args[4].toInt());
    if (args.size() == 5 && args[1] == "--history-child")
        return HistoryChild(args[2], args[3], args[4].toInt());
    PairCommitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_paircommit.moc"
