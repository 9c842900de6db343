#include "platform/filedialogs.h"

#include <QStringList>

QString QtFilterFromBarFilter(const QString& barFilter)
{
    const QStringList parts = barFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts.at(i), parts.at(i + 1));
    return filters.join(QStringLiteral(";;"));
}
