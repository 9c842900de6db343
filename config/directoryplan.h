#pragma once
// What each terminal of a site must hold on a given day, planned from the
// directory of card holders, and the way back: a directory made of what the
// terminals hold.
//
// A card of a row is in the privilege list of its track on each terminal the
// row names, on the days between valid_from and valid_until (both included).
// A blocked card is in the block list of its track on every terminal that uses
// block lists, and in no privilege list, whatever its dates and terminals: a
// lost card must not open any door. The holder's name is the card's comment.
// Every other card leaves the lists; settings and display texts are not the
// plan's business.
//
// The plan is a value that says everything a command or a window shows: per
// terminal and list the cards to add and to remove, the comments that change,
// the cards that expire soon, how far a list would overflow, and the rows that
// cannot be taken for that terminal. Nothing in it is text for the operator;
// texts/directorytexts.h words it.

#include "config/configimage.h"
#include "config/configuration.h"
#include "config/directory.h"

#include <QDate>
#include <QList>
#include <QString>

// What a comment holds: a name longer than this is cut (and the row named),
// so that it stays whole in the row dialog's comment box and in the comment
// column of a printed list.
constexpr int MaxCommentChars = 40;
// A card whose last valid day is at most this many days after the plan's day
// is named as expiring, so that someone can renew it in time.
constexpr int ExpiryNoticeDays = 30;

// A terminal of the site and its configuration as loaded (list rows decoded,
// comments read), as the plan reads it and Apply changes it.
struct PlanTerminal {
    QString name;                                     // as the site spells it
    const Configuration* configuration = nullptr;     // nullptr: none loaded, nothing is planned
};

// One card of a list plan.
struct PlanCard {
    QString card;        // the record as the list holds it (ListData: '#' for 14, the filler after an odd length)
    QString holder;      // the comment it gets; for a removed card its holder in the directory, else its comment
    QString comment;     // the comment it has now; empty for an added card
    int line = 0;        // the directory row that puts it there (the first one); 0 for a card no row puts there
    QDate lastDay;       // expiring: the last day it is valid on this terminal
};

// One list of one terminal.
struct ListPlan {
    int list = 0;                 // 1..4
    int capacity = 0;             // rows of the list
    int cardsBefore = 0;          // cards it holds now
    QList<PlanCard> cards;        // the list as the plan leaves it: the cards kept in their order, then the added ones
    QList<PlanCard> added;        // in the order they follow the kept ones
    QList<PlanCard> removed;      // in list order; the same card twice in a list is removed once
    QList<PlanCard> renamed;      // kept, with another comment (comment now, holder after)
    QList<PlanCard> expiring;     // privilege lists: cards of the plan whose lastDay is within ExpiryNoticeDays
    int Overflow() const { return qMax(0, int(cards.size()) - capacity); }
    bool Changes() const { return !added.isEmpty() || !removed.isEmpty() || !renamed.isEmpty(); }
};

// A row that cannot be taken for a terminal.
struct PlanRefusal {
    enum class Kind {
        WrongLength,     // the card has not the number of digits the terminal reads on that track
        TracksNotRead,   // the row names the terminal, which reads none of the row's tracks
    };
    Kind kind = Kind::WrongLength;
    int line = 0;
    QString holder;
    TrackNo track = TrackNo::Track2;   // WrongLength: the card's track
    QString card;                      // WrongLength: as the directory gives it
    int digits = 0;                    // WrongLength: the digits the terminal reads
};

struct TerminalPlan {
    QString name;
    QList<ListPlan> lists;          // the lists the terminal shows, in list order
    QList<PlanRefusal> refused;     // in line order
    bool Changes() const;
    bool Overflows() const;
};

// A holder's name longer than a comment holds, and what the comment gets.
struct NameCut {
    int line = 0;
    QString holder;
    QString comment;
};

struct SitePlan {
    QDate day;
    QList<NameCut> namesCut;          // in line order
    QList<TerminalPlan> terminals;    // in the order given
    bool Changes() const;             // some terminal changes
};

// Plans every terminal from a directory that was taken (see ReadDirectoryFile).
// Reads the configurations; changes nothing.
SitePlan PlanSite(const QList<PlanTerminal>& terminals, const Directory& directory, const QDate& day);

// Brings a configuration up to its plan (made from that configuration): each
// list that changes gets the plan's cards from its first row on, with their
// comments, and empty places after them, through the rows and comments the
// editor keeps (as a card-list import does); the other lists, the settings and
// the display texts stay as they are. A plan that overflows a list changes
// nothing.
enum class ApplyOutcome { Applied, Unchanged, Overflows, NotItsPlan };
ApplyOutcome ApplyTerminalPlan(Configuration& m, const TerminalPlan& plan);

// ---------------------------------------------------------------- the way back

// Where the terminals' lists disagree about a card (the directory can give a
// card one holder and one blocked state only).
struct DirectoryConflict {
    enum class Kind {
        CommentsDiffer,        // the directory takes the first comment; values: the other comment, its terminal
        NotBlockedEverywhere,  // in a block list on one terminal, in a privilege list or missing from the
                               // block list on others; values: the terminals that do not block it
    };
    Kind kind = Kind::CommentsDiffer;
    TrackNo track = TrackNo::Track2;
    QString card;         // as the directory writes it
    QString holder;       // the name the directory gives it
    QString terminal;     // the first terminal that holds it so
    QStringList others;   // CommentsDiffer: the other comment and its terminal; NotBlockedEverywhere: the terminals
};

struct DirectoryFromLists {
    QList<DirectoryEntry> entries;        // in the order of the terminals, their lists and rows
    QList<DirectoryConflict> conflicts;
};

// A directory of what the terminals hold: one row per card (a card of track 2
// and one of track 3 are two rows), its comment as the name ("----------" for
// a card without one, so that the row is taken), the terminals that hold it,
// blocked when it is in a block list, validity open. Its plan on the same
// configurations changes nothing where the terminals agree.
DirectoryFromLists DirectoryFromTerminals(const QList<PlanTerminal>& terminals);
