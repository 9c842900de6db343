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
