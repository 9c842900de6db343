// Every reader and every writer over names that are no regular files: a FIFO,
// a folder, a device node, a link to a file and a link to nothing. Each
// refuses at once with a message naming the file and leaves it as it was, or
// follows the link to the regular file. A reader that opened a FIFO would
// hang here until the test's time-out.
#include "app/mainflow.h"
#include "comm/simterminal.h"
#include "common/filebytes.h"
#include "common/fileobstacles.h"
#include "common/manualclock.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "config/readhistory.h"
#include "platform/portmap.h"
#include "platform/seriallink.h"
#include "report/ui/configurationpdf.h"

#include <QtTest>
#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

enum class Kind { Fifo, Folder, Device, LinkToFile, LinkToNothing };

// A file name with what each role needs in the regular file a link leads to.
struct Role {
    QString name;
    QByteArray content;
};

QByteArray ConfigContent()
{
    ConfigBlock block{};
    block[Slot::DoorOpenTime] = 7;
    return FormatConfigBlock(block);
}

// Makes name in dir the kind asked for; a link to a file leads to "real-"name
// holding content.
bool MakeKind(const QDir& dir, const QString& name, Kind kind, const QByteArray& content)
{
    const QString path = dir.filePath(name);
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
    case Kind::Fifo:
        return MakeFifo(path);
    case Kind::Folder:
        return dir.mkdir(name);
    case Kind::Device:
        // A copy of the null device where nodes may be made, else a link to it.
        return ::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0 || QFile::link("/dev/null", path);
    case Kind::LinkToFile:
        return WriteFileAtomically(dir.filePath("real-" + name), content) && QFile::link("real-" + name, path);
    case Kind::LinkToNothing:
        return QFile::link("nothing-" + name, path);
    }
    return false;
}

// What is at path now, to see that a refusal changed nothing.
QString KindNow(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("link to ") + info.symLinkTarget().section(u'/', -1);
    if (info.isDir())
        return QStringLiteral("folder");
    return info.isFile() ? QStringLiteral("file") : QStringLiteral("special");
}

struct Outcome {
    bool ok;
    QString message;
};

} // namespace

Q_DECLARE_METATYPE(Kind)

