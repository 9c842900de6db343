#pragma once
// The rules behind the main window's own commands: start-up, loading a
// configuration file, the help items. The window only shows their results.

#include "config/programstate.h"
#include "config/configuration.h"
#include "platform/fileaccess.h"

#include <QString>

class Messages;

// Start-up before the window's texts are loaded: the settings folder is
// created, the settings file read (rewritten with com1 and German when it is
// missing or short), the language taken from it and the start directory set
// to the current directory. A settings file that is no regular file is
// neither read nor replaced: the defaults apply and the refusal is returned.
FileStatus ReadStartupSettings(ProgramState& program, const QString& settingsPath);

// The main window's background picture, looked for in the configuration folder.
QString BackgroundPicturePath(const QString& settingsPath);
// Its bytes, when it is a regular file of at most 32 MB (a screen-sized
// bitmap holds a few).
FileContent ReadBackgroundPicture(const QString& settingsPath);

// The maker's web address shown by the help items: the first line of
// "maker.txt" in the configuration folder when present, else the built-in one.
inline const QString DefaultMakerWebAddress = QStringLiteral("https://www.vardelo.example/service");
QString MakerWebAddress(const QString& settingsPath);
inline const QString MakerMessageTitle = QStringLiteral("INTERNET");

enum class LoadOutcome { Loaded, NotAConfigFile, Refused };

// Reads the configuration file into slots 0..2047 of ConfigImage. A wrong
// name gives Text::NoFileSelected; a short or damaged file is refused with
// Text::FileNotLoaded and leaves the image as it was.
LoadOutcome LoadConfigFile(const ProgramState& program, Configuration& m, const QString& path, Messages& messages);
