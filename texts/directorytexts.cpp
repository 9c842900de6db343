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
QString Filled(int id, int languageOffset, const QStringList& values)
{
    return CatalogueText(TextNumber(id), languageOffset, PrintableValues(values, 0));
}

} // namespace

QString DirectoryProblemText(const DirectoryProblem& problem, int languageOffset)
{
    return Filled(ProblemTextId(problem.kind), languageOffset, problem.values);
}

QString DirectoryMessage(const Directory& directory, const QString& fileName, int languageOffset)
{
    const QString file = PrintableText(fileName);
    const QString line = QString::number(directory.failureLine);
    switch (directory.failure) {
    case Directory::Failure::None: return {};
    case Directory::Failure::Unreadable: return FileStatusText(directory.file, languageOffset);
    case Directory::Failure::NotText: return CatalogueText(TextNumber(DirectoryText::NotText), languageOffset, {file});
    case Directory::Failure::MixedCharacterSets:
        return CatalogueText(TextNumber(DirectoryText::MixedCharacterSets), languageOffset, {file, line});
    case Directory::Failure::UndefinedByte: return CatalogueText(TextNumber(DirectoryText::UndefinedByte), languageOffset, {file, line});
    case Directory::Failure::NoHeader:
        return CatalogueText(TextNumber(DirectoryText::NoHeader), languageOffset, {file, directory.missingColumns.join(QStringLiteral(", "))});
    case Directory::Failure::NoCards: return CatalogueText(TextNumber(DirectoryText::NoCards), languageOffset, {file});
    case Directory::Failure::BadRows: break;
    }
    QList<LineReason> reasons;
    for (const DirectoryProblem& problem : directory.problems)
        reasons.append({problem.line, DirectoryProblemText(problem, languageOffset)});
    return BadRowsMessage(reasons, file, languageOffset);
}

QString NameCutText(const NameCut& cut, int languageOffset)
{
    return Filled(DirectoryText::NameCut, languageOffset,
                {QString::number(cut.line), cut.holder, cut.comment, QString::number(MaxCommentChars)});
}

QString RefusalText(const QString& terminal, const PlanRefusal& refusal, int languageOffset)
{
    const QString line = QString::number(refusal.line);
    if (refusal.kind == PlanRefusal::Kind::TracksNotRead)
        return Filled(DirectoryText::TracksNotRead, languageOffset, {terminal, line, refusal.holder});
    return Filled(DirectoryText::WrongLength, languageOffset,
                {terminal, line, Column(refusal.track), refusal.card, refusal.holder,
                 QString::number(refusal.card.size()), QString::number(refusal.digits)});
}

QStringList OverflowTexts(const TerminalPlan& plan, int languageOffset)
{
    QStringList texts;
    const std::array<QString, 5> captions = ListCaptions(languageOffset);
    for (const ListPlan& list : plan.lists)
        if (list.Overflow() > 0)
            texts << Filled(DirectoryText::Overflow, languageOffset,
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
            texts << Filled(id, languageOffset, QStringList{plan.name, caption, c.card} + more);
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
        texts << Filled(DirectoryText::NoChange, languageOffset, {plan.name});
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
    return Filled(DirectoryText::NotApplied, languageOffset, {terminal});
}

QString ConflictText(const DirectoryConflict& conflict, int languageOffset)
{
    if (conflict.kind == DirectoryConflict::Kind::CommentsDiffer)
        return Filled(DirectoryText::CommentsDiffer, languageOffset,
                    {Column(conflict.track), conflict.card, conflict.holder, conflict.terminal, conflict.others.value(0),
                     conflict.others.value(1)});
    return Filled(DirectoryText::NotBlockedEverywhere, languageOffset,
                {Column(conflict.track), conflict.card, conflict.holder, conflict.terminal,
                 conflict.others.join(QStringLiteral(", "))});
}
