#include "app/mainflow.h"

#include "app/catalogue.h"
#include "config/configfiles.h"
#include "platform/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void ReadStartupSettings(Vardelomod& m, const QString& settingsPath)
{
    // The folder may exist already; a failure shows when the file is written.
    QDir().mkpath(ConfigurationFolder(settingsPath));
    ReadSettings(m, settingsPath);
    m.LanguageOffset = LanguageOffsetFromText(m.LanguageText);
    m.StartDirectory = QDir::currentPath();
}

QString ConfigurationFolder(const QString& settingsPath)
{
    return QFileInfo(settingsPath).absolutePath();
}

QString BackgroundPicturePath(const QString& settingsPath)
{
    return QDir(ConfigurationFolder(settingsPath)).filePath(QStringLiteral("hauptbild.bmp"));
}

QString MakerWebAddress(const QString& settingsPath)
{
    QFile file(QDir(ConfigurationFolder(settingsPath)).filePath(QStringLiteral("maker.txt")));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty())
            return line;
    }
    return DefaultMakerWebAddress;
}

bool IsConfigFileName(const QString& path)
{
    return path.endsWith(QLatin1String(".QLV")) || path.endsWith(QLatin1String(".qlv"));
}

LoadOutcome LoadConfigFile(Vardelomod& m, const QString& path, Messages& messages)
{
    if (!IsConfigFileName(path)) {
        messages.Show(TableText(m, 126), TableText(m, 127));
        return LoadOutcome::NotAConfigFile;
    }
    if (!ReadConfigurationFile(m, path)) {
        messages.Show(CatalogueText(300, m.LanguageOffset) + QStringLiteral("\n") + path, TableText(m, 127));
        return LoadOutcome::Refused;
    }
    return LoadOutcome::Loaded;
}
