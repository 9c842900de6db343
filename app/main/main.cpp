// vardelo: the configuration program of the VARDELO card terminal.
#include "comm/mappedlink.h"
#include "comm/ui/mainwindow.h"
#include "config/configfiles.h"
#include "platform/timers.h"
#include "platform/ui/qtfiledialogs.h"
#include "platform/ui/qtmessages.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The toolkit's own texts (Yes/No of the message boxes, the file dialogs) in
// the program's language, when the system has the toolkit's translations.
void FollowLanguage(QTranslator& translator, int languageOffset)
{
    static const char* const codes[] = {"de", "en", "fr", "es"};
    QApplication::removeTranslator(&translator);
    const int index = languageOffset / 1000;
    if (index < 0 || index > 3)
        return;
    if (translator.load(QStringLiteral("qtbase_") + QLatin1String(codes[index]),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Names the user's configuration folder (settings, port map, picture).
    QApplication::setApplicationName(QStringLiteral("vardelo"));

    Vardelomod m;
    QtMessages messages;
    QtFileDialogs files;
    QtTimers timers;
    const PortMap portMap = PortMap::Load();
    MappedSerialLink link(timers, portMap);
    QTranslator toolkitTexts;
    MainWindow window(m, {messages, files, timers, link, DefaultSettingsPath(), portMap.LoadStatus()});
    window.LanguageLoaded = [&toolkitTexts](int offset) { FollowLanguage(toolkitTexts, offset); };
    window.StartUp();
    window.show();
    return app.exec();
}