class SpecialFilesTest : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    int runs = 0;

    // Each case in a folder of its own, with a valid C.QLV beside the name.
    QDir Fresh()
    {
        QDir dir(root.path());
        const QString sub = QString::number(++runs);
        dir.mkdir(sub);
        dir.cd(sub);
        WriteFileAtomically(dir.filePath("C.QLV"), ConfigContent());
        return dir;
    }

    static QMap<QString, Role> Readers()
    {
        return {{"configuration", {"X.QLV", ConfigContent()}},
                {"comments", {"C.BGT", QByteArray("Pforte\r\n").repeated(2001)}},
                {"settings", {"VARDELO.ini", " 3\r\n 2000\r\n"}},
                {"port map", {"ports.map", "com2=sim\n"}},
                {"background picture", {"hauptbild.bmp", BmpPicture(4, 3, Qt::red)}},
                {"simulated terminal memory", {"T.QLV", ConfigContent()}},
                {"maker address", {"maker.txt", "https://maker.example\n"}}};
    }

    // Runs the reader of role on the name in dir.
    static Outcome Read(const QString& role, const QDir& dir)
    {
        const QString settings = dir.filePath("VARDELO.ini");
        Configuration m;
        if (role == "configuration") {
            const FileStatus s = ReadConfigurationFile(m, dir.filePath("X.QLV"));
            return {s && m.ConfigImage[Slot::DoorOpenTime] == 7, s.message};
        }
        if (role == "comments") {
            const FileStatus s = LoadComments(m, dir.filePath("C.QLV"), false);
            return {s && m.ListComment[5] == "Pforte", s.message};
        }
        if (role == "settings") {
            ProgramState program;
            const FileStatus s = ReadSettings(program, settings);
            return {s && program.ChosenPort == 3, s.message};
        }
        if (role == "port map") {
            const PortMap map = PortMap::Load(dir.filePath("ports.map"));
            return {map.LoadStatus() && map.Resolve(2).kind == PortTarget::Kind::Simulated, map.LoadStatus().message};
        }
        if (role == "background picture") {
            const FileContent picture = ReadBackgroundPicture(settings);
            return {picture.status && QImage::fromData(picture.content).width() == 4, picture.status.message};
        }
        if (role == "simulated terminal memory") {
            ManualClock clock;
            SimulatedTerminal sim(clock);
            sim.SetOptions(*ParseSimulationOptions(":" + dir.filePath("T.QLV")));
            return {sim.Open() && sim.Memory()[Slot::DoorOpenTime] == 7, sim.ErrorText()};
        }
        // Help text only: anything but a readable file gives the built-in address.
        const QString address = MakerWebAddress(settings);
        return {address == "https://maker.example", address == DefaultMakerWebAddress ? dir.filePath("maker.txt") : QString()};
    }

    static QStringList Writers()
    {
        return {"configuration", "comments", "settings", "read result", "PDF"};
    }

    static Outcome Write(const QString& role, const QString& path)
    {
        Configuration m;
        m.ConfigImage[Slot::DoorOpenTime] = 7;
        FileStatus s;
        if (role == "configuration")
            s = WriteConfigurationFile(m, path);
        else if (role == "comments")
            s = SaveComments(m, path);
        else if (role == "settings")
            s = WriteSettings(ProgramState(), path);
        else if (role == "read result") {
            const ReadStorage r = StoreRead(ImageBlock(m), path, QDateTime::currentDateTime(),
                                            QFileInfo(path).dir().filePath("fallback"));
            return {r.AtTarget(), r.problem};
        }
        else {
            ConfigurationPdfRequest request;
            request.configFile = QFileInfo(path).dir().filePath("C.QLV");
            request.pdfFile = path;
            request.section = ReportSection::BasicSettings;
            const QString failure = PrintConfigurationToPdf(request);
            return {failure.isEmpty(), failure};
        }
        return {bool(s), s.message};
    }

    static void AddKinds(const QString& role)
    {
        const std::pair<const char*, Kind> kinds[] = {{"FIFO", Kind::Fifo},
                                                      {"folder", Kind::Folder},
                                                      {"device node", Kind::Device},
                                                      {"link to a file", Kind::LinkToFile},
                                                      {"link to nothing", Kind::LinkToNothing}};
        for (const auto& [name, kind] : kinds)
            QTest::addRow("%s, %s", qPrintable(role), name) << role << kind;
    }

private slots:
    void readers_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<Kind>("kind");
        for (const QString& role : Readers().keys())
            AddKinds(role);
    }
    void readers()
    {
        QFETCH(QString, role);
        QFETCH(Kind, kind);
        const QDir dir = Fresh();
        const Role r = Readers().value(role);
        QVERIFY(MakeKind(dir, r.name, kind, r.content));
        const QString before = KindNow(dir.filePath(r.name));
        const Outcome outcome = Read(role, dir);
        QCOMPARE(outcome.ok, kind == Kind::LinkToFile);
        if (!outcome.ok)
            QVERIFY2(outcome.message.contains(dir.filePath(r.name)), qPrintable(outcome.message));
        QCOMPARE(KindNow(dir.filePath(r.name)), before);
    }

    void writers_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<Kind>("kind");
        for (const QString& role : Writers())
            AddKinds(role);
    }
    void writers()
    {
        QFETCH(QString, role);
        QFETCH(Kind, kind);
        const QDir dir = Fresh();
        const QString path = dir.filePath("OUT.QLV");
        QVERIFY(MakeKind(dir, "OUT.QLV", kind, "old"));
        const QString before = KindNow(path);
        const Outcome outcome = Write(role, path);
        QVERIFY2(outcome.ok == (kind == Kind::LinkToFile), qPrintable(outcome.message));
        // A link stays a link; what it leads to holds the new content.
        QCOMPARE(KindNow(path), before);
        if (outcome.ok)
            QVERIFY(QFileInfo(dir.filePath("real-OUT.QLV")).size() > 3);
        else
            QVERIFY2(outcome.message.contains(path), qPrintable(outcome.message));
    }
};

QTEST_MAIN(SpecialFilesTest)
#include "tst_nonregularfiles.moc"
