#include "texts/directorytexts.h"

#include "config/badlines.h"
#include "texts/cardlisttexts.h"
#include "texts/catalogue.h"
#include "texts/filetexts.h"

namespace {

TextNumber ProblemText(DirectoryProblem::Kind kind)
{
    using Kind = DirectoryProblem::Kind;
    switch (kind) {
    case Kind::BrokenQuotes: return Text::CsvBrokenQuotes;
    case Kind::TooFewColumns: return Text::CsvTooFewColumns;
    case Kind::TooManyColumns: return Text::DirectoryTooManyColumns;
    case Kind::MissingHolder: return Text::DirectoryNoHolder;
    case Kind::HolderNotStorable: return Text::DirectoryHolderNotStorable;
    case Kind::NoCard: return Text::DirectoryNoCard;
    case Kind::BadCharacter: return Text::DirectoryBadCharacter;
    case Kind::OnlyZeros: return Text::DirectoryOnlyZeros;
    case Kind::BadDate: return Text::DirectoryBadDate;
    case Kind::UntilBeforeFrom: return Text::DirectoryUntilBeforeFrom;
    case Kind::UnknownTerminal: return Text::DirectoryUnknownTerminal;
    case Kind::AllBesideNames: return Text::DirectoryAllBesideNames;
    case Kind::BadBlocked: return Text::DirectoryBadBlocked;
    case Kind::OtherHolder: return Text::DirectoryOtherHolder;
    case Kind::BlockedDiffers: return Text::DirectoryBlockedDiffers;
    }
    return Text::CsvBrokenQuotes;
}

QString Column(TrackNo track)
{
    return track == TrackNo::Track2 ? QStringLiteral("track2") : QStringLiteral("track3");
}

// A text whose values come from files and terminals: shown escaped, so that
// an escape sequence in a name never reaches the operator's terminal.
QString Filled(TextNumber id, int languageOffset, const QStringList& values)
{
    return CatalogueText(id, languageOffset, PrintableValues(values, 0));
}

} // namespace

QString DirectoryProblemText(const DirectoryProblem& problem, int languageOffset)
{
    return Filled(ProblemText(problem.kind), languageOffset, problem.values);
}

QString DirectoryMessage(const Directory& directory, const QString& fileName, int languageOffset)
{
    const QString file = PrintableText(fileName);
    const QString line = QString::number(directory.failureLine);
    switch (directory.failure) {
    case Directory::Failure::None: return {};
    case Directory::Failure::Unreadable: return FileStatusText(directory.file, languageOffset);
    case Directory::Failure::NotText: return CatalogueText(Text::DirectoryNotText, languageOffset, {file});
    case Directory::Failure::MixedCharacterSets:
        return CatalogueText(Text::DirectoryMixedCharacterSets, languageOffset, {file, line});
    case Directory::Failure::UndefinedByte: return CatalogueText(Text::DirectoryUndefinedByte, languageOffset, {file, line});
    case Directory::Failure::NoHeader:
        return CatalogueText(Text::DirectoryNoHeader, languageOffset, {file, directory.missingColumns.join(QStringLiteral(", "))});
    case Directory::Failure::NoCards: return CatalogueText(Text::DirectoryNoCards, languageOffset, {file});
    case Directory::Failure::BadRows: break;
    }
    QList<LineReason> reasons;
    for (const DirectoryProblem& problem : directory.problems)
        reasons.append({problem.line, DirectoryProblemText(problem, languageOffset)});
    return BadRowsMessage(reasons, file, languageOffset);
}

QString NameCutText(const NameCut& cut, int languageOffset)
{
    return Filled(Text::PlanNameCut, languageOffset,
                {QString::number(cut.line), cut.holder, cut.comment, QString::number(MaxCommentChars)});
}

QString RefusalText(const QString& terminal, const PlanRefusal& refusal, int languageOffset)
{
    const QString line = QString::number(refusal.line);
    if (refusal.kind == PlanRefusal::Kind::TracksNotRead)
        return Filled(Text::PlanTracksNotRead, languageOffset, {terminal, line, refusal.holder});
    return Filled(Text::PlanWrongLength, languageOffset,
                {terminal, line, Column(refusal.track), refusal.card, refusal.holder,
                 QString::number(refusal.card.size()), QString::number(refusal.digits)});
}

QStringList OverflowTexts(const TerminalPlan& plan, int languageOffset)
{
    QStringList texts;
    const std::array<QString, 5> captions = ListCaptions(languageOffset);
    for (const ListPlan& list : plan.lists)
        if (list.Overflow() > 0)
            texts << Filled(Text::PlanOverflow, languageOffset,
                          {plan.name, captions[list.list], QString::number(list.cards.size()),
                           QString::number(list.capacity), QString::number(list.Overflow())});
    return texts;
}

QStringList TerminalPlanTexts(const TerminalPlan& plan, int languageOffset)
{
    QStringList texts;
    for (const PlanRefusal& refusal : plan.refused)
        texts << RefusalText(plan.name, refusal, languageOffset);
    const std::array<QString, 5> captions = ListCaptions(languageOffset);
    for (const ListPlan& list : plan.lists) {
        const QString& caption = captions[list.list];
        const auto card = [&](TextNumber id, const PlanCard& c, const QStringList& more = {}) {
            texts << Filled(id, languageOffset, QStringList{plan.name, caption, c.card} + more);
        };
        for (const PlanCard& c : list.removed)
            card(Text::PlanRemove, c, {c.holder});
        for (const PlanCard& c : list.added)
            card(Text::PlanAdd, c, {c.holder});
        for (const PlanCard& c : list.renamed)
            card(Text::PlanRename, c, {c.comment.isEmpty() ? QStringLiteral("----------") : c.comment, c.holder});
        for (const PlanCard& c : list.expiring)
            card(Text::PlanExpires, c, {c.holder, c.lastDay.toString(Qt::ISODate)});
    }
    texts << OverflowTexts(plan, languageOffset);
    if (!plan.Changes())
        texts << Filled(Text::PlanNoChange, languageOffset, {plan.name});
    return texts;
}

QStringList SitePlanTexts(const SitePlan& plan, int languageOffset)
{
    QStringList texts;
    for (const NameCut& cut : plan.namesCut)
        texts << NameCutText(cut, languageOffset);
    for (const TerminalPlan& terminal : plan.terminals)
        texts << TerminalPlanTexts(terminal, languageOffset);
    return texts;
}

QString NotAppliedText(const QString& terminal, int languageOffset)
{
    return Filled(Text::PlanNotApplied, languageOffset, {terminal});
}

QString ConflictText(const DirectoryConflict& conflict, int languageOffset)
{
    if (conflict.kind == DirectoryConflict::Kind::CommentsDiffer)
        return Filled(Text::DirectoryCommentsDiffer, languageOffset,
                    {Column(conflict.track), conflict.card, conflict.holder, conflict.terminal, conflict.others.value(0),
                     conflict.others.value(1)});
    return Filled(Text::DirectoryNotBlockedEverywhere, languageOffset,
                {Column(conflict.track), conflict.card, conflict.holder, conflict.terminal,
                 conflict.others.join(QStringLiteral(", "))});
}
