// The set-up that ./scripts/run.sh, ./scripts/test.sh and .ci/run go
// through, run against stand-ins for dpkg-query, apt-get, sudo and id that
// play a machine with some packages missing.
#include "common/filebytes.h"

#include <QtTest>

namespace {

// A folder of stand-in commands; installed packages are kept in a file.
struct FakeMachine {
    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.filePath(name); }
    void Script(const QString& name, const QByteArray& body)
    {
        const QString path = Path(QStringLiteral("bin/") + name);
        QVERIFY(WriteBytes(path, "#!" + QStandardPaths::findExecutable(QStringLiteral("bash")).toUtf8() + "\n" + body));
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner));
    }
    QByteArray Read(const QString& name) const
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

class SetupTest : public QObject {
    Q_OBJECT
private slots:
    void setup_data()
    {
        QTest::addColumn<QStringList>("notInstalled");
        QTest::addColumn<QString>("user");       // "root", "sudo" (a user with sudo), "plain"
        QTest::addColumn<QString>("apt");        // "works", "offline" (update and install fail), "noop"
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("aptCalls");   // what apt-get was asked, "|" between calls
        QTest::addColumn<QString>("said");       // part of the messages; empty: none at all
        const QStringList translations{"qt6-translations-l10n"};
        const QString install = QStringLiteral("apt-get install -y --no-install-recommends qt6-translations-l10n");
        QTest::newRow("everything there") << QStringList{} << "plain" << "works" << "" << 0 << "" << "";
        QTest::newRow("CI packages not needed") << QStringList{"clang"} << "plain" << "works" << "" << 0 << "" << "";
        QTest::newRow("packaging tools not needed") << QStringList{"lintian"} << "plain" << "works" << "" << 0 << "" << "";
        QTest::newRow("packaging tools for the package") << QStringList{"lintian", "clang"} << "root" << "works" << "--package" << 0
                                                         << "update -qq|install -y --no-install-recommends lintian -qq"
                                                         << "installing lintian";
        QTest::newRow("packaging tools for the CI") << QStringList{"appstream", "clang"} << "root" << "works" << "--ci" << 0
                                                    << "update -qq|install -y --no-install-recommends appstream clang -qq"
                                                    << "installing appstream clang";
        QTest::newRow("root installs") << translations << "root" << "works" << "" << 0
                                       << "update -qq|install -y --no-install-recommends qt6-translations-l10n -qq"
                                       << "installing qt6-translations-l10n";
        QTest::newRow("through sudo") << QStringList{"cmake", "clang"} << "sudo" << "works" << "--ci" << 0
                                      << "sudo update -qq|sudo install -y --no-install-recommends cmake clang -qq"
                                      << "installing cmake clang";
        QTest::newRow("neither root nor sudo") << translations << "plain" << "works" << "" << 1 << ""
                                               << "missing packages; as root, run: " + install;
        QTest::newRow("offline") << translations << "root" << "offline" << "" << 1
                                 << "update -qq|install -y --no-install-recommends qt6-translations-l10n -qq"
                                 << "could not install qt6-translations-l10n (no network or no package source?); run: " + install;
        QTest::newRow("apt-get leaves it missing") << translations << "root" << "noop" << "" << 1
                                                   << "update -qq|install -y --no-install-recommends qt6-translations-l10n -qq"
                                                   << "still missing after apt-get: qt6-translations-l10n";
    }
    void setup()
    {
        QFETCH(QStringList, notInstalled);
        QFETCH(QString, user);
        QFETCH(QString, apt);
        QFETCH(QString, argument);
        FakeMachine machine;
        QVERIFY(QDir(machine.dir.path()).mkpath(QStringLiteral("bin")));
        QFile::link(QStandardPaths::findExecutable(QStringLiteral("env")), machine.Path(QStringLiteral("bin/env")));
        // Every package of the list is installed except those of the row.
        const QByteArray list = Bytes(QString::fromLocal8Bit(qgetenv("VARDELO_SOURCE_DIR")) + QStringLiteral("/scripts/packages.txt"));
        QVERIFY(list != MissingFile);
        QByteArray installed;
        for (const QByteArray& line : list.split('\n')) {
            const QByteArray name = line.simplified().split(' ').value(0);
            if (!name.isEmpty() && !name.startsWith('#') && !notInstalled.contains(QString::fromUtf8(name)))
                installed += name + '\n';
        }
        QVERIFY(WriteBytes(machine.Path(QStringLiteral("installed")), installed));

        const QByteArray dir = machine.dir.path().toUtf8();
        machine.Script(QStringLiteral("dpkg-query"),
                       "for p in \"${@:3}\"; do\n"
                       "  if grep -qx \"$p\" " + dir + "/installed; then echo \"ii  $p\"; else echo \"no $p\" >&2; fi\n"
                       "done\n");
        machine.Script(QStringLiteral("grep"), "exec " + QStandardPaths::findExecutable(QStringLiteral("grep")).toUtf8() + " \"$@\"\n");
        machine.Script(QStringLiteral("id"), user == u"root" ? "echo 0\n" : "echo 1000\n");
        machine.Script(QStringLiteral("apt-get"),
                       "echo \"${SUDO_USER:+sudo }$*\" >> " + dir + "/apt\n"
                       + (apt == u"offline" ? "exit 100\n"
                          : apt == u"noop"  ? "exit 0\n"
                                            : "[ \"$1\" = install ] && for p in \"${@:4}\"; do [ \"$p\" = -qq ] || echo \"$p\" >> "
                                                  + dir + "/installed; done\nexit 0\n"));
        if (user == u"sudo")
            machine.Script(QStringLiteral("sudo"), "export SUDO_USER=me\nexec \"$@\"\n");

        QProcess setup;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PATH"), machine.Path(QStringLiteral("bin")));
        env.remove(QStringLiteral("VARDELO_SKIP_SETUP"));
        setup.setProcessEnvironment(env);
        QStringList args{QString::fromLocal8Bit(qgetenv("VARDELO_SOURCE_DIR")) + QStringLiteral("/scripts/setup.sh")};
        if (!argument.isEmpty())
            args << argument;
        setup.start(QStandardPaths::findExecutable(QStringLiteral("bash")), args);
        QVERIFY(setup.waitForFinished(20000));
        const QString output = QString::fromUtf8(setup.readAllStandardOutput() + setup.readAllStandardError());
        QTEST(setup.exitCode(), "exitCode");
        QTEST(QString::fromUtf8(machine.Read(QStringLiteral("apt"))).trimmed().replace(u'\n', u'|'), "aptCalls");
        QFETCH(QString, said);
        if (said.isEmpty())
            QCOMPARE(output, QString());
        else
            QVERIFY2(output.contains(said), qPrintable(output));
        // Without a way to install, one line says what to run.
        if (user == u"plain" && !said.isEmpty())
            QCOMPARE(output.count(u'\n'), 1);
    }
};

QTEST_GUILESS_MAIN(SetupTest)
#include "tst_setup.moc"
