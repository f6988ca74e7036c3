// Feeds arbitrary bytes to the help viewer's rich-text reader: it must neither crash nor hang,
// and what it gives must be well-formed UTF-8 with its markup characters escaped.
#include "help/RichText.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string html =
        vexo::richTextToHtml(std::string_view(reinterpret_cast<const char*>(data), size));
    // Every '<' opens one of the reader's own tags, never one taken from the input.
    for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        const std::string_view rest = std::string_view(html).substr(at + 1);
        if (!(rest.starts_with("p ") || rest.starts_with("/p>") || rest.starts_with("span ") ||
              rest.starts_with("/span>") || rest.starts_with("br>")))
            std::abort();
    }
    // UTF-8 only: lead bytes followed by the right number of continuation bytes.
    for (std::size_t i = 0; i < html.size();) {
        const auto c = static_cast<unsigned char>(html[i]);
        const std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > html.size())
            std::abort();
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(html[i + k]) & 0xC0) != 0x80)
                std::abort();
        i += length;
    }
    return 0;
}
