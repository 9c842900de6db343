// Any bytes as a port map: at most ten bad lines reported (and a count of the
// rest), each short and free of control characters, and no control character
// in any target a port resolves to.
#include "platform/portmap.h"

#include <cstdlib>

namespace {
bool HasControl(const QString& text)
{
    for (QChar c : text)
        if (c != u'\t' && (c.unicode() < 0x20 || c.unicode() == 0x7F))
            return true;
    return false;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const PortMap map = PortMap::Parse(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (map.Problems().size() > PortMap::MaxReportedLines + 1)
        std::abort();
    for (const QString& problem : map.Problems())
        if (HasControl(problem) || problem.size() > 4 * PortMap::ShownLineChars + 120)
            std::abort();
    for (int port = 1; port <= 8; ++port) {
        const PortTarget target = map.Resolve(port);
        if (HasControl(target.device) || HasControl(target.simulation) || HasControl(target.address))
            std::abort();
    }
    return 0;
}
