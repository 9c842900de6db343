#pragma once
// The subcommands of vardelo-cli. Each is one function; main.cpp lists them
// in its dispatch table. A command writes its result to out, its complaints
// to err, and returns the exit status (0 done, 1 failed, 2 wrong usage).

#include <QString>
#include <QStringList>
#include <QTextStream>

using CommandFunction = int (*)(const QStringList& args, QTextStream& out, QTextStream& err);

int RunShow(const QStringList& args, QTextStream& out, QTextStream& err);
int RunRead(const QStringList& args, QTextStream& out, QTextStream& err);
int RunWrite(const QStringList& args, QTextStream& out, QTextStream& err);
int RunReset(const QStringList& args, QTextStream& out, QTextStream& err);
int RunPrintCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// A JSON string literal, quotes included.
QString JsonString(const QString& text);
