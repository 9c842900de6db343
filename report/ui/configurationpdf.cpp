#include "report/ui/configurationpdf.h"

#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "config/configfiles.h"
#include "platform/filesync.h"
#include "platform/ui/qtreportprinter.h"
#include "report/modelreportsource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>

#include <memory>

namespace {

// A finished PDF is some megabytes at most, even for the largest configuration.
constexpr qint64 MaxPdfBytes = 512 * 1024 * 1024;

QString NotWritten(const ConfigurationPdfRequest& request, const QString& why)
{
    QString text = QStringLiteral("cannot write %1: %2").arg(PrintableText(request.pdfFile), why);
    if (const QString kept = ExistingFileKeptText(request.pdfFile, request.languageOffset); !kept.isEmpty())
        text += u'\n' + kept;
    return text;
}

// The printer says only that it failed, not why. Whether for lack of room
// (a full disk, a quota, a file size limit) is found by asking the scratch
// file's disk for a little more.
bool NoRoomFor(const QString& scratch)
{
    constexpr qint64 ProbeBytes = 64 * 1024;
    QFile file(scratch);
    if (!file.open(QIODevice::Append | QIODevice::Unbuffered))
        return false;
    if (file.write(QByteArray(ProbeBytes, '\0')) != ProbeBytes)
        return IsOutOfSpaceError(LastSystemError());
    return IsOutOfSpaceError(SyncFileToDisk(file.handle()));
}

} // namespace

QString PrintConfigurationToPdf(const ConfigurationPdfRequest& request)
{
    auto program = std::make_unique<ProgramState>();
    program->LanguageOffset = qint16(request.languageOffset);
    LoadWindowTexts(*program, TextWindow::Editor);
    auto m = std::make_unique<Configuration>();
    const QString configFile = QFileInfo(request.configFile).absoluteFilePath();
    const FileStatus read = ReadConfigurationFile(*m, configFile);
    if (!read)
        return FileStatusText(read, request.languageOffset);
    m->CurrentConfigFile = QDir::toNativeSeparators(configFile);
    if (const FileStatus comments = LoadComments(*m, configFile, false); !comments)
        return CatalogueText(Text::CommentsNotRead, request.languageOffset) + u' ' +
               FileStatusText(comments, request.languageOffset);
    ModelReportSource source(*program, *m);

    // A target that is no regular file is refused before any work.
    if (const FileStatus target = CheckWriteTarget(request.pdfFile); !target)
        return NotWritten(request, FileStatusText(target, request.languageOffset));
    const QFileInfo target(request.pdfFile);
    if (!target.absoluteDir().exists())
        return NotWritten(request, QStringLiteral("the folder does not exist"));
    // The printer writes a scratch file; the PDF is then saved like every
    // other file (beside the target, renamed over it when complete, with the
    // usual permissions).
    QTemporaryFile scratch(target.absoluteDir().filePath(QStringLiteral(".XXXXXX.pdf")));
    if (!scratch.open())
        return NotWritten(request, scratch.errorString());
    scratch.close();
    bool done = false;
    {
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdfPrinter(printer, scratch.fileName());
        QtReportPrinter reportPrinter(printer);
        Report report(reportPrinter, source, request.now);
        done = request.section ? report.PrintCurrentSection(*request.section) : report.PrintAll();
    }
    const FileContent pdf = ReadRegularFile(scratch.fileName(), MaxPdfBytes);
    if (!done || !pdf.status)
        return NotWritten(request, NoRoomFor(scratch.fileName()) ? QStringLiteral("the disk is full")
                                                                 : QStringLiteral("the PDF could not be produced"));
    if (const FileStatus saved = WriteFileAtomically(request.pdfFile, pdf.content); !saved)
        return NotWritten(request, saved.message);
    return {};
}
