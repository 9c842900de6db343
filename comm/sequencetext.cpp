#include "comm/sequences.h"

#include "app/catalogue.h"

QString SequenceText(const Vardelomod& m, int id)
{
    const QString table = TableText(m, id);
    return table.isEmpty() ? CatalogueText(id, m.LanguageOffset) : table;
}
