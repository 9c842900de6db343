#pragma once
// A file as the editor's status line names it: its full path in the
// system's own form, control characters escaped.

#include "platform/fileaccess.h"

#include <QDir>
#include <QFileInfo>

inline QString ShownPath(const QString& fileName)
{
    return PrintableText(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath()));
}
