#include "texts/directorytexts.h"

#include "config/badlines.h"
#include "texts/cardlisttexts.h"
#include "texts/catalogue.h"
#include "texts/filetexts.h"

namespace {

int ProblemTextId(DirectoryProblem::Kind kind)
{
    using Kind = DirectoryProblem::Kind;
    switch (kind) {
    case Kind::BrokenQuotes: return 379;
    case Kind::TooFewColumns: return 380;
    case Kind::TooManyColumns: return 485;
    case Kind::MissingHolder: return 486;
    case Kind::HolderNotStorable: return 487;
    case Kind::NoCard: return 488;
    case Kind::BadCharacter: return 489;
    case Kind::OnlyZeros: return 490;
    case Kind::BadDate: return 491;
    case Kind::UntilBeforeFrom: return 492;
    case Kind::UnknownTerminal: return 493;
    case Kind::AllBesideNames: return 494;
    case Kind::BadBlocked: return 495;
    case Kind::OtherHolder: return 496;
    case Kind::BlockedDiffers: return 497;
    }
    return 379;
}

QString Column(TrackNo track)
{
    return track == TrackNo::Track2 ? QStringLiteral("track2") : QStringLiteral("track3");
}

// A text whose values come from files and terminals: shown escaped, so that
// an escape sequence in a name never reaches the operator's terminal.
QString Text(int id, int languageOffset, const QStringList& values)
{
    return CatalogueText(id, languageOffset, PrintableValues(values, 0));
}

} // namespace

QString DirectoryProblemText(const DirectoryProblem& problem, int languageOffset)
{
    return Text(ProblemTextId(problem.kind), languageOffset, problem.values);
}

QString DirectoryMessage(const Directory& directory, const QString& fileName, int languageOffset)
{
    const QString file = PrintableText(fileName);
    const QString line = QString::number(directory.failureLine);
    switch (directory.failure) {
    case Directory::Failure::None: return {};
    case Directory::Failure::Unreadable: return FileStatusText(directory.file, languageOffset);
    case Directory::Failure::NotText: return CatalogueText(DirectoryText::NotText, languageOffset, {file});
    case Directory::Failure::MixedCharacterSets:
        return CatalogueText(DirectoryText::MixedCharacterSets, languageOffset, {file, line});
    case Directory::Failure::UndefinedByte: return CatalogueText(DirectoryText::UndefinedByte, languageOffset, {file, line});
    case Directory::Failure::NoHeader:
        return CatalogueText(DirectoryText::NoHeader, languageOffset, {file, directory.missingColumns.join(QStringLiteral(", "))});
    case Directory::Failure::NoCards: return CatalogueText(DirectoryText::NoCards, languageOffset, {file});
    case Directory::Failure::BadRows: break;
    }
    QList<LineReason> reasons;
    for (const DirectoryProblem& problem : directory.problems)
        reasons.append({problem.line, DirectoryProblemText(problem, languageOffset)});
    return BadRowsMessage(reasons, file, languageOffset);
}

QString NameCutText(const NameCut& cut, int languageOffset)
{
    return Text(DirectoryText::NameCut, languageOffset,
                {QString::number(cut.line), cut.holder, cut.comment, QString::number(MaxCommentChars)});
}

QString RefusalText(const QString& terminal, const PlanRefusal& refusal, int languageOffset)
{
    const QString line = QString::number(refusal.line);
    if (refusal.kind == PlanRefusal::Kind::TracksNotRead)
        return Text(DirectoryText::TracksNotRead, languageOffset, {terminal, line, refusal.holder});
    return Text(DirectoryText::WrongLength, languageOffset,
                {terminal, line, Column(refusal.track), refusal.card, refusal.holder,
                 QString::number(refusal.card.size()), QString::number(refusal.digits)});
}

QStringList OverflowTexts(const TerminalPlan& plan, int languageOffset)
{
    QStringList texts;
    const std::array<QString, 5> captions = ListCaptions(languageOffset);
    for (const ListPlan& list : plan.lists)
        if (list.Overflow() > 0)
            texts << Text(DirectoryText::Overflow, languageOffset,
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
        const auto card = [&](int id, const PlanCard& c, const QStringList& more = {}) {
            texts << Text(id, languageOffset, QStringList{plan.name, caption, c.card} + more);
        };
        for (const PlanCard& c : list.removed)
            card(DirectoryText::Remove, c, {c.holder});
        for (const PlanCard& c : list.added)
            card(DirectoryText::Add, c, {c.holder});
        for (const PlanCard& c : list.renamed)
            card(DirectoryText::Rename, c, {c.comment.isEmpty() ? QStringLiteral("----------") : c.comment, c.holder});
        for (const PlanCard& c : list.expiring)
            card(DirectoryText::Expires, c, {c.holder, c.lastDay.toString(Qt::ISODate)});
    }
    texts << OverflowTexts(plan, languageOffset);
    if (!plan.Changes())
        texts << Text(DirectoryText::NoChange, languageOffset, {plan.name});
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
    return Text(DirectoryText::NotApplied, languageOffset, {terminal});
}

QString ConflictText(const DirectoryConflict& conflict, int languageOffset)
{
    if (conflict.kind == DirectoryConflict::Kind::CommentsDiffer)
        return Text(DirectoryText::CommentsDiffer, languageOffset,
                    {Column(conflict.track), conflict.card, conflict.holder, conflict.terminal, conflict.others.value(0),
                     conflict.others.value(1)});
    return Text(DirectoryText::NotBlockedEverywhere, languageOffset,
                {Column(conflict.track), conflict.card, conflict.holder, conflict.terminal,
                 conflict.others.join(QStringLiteral(", "))});
}
