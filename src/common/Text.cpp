#include "Text.h"

#include <charconv>

namespace vexo {

std::string Strip_Path(std::string_view path) {
    const auto cut = path.rfind('/');
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

int compareText(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        auto fold = [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u >= 'A' && u <= 'Z' ? u + 32 : u;
        };
        const int x = fold(a[i]);
        const int y = fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string decimalText(double value, int decimals) {
    char text[400]; // room for the largest double in full
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

std::string crToNewline(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == CR) {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::size_t validSequence(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80; // the second byte's range: narrower after some leads
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F; // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

bool validUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = validSequence(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

std::string terminalText(std::string_view utf8OrBytes) {
    std::string out;
    out.reserve(utf8OrBytes.size());
    std::string_view rest = utf8OrBytes;
    while (!rest.empty()) {
        const auto c = static_cast<unsigned char>(rest[0]);
        const std::size_t length = validSequence(rest);
        if (length == 0) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
            rest.remove_prefix(1);
            continue;
        }
        if (c < 0x20) {
            out += '^';
            out += static_cast<char>(c + 0x40);
        } else if (c == 0x7F) {
            out += "^?";
        } else if (c == 0xC2 && static_cast<unsigned char>(rest[1]) < 0xA0) {
            // U+0080 to U+009F, the C1 controls (CSI among them).
            out += "M-^";
            out += static_cast<char>(static_cast<unsigned char>(rest[1]) - 0x80 + 0x40);
        } else {
            out.append(rest.substr(0, length));
        }
        rest.remove_prefix(length);
    }
    return out;
}

const char* htmlEntity(char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    default:
        return nullptr;
    }
}

} // namespace vexo
