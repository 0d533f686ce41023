// Fuzz harness for the list file reader: any bytes must parse without a crash, a hang or a memory
// blow-up, the result must be well-formed, and writing it back must read back unchanged.
#include "document/ListFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

volatile std::size_t g_sink;

// Texts read from a file never hold a CR or 0x1A byte, so they need no replacement when written.
bool writable(std::string_view text)
{
    return text.find('\r') == std::string::npos && text.find('\x1a') == std::string::npos;
}

// The writer's replacement: CR and 0x1A become blanks.
std::string blanked(std::string_view text)
{
    std::string out(text);
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\x1a', ' ');
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const listfile::Content content = listfile::parse(bytes);

    // A well-formed result: assemblies carry no sub-item, catalogue and defect entries exactly one.
    // A read may go past the end only a bounded number of lines, so the entries are bounded too.
    std::size_t total = 0, entries = 0;
    bool allWritable = true;
    for (int section = 0; section < 3; ++section) {
        for (const ListEntry &e : content.lists[static_cast<std::size_t>(section)]) {
            const std::size_t wanted = section == listfile::Assemblies ? 0 : 1;
            if (e.subItemCount() != wanted)
                std::abort();
            total += e.caption().size();
            allWritable = allWritable && writable(e.caption());
            for (std::size_t i = 0; i < e.subItemCount(); ++i) {
                const std::string_view s = e.subItem(i);
                total += s.size();
                allWritable = allWritable && writable(s);
            }
            ++entries;
        }
    }
    if (total > size || entries > size + listfile::kMaxLinesPastEnd + 3)
        std::abort();
    // Whatever a count line claims, no list holds room for more entries than the input has lines.
    for (const auto &list : content.lists) {
        if (list.capacity() > size + listfile::kMaxLinesPastEnd + 3)
            std::abort();
    }
    if (!allWritable) // the reader splits at CR and stops at 0x1A
        std::abort();
    g_sink = total + entries + (content.formatError ? 1 : 0);

    // Writing the parsed lists back and reading them again gives the same lists, without an error.
    const QByteArray encoded = listfile::encode(content.lists[0], content.lists[1], content.lists[2]);
    const listfile::Content again = listfile::parse(std::string_view(encoded.constData(), std::size_t(encoded.size())));
    if (again.formatError || again.lists != content.lists)
        std::abort();

    // Texts with CR or 0x1A bytes (as an import may make them) are written with blanks in their
    // place, and the file keeps its shape.
    const ListEntry raw{std::string(bytes), {}};
    const ListEntry rawDefect{"M", {std::string(bytes)}};
    const QByteArray rawFile = listfile::encode({raw}, {rawDefect}, {rawDefect, rawDefect});
    const listfile::Content rawBack =
        listfile::parse(std::string_view(rawFile.constData(), std::size_t(rawFile.size())));
    const std::string expected = blanked(bytes);
    if (rawBack.formatError || rawBack.lists[0].size() != 1 || rawBack.lists[0][0].caption() != expected ||
        rawBack.lists[1].size() != 1 || rawBack.lists[1][0] != ListEntry("M", {expected}) ||
        rawBack.lists[2].size() != 2)
        std::abort();
    return 0;
}
