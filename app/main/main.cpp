// vardelo: the configuration program of the VARDELO card terminal.
#include "comm/ui/mainwindow.h"
#include "config/configfiles.h"
#include "platform/ui/qtfiledialogs.h"
#include "platform/ui/qtmessages.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vardelo"));

    Vardelomod m;
    QtMessages messages;
    QtFileDialogs files;
    MainWindow window(m, {messages, files, DefaultSettingsPath()});
    window.StartUp();
    window.show();
    return app.exec();
}
