#include "comm/siteplan.h"

#include "comm/changereport.h"
#include "config/configcompare.h"
#include "config/configfiles.h"
#include "config/configimage.h"
#include "texts/catalogue.h"
#include "texts/directorytexts.h"
#include "texts/filetexts.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <algorithm>

namespace {

// The file read as the editor opens it, its comments needed.
std::shared_ptr<Configuration> LoadConfiguration(const QString& path, QString& problem, int languageOffset)
{
    auto m = std::make_shared<Configuration>();
    if (const FileStatus status = ReadConfigurationFile(*m, path); !status) {
        problem = FileStatusText(status, languageOffset);
        return {};
    }
    if (const FileStatus comments = LoadComments(*m, path, false); !comments) {
        problem = CatalogueText(Text::CommentsNotRead, languageOffset) + u' '
                  + FileStatusText(comments, languageOffset);
        return {};
    }
    DecodeLists(*m);
    return m;
}

ConfigSnapshot Snapshot(const Configuration& m)
{
    return ConfigSnapshot::From(ImageBlock(m), m.ListComment);
}

QString NamedLine(const QString& terminal, const QString& text)
{
    return PrintableText(terminal) + QStringLiteral(": ") + text;
}

QJsonValue LineOrNull(int line)
{
    return line > 0 ? QJsonValue(line) : QJsonValue();
}

} // namespace

QList<LoadedTerminal> LoadSiteTerminals(const Site& site, const QList<int>& selection, TerminalSource source,
                                        int languageOffset)
{
    QList<int> ordered = selection;
    std::sort(ordered.begin(), ordered.end());
    QList<LoadedTerminal> loaded;
    for (int index : ordered) {
        const SiteTerminal& t = site.terminals.at(index);
        LoadedTerminal l;
        l.index = index;
        l.name = t.name;
        l.file = source == TerminalSource::Configuration ? t.configuration : QDir(t.folder).filePath(SiteReadFileName);
        if (l.file.isEmpty())
            l.problem = CatalogueText(Text::SiteMissingKey, languageOffset).arg(QStringLiteral("configuration"));
        else if (source == TerminalSource::LastRead && !QFileInfo::exists(l.file))
            l.problem = CatalogueText(Text::HintRead, languageOffset)
                            .arg(PrintableText(QDir(site.folder).relativeFilePath(l.file)));
        else
            l.configuration = LoadConfiguration(l.file, l.problem, languageOffset);
        loaded.append(l);
    }
    return loaded;
}

QList<PlanTerminal> PlanTerminals(const QList<LoadedTerminal>& loaded)
{
    QList<PlanTerminal> terminals;
    for (const LoadedTerminal& l : loaded)
        terminals.append({l.name, l.configuration.get()});
    return terminals;
}

SiteResult PlanResult(const TerminalPlan& plan, const LoadedTerminal& loaded)
{
    if (!loaded.configuration)
        return loaded.NamesNone() ? SiteResult::Skipped : SiteResult::Failed;
    return plan.Changes() ? SiteResult::Differs : SiteResult::Equal;
}

Directory ReadSiteDirectory(const Site& site, const QString& file)
{
    QStringList names;
    for (const SiteTerminal& t : site.terminals)
        names << t.name;
    return ReadDirectoryFile(file, names);
}

QStringList TerminalPlanLines(const TerminalPlan& plan, const LoadedTerminal& loaded, int languageOffset)
{
    if (!loaded.configuration)
        return {NamedLine(loaded.name, loaded.problem)};
    return TerminalPlanTexts(plan, languageOffset);
}

QStringList SitePlanLines(const SitePlan& plan, const QList<LoadedTerminal>& loaded, int languageOffset)
{
    QStringList lines;
    for (const NameCut& cut : plan.namesCut)
        lines << NameCutText(cut, languageOffset);
    for (int i = 0; i < plan.terminals.size() && i < loaded.size(); ++i)
        lines << TerminalPlanLines(plan.terminals[i], loaded[i], languageOffset);
    return lines;
}

// ---------------------------------------------------------------- JSON

