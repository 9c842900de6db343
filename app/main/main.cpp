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

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Names the user's configuration folder (settings, port map, picture).
    QApplication::setApplicationName(QStringLiteral("vardelo"));

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
