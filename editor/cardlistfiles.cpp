#include "editor/cardlistfiles.h"

#include "texts/cardlisttexts.h"
#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "config/cardlists.h"
#include "config/configfiles.h"
#include "editor/changecount.h"
#include "editor/shownpath.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int ExportedTextId = 511;
constexpr int ImportedTextId = 512;

FileDialogRequest CsvRequest(const Vardelomod& m, int titleId)
{
    const QFileInfo config(m.CurrentConfigFile);
    FileDialogRequest request;
    request.proposedName = config.completeBaseName() + QStringLiteral(".csv");
    request.filter = CatalogueText(374, m.LanguageOffset);
    request.title = CatalogueText(titleId, m.LanguageOffset);
    // Beside the configuration the lists belong to.
    request.initialDirectory = config.absolutePath();
    return request;
}

} // namespace

CardListFiles::CardListFiles(Vardelomod& m, Messages& messages, FileDialogs& fileDialogs, QWidget* window,
                             std::function<void(const QString&)> tell)
    : m_(m), messages_(messages), fileDialogs_(fileDialogs), window_(window), tell_(std::move(tell))
{
}

bool CardListFiles::Export()
{
    const std::optional<QString> chosen = fileDialogs_.Save(CsvRequest(m_, 372), window_);
    if (!chosen || chosen->isEmpty())
        return false;
    // A name typed without the extension gets it, so that a spreadsheet opens the file.
    const QString name = chosen->endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ? *chosen
                                                                                     : *chosen + QStringLiteral(".csv");
    if (QFile::exists(name)) {
        const auto answer = messages_.Show(TableText(m_, 266) + name + TableText(m_, 267), TableText(m_, 253),
                                           Messages::Buttons::YesNo, window_);
        if (answer != Messages::Answer::Yes)
            return false;
    }
    const FileStatus status = WriteFileAtomically(name, ExportCardListsCsv(m_, ListCaptions(m_.LanguageOffset)));
    if (!status) {
        messages_.Show(status.diskFull ? TableText(m_, 246)
                                       : CatalogueText(393, m_.LanguageOffset) + FileStatusText(status, m_.LanguageOffset),
                       TableText(m_, 247), Messages::Buttons::Ok, window_);
        return false;
    }
    if (tell_)
        tell_(CatalogueText(ExportedTextId, m_.LanguageOffset)
                  .arg(ShownPath(name), QString::number(ExportedCardCount(m_))));
    return true;
}

bool CardListFiles::Import()
{
    const std::optional<QString> chosen = fileDialogs_.Open(CsvRequest(m_, 373), window_);
    if (!chosen || chosen->isEmpty())
        return false;
    const QString title = CatalogueText(375, m_.LanguageOffset);
    QByteArray content;
    if (const FileStatus status = ReadWholeFile(*chosen, content); !status) {
        messages_.Show(CatalogueText(392, m_.LanguageOffset) + FileStatusText(status, m_.LanguageOffset), title,
                       Messages::Buttons::Ok, window_);
        return false;
    }
    const CardListImport import = ReadCardListsCsv(content, m_);
    if (!import) {
        messages_.Show(CardListImportMessage(import, PrintableText(*chosen), m_.LanguageOffset), title,
                       Messages::Buttons::Ok, window_);
        return false;
    }
    ApplyCardListImport(m_, import);
    RaiseChangeCount(m_);
    if (tell_)
        tell_(CatalogueText(ImportedTextId, m_.LanguageOffset)
                  .arg(ShownPath(*chosen), QString::number(import.CardCount())));
    return true;
}
