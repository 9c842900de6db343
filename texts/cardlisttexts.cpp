#include "texts/cardlisttexts.h"

#include "texts/catalogue.h"
#include "config/badlines.h"

namespace {

TextNumber ProblemTextId(CardRowProblem::Kind kind)
{
    using Kind = CardRowProblem::Kind;
    switch (kind) {
    case Kind::BrokenQuotes: return Text::CsvBrokenQuotes;
    case Kind::TooFewColumns: return Text::CsvTooFewColumns;
    case Kind::UnknownList: return Text::CsvUnknownList;
    case Kind::ListNotInUse: return Text::CsvListNotInUse;
    case Kind::BadCharacter: return Text::CsvBadCharacter;
    case Kind::WrongLength: return Text::CsvWrongLength;
    case Kind::OnlyZeros: return Text::CsvOnlyZeros;
    case Kind::TooManyCards: return Text::CsvTooManyCards;
    case Kind::DuplicateCard: return Text::CsvDuplicateCard;
    case Kind::CommentNotStorable: return Text::CsvCommentNotStorable;
    }
    return Text::CsvBrokenQuotes;
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
        captions[list] = CatalogueText(Text::GridHeader1 + (list - 1), languageOffset).section(u'|', 0, 0).trimmed();
    return captions;
}

QString CardListImportMessage(const CardListImport& import, const QString& fileName, int languageOffset)
{
    const auto text = [languageOffset](TextNumber id) { return CatalogueText(id, languageOffset); };
    const QString line = QString::number(import.failureLine);
    switch (import.failure) {
    case CardListImport::Failure::None: return {};
    case CardListImport::Failure::NotText: return text(Text::ImportNotText) + fileName;
    case CardListImport::Failure::MixedCharacterSets: return text(Text::ImportMixedCharacterSets).arg(line, fileName);
    case CardListImport::Failure::UndefinedByte: return text(Text::ImportUndefinedByte).arg(line, fileName);
    case CardListImport::Failure::NoHeader: return text(Text::ImportNoHeader) + fileName;
    case CardListImport::Failure::NoCards: return text(Text::ImportNoCards) + fileName;
    case CardListImport::Failure::BadRows: break;
    }
    QList<LineReason> reasons;
    for (const CardRowProblem& problem : import.problems)
        reasons.append({problem.line, ProblemText(problem, languageOffset)});
    return BadRowsMessage(reasons, fileName, languageOffset);
}

QString BadRowsMessage(const QList<LineReason>& reasons, const QString& fileName, int languageOffset)
{
    const auto text = [languageOffset](TextNumber id) { return CatalogueText(id, languageOffset); };
    const QStringList lines = BadLineTexts(
        reasons, [&](int line, const QString& why) { return text(Text::ImportBadLine).arg(QString::number(line), why); },
        [&](int more) { return text(Text::ImportMoreBadLines).arg(more); });
    return CatalogueText(Text::ImportBadLines, languageOffset, {fileName}) + u'\n' + u'\n' + lines.join(u'\n');
}
