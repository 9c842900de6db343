#include "config/badlines.h"

#include "platform/fileaccess.h"

#include <QMap>

QStringList PrintableValues(const QStringList& values, qsizetype count)
{
    QStringList shown;
    for (const QString& value : values)
        shown << PrintableText(value);
    while (shown.size() < count)
        shown << QString();
    return shown;
}

QStringList BadLineTexts(const QList<LineReason>& reasons, const std::function<QString(int, const QString&)>& lineText,
                         const std::function<QString(int)>& moreText)
{
    QMap<int, QStringList> byLine;   // in line order, the whole file first
    for (const LineReason& reason : reasons)
        byLine[reason.line].append(reason.reason);
    QStringList texts;
    for (auto it = byLine.cbegin(); it != byLine.cend() && texts.size() < ShownBadLines; ++it)
        texts << lineText(it.key(), it.value().join(QStringLiteral("; ")));
    if (byLine.size() > ShownBadLines)
        texts << moreText(int(byLine.size()) - ShownBadLines);
    return texts;
}

QString EnglishBadLines(const QList<LineReason>& reasons)
{
    return BadLineTexts(
               reasons,
               [](int line, const QString& why) { return line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(why) : why; },
               [](int more) { return QStringLiteral("... and %1 more lines").arg(more); })
        .join(u'\n');
}
