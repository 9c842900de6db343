#include "cli/passwordsource.h"

#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "config/configimage.h"
#include "platform/console.h"
#include "platform/fileaccess.h"

#include <QFileInfo>


// Like ssh with a key file: a password that other users may read is no
// secret, but refusing it would stop a script that ran yesterday, so it is
// used and the operator warned.
void WarnWhenOthersMayRead(const QString& path, int languageOffset, QTextStream& err)
{
#ifndef Q_OS_WIN   // no owner, group and others there
    const QFileDevice::Permissions p = QFileInfo(path).permissions();
    if (!(p & (QFileDevice::ReadGroup | QFileDevice::ReadOther)))
        return;
    const auto digit = [&](QFileDevice::Permission r, QFileDevice::Permission w, QFileDevice::Permission x) {
        return QString::number((p & r ? 4 : 0) + (p & w ? 2 : 0) + (p & x ? 1 : 0));
    };
    const QString mode = u'0' + digit(QFileDevice::ReadOwner, QFileDevice::WriteOwner, QFileDevice::ExeOwner)
        + digit(QFileDevice::ReadGroup, QFileDevice::WriteGroup, QFileDevice::ExeGroup)
        + digit(QFileDevice::ReadOther, QFileDevice::WriteOther, QFileDevice::ExeOther);
    err << "vardelo-cli: " << CatalogueText(Text::PasswordFileReadable, languageOffset).arg(PrintableText(path), mode)
        << '\n';
#else
    Q_UNUSED(path);
    Q_UNUSED(languageOffset);
    Q_UNUSED(err);
#endif
}

namespace {

std::optional<QString> FirstLineOf(const QString& path, int languageOffset, QTextStream& err)
{
    const PasswordFileLine file = ReadPasswordFile(path);
    if (!file.status) {
        err << "vardelo-cli: --password-file: " << FileStatusText(file.status, languageOffset) << '\n';
        return std::nullopt;
    }
    WarnWhenOthersMayRead(path, languageOffset, err);
    return file.line;
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
    if (auto password = PasswordFromEnvironmentOrPrompt(languageOffset, err))
        return password;
    err << "vardelo-cli: the terminal password is needed: --password-file FILE, the environment variable "
        << PasswordVariable << ", or typed at the prompt\n";
    return std::nullopt;
}

std::optional<QString> PasswordFromEnvironmentOrPrompt(int languageOffset, QTextStream& err)
{
    if (qEnvironmentVariableIsSet(PasswordVariable))
        return qEnvironmentVariable(PasswordVariable);
    if (StandardInputIsTerminal()) {
        err << CatalogueText(Text::PasswordPrompt, languageOffset);
        err.flush();
        if (auto typed = ReadLineWithoutEcho())
            return typed;
    }
    return std::nullopt;
}
