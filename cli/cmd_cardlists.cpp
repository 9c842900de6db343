// vardelo-cli export FILE.QLV --csv OUT.csv [--lang LANG]
// vardelo-cli import FILE.QLV --csv IN.csv --out NEW.QLV [--lang LANG]
// The card lists of a configuration as CSV, by the editor's own rules: an
// import takes every row or none, and never changes FILE.QLV.
#include "cli/commands.h"

#include "texts/cardlisttexts.h"
#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "config/cardlists.h"
#include "config/configfiles.h"
#include "config/configimage.h"

#include <QFileInfo>

namespace {

// The configuration as the editor opens it, its comments included. Comments
// that cannot be used are named: an export goes on without them, an import
// stops, since the lists it does not replace would lose theirs.
enum class Comments { MayLack, Needed };
bool OpenConfiguration(CommandCall& call, Configuration& m, Comments comments)
{
    const QString path = call.Argument(0);
    const int language = call.LanguageOffset();
    if (const FileStatus status = ReadConfigurationFile(m, path); !status) {
        call.Failure(FileStatusText(status, language));
        return false;
    }
    if (const FileStatus read = LoadComments(m, path, false); !read) {
        const QString message = CatalogueText(Text::CommentsNotRead, language) + u' ' + FileStatusText(read, language);
        if (comments == Comments::Needed) {
            call.Failure(message);
            return false;
        }
        call.Warning(message);
    }
    DecodeLists(m);
    return true;
}

bool SameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a), second(b);
    return first.absoluteFilePath() == second.absoluteFilePath()
        || (first.exists() && second.exists() && first.canonicalFilePath() == second.canonicalFilePath());
}

} // namespace

int RunExport(CommandCall& call)
{
    Configuration m;
    if (!OpenConfiguration(call, m, Comments::MayLack))
        return ExitFailed;
    const QByteArray content = ExportCardListsCsv(m, ListCaptions(call.LanguageOffset()));
    // Without --csv the CSV itself is the result: the same bytes on stdout.
    if (!call.IsSet(QStringLiteral("csv"))) {
        WriteRawBytes(call.out, content);
        return ExitOk;
    }
    const QString csv = call.Value(QStringLiteral("csv"));
    if (const FileStatus status = WriteFileAtomically(csv, content); !status)
        return call.Failure(FileStatusText(status, call.LanguageOffset()));
    call.out << PrintedName(csv) << '\n';
    return ExitOk;
}

int RunImport(CommandCall& call)
{
    const QString source = call.Argument(0);
    const QString csv = call.Value(QStringLiteral("csv"));
    // Named like every configuration, so that it loads and its comments file follows its name.
    QString target = call.Value(QStringLiteral("out"));
    if (!IsConfigFileName(target))
        target += QStringLiteral(".QLV");
    if (SameFile(target, source) || SameFile(CommentFileNameFor(target), CommentFileNameFor(source)))
        return call.UsageError(QStringLiteral("--out must name another configuration than ") + PrintableText(source)
                               + QStringLiteral(", which import never changes"));
    Configuration m;
    if (!OpenConfiguration(call, m, Comments::Needed))
        return ExitFailed;
    QByteArray content;
    if (const FileStatus status = ReadWholeFile(csv, content); !status)
        return call.Failure(FileStatusText(status, call.LanguageOffset()));
    const CardListImport import = ReadCardListsCsv(content, m);
    if (!import)
        return call.Failure(CardListImportMessage(import, PrintableText(csv), call.LanguageOffset()));
    ApplyCardListImport(m, import);
    if (const PairCommit saved = SaveConfigurationPair(m, target); !saved)
        return call.Failure(FileStatusText(saved.status, call.LanguageOffset()));
    call.out << PrintedName(target) << '\n';
    return ExitOk;
}
