#include "texts/sequencetext.h"

#include "texts/catalogue.h"

QString SequenceText(const ProgramState& program, int id)
{
    const QString table = TableText(program, id);
    return table.isEmpty() ? CatalogueText(id, program.LanguageOffset) : table;
}

QString UnsendableImageText(const ProgramState& program, const Vardelomod& m)
{
    // A slot value that is not a byte would be sent cut to 8 bits: a
    // different configuration than the one on screen.
    constexpr int ValueOutOfRange = 280;
    for (int i = 0; i < Vardelomod::BlockSlots; ++i) {
        const qint16 v = m.ConfigImage[i];
        if (v < 0 || v > 255)
            return SequenceText(program, ValueOutOfRange).arg(i).arg(v);
    }
    return {};
}
