// Fuzz harness for the CSV reader: any bytes must parse without a crash, a hang or a memory blow-up,
// the entries must be well-formed, and texts free of the format's lossy bytes must survive writing
// and reading back.
#include "exchange/CsvField.h"
#include "exchange/CsvFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

volatile std::size_t g_sink;

std::string_view viewOf(const QByteArray &a)
{
    return std::string_view(a.constData(), static_cast<std::size_t>(a.size()));
}

// The input with the bytes that a written file does not carry back replaced: backslashes (escapes)
// and 0x1A (written as a blank); with quoteRuns also every quote that follows a quote, which
// CsvUnescapeField on its own shrinks.
std::string lossless(std::string_view bytes, bool quoteRuns)
{
    std::string out(bytes);
    for (std::size_t i = 0; i < out.size(); ++i) {
        char &c = out[i];
        if (c == '\\' || c == '\x1a' || (quoteRuns && c == '"' && i > 0 && out[i - 1] == '"'))
            c = 'x';
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::vector<ListEntry> entries = csv::parse(bytes);

    // Every entry comes from a non-empty line of at least one byte plus its line end, carries exactly
    // one sub-item, and decoding never makes a text longer.
    std::size_t total = 0;
    for (const ListEntry &e : entries) {
        if (e.subItemCount() != 1)
            std::abort();
        total += e.caption().size() + e.subItem(0).size();
    }
    if (entries.size() > size || total > size)
        std::abort();
    g_sink = total + entries.size();

    // Decoding a single field: never longer than the field.
    if (CsvUnescapeField(bytes).size() > size)
        std::abort();

    // A text without quote runs, backslashes and 0x1A comes back from its quoted written form.
    const std::string plain = lossless(bytes, true);
    if (CsvUnescapeField('"' + CsvEscapeField(plain) + '"') != plain)
        std::abort();
    // A file of entries whose texts hold no backslash or 0x1A reads back unchanged, quotes,
    // semicolons and line breaks included, unless its bytes happen to form UTF-8.
    const std::string text = lossless(bytes, false);
    const std::vector<ListEntry> written = {{text, {text}}, {"", {""}}, {text.substr(0, text.size() / 2), {"A"}}};
    const QByteArray file = csv::encode(written);
    if (!csv::readsAsUtf8(viewOf(file)) && csv::parse(viewOf(file)) != written)
        std::abort();

    // The parsed entries written again give a file whose every line ends with CR LF.
    const QByteArray again = csv::encode(entries);
    if (!entries.empty() && !again.endsWith("\r\n"))
        std::abort();
    g_sink = g_sink + static_cast<std::size_t>(again.size());
    return 0;
}
