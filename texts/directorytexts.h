#pragma once
// The operator's words for the directory of card holders and the plan made
// from it, from the text catalogue in one language: why a directory was
// refused, the lines of a plan, and where the terminals disagree when a
// directory is made of their lists.

#include "config/directory.h"
#include "config/directoryplan.h"

#include <QString>
#include <QStringList>

// Why a directory cannot be used, naming the file: the file's own refusal,
// the whole-file reason, or the bad rows by line (several reasons of one line
// on that line), the first 20 lines and then how many more. Empty for a
// directory that was taken.
QString DirectoryMessage(const Directory& directory, const QString& fileName, int languageOffset);
QString DirectoryProblemText(const DirectoryProblem& problem, int languageOffset);

// The plan, one line each: the names cut, then per terminal its refused rows
// and per list the cards to remove, to add, the comments that change, the
// cards that expire and an overflow; "no change" for a terminal without one.
QStringList SitePlanTexts(const SitePlan& plan, int languageOffset);
QStringList TerminalPlanTexts(const TerminalPlan& plan, int languageOffset);
// The lists that would overflow, one line each (also part of TerminalPlanTexts).
QStringList OverflowTexts(const TerminalPlan& plan, int languageOffset);
QString NameCutText(const NameCut& cut, int languageOffset);
QString RefusalText(const QString& terminal, const PlanRefusal& refusal, int languageOffset);
// A terminal that Apply left as it was because a list would overflow.
QString NotAppliedText(const QString& terminal, int languageOffset);

// Where the terminals disagree about a card of the directory made of their lists.
QString ConflictText(const DirectoryConflict& conflict, int languageOffset);
