#include "cli/passwordsource.h"

#include "app/catalogue.h"
#include "app/filetexts.h"
#include "platform/console.h"
#include "platform/fileaccess.h"

namespace {

std::optional<QString> FirstLineOf(const QString& path, int languageOffset, QTextStream& err)
{
    // A password file holds one short line.
    constexpr qint64 PasswordFileBytes = 4096;
    const FileContent file = ReadRegularFile(path, PasswordFileBytes);
    if (!file.status) {
        err << "vardelo-cli: --password-file: " << FileStatusText(file.status, languageOffset) << '\n';
        return std::nullopt;
    }
    QByteArray line = file.content.left(file.content.indexOf('\n'));
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

} // namespace

std::optional<QString> ResolvePassword(const PasswordSources& sources, int languageOffset, QTextStream& err)
{
    if (!sources.given.isEmpty() && !sources.file.isEmpty()) {
        err << "vardelo-cli: give either --password or --password-file, not both\n";
        return std::nullopt;
    }
    if (!sources.given.isEmpty())
        return sources.given;
    if (!sources.file.isEmpty())
        return FirstLineOf(sources.file, languageOffset, err);
    if (qEnvironmentVariableIsSet(PasswordVariable))
        return qEnvironmentVariable(PasswordVariable);
    if (StandardInputIsTerminal()) {
        err << CatalogueText(FileText::PasswordPrompt, languageOffset);
        err.flush();
        if (auto typed = ReadLineWithoutEcho())
            return typed;
    }
    err << "vardelo-cli: the terminal password is needed: --password-file FILE, the environment variable "
        << PasswordVariable << ", or typed at the prompt\n";
    return std::nullopt;
}
