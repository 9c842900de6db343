#include "report/ui/configurationpdf.h"

#include "app/catalogue.h"
#include "config/configfiles.h"
#include "platform/ui/qtreportprinter.h"
#include "report/modelreportsource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>

#include <memory>

QString PrintConfigurationToPdf(const ConfigurationPdfRequest& request)
{
    auto m = std::make_unique<Vardelomod>();
    m->LanguageOffset = qint16(request.languageOffset);
    LoadWindowTexts(*m, TextWindow::Editor);
    const QString configFile = QFileInfo(request.configFile).absoluteFilePath();
    const FileStatus read = ReadConfigurationFile(*m, configFile);
    if (!read)
        return read.message;
    m->CurrentConfigFile = QDir::toNativeSeparators(configFile);
    LoadComments(*m, configFile, false);
    ModelReportSource source(*m);

    const QFileInfo target(request.pdfFile);
    if (!target.absoluteDir().exists())
        return QStringLiteral("cannot write %1: the folder does not exist").arg(request.pdfFile);
    QTemporaryFile temporary(target.absoluteDir().filePath(target.fileName() + QStringLiteral(".XXXXXX")));
    if (!temporary.open())
        return QStringLiteral("cannot write %1: %2").arg(request.pdfFile, temporary.errorString());
    temporary.close();

    bool done = false;
    {
        QPrinter printer(QPrinter::HighResolution);
        SetUpPdfPrinter(printer, temporary.fileName());
        QtReportPrinter reportPrinter(printer);
        Report report(reportPrinter, source, request.now);
        done = request.section ? report.PrintCurrentSection(*request.section) : report.PrintAll();
    }
    if (!done)
        return QStringLiteral("cannot write %1: the PDF could not be produced").arg(request.pdfFile);
    QFile::remove(target.absoluteFilePath());
    if (!temporary.rename(target.absoluteFilePath()))
        return QStringLiteral("cannot write %1: %2").arg(request.pdfFile, temporary.errorString());
    temporary.setAutoRemove(false);
    return {};
}