QJsonObject TerminalPlanJson(const TerminalPlan& plan, int languageOffset)
{
    QJsonArray lists;
    for (const ListPlan& list : plan.lists) {
        QJsonArray add, remove, rename, expiring;
        for (const PlanCard& c : list.added)
            add.append(QJsonObject{{QStringLiteral("card"), c.card},
                                   {QStringLiteral("name"), c.holder},
                                   {QStringLiteral("line"), LineOrNull(c.line)}});
        for (const PlanCard& c : list.removed)
            remove.append(QJsonObject{{QStringLiteral("card"), c.card}, {QStringLiteral("name"), c.holder}});
        for (const PlanCard& c : list.renamed)
            rename.append(QJsonObject{{QStringLiteral("card"), c.card},
                                      {QStringLiteral("from"), c.comment},
                                      {QStringLiteral("to"), c.holder},
                                      {QStringLiteral("line"), LineOrNull(c.line)}});
        for (const PlanCard& c : list.expiring)
            expiring.append(QJsonObject{{QStringLiteral("card"), c.card},
                                        {QStringLiteral("name"), c.holder},
                                        {QStringLiteral("lastDay"), c.lastDay.toString(Qt::ISODate)},
                                        {QStringLiteral("line"), LineOrNull(c.line)}});
        lists.append(QJsonObject{{QStringLiteral("list"), list.list},
                                 {QStringLiteral("capacity"), list.capacity},
                                 {QStringLiteral("before"), list.cardsBefore},
                                 {QStringLiteral("after"), int(list.cards.size())},
                                 {QStringLiteral("overflow"), list.Overflow()},
                                 {QStringLiteral("add"), add},
                                 {QStringLiteral("remove"), remove},
                                 {QStringLiteral("rename"), rename},
                                 {QStringLiteral("expiring"), expiring}});
    }
    QJsonArray refused;
    for (const PlanRefusal& r : plan.refused) {
        const bool length = r.kind == PlanRefusal::Kind::WrongLength;
        refused.append(QJsonObject{
            {QStringLiteral("line"), r.line},
            {QStringLiteral("name"), r.holder},
            {QStringLiteral("reason"), length ? QStringLiteral("wrong-length") : QStringLiteral("tracks-not-read")},
            {QStringLiteral("track"),
             length ? QJsonValue(r.track == TrackNo::Track2 ? QStringLiteral("track2") : QStringLiteral("track3"))
                    : QJsonValue()},
            {QStringLiteral("card"), length ? QJsonValue(r.card) : QJsonValue()},
            {QStringLiteral("digits"), length ? QJsonValue(r.digits) : QJsonValue()},
            {QStringLiteral("message"), RefusalText(plan.name, r, languageOffset)},
        });
    }
    return QJsonObject{
        {QStringLiteral("name"), plan.name}, {QStringLiteral("lists"), lists}, {QStringLiteral("refused"), refused}};
}

namespace {

QJsonArray NamesCutJson(const SitePlan& plan)
{
    QJsonArray cuts;
    for (const NameCut& cut : plan.namesCut)
        cuts.append(QJsonObject{{QStringLiteral("line"), cut.line},
                                {QStringLiteral("name"), cut.holder},
                                {QStringLiteral("comment"), cut.comment}});
    return cuts;
}

} // namespace

QJsonObject SitePlanJson(const Site& site, const SitePlan& plan, const QList<LoadedTerminal>& loaded,
                         int languageOffset)
{
    QJsonArray terminals;
    for (int i = 0; i < plan.terminals.size() && i < loaded.size(); ++i) {
        const TerminalPlan& t = plan.terminals[i];
        QJsonObject json = TerminalPlanJson(t, languageOffset);
        json.insert(QStringLiteral("port"), site.terminals.at(loaded[i].index).port.text);
        json.insert(QStringLiteral("result"), SiteResultWord(PlanResult(t, loaded[i])));
        json.insert(QStringLiteral("message"), TerminalPlanLines(t, loaded[i], languageOffset).join(u'\n'));
        terminals.append(json);
    }
    return QJsonObject{{QStringLiteral("site"), site.name},
                       {QStringLiteral("date"), plan.day.toString(Qt::ISODate)},
                       {QStringLiteral("changes"), plan.Changes()},
                       {QStringLiteral("namesCut"), NamesCutJson(plan)},
                       {QStringLiteral("terminals"), terminals}};
}

