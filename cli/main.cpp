// vardelo-cli: the command-line companion of the configuration program.
#include "cli/commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

namespace {

struct Command {
    const char* name;
    const char* usage;
    CommandFunction run;
    bool needsGui;   // a QGuiApplication (fonts, painting) instead of a QCoreApplication
};

// One line per subcommand.
constexpr Command Commands[] = {
    {"show", "show FILE.QLV      print the configuration and its comments as JSON", RunShow, false},
    {"print", "print FILE.QLV --section basic|privileges|blocklists|display|all --pdf OUT.pdf [--lang de|en|fr|es]",
     RunPrintCommand, true},
    {"read", "read --port PORT [--password-file FILE] [--out FILE.QLV] [--lang de|en|fr|es]   read the terminal", RunRead, false},
    {"write", "write --port PORT [--password-file FILE] FILE.QLV [--lang ...]   read, then write FILE and verify", RunWrite, false},
    {"reset", "reset --port PORT                  reset the terminal (PORT: com1..com8, a device, sim[:FILE.QLV][,OPTION...])",
     RunReset, false},
};

int Usage(QTextStream& err)
{
    err << "usage: vardelo-cli COMMAND [ARGUMENTS]\n";
    for (const Command& command : Commands)
        err << "  vardelo-cli " << command.usage << '\n';
    return 2;
}

} // namespace

QString JsonString(const QString& text)
{
    QString out(u'"');
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

int main(int argc, char** argv)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString name = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    for (const Command& command : Commands) {
        if (name != QLatin1String(command.name))
            continue;
        std::unique_ptr<QCoreApplication> app;
        if (command.needsGui) {
            // The command-line companion never shows a window.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            app = std::make_unique<QGuiApplication>(argc, argv);
        }
        else
            app = std::make_unique<QCoreApplication>(argc, argv);
        const int status = command.run(QCoreApplication::arguments().mid(2), out, err);
        out.flush();
        err.flush();
        return status;
    }
    return Usage(err);
}
