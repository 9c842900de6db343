#include "app/mainflow.h"

#include "texts/catalogue.h"
#include "texts/filetexts.h"
#include "config/configfiles.h"
#include "platform/messages.h"

#include <QDir>
#include <QFile>

FileStatus ReadStartupSettings(ProgramState& program, const QString& settingsPath)
{
    // The folder may exist already; a failure shows when the file is written.
    QDir().mkpath(ConfigurationFolder(settingsPath));
    const FileStatus read = ReadSettings(program, settingsPath);
    program.LanguageOffset = LanguageOffsetFromText(program.LanguageText);
    program.StartDirectory = QDir::currentPath();
    return read;
}

QString BackgroundPicturePath(const QString& settingsPath)
{
    return QDir(ConfigurationFolder(settingsPath)).filePath(QStringLiteral("hauptbild.bmp"));
}

FileContent ReadBackgroundPicture(const QString& settingsPath)
{
    constexpr qint64 PictureBytes = 32 * 1024 * 1024;
    return ReadRegularFile(BackgroundPicturePath(settingsPath), PictureBytes);
}

QString MakerWebAddress(const QString& settingsPath)
{
    // Only the first line counts; the beginning of a huge file holds it.
    constexpr qint64 MakerFileBytes = 4096;
    const FileContent file =
        ReadRegularFile(QDir(ConfigurationFolder(settingsPath)).filePath(QStringLiteral("maker.txt")), MakerFileBytes);
    if (file.status || file.status.fault == FileFault::TooLarge) {
        const QString line = PrintableText(QString::fromUtf8(file.content.left(file.content.indexOf('\n'))).trimmed());
        if (!line.isEmpty())
            return line;
    }
    return DefaultMakerWebAddress;
}

LoadOutcome LoadConfigFile(const ProgramState& program, Configuration& m, const QString& path, Messages& messages)
{
    if (!IsConfigFileName(path)) {
        messages.Show(TableText(program, Text::NoFileSelected), TableText(program, Text::LoadRefusedTitle));
        return LoadOutcome::NotAConfigFile;
    }
    if (const FileStatus read = ReadConfigurationFile(m, path); !read) {
        // The reader's own detail names the file and what is wrong with it:
        // a line and slot, a folder, a FIFO, permission denied, too large.
        messages.Show(CatalogueText(Text::FileNotLoaded, program.LanguageOffset) + QStringLiteral("\n")
                          + FileStatusText(read, program.LanguageOffset),
                      TableText(program, Text::LoadRefusedTitle));
        return LoadOutcome::Refused;
    }
    return LoadOutcome::Loaded;
}
