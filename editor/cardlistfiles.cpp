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

FileDialogRequest CsvRequest(const ProgramState& program, const Configuration& m, TextNumber titleId)
{
    const QFileInfo config(m.CurrentConfigFile);
    FileDialogRequest request;
    request.proposedName = config.completeBaseName() + QStringLiteral(".csv");
    request.filter = CatalogueText(Text::CsvFilter, program.LanguageOffset);
    request.title = CatalogueText(titleId, program.LanguageOffset);
    // Beside the configuration the lists belong to.
    request.initialDirectory = config.absolutePath();
    return request;
}

} // namespace

CardListFiles::CardListFiles(const ProgramState& program, Configuration& m, Messages& messages,
                             FileDialogs& fileDialogs, QWidget* window, std::function<void(const QString&)> tell)
    : program_(program), m_(m), messages_(messages), fileDialogs_(fileDialogs), window_(window), tell_(std::move(tell))
{
}

bool CardListFiles::Export()
{
    const std::optional<QString> chosen = fileDialogs_.Save(CsvRequest(program_, m_, Text::ExportTitle), window_);
    if (!chosen || chosen->isEmpty())
        return false;
    // A name typed without the extension gets it, so that a spreadsheet opens the file.
    const QString name = chosen->endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ? *chosen
                                                                                     : *chosen + QStringLiteral(".csv");
    if (QFile::exists(name)) {
        const QString question =
            TableText(program_, Text::OverwriteQuestionStart) + name + TableText(program_, Text::OverwriteQuestionEnd);
        const auto answer = messages_.Show(question, TableText(program_, Text::EditorCautionTitle),
                                           Messages::Buttons::YesNo, window_);
        if (answer != Messages::Answer::Yes)
            return false;
    }
    const FileStatus status = WriteFileAtomically(name, ExportCardListsCsv(m_, ListCaptions(program_.LanguageOffset)));
    if (!status) {
        const int language = program_.LanguageOffset;
        messages_.Show(status.diskFull ? TableText(program_, Text::DiskFull)
                                       : CatalogueText(Text::ExportFailed, language) + FileStatusText(status, language),
                       TableText(program_, Text::SaveFailedTitle), Messages::Buttons::Ok, window_);
        return false;
    }
    if (tell_)
        tell_(CatalogueText(Text::Exported, program_.LanguageOffset)
                  .arg(ShownPath(name), QString::number(ExportedCardCount(m_))));
    return true;
}

bool CardListFiles::Import()
{
    const std::optional<QString> chosen = fileDialogs_.Open(CsvRequest(program_, m_, Text::ImportTitle), window_);
    if (!chosen || chosen->isEmpty())
        return false;
    const QString title = CatalogueText(Text::NotImportedTitle, program_.LanguageOffset);
    QByteArray content;
    if (const FileStatus status = ReadWholeFile(*chosen, content); !status) {
        const int language = program_.LanguageOffset;
        messages_.Show(CatalogueText(Text::ImportUnreadable, language) + FileStatusText(status, language), title,
                       Messages::Buttons::Ok, window_);
        return false;
    }
    const CardListImport import = ReadCardListsCsv(content, m_);
    if (!import) {
        messages_.Show(CardListImportMessage(import, PrintableText(*chosen), program_.LanguageOffset), title,
                       Messages::Buttons::Ok, window_);
        return false;
    }
    ApplyCardListImport(m_, import);
    RaiseChangeCount(m_);
    if (tell_)
        tell_(CatalogueText(Text::Imported, program_.LanguageOffset)
                  .arg(ShownPath(*chosen), QString::number(import.CardCount())));
    return true;
}
