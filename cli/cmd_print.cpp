// vardelo-cli print FILE.QLV --section basic|privileges|blocklists|display|all
//                   --pdf OUT.pdf [--lang de|en|fr|es]
// Writes the report the editor would print for FILE.QLV just opened.
#include "cli/commands.h"
#include "platform/fileaccess.h"
#include "report/ui/configurationpdf.h"

#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

namespace {
const char* const PrintUsage =
    "usage: vardelo-cli print FILE.QLV --section basic|privileges|blocklists|display|all --pdf OUT.pdf "
    "[--lang de|en|fr|es]\n";

std::optional<int> LanguageOffsetOf(const QString& name)
{
    const QStringList names{"de", "en", "fr", "es"};
    const qsizetype index = names.indexOf(name.toLower());
    return index < 0 ? std::nullopt : std::optional<int>(int(index) * 1000);
}
}

// arguments: everything after "print".
int RunPrintCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ConfigurationPdfRequest request;
    QString sectionName;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == u"--section" && hasValue) {
            sectionName = arguments[++i];
        } else if (argument == u"--pdf" && hasValue) {
            request.pdfFile = arguments[++i];
        } else if (argument == u"--lang" && hasValue) {
            const auto offset = LanguageOffsetOf(arguments[++i]);
            if (!offset) {
                err << "unknown language " << PrintableText(arguments[i]) << " (de, en, fr or es)\n" << PrintUsage;
                return 2;
            }
            request.languageOffset = *offset;
        } else if (!argument.startsWith(u"--") && request.configFile.isEmpty()) {
            request.configFile = argument;
        } else {
            err << "unexpected argument " << PrintableText(argument) << "\n" << PrintUsage;
            return 2;
        }
    }
    static const QStringList sections{"basic", "privileges", "blocklists", "display", "all"};
    const qsizetype section = sections.indexOf(sectionName);
    if (request.configFile.isEmpty() || request.pdfFile.isEmpty() || section < 0) {
        err << PrintUsage;
        return 2;
    }
    if (section < 4)
        request.section = ReportSection(section);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        err << "print needs the program's graphics library for its fonts\n";
        return 1;
    }
    const QString failure = PrintConfigurationToPdf(request);
    if (!failure.isEmpty()) {
        err << failure << "\n";
        return 1;
    }
    out << request.pdfFile << "\n";
    return 0;
}
