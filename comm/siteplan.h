#pragma once
// The directory of card holders over the terminals of a site: each selected
// terminal's configuration file planned from the directory on a day, the plan
// brought into those files, the terminals a write must then reach, and a
// directory made of the terminals' last reads. vardelo-cli site plan, apply
// and directory (and a window) are faces of these; the write itself is a
// SiteRun (comm/site.h):
//
//     const Directory directory = ReadSiteDirectory(site, file);                       // taken whole, or refused
//     QList<LoadedTerminal> loaded = LoadSiteTerminals(site, selection, TerminalSource::Configuration, language);
//     const SitePlan plan = PlanSite(PlanTerminals(loaded), directory, day);
//     QList<TerminalApplied> applied = PrepareSiteApply(site, loaded, plan, language);   // nothing written yet
//     SaveAppliedConfigurations(loaded, applied, language);                              // the files
//     run.Start(SiteOperation::Write, WriteSelection(applied), passwords);               // the terminals
//     ... SiteApplyResults(site, applied, run.Results(), false);

#include "comm/site.h"
#include "config/directoryplan.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <memory>

// Which file of a terminal stands for its lists.
enum class TerminalSource {
    Configuration,   // its configuration file: what it should hold
    LastRead,        // <site folder>/<name>/VARDELO.QLV: what it held when last read
};

// One selected terminal with that file loaded as the editor opens it (its
// comments included, its list rows decoded).
struct LoadedTerminal {
    int index = -1;          // in Site::terminals
    QString name;
    QString file;            // the file loaded; empty when the terminal names no configuration
    std::shared_ptr<Configuration> configuration;   // null unless the file and its comments were read whole
    QString problem;         // why there is none: names no configuration, never read, or the reader's message
    // Named no configuration: nothing to plan, nothing wrong. Otherwise a
    // terminal without a configuration failed.
    bool NamesNone() const { return file.isEmpty(); }
};

// The selected terminals in the site's order. A comments file that cannot be
// read completely leaves the terminal without a configuration: planned or
// applied without its comments, every card of the lists would lose its name.
QList<LoadedTerminal> LoadSiteTerminals(const Site& site, const QList<int>& selection, TerminalSource source,
                                        int languageOffset);
// As PlanSite takes them (those without a configuration are planned empty).
QList<PlanTerminal> PlanTerminals(const QList<LoadedTerminal>& loaded);
// The directory of card holders, its terminal names checked against the site's.
Directory ReadSiteDirectory(const Site& site, const QString& file);

// What a terminal's plan means for it: one line each, its refused rows and
// cards first, "no change" when there is none; a terminal without a
// configuration says why. The names cut come first, once.
QStringList SitePlanLines(const SitePlan& plan, const QList<LoadedTerminal>& loaded, int languageOffset);
// The lines of one terminal of SitePlanLines.
QStringList TerminalPlanLines(const TerminalPlan& plan, const LoadedTerminal& loaded, int languageOffset);
// differs (the plan changes it), equal, failed (not loaded), skipped (names
// no configuration).
SiteResult PlanResult(const TerminalPlan& plan, const LoadedTerminal& loaded);

// {"site", "date", "changes", "namesCut": [{"line", "name", "comment"}],
//  "terminals": [{"name", "port", "result", "message", "lists": [{"list",
//  "capacity", "before", "after", "overflow", "add": [{"card", "name", "line"}],
//  "remove": [{"card", "name"}], "rename": [{"card", "from", "to", "line"}],
//  "expiring": [{"card", "name", "lastDay", "line"}]}], "refused": [{"line",
//  "name", "reason", "track", "card", "digits", "message"}]}]}
QJsonObject SitePlanJson(const Site& site, const SitePlan& plan, const QList<LoadedTerminal>& loaded,
                         int languageOffset);
QJsonObject TerminalPlanJson(const TerminalPlan& plan, int languageOffset);

// What apply does with one selected terminal's configuration.
struct TerminalApplied {
    enum class Outcome {
        Applied,      // its configuration takes the plan (in memory until saved)
        Saved,        // and was saved, the pair it replaced kept in history/
        Unchanged,    // the plan changes nothing in it
        Overflows,    // a list would overflow: not touched
        NotLoaded,    // names no configuration, or it could not be read
        SaveFailed,   // could not be saved: the file is as it was
        // Its configuration file is also another selected terminal's, and
        // their plans would make it two different files: neither is touched.
        SharedFileDiffers,
    };
    int index = -1;
    QString name;
    Outcome outcome = Outcome::NotLoaded;
    bool failed = false;   // overflows, could not be read or saved
    // To be written into the terminal: its configuration changes, or its last
    // read (as diff tells it) does not hold its configuration, so that a write
    // that failed before (the terminal was off) is made up for by the next
    // apply.
    bool write = false;
    QString message;       // what became of it, in the operator's language
    int cards = 0;         // Applied: the cards of its lists after the plan
};

// Applies each terminal's plan to its loaded configuration, in memory;
// names what is to be written. Touches no file. Terminals that share one
// configuration file are changed only when their plans make it the same
// file: saved once, it is what each of them is written with.
QList<TerminalApplied> PrepareSiteApply(const Site& site, QList<LoadedTerminal>& loaded, const SitePlan& plan,
                                        int languageOffset);
// Saves every Applied configuration as a pair (SaveConfigurationPair), a
// file shared by several terminals once; one that cannot be saved is not
// written into its terminal.
void SaveAppliedConfigurations(const QList<LoadedTerminal>& loaded, QList<TerminalApplied>& applied, int languageOffset);
// The indices of the terminals to write.
QList<int> WriteSelection(const QList<TerminalApplied>& applied);
// What apply says of each terminal: a written one the write's result, after
// what became of its file; the others what became of their file (failed,
// skipped for lack of a configuration, equal where nothing was to do, and in
// a dry run differs where something would be done).
QList<SiteTerminalResult> SiteApplyResults(const Site& site, const QList<TerminalApplied>& applied,
                                           const QList<SiteTerminalResult>& written, bool dryRun);

// {"site", "date", "namesCut", "terminals": [{"name", "port", "result",
// "identification", "seconds", "message", "changes", "plan"}]}: each terminal
// as SiteResultsJson gives it, with its plan (TerminalPlanJson; null for one
// that was not planned). loaded, the plan's terminals and results in one order.
QJsonObject SiteApplyJson(const Site& site, const SitePlan& plan, const QList<LoadedTerminal>& loaded,
                          const QList<SiteTerminalResult>& results, int languageOffset);

// A directory made of the last reads of all terminals of the site, with
// where they disagree. A terminal never read, or whose read cannot be loaded,
// is a problem: without its cards, the directory would take every card off it.
struct SiteDirectoryMade {
    DirectoryFromLists made;
    QStringList problems;   // one line per terminal, naming it
    explicit operator bool() const { return problems.isEmpty(); }
};
SiteDirectoryMade DirectoryFromSite(const Site& site, int languageOffset);
