// Any bytes as a site file: a refusal names lines of the file (or the file as
// a whole) in line order, with values shown free of control characters, and gives
// no terminal; a site taken has terminals with distinct names, each with its
// folder directly in the site folder, distinct ports, and absolute paths.
#include "config/badlines.h"
#include "config/sitefile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <cstdlib>

namespace {

const QString Folder = QStringLiteral("/fuzz/site");

bool HasControl(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || (c.unicode() >= 0x80 && c.unicode() < 0xA0))
            return true;
    return false;
}

bool AbsoluteOrEmpty(const QString& path)
{
    return path.isEmpty() || QDir::isAbsolutePath(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const SiteFileRead read = ParseSiteFile(content, Folder + QStringLiteral("/site.toml"));
    if (!read) {
        if (read.problems.isEmpty() || !read.site.terminals.isEmpty())
            std::abort();
        int previous = 0;
        for (const SiteProblem& problem : read.problems) {
            if (problem.line < previous || problem.line > content.count('\n') + 1)
                std::abort();
            previous = problem.line;
        }
        // The values a message shows of the file (its texts are the catalogue's).
        for (const SiteProblem& problem : read.problems)
            for (const QString& value : PrintableValues(problem.values, 0))
                if (HasControl(value))
                    std::abort();
        return 0;
    }
    if (read.site.terminals.isEmpty() || read.site.folder != Folder || HasControl(read.site.name))
        std::abort();
    QSet<QString> names, ports;
    for (const SiteTerminal& t : read.site.terminals) {
        const QFileInfo folder(t.folder);
        if (folder.absolutePath() != Folder || folder.fileName() != t.name || t.name.size() > MaxTerminalNameChars
            || HasControl(t.name) || t.name.contains(u'/') || t.name.contains(u'\\') || t.name.startsWith(u'.'))
            std::abort();
        if (names.contains(TerminalNameKey(t.name)))
            std::abort();
        names.insert(TerminalNameKey(t.name));
        if (HasControl(t.port.target) || t.port.target.isEmpty()
            || (t.port.kind == SitePort::Kind::Com && (t.port.com < 1 || t.port.com > 8))
            || (t.port.kind == SitePort::Kind::Network && (t.port.tcpPort < 1 || t.port.tcpPort > 65535 || t.port.host.isEmpty())))
            std::abort();
        if (t.port.kind != SitePort::Kind::Simulated || !t.port.simulationFile.isEmpty()) {
            if (ports.contains(t.port.target.section(u',', 0, 0)))
                std::abort();
            ports.insert(t.port.target.section(u',', 0, 0));
        }
        if (!AbsoluteOrEmpty(t.password.file) || !AbsoluteOrEmpty(t.configuration) || !AbsoluteOrEmpty(t.port.simulationFile)
            || t.configuration.isEmpty() != t.comments.isEmpty())
            std::abort();
        if ((t.password.source == SitePassword::Source::File) == t.password.file.isEmpty())
            std::abort();
    }
    return 0;
}
