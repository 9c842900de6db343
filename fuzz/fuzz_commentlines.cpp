// Any bytes as an accompanying-texts file: at most 2001 lines, none of them
// holding a line end, and a saved line reads back unchanged; what the
// program writes from the lines of a file it takes is never called damaged.
#include "config/configfiles.h"
#include "config/windows1252.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = ParseCommentLines(content);
    if (lines.size() > Configuration::RowEntries)
        std::abort();
    const FileStatus damage = CheckCommentLines(content, QStringLiteral("x.BGT"));
    if (damage && lines.size() >= Configuration::RowEntries - 1) {
        std::array<QString, Configuration::RowEntries> texts;
        for (int k = 0; k < Configuration::RowEntries; ++k)
            texts[k] = lines.value(k, QStringLiteral("----------"));
        if (!CheckCommentLines(FormatComments(texts), QStringLiteral("x.BGT")))
            std::abort();
    }
    for (const QString& line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            std::abort();
        const QStringList back = ParseCommentLines(EncodeWindows1252(line) + "\r\n");
        if (back.size() != 1 || back.first() != line)
            std::abort();
    }
    return 0;
}
