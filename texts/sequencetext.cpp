#include "texts/sequencetext.h"

#include "texts/catalogue.h"

QString SequenceText(const Vardelomod& m, int id)
{
    const QString table = TableText(m, id);
    return table.isEmpty() ? CatalogueText(id, m.LanguageOffset) : table;
}

QString UnsendableImageText(const Vardelomod& m)
{
    // A slot value that is not a byte would be sent cut to 8 bits: a
    // different configuration than the one on screen.
    constexpr int ValueOutOfRange = 280;
    for (int i = 0; i < Vardelomod::BlockSlots; ++i) {
        const qint16 v = m.ConfigImage[i];
        if (v < 0 || v > 255)
            return SequenceText(m, ValueOutOfRange).arg(i).arg(v);
    }
    return {};
}
