// vardelo: the configuration program of the VARDELO card terminal.
#include "comm/mappedlink.h"
#include "app/ui/mainwindow.h"
#include "config/configfiles.h"
#include "platform/timers.h"
#include "platform/ui/qtfiledialogs.h"
#include "platform/ui/qtmessages.h"
#include "platform/ui/toolkittexts.h"
#include "platform/ui/windowmanners.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

namespace {

// The manual page vardelo(1) is made from this text (help2man), so it
// follows the GNU layout: Usage, description, Options, Files, Environment.
const char* const HelpText =
    "Usage: vardelo [OPTION]\n"
    "\n"
    "The configuration program of the VARDELO door-access card terminal: reads\n"
    "the terminal's configuration over a serial line (com1 to com8), edits,\n"
    "saves and prints it, and writes it back, in German, English, French or\n"
    "Spanish, chosen in the language window at each start. Configuration files\n"
    "(NAME.QLV with the comments file NAME.BGT beside it) are read and written\n"
    "in the current folder or where the file dialogs say.\n"
    "\n"
    "A serial port may be opened only by the members of the group that owns its\n"
    "device, on Debian the group dialout: sudo usermod -aG dialout USER, then log\n"
    "in again.\n"
    "\n"
    "Options:\n"
    "  -h, --help    show this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "Other arguments are those of the Qt toolkit (such as -platform xcb).\n"
    "\n"
    "Files:\n"
    "  ~/.config/vardelo/VARDELO.ini    the settings: port and language\n"
    "  ~/.config/vardelo/ports.map      the port map: the device or simulated terminal\n"
    "                                   com1 to com8 stand for (vardelo-cli ports\n"
    "                                   prints the line for each adapter)\n"
    "  ~/.config/vardelo/transfers.log  the log of reads and writes (vardelo-cli log)\n"
    "  ~/.config/vardelo/hauptbild.bmp  a background picture for the main window, if\n"
    "                                   present\n"
    "  ~/.config/vardelo/maker.txt      its first line is the web address the help\n"
    "                                   items show, if present\n"
    "  ~/.local/share/vardelo/reads     reads that could not be stored beside their\n"
    "                                   target\n"
    "\n"
    "Environment:\n"
    "  XDG_CONFIG_HOME  the folder that holds vardelo/ in place of ~/.config\n"
    "  XDG_DATA_HOME    the folder that holds vardelo/reads in place of ~/.local/share\n";

// --help and --version are answered before the application object exists,
// so that they need no display.
bool AnsweredOnTheCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(HelpText, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("vardelo %s\n", VARDELO_VERSION);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (AnsweredOnTheCommandLine(argc, argv))
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    QApplication app(argc, argv);
    // Names the user's configuration folder (settings, port map, picture).
    QApplication::setApplicationName(QStringLiteral("vardelo"));
    // The desktop entry and the icon an installed program has; the window
    // system matches the windows to the entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.vardelo.Vardelo"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vardelo")));

    ProgramState program;
    program.Ports = PortMap::Load();
    Configuration m;
    QtMessages messages;
    QtFileDialogs files;
    QtTimers timers;
    MappedSerialLink link(timers, program.Ports);
    WindowManners::Install();
    ToolkitTexts toolkitTexts;
    MainWindow window(program, m, {messages, files, timers, link, DefaultSettingsPath()});
    window.LanguageLoaded = [&toolkitTexts](int offset) { toolkitTexts.Follow(offset); };
    window.StartUp();
    window.show();
    return app.exec();
}