QJsonObject SiteApplyJson(const Site& site, const SitePlan& plan, const QList<LoadedTerminal>& loaded,
                          const QList<SiteTerminalResult>& results, int languageOffset)
{
    QJsonObject json = SiteResultsJson(site.name, results);
    QJsonArray terminals = json.value(QStringLiteral("terminals")).toArray();
    for (qsizetype i = 0; i < terminals.size() && i < loaded.size() && i < plan.terminals.size(); ++i) {
        QJsonObject terminal = terminals.at(i).toObject();
        terminal.insert(QStringLiteral("plan"), loaded.at(i).configuration
                                                    ? QJsonValue(TerminalPlanJson(plan.terminals.at(i), languageOffset))
                                                    : QJsonValue());
        terminals[i] = terminal;
    }
    json.insert(QStringLiteral("terminals"), terminals);
    json.insert(QStringLiteral("date"), plan.day.toString(Qt::ISODate));
    json.insert(QStringLiteral("namesCut"), NamesCutJson(plan));
    return json;
}

// ---------------------------------------------------------------- apply

namespace {

QString SharedFileKey(const LoadedTerminal& l)
{
    return QFileInfo(l.file).canonicalFilePath();
}

// Several terminals may name one configuration file (doors that should hold
// the same). When the directory gives them different cards, saving each
// plan would leave the file with the last one, and every one of them would
// be written with it: a card would open doors the directory does not give it.
void RefuseSharedFilesThatDiffer(const QList<LoadedTerminal>& loaded, QList<TerminalApplied>& applied, int languageOffset)
{
    QHash<QString, QList<int>> byFile;   // positions in loaded and applied
    for (int i = 0; i < loaded.size() && i < applied.size(); ++i)
        if (loaded[i].configuration)
            byFile[SharedFileKey(loaded[i])].append(i);
    for (const QList<int>& group : std::as_const(byFile)) {
        const Configuration& first = *loaded[group.first()].configuration;
        const bool same = std::all_of(group.cbegin(), group.cend(), [&](int i) {
            const Configuration& m = *loaded[i].configuration;
            return ImageBlock(m) == ImageBlock(first) && m.ListComment == first.ListComment;
        });
        if (same)
            continue;
        for (int i : group) {
            QStringList others;
            for (int j : group)
                if (j != i)
                    others << PrintableText(loaded[j].name);
            TerminalApplied& a = applied[i];
            a.outcome = TerminalApplied::Outcome::SharedFileDiffers;
            a.failed = true;
            a.write = false;
            a.message = CatalogueText(Text::SiteSharedConfigurationDiffers, languageOffset)
                            .arg(PrintableText(a.name), PrintableText(loaded[i].file), others.join(QStringLiteral(", ")));
        }
    }
}

} // namespace

QList<TerminalApplied> PrepareSiteApply(const Site& site, QList<LoadedTerminal>& loaded, const SitePlan& plan,
                                        int languageOffset)
{
    QList<TerminalApplied> applied;
    for (int i = 0; i < loaded.size() && i < plan.terminals.size(); ++i) {
        LoadedTerminal& l = loaded[i];
        const TerminalPlan& p = plan.terminals[i];
        TerminalApplied a;
        a.index = l.index;
        a.name = l.name;
        if (!l.configuration) {
            a.outcome = TerminalApplied::Outcome::NotLoaded;
            a.failed = !l.NamesNone();
            a.message = l.problem;
            applied.append(a);
            continue;
        }
        const ConfigSnapshot before = Snapshot(*l.configuration);
        switch (ApplyTerminalPlan(*l.configuration, p)) {
        case ApplyOutcome::Applied:
            a.outcome = TerminalApplied::Outcome::Applied;
            a.write = true;
            for (const ListPlan& list : p.lists)
                a.cards += int(list.cards.size());
            // In the words of diff and write: lists and comments changed.
            a.message = SummarizeChanges(CompareConfigurations(before, Snapshot(*l.configuration)), languageOffset)
                            .join(QStringLiteral("; "));
            break;
        case ApplyOutcome::Overflows:
        case ApplyOutcome::NotItsPlan:   // planned from another configuration: cannot happen here
            a.outcome = TerminalApplied::Outcome::Overflows;
            a.failed = true;
            a.message = (QStringList{NotAppliedText(l.name, languageOffset)} + OverflowTexts(p, languageOffset)).join(u'\n');
            break;
        case ApplyOutcome::Unchanged: {
            a.outcome = TerminalApplied::Outcome::Unchanged;
            SiteTerminalResult lastRead;
            CompareLastRead(site.terminals.at(l.index), lastRead, languageOffset, false);
            a.write = lastRead.result != SiteResult::Equal;
            a.message = lastRead.message;
            break;
        }
        }
        applied.append(a);
    }
    RefuseSharedFilesThatDiffer(loaded, applied, languageOffset);
    return applied;
}

