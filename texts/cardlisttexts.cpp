#include "texts/cardlisttexts.h"

#include "texts/catalogue.h"
#include "config/badlines.h"

namespace {

int ProblemTextId(CardRowProblem::Kind kind)
{
    using Kind = CardRowProblem::Kind;
    switch (kind) {
    case Kind::BrokenQuotes: return 379;
    case Kind::TooFewColumns: return 380;
    case Kind::UnknownList: return 381;
    case Kind::ListNotInUse: return 382;
    case Kind::BadCharacter: return 383;
    case Kind::WrongLength: return 384;
    case Kind::OnlyZeros: return 385;
    case Kind::TooManyCards: return 386;
    case Kind::DuplicateCard: return 387;
    case Kind::CommentNotStorable: return 388;
    }
    return 379;
}

QString ProblemText(const CardRowProblem& problem, int languageOffset)
{
    // Values are cells of the file: an escape sequence in one must not reach the operator's terminal.
    return CatalogueText(ProblemTextId(problem.kind), languageOffset, PrintableValues(problem.values, 0));
}

} // namespace

std::array<QString, 5> ListCaptions(int languageOffset)
{
    std::array<QString, 5> captions;
    for (int list = 1; list <= 4; ++list)
        captions[list] = CatalogueText(257 + list, languageOffset).section(u'|', 0, 0).trimmed();
    return captions;
}

QString CardListImportMessage(const CardListImport& import, const QString& fileName, int languageOffset)
{
    const auto text = [languageOffset](int id) { return CatalogueText(id, languageOffset); };
    switch (import.failure) {
    case CardListImport::Failure::None: return {};
    case CardListImport::Failure::NotText: return text(389) + fileName;
    case CardListImport::Failure::MixedCharacterSets: return text(519).arg(QString::number(import.failureLine), fileName);
    case CardListImport::Failure::UndefinedByte: return text(520).arg(QString::number(import.failureLine), fileName);
    case CardListImport::Failure::NoHeader: return text(390) + fileName;
    case CardListImport::Failure::NoCards: return text(391) + fileName;
    case CardListImport::Failure::BadRows: break;
    }
    QList<LineReason> reasons;
    for (const CardRowProblem& problem : import.problems)
        reasons.append({problem.line, ProblemText(problem, languageOffset)});
    return BadRowsMessage(reasons, fileName, languageOffset);
}

QString BadRowsMessage(const QList<LineReason>& reasons, const QString& fileName, int languageOffset)
{
    const auto text = [languageOffset](int id) { return CatalogueText(id, languageOffset); };
    const QStringList lines = BadLineTexts(
        reasons, [&](int line, const QString& why) { return text(377).arg(QString::number(line), why); },
        [&](int more) { return text(378).arg(more); });
    return CatalogueText(376, languageOffset, {fileName}) + u'\n' + u'\n' + lines.join(u'\n');
}
