#include "texts/cardlisttexts.h"

#include "texts/catalogue.h"
#include "platform/fileaccess.h"

#include <QMap>

namespace {

constexpr int ShownBadLines = 20;

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
    // All values in one go: a value that holds "%2" is not taken for a place holder.
    const QString text = CatalogueText(ProblemTextId(problem.kind), languageOffset);
    // Values are cells of the file: an escape sequence in one must not reach the operator's terminal.
    QStringList v;
    for (const QString& value : problem.values)
        v << PrintableText(value);
    switch (v.size()) {
    case 0: return text;
    case 1: return text.arg(v[0]);
    case 2: return text.arg(v[0], v[1]);
    default: return text.arg(v[0], v[1], v[2]);
    }
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
    QMap<int, QStringList> reasons;   // by line, in line order
    for (const CardRowProblem& problem : import.problems)
        reasons[problem.line].append(ProblemText(problem, languageOffset));
    QString message = text(Text::ImportBadLines).arg(fileName) + u'\n';
    int shown = 0;
    for (auto it = reasons.cbegin(); it != reasons.cend() && shown < ShownBadLines; ++it, ++shown)
        message += u'\n'
            + text(Text::ImportBadLine).arg(QString::number(it.key()), it.value().join(QStringLiteral("; ")));
    if (reasons.size() > ShownBadLines)
        message += u'\n' + text(Text::ImportMoreBadLines).arg(reasons.size() - ShownBadLines);
    return message;
}
