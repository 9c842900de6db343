#include "texts/sitetexts.h"

#include "config/badlines.h"
#include "texts/catalogue.h"
#include "texts/filetexts.h"

namespace {

using Kind = SiteProblem::Kind;

// The text of a problem (a password file that cannot be used is said by the
// file's own status instead).
TextNumber ProblemText(Kind kind)
{
    switch (kind) {
    case Kind::Syntax: return Text::SiteSyntaxError;
    case Kind::UnknownKey: return Text::SiteUnknownKey;
    case Kind::NotText: return Text::SiteValueNotText;
    case Kind::TerminalsNotTables: return Text::SiteTerminalsNotTables;
    case Kind::NoTerminals: return Text::SiteNoTerminals;
    case Kind::MissingName: return Text::SiteMissingKey;
    case Kind::NameNotFolder: return Text::SiteNameNotFolder;
    case Kind::DuplicateName: return Text::SiteDuplicateName;
    case Kind::MissingPort: return Text::SiteMissingKey;
    case Kind::BadPort: return Text::SiteBadPort;
    case Kind::BadSimulation: return Text::SimulationSettingUnusable;
    case Kind::DuplicatePort: return Text::SiteDuplicatePort;
    case Kind::TwoPasswordSources: return Text::SiteTwoPasswordSources;
    case Kind::EmptyPath: return Text::SiteEmptyValue;
    case Kind::BadVariableName: return Text::SiteBadVariableName;
    case Kind::NotConfigurationFile: return Text::SiteNotConfigurationFile;
    case Kind::FolderTaken: return Text::SiteFolderTaken;
    case Kind::BadSiteName: return Text::SiteBadName;
    case Kind::PasswordFileUnusable: break;   // not looked up
    case Kind::PasswordVariableUnset: return Text::SitePasswordVariableUnset;
    case Kind::PasswordMalformed: return Text::SitePasswordMalformed;
    }
    return Text::SiteFileRefused;
}

} // namespace

QString SiteProblemText(const SiteProblem& problem, int languageOffset)
{
    // Values come from the file: shown escaped, and all given in one go, so
    // that a value holding "%2" is not taken for a place holder.
    if (problem.kind == Kind::PasswordFileUnusable)
        return FileStatusText(problem.status, languageOffset);
    const QStringList v = PrintableValues(problem.values, 3);
    const QString text = CatalogueText(ProblemText(problem.kind), languageOffset);
    switch (problem.kind) {
    case Kind::MissingName: return text.arg(QStringLiteral("name"));
    case Kind::MissingPort: return text.arg(QStringLiteral("port"));
    case Kind::NameNotFolder: return text.arg(v[0], QString::number(MaxTerminalNameChars));
    // The simulated terminal's own reason, as the port map's refusal says it.
    case Kind::BadSimulation: return text + u' ' + v[0] + QStringLiteral(": ") + v[1];
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
    const auto text = [languageOffset](TextNumber id) { return CatalogueText(id, languageOffset); };
    QList<LineReason> reasons;
    for (const SiteProblem& problem : problems)
        reasons.append({problem.line, SiteProblemText(problem, languageOffset)});
    const QStringList lines = BadLineTexts(
        reasons,
        [&](int line, const QString& why) { return line > 0 ? text(Text::ImportBadLine).arg(QString::number(line), why) : why; },
        [&](int more) { return text(Text::ImportMoreBadLines).arg(more); });
    return text(Text::SiteFileRefused).arg(PrintableText(fileName)) + u'\n' + lines.join(u'\n');
}

QString SiteFileMessage(const SiteFileRead& read, const QString& fileName, int languageOffset)
{
    if (!read.file)
        return FileStatusText(read.file, languageOffset);
    return SiteProblemsMessage(read.problems, fileName, languageOffset);
}
