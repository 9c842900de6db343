#include "common/scriptedreportsource.h"

#include "app/catalogue.h"

void ScriptedSource::SetList(int list, int rows)
{
    QStringList& cells = grids[list - 1];
    cells = {QStringLiteral("Head%1").arg(list), QStringLiteral("Comment"),
             QStringLiteral("Anzahl(max)   %1").arg(rows - 2), QString()};
    for (int k = 0; k + 2 < rows; ++k)
        cells << QStringLiteral("D%1.%2").arg(list).arg(k) << QStringLiteral("C%1.%2").arg(list).arg(k);
    counts[list - 1] = rows > 2 ? rows - 2 : 0;
}

QString ScriptedSource::Text(int id) const
{
    return CatalogueText(id, language);
}
