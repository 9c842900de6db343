#pragma once
// The operator's words for the directory of card holders and the plan made
// from it, from the text catalogue in one language: why a directory was
// refused, the lines of a plan, and where the terminals disagree when a
// directory is made of their lists.

#include "config/directory.h"
#include "config/directoryplan.h"

#include "texts/textids.h"

#include <QString>
#include <QStringList>

namespace DirectoryText {
constexpr int NotText = 480;               // %1 the file
constexpr int MixedCharacterSets = 481;    // %1 the file, %2 the line
constexpr int UndefinedByte = 482;         // %1 the file, %2 the line
constexpr int NoHeader = 483;              // %1 the file, %2 the columns missing
constexpr int NoCards = 484;               // %1 the file
constexpr int Add = 498;                   // %1 terminal, %2 list, %3 card, %4 holder
constexpr int Remove = 499;                // the same
constexpr int Rename = 500;                // ... %4 the comment now, %5 the holder
constexpr int Expires = 501;               // ... %5 the last valid day
constexpr int Overflow = 502;              // %1 terminal, %2 list, %3 cards, %4 places, %5 too many
constexpr int NotApplied = 503;            // %1 terminal
constexpr int WrongLength = 504;           // %1 terminal, %2 line, %3 column, %4 card, %5 holder, %6 digits, %7 read
constexpr int TracksNotRead = 505;         // %1 terminal, %2 line, %3 holder
constexpr int NameCut = 506;               // %1 line, %2 name, %3 comment, %4 characters
constexpr int NoChange = 507;              // %1 terminal
constexpr int CommentsDiffer = 508;        // %1 column, %2 card, %3 comment, %4 terminal, %5 other comment, %6 its terminal
constexpr int NotBlockedEverywhere = 509;  // %1 column, %2 card, %3 holder, %4 terminal, %5 the terminals
}

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
