// Fuzz harness for the details file reader: any bytes must parse without a crash or a hang, and
// details read from a file must be written back and read again unchanged.
#include "document/ReportFile.h"

#include <cstdint>
#include <cstdlib>

namespace {
volatile qsizetype g_sink;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const reportfile::Parsed parsed = reportfile::parse(bytes);
    if (parsed.fault) {
        if (!parsed.details.isEmpty()) // a damaged file gives the start values
            std::abort();
        g_sink = parsed.fault.reason().size();
        return 0;
    }
    for (const QString &line : parsed.details.otherLines) {
        if (line.contains(u'\n') || line.contains(u'\r') || line.trimmed().isEmpty())
            std::abort();
    }
    // Unknown escapes gain a backslash when written, so details near the limit may outgrow it.
    const QByteArray encoded = reportfile::encode(parsed.details);
    if (encoded.size() <= reportfile::kMaxSize) {
        const reportfile::Parsed again = reportfile::parse(encoded);
        if (again.fault || !(again.details == parsed.details))
            std::abort();
    }
    g_sink = encoded.size();
    return 0;
}
