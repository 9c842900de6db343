#include "texts/filetexts.h"

#include "texts/catalogue.h"

#include <QFileInfo>
#include <optional>

namespace {

std::optional<TextNumber> FaultTextId(FileFault fault)
{
    switch (fault) {
    case FileFault::None: return {};
    case FileFault::Missing: return Text::FileMissing;
    case FileFault::Folder: return Text::FileIsFolder;
    case FileFault::NotRegular: return Text::FileNotRegular;
    case FileFault::LinkToNothing: return Text::FileLinkToNothing;
    case FileFault::PermissionDenied: return Text::FilePermissionDenied;
    case FileFault::TooLarge: return Text::FileTooLarge;
    case FileFault::Unreadable: return Text::FileUnreadable;
    case FileFault::Exists: return {};
    case FileFault::TooFewLines: return Text::CommentsTooFewLines;
    case FileFault::TooManyLines: return Text::CommentsTooManyLines;
    }
    return {};
}

} // namespace

QString FileStatusText(const FileStatus& status, int languageOffset)
{
    if (status)
        return {};
    const std::optional<TextNumber> id = FaultTextId(status.fault);
    if (!id)
        return PrintableText(status.message);
    if (status.line > 0)
        return CatalogueText(*id, languageOffset).arg(PrintableText(status.path), QString::number(status.line));
    return CatalogueText(*id, languageOffset).arg(PrintableText(status.path));
}

QString DamagedCommentsText(const FileStatus& status, int languageOffset, bool kept)
{
    QString text = CatalogueText(Text::CommentsNotRead, languageOffset) + u' ' + FileStatusText(status, languageOffset);
    if (kept)
        text += QStringLiteral(". ") + CatalogueText(Text::CommentsKeptInHistory, languageOffset);
    return text;
}

QString ExistingFileKeptText(const QString& path, int languageOffset)
{
    // Only a file is kept; a folder or a FIFO in its place is refused as such.
    if (!QFileInfo(path).isFile())
        return {};
    return CatalogueText(Text::ExistingFileKept, languageOffset).arg(PrintableText(path));
}
