#include "texts/sequencetext.h"

#include "texts/catalogue.h"

QString SequenceText(const ProgramState& program, TextNumber id)
{
    const QString table = TableText(program, id);
    return table.isEmpty() ? CatalogueText(id, program.LanguageOffset) : table;
}

QString UnsendableImageText(const ProgramState& program, const ConfigBlock& block)
{
    // A slot value that is not a byte would be sent cut to 8 bits: a
    // different configuration than the one on screen.
    for (int i = 0; i < int(block.size()); ++i) {
        const qint16 v = block[i];
        if (v < 0 || v > 255)
            return SequenceText(program, Text::ValueOutOfRange).arg(i).arg(v);
    }
    return {};
}
