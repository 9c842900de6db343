// Any bytes as a settings file: the port is 0..8 and the language one of the
// four offsets, whatever the lines hold.
#include "config/configfiles.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    ProgramState program;
    if (!ParseSettings(program, content))
        return 0;
    if (program.ChosenPort < 0 || program.ChosenPort > 8)
        std::abort();
    const int language = program.LanguageOffset;
    if (language != 0 && language != 1000 && language != 2000 && language != 3000)
        std::abort();
    if (LeadingNumber(program.LanguageText) < 0)
        std::abort();
    return 0;
}
