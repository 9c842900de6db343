// The installation as the Debian package makes it: cmake --install into a
// staging folder (DESTDIR), its file list, the installed programs run from
// there, and the installed desktop entry, metadata and manual pages checked
// by the tools Debian checks them with, where they are installed.
#include "common/clirun.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run Execute(const QString& program, const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(60000))
        return {-1, {}, QStringLiteral("did not finish")};
    const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {status, QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// The installed programs with nothing of the build around them: no display,
// no toolkit platform chosen, a configuration folder of their own.
QProcessEnvironment Bare(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "VARDELO_SOURCE_DIR"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    return env;
}

} // namespace

class InstallTest : public QObject {
    Q_OBJECT
    QTemporaryDir staging;
    QTemporaryDir home;
    QString usr;

    QString Installed(const QString& path) const { return usr + u'/' + path; }

    // Runs tool on an installed file; skips when the tool is not installed
    // (it comes with scripts/setup.sh --package).
    void Check(const QString& tool, const QStringList& args)
    {
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            QSKIP(qPrintable(tool + QStringLiteral(" is not installed (scripts/setup.sh --package)")));
        const Run run = Execute(program, args);
        QVERIFY2(run.status == 0, qPrintable(run.out + run.err));
        // The validators and man print nothing but their verdict when all is well.
        const QString said = run.out + run.err;
        QVERIFY2(!said.contains(QRegularExpression(QStringLiteral("^(E|W|warning|error)[: ]"), QRegularExpression::MultilineOption)) &&
                     !said.contains(QStringLiteral("warning:")),
                 qPrintable(said));
    }

private slots:
    void initTestCase()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), staging.path());
        const Run run = Execute(QStringLiteral(VARDELO_CMAKE_COMMAND),
                                {"--install", QStringLiteral(VARDELO_BUILD_DIR), "--prefix", "/usr"}, env);
        QVERIFY2(run.status == 0, qPrintable(run.out + run.err));
        usr = staging.path() + QStringLiteral("/usr");
    }

    // Every file where the system looks for it, and nothing else.
    void fileList()
    {
        QStringList expected{
            "bin/vardelo",
            "bin/vardelo-cli",
            "share/applications/example.vardelo.Vardelo.desktop",
            "share/bash-completion/completions/vardelo-cli",
            "share/doc/vardelo/changelog.gz",
            "share/doc/vardelo/copyright",
            "share/icons/hicolor/scalable/apps/vardelo.svg",
            "share/metainfo/example.vardelo.Vardelo.metainfo.xml",
        };
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            expected << QStringLiteral("share/icons/hicolor/%1x%1/apps/vardelo.png").arg(size);
        if (VARDELO_MANPAGES)
            expected << "share/man/man1/vardelo.1.gz" << "share/man/man1/vardelo-cli.1.gz";
        expected.sort();
        QStringList found;
        for (QDirIterator it(staging.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
            found << QDir(usr).relativeFilePath(it.next());
        found.sort();
        QCOMPARE(found, expected);
        for (const QString& program : {"bin/vardelo", "bin/vardelo-cli"})
            QVERIFY(QFileInfo(Installed(program)).isExecutable());
    }

    // The installed programs answer without a display and without the
    // source or build folder: the texts are compiled in.
    void installedProgramsRun_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");   // a part of stdout for 0, of stderr otherwise
        const QString version = QString::fromUtf8(RunCli({"--version"}).out).section(u' ', 1).trimmed();
        QTest::newRow("cli --version") << "vardelo-cli" << QStringList{"--version"} << 0 << "vardelo-cli " + version + "\n";
        QTest::newRow("cli --help") << "vardelo-cli" << QStringList{"--help"} << 0 << "usage: vardelo-cli COMMAND";
        QTest::newRow("cli message from the catalogue") << "vardelo-cli" << QStringList{"reset", "--port", "/dev/vardelo-none", "--lang", "de"} << 1
                                                          << "Serielle Schnittstelle belegt";
        QTest::newRow("gui --version") << "vardelo" << QStringList{"--version"} << 0 << "vardelo " + version + "\n";
        QTest::newRow("gui --help") << "vardelo" << QStringList{"--help"} << 0 << "Usage: vardelo [OPTION]";
        QTest::newRow("gui -h among Qt's options") << "vardelo" << QStringList{"-platform", "xcb", "-h"} << 0 << "Files:\n  ~/.config/vardelo/VARDELO.ini";
    }
    void installedProgramsRun()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, says);
        const Run run = Execute(Installed(QStringLiteral("bin/") + program), args, Bare(home.path()));
        QVERIFY2(run.status == status, qPrintable(run.out + run.err));
        QVERIFY2((status == 0 ? run.out : run.err).contains(says), qPrintable(run.out + run.err));
        if (status == 0)
            QCOMPARE(run.err, QString());
    }

    // The release the metadata and the changelog name is the program's.
    void releaseIsTheVersion()
    {
        const QString version = QString::fromUtf8(RunCli({"--version"}).out).section(u' ', 1).trimmed();
        QFile metainfo(Installed(QStringLiteral("share/metainfo/example.vardelo.Vardelo.metainfo.xml")));
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        const auto release = QRegularExpression(QStringLiteral("<release version=\"([^\"]+)\"")).match(QString::fromUtf8(metainfo.readAll()));
        QVERIFY(release.hasMatch());
        QCOMPARE(release.captured(1), version);
        const Run changelog = Execute(QStringLiteral("gzip"), {"-dc", Installed(QStringLiteral("share/doc/vardelo/changelog.gz"))});
        QCOMPARE(changelog.status, 0);
        QCOMPARE(changelog.out.section(u'\n', 0, 0).section(u' ', 0, 1), QStringLiteral("vardelo (%1)").arg(version));
    }

    void desktopEntryValid()
    {
        Check(QStringLiteral("desktop-file-validate"), {Installed(QStringLiteral("share/applications/example.vardelo.Vardelo.desktop"))});
    }

    void metainfoValid()
    {
        Check(QStringLiteral("appstreamcli"), {"validate", "--no-net", Installed(QStringLiteral("share/metainfo/example.vardelo.Vardelo.metainfo.xml"))});
    }

    // The manual pages render without a warning, lexgrog finds their name
    // line (what apropos and whatis show), and each command of vardelo-cli
    // has its part.
    void manualPages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("vardelo") << "vardelo";
        QTest::newRow("vardelo-cli") << "vardelo-cli";
    }
    void manualPages()
    {
        if (!VARDELO_MANPAGES)
            QSKIP("built without help2man: no manual pages");
        QFETCH(QString, page);
        const QString file = Installed(QStringLiteral("share/man/man1/%1.1.gz").arg(page));
        Check(QStringLiteral("lexgrog"), {file});
        const QString man = QStandardPaths::findExecutable(QStringLiteral("man"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        const Run run = Execute(man, {"--warnings", "-l", file}, env);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(QStringLiteral("NAME")));
        if (page == u"vardelo-cli") {
            // The sections help2man makes only of the GNU headings, which
            // the program's help writes in lower case.
            for (const QString& section : {"\nSYNOPSIS\n       vardelo-cli COMMAND", "\nCOMMANDS\n", "\nEXIT STATUS\n       0      success",
                                           "\nENVIRONMENT\n       VARDELO_PASSWORD", "\nFILES\n", "~/.config/vardelo/ports.map"})
                QVERIFY2(run.out.contains(section), qPrintable(section));
            const QString list = QString::fromUtf8(RunCli({"--help"}).out);
            for (const auto& m : QRegularExpression(QStringLiteral("^  ([a-z]+) "), QRegularExpression::MultilineOption).globalMatch(list)) {
                const QString command = m.captured(1);
                if (command == u"help")
                    continue;
                // Its part: a heading, the synopsis (which man may justify
                // with more blanks), and each of its options as the tag of a
                // paragraph of its own.
                const QRegularExpression synopsis(QStringLiteral("\n   ") + command + QStringLiteral("\n +vardelo-cli +") + command + QStringLiteral("\\s"));
                QVERIFY2(run.out.contains(synopsis), qPrintable(command));
                const QString part = run.out.section(synopsis, 1).section(QRegularExpression(QStringLiteral("\n   \\S")), 0, 0);
                const QString help = QString::fromUtf8(RunCli({command, "--help"}).out);
                const QString options = help.section(QStringLiteral("\noptions:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
                QVERIFY2(!options.isEmpty(), qPrintable(help));
                for (const auto& option : QRegularExpression(QStringLiteral("^  (-\\S+(?: [^ \\n]+)*)"), QRegularExpression::MultilineOption).globalMatch(options))
                    QVERIFY2(part.contains(QStringLiteral("\n       ") + option.captured(1) + u'\n') ||
                                 part.contains(QStringLiteral("\n       ") + option.captured(1) + u' '),
                             qPrintable(command + u' ' + option.captured(1) + u'\n' + part));
            }
        }
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
