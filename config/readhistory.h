#pragma once
// Storing a read so that it never destroys the operator's files: the read is
// committed as a pair (config/paircommit.h), which keeps the configuration
// and comments file it replaces in the folder history/ beside them; the read
// itself is kept there as a copy; and the comments of the replaced pair (and
// of the file last written to the same terminal) are carried over to the
// cards of the read that equal one of their cards. Nothing is ever deleted
// from history/.
//
// The replaced pair is named first in history/, so the read's own copy of
// the same second gets the next name.

#include "config/configcompare.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

struct ReadStorage {
    QString target;           // where the read was meant to go
    QString savedAs;          // where the configuration read is now (target or a place instead); empty: nowhere
    QString historyCopy;      // the read's copy in history/, empty when none could be made
    QStringList keptInHistory;   // the replaced files, now in history/
    bool commentsWritten = false; // a comments file carried over lies beside savedAs
    int commentsCarried = 0;      // rows that got a comment from the replaced pair
    // English, naming the path: why the read is not (only) where it was meant
    // to go, or why no history copy exists. Empty when all went as planned.
    QString problem;
    // The comments file of the replaced pair when it could not be used
    // (damaged, unreadable): it is kept in history/ with the pair, and the
    // read carries none of its comments.
    FileStatus commentsNotRead;
    // The file status behind the problem when one file's kind was the cause
    // (a folder or a device where the read should go), for a message in the
    // operator's language.
    FileStatus cause;
    bool Stored() const { return !savedAs.isEmpty(); }
    bool AtTarget() const { return savedAs == target; }
    // The configuration read and the comments that go with it (carried over,
    // or all "----------").
    ConfigSnapshot read;
};

// Stores a completed read for target. When the replaced pair cannot be kept
// (history/ a file, a read-only folder, a full disk), it is left untouched and
// the read goes beside it under a name with the time, or into fallbackFolder,
// or into the system's temporary folder; `problem` says so.
//
// Comments are carried over from the replaced pair and from the
// configuration files in commentSources (the file last written to the
// terminal); where they name the same card differently, the comments file
// changed last wins.
ReadStorage StoreRead(const ConfigBlock& block, const QString& target, const QDateTime& time,
                      const QString& fallbackFolder, const QStringList& commentSources = {});

// Keeps a read in history/ beside file without touching file (the terminal's
// state before a write). The copy's path, or empty with problem set.
QString KeepReadInHistory(const ConfigBlock& block, const QString& file, const QDateTime& time, QString& problem);

// Where reads go when their own folder cannot take them: "reads" in the
// user's data folder.
QString DefaultReadFallbackFolder();
