#pragma once
// Runs the command-line companion as a separate process. Header-only: only the
// test executables know the program's path (VARDELO_CLI_PATH).

#include <QProcess>
#include <QStringList>

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// environment: "NAME=value" sets a variable, a bare "NAME" removes it.
inline CliRun RunCli(const QStringList& args, const QStringList& environment = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment) {
        if (entry.contains(u'='))
            env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        else
            env.remove(entry);
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VARDELO_CLI_PATH), args);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
