#pragma once
// A difference between two configurations in the operator's language: the
// short summary of the write panel and `vardelo-cli diff`, the detail lines of
// the details window, and the JSON of `vardelo-cli diff --json`. Settings are
// named and valued as the printed report names them.

#include "config/configcompare.h"
#include "texts/textids.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

struct ChangeLine {
    QString what;
    QString before;
    QString after;
};

// "no change", or one line per kind of change (settings, each list with
// cards added or removed, display texts, other bytes, comments; a write's
// summary clears the comments first, the terminal does not hold them).
QStringList SummarizeChanges(const ConfigDifference& d, int languageOffset);
// Every change: settings with old and new value, each card added or removed
// with its comment, each display line, each comment changed, other bytes.
QList<ChangeLine> DescribeChanges(const ConfigDifference& d, int languageOffset);
// The summary, then each change as "  what: before -> after" (a missing side
// as "-"): what the command line prints.
QStringList ChangeReportLines(const ConfigDifference& d, int languageOffset);
// The whole difference, as `vardelo-cli diff --json` prints it.
QJsonObject DifferenceJson(const ConfigDifference& d);
// The words of the details window and of the summary frame.
QString ChangeText(TextNumber id, int languageOffset);
