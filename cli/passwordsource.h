#pragma once
// Where the terminal password of read and write comes from. A password on the
// command line is visible to every user of the machine in the process list,
// so a file, the environment and a prompt without echo are offered too.

#include <QString>
#include <QTextStream>
#include <optional>

struct PasswordSources {
    QString given;   // --password, empty when not given
    QString file;    // --password-file, empty when not given
};

inline const char* const PasswordVariable = "VARDELO_PASSWORD";

// The password text from --password, else the first line of --password-file,
// else VARDELO_PASSWORD, else typed at a prompt without echo when standard
// input is a terminal. Nothing, and the reason on err, when none gives one or
// both options are given.
std::optional<QString> ResolvePassword(const PasswordSources& sources, int languageOffset, QTextStream& err);
// VARDELO_PASSWORD, else typed at a prompt without echo when standard input
// is a terminal; nothing (and nothing said) when neither gives one.
std::optional<QString> PasswordFromEnvironmentOrPrompt(int languageOffset, QTextStream& err);

// Like ssh with a key file: a password file that other users may read is
// used, and the operator warned on err.
void WarnWhenOthersMayRead(const QString& path, int languageOffset, QTextStream& err);
