#include "texts/sitetexts.h"

#include "config/badlines.h"
#include "texts/catalogue.h"
#include "texts/filetexts.h"

namespace {

using Kind = SiteProblem::Kind;

constexpr int LineText = 377;        // "line %1: %2"
constexpr int MoreLinesText = 378;   // "... and %1 more lines"
constexpr int SimulationSetting = 521;

int ProblemTextId(Kind kind)
{
    switch (kind) {
    case Kind::Syntax: return 441;
    case Kind::UnknownKey: return 442;
    case Kind::NotText: return 443;
    case Kind::TerminalsNotTables: return 444;
    case Kind::NoTerminals: return 445;
    case Kind::MissingName: return SiteText::MissingKey;
    case Kind::NameNotFolder: return 447;
    case Kind::DuplicateName: return 448;
    case Kind::MissingPort: return SiteText::MissingKey;
    case Kind::BadPort: return 449;
    case Kind::BadSimulation: return SimulationSetting;
    case Kind::DuplicatePort: return 450;
    case Kind::TwoPasswordSources: return 451;
    case Kind::EmptyPath: return 452;
    case Kind::BadVariableName: return 453;
    case Kind::NotConfigurationFile: return 454;
    case Kind::FolderTaken: return 455;
    case Kind::BadSiteName: return 456;
    case Kind::PasswordFileUnusable: return 0;
    case Kind::PasswordVariableUnset: return 457;
    case Kind::PasswordMalformed: return 458;
    }
    return 0;
}

} // namespace

QString SiteProblemText(const SiteProblem& problem, int languageOffset)
{
    // Values come from the file: shown escaped, and all given in one go, so
    // that a value holding "%2" is not taken for a place holder.
    const QStringList v = PrintableValues(problem.values, 3);
    const QString text = CatalogueText(TextNumber(ProblemTextId(problem.kind)), languageOffset);
    switch (problem.kind) {
    case Kind::MissingName: return text.arg(QStringLiteral("name"));
    case Kind::MissingPort: return text.arg(QStringLiteral("port"));
    case Kind::NameNotFolder: return text.arg(v[0], QString::number(MaxTerminalNameChars));
    // The simulated terminal's own reason, as the port map's refusal says it.
    case Kind::BadSimulation: return text + u' ' + v[0] + QStringLiteral(": ") + v[1];
    case Kind::PasswordFileUnusable: return FileStatusText(problem.status, languageOffset);
    case Kind::TerminalsNotTables:
    case Kind::NoTerminals:
    case Kind::TwoPasswordSources: return text;
    default: break;
    }
    // As many values as the text has places: QString::arg leaves a text
    // alone when given more.
    if (text.contains(QLatin1String("%3")))
        return text.arg(v[0], v[1], v[2]);
    if (text.contains(QLatin1String("%2")))
        return text.arg(v[0], v[1]);
    return text.arg(v[0]);
}

QString SiteProblemsMessage(const QList<SiteProblem>& problems, const QString& fileName, int languageOffset)
{
    if (problems.isEmpty())
        return {};
    const auto text = [languageOffset](int id) { return CatalogueText(TextNumber(id), languageOffset); };
    QList<LineReason> reasons;
    for (const SiteProblem& problem : problems)
        reasons.append({problem.line, SiteProblemText(problem, languageOffset)});
    const QStringList lines = BadLineTexts(
        reasons,
        [&](int line, const QString& why) { return line > 0 ? text(LineText).arg(QString::number(line), why) : why; },
        [&](int more) { return text(MoreLinesText).arg(more); });
    return text(SiteText::Refused).arg(PrintableText(fileName)) + u'\n' + lines.join(u'\n');
}

QString SiteFileMessage(const SiteFileRead& read, const QString& fileName, int languageOffset)
{
    if (!read.file)
        return FileStatusText(read.file, languageOffset);
    return SiteProblemsMessage(read.problems, fileName, languageOffset);
}