void SaveAppliedConfigurations(const QList<LoadedTerminal>& loaded, QList<TerminalApplied>& applied, int languageOffset)
{
    QHash<QString, const TerminalApplied*> savedFiles;   // a file shared with a terminal before: how it went
    for (TerminalApplied& a : applied) {
        if (a.outcome != TerminalApplied::Outcome::Applied)
            continue;
        const auto l = std::find_if(loaded.begin(), loaded.end(), [&](const LoadedTerminal& t) { return t.index == a.index; });
        if (l == loaded.end() || !l->configuration)
            continue;
        if (const TerminalApplied* before = savedFiles.value(SharedFileKey(*l))) {
            a.outcome = before->outcome;
            a.failed = before->failed;
            a.write = before->write;
            a.message = before->message;
            continue;
        }
        savedFiles.insert(SharedFileKey(*l), &a);
        if (const PairCommit saved = SaveConfigurationPair(*l->configuration, l->file); !saved) {
            a.outcome = TerminalApplied::Outcome::SaveFailed;
            a.failed = true;
            a.write = false;
            a.message = FileStatusText(saved.status, languageOffset);
            continue;
        }
        a.outcome = TerminalApplied::Outcome::Saved;
        a.message = CatalogueText(Text::Saved, languageOffset).arg(PrintableText(l->file)).arg(a.cards) + u'\n'
                    + a.message;
    }
}

QList<int> WriteSelection(const QList<TerminalApplied>& applied)
{
    QList<int> selection;
    for (const TerminalApplied& a : applied)
        if (a.write)
            selection.append(a.index);
    return selection;
}

QList<SiteTerminalResult> SiteApplyResults(const Site& site, const QList<TerminalApplied>& applied,
                                           const QList<SiteTerminalResult>& written, bool dryRun)
{
    QList<SiteTerminalResult> results;
    for (const TerminalApplied& a : applied) {
        const auto run = std::find_if(written.begin(), written.end(), [&](const SiteTerminalResult& r) { return r.index == a.index; });
        if (a.write && run != written.end()) {
            SiteTerminalResult r = *run;
            if (a.outcome == TerminalApplied::Outcome::Saved)
                r.message = a.message + (r.message.isEmpty() ? QString() : u'\n' + r.message);
            results.append(r);
            continue;
        }
        SiteTerminalResult r;
        r.index = a.index;
        r.name = a.name;
        r.port = site.terminals.at(a.index).port.text;
        r.message = a.message;
        if (a.failed)
            r.result = SiteResult::Failed;
        else if (a.outcome == TerminalApplied::Outcome::NotLoaded)
            r.result = SiteResult::Skipped;
        else if (a.write)
            r.result = dryRun ? SiteResult::Differs : SiteResult::Unknown;
        else
            r.result = SiteResult::Equal;
        if (r.result == SiteResult::Failed)
            r.lastError = r.message;
        results.append(r);
    }
    return results;
}

// ---------------------------------------------------------------- the way back

SiteDirectoryMade DirectoryFromSite(const Site& site, int languageOffset)
{
    QList<int> all;
    for (int i = 0; i < site.terminals.size(); ++i)
        all.append(i);
    const QList<LoadedTerminal> loaded = LoadSiteTerminals(site, all, TerminalSource::LastRead, languageOffset);
    SiteDirectoryMade made;
    for (const LoadedTerminal& l : loaded)
        if (!l.configuration)
            made.problems << NamedLine(l.name, l.problem);
    if (made.problems.isEmpty())
        made.made = DirectoryFromTerminals(PlanTerminals(loaded));
    return made;
}
