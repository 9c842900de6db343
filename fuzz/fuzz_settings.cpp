// Any bytes as a settings file: the port is 0..8 and the language one of the
// four offsets, whatever the lines hold.
#include "config/configfiles.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    Vardelomod m;
    if (!ParseSettings(m, content))
        return 0;
    if (m.PortNumber < 0 || m.PortNumber > 8)
        std::abort();
    if (m.LanguageOffset != 0 && m.LanguageOffset != 1000 && m.LanguageOffset != 2000 && m.LanguageOffset != 3000)
        std::abort();
    if (LeadingNumber(m.LanguageText) < 0)
        std::abort();
    return 0;
}
