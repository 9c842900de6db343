// Any bytes as a configuration file: the reader either refuses them or gives
// a block that the writer reproduces exactly; the image decoders and the list
// layout then run on whatever the block holds without fault or endless loop.
#include "config/configfiles.h"
#include "config/configimage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    ConfigBlock block{};
    if (!ParseConfigBlock(content, block)) {
        return 0;
    }
    ConfigBlock again{};
    if (!ParseConfigBlock(FormatConfigBlock(block), again) || again != block)
        std::abort();

    Configuration m;
    std::copy(block.begin(), block.end(), m.ConfigImage.begin());
    // The editor shows the lists only with the magnetic-card message and evaluation on.
    m.ConfigImage[Slot::FeatureFlags] |= Feature::MagCardSignal | Feature::MagCardEvaluation;
    DecodeLists(m);
    int rows = 0;
    for (int list = 1; list <= 4; ++list)
        rows += m.ListCount(list);
    if (rows > Configuration::MaxRows)
        std::abort();
    for (int line = 0; line < 16; ++line)
        if (DecodeDisplayLine(m, line).size() != 16)
            std::abort();
    (void)DecodePassword(m);
    LayOutLists(m);
    if (m.ConfigImage[Slot::LastBlockSlot] != 255 && (m.ConfigImage[Slot::TrackFlags] & 3) != 0)
        std::abort();
    return 0;
}
