#include "texts/filetexts.h"

#include "texts/catalogue.h"

#include <QFileInfo>

namespace {

int FaultTextId(FileFault fault)
{
    switch (fault) {
    case FileFault::None: return 0;
    case FileFault::Missing: return FileText::Missing;
    case FileFault::Folder: return FileText::Folder;
    case FileFault::NotRegular: return FileText::NotRegular;
    case FileFault::LinkToNothing: return FileText::LinkToNothing;
    case FileFault::PermissionDenied: return FileText::PermissionDenied;
    case FileFault::TooLarge: return FileText::TooLarge;
    case FileFault::Unreadable: return FileText::Unreadable;
    case FileFault::Exists: return 0;
    case FileFault::TooFewLines: return FileText::TooFewLines;
    case FileFault::TooManyLines: return FileText::TooManyLines;
    }
    return 0;
}

} // namespace

QString FileStatusText(const FileStatus& status, int languageOffset)
{
    if (status)
        return {};
    const int id = FaultTextId(status.fault);
    if (id == 0)
        return PrintableText(status.message);
    if (status.line > 0)
        return CatalogueText(id, languageOffset).arg(PrintableText(status.path), QString::number(status.line));
    return CatalogueText(id, languageOffset).arg(PrintableText(status.path));
}

QString DamagedCommentsText(const FileStatus& status, int languageOffset, bool kept)
{
    QString text = CatalogueText(FileText::CommentsNotRead, languageOffset) + u' ' + FileStatusText(status, languageOffset);
    if (kept)
        text += QStringLiteral(". ") + CatalogueText(FileText::KeptWhenReplaced, languageOffset);
    return text;
}

QString ExistingFileKeptText(const QString& path, int languageOffset)
{
    // Only a file is kept; a folder or a FIFO in its place is refused as such.
    if (!QFileInfo(path).isFile())
        return {};
    return CatalogueText(FileText::ExistingKept, languageOffset).arg(PrintableText(path));
}
