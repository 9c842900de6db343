#pragma once
// Pictures for a look by eye: the tests' screenshots functions write PNG
// files into the folder VARDELO_SCREENSHOT_DIR names (see the README), one
// per language. Header-only.

#include <QDir>
#include <QStringList>

// The folder, made when missing; empty when the variable is not set or the
// folder cannot be made (the test then skips).
inline QString ScreenshotFolder()
{
    if (!qEnvironmentVariableIsSet("VARDELO_SCREENSHOT_DIR"))
        return {};
    const QDir folder(qEnvironmentVariable("VARDELO_SCREENSHOT_DIR"));
    return folder.mkpath(QStringLiteral(".")) ? folder.absolutePath() : QString();
}

// The languages in the order of their offsets (0, 1000, 2000, 3000), as the
// files are named.
inline const QStringList ScreenshotLanguages{"de", "en", "fr", "es"};
