// vardelo-cli print FILE.QLV --section SECTION --pdf OUT.pdf [--lang LANG]:
// the report the editor would print for FILE.QLV just opened.
#include "cli/commands.h"
#include "report/ui/configurationpdf.h"

#include <QGuiApplication>

int RunPrintCommand(CommandCall& call)
{
    ConfigurationPdfRequest request;
    request.configFile = call.Argument(0);
    request.pdfFile = call.Value(QStringLiteral("pdf"));
    request.languageOffset = call.LanguageOffset();
    static const QStringList sections{"basic", "privileges", "blocklists", "display"};
    const qsizetype section = sections.indexOf(call.Value(QStringLiteral("section")));
    if (section >= 0)
        request.section = ReportSection(section);   // otherwise all four
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return call.Failure(QStringLiteral("print needs the program's graphics library for its fonts"));
    if (const QString failure = PrintConfigurationToPdf(request); !failure.isEmpty())
        return call.Failure(failure);
    call.out << PrintedName(request.pdfFile) << '\n';
    return ExitOk;
}
