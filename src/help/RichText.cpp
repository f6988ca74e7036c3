#include "RichText.h"

#include "common/CodePage.h"
#include "common/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace vexo {

namespace {

struct Colour {
    int red = 0, green = 0, blue = 0;
};

// The character formatting and what the current group does with its text.
struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int colour = 0;
    int unicodeSkip = 1; // characters to skip after \uN
    bool skip = false;   // a destination whose text is not shown
    bool colourTable = false;
};

// Groups nested deeper than this are read as if they were one level: the text stays, the
// formatting of the deeper groups is merged, and memory stays bounded.
constexpr std::size_t kMaxDepth = 256;

void appendEscaped(std::string& out, char c) {
    if (const char* entity = htmlEntity(c))
        out += entity;
    else
        out += c;
}

void appendCodePoint(std::string& out, std::uint32_t c) {
    if (c == '&' || c == '<' || c == '>' || c == '"') {
        appendEscaped(out, static_cast<char>(c));
        return;
    }
    if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return;
    appendUtf8(out, c);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

class Converter {
public:
    std::string convert(std::string_view rtf) {
        m_text = rtf;
        m_groups.push_back(GroupState{});
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '{') {
                ++m_pos;
                pushGroup();
            } else if (c == '}') {
                ++m_pos;
                popGroup();
            } else if (c == '\\') {
                ++m_pos;
                controlSequence();
            } else if (c == '\r' || c == '\n') {
                ++m_pos; // line ends in the file are not text
            } else {
                ++m_pos;
                text(static_cast<unsigned char>(c));
            }
        }
        endParagraph(false);
        return m_html;
    }

private:
    GroupState& state() { return m_groups.back(); }

    void pushGroup() {
        if (m_groups.size() >= kMaxDepth) {
            ++m_flattened;
            return;
        }
        m_groups.push_back(m_groups.back());
        m_groups.back().colourTable = false;
    }

    void popGroup() {
        if (m_flattened > 0) {
            --m_flattened;
            return;
        }
        if (m_groups.size() > 1) // an unbalanced '}' is ignored
            m_groups.pop_back();
    }

    void controlSequence() {
        if (m_pos >= m_text.size())
            return;
        const char c = m_text[m_pos];
        if (!isLetter(c)) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && isLetter(m_text[m_pos]) && m_pos - start < 32)
            ++m_pos;
        while (m_pos < m_text.size() && isLetter(m_text[m_pos]))
            ++m_pos; // an over-long word is read to its end and ignored
        const std::string_view word =
            m_text.substr(start, std::min<std::size_t>(m_pos - start, 32));
        bool hasParameter = false;
        long parameter = 0;
        bool negative = false;
        if (m_pos < m_text.size() && m_text[m_pos] == '-' && m_pos + 1 < m_text.size() &&
            isDigit(m_text[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        std::size_t digits = 0;
        while (m_pos < m_text.size() && isDigit(m_text[m_pos])) {
            if (digits++ < 10)
                parameter = parameter * 10 + (m_text[m_pos] - '0');
            hasParameter = true;
            ++m_pos;
        }
        if (negative)
            parameter = -parameter;
        if (m_pos < m_text.size() && m_text[m_pos] == ' ')
            ++m_pos; // the delimiting space belongs to the control word
        controlWord(word, hasParameter, parameter);
    }

    void controlSymbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            text(static_cast<unsigned char>(c));
            break;
        case '\'': {
            const int high = m_pos < m_text.size() ? hexValue(m_text[m_pos]) : -1;
            const int low = m_pos + 1 < m_text.size() ? hexValue(m_text[m_pos + 1]) : -1;
            if (high >= 0 && low >= 0) {
                m_pos += 2;
                if (m_pendingSkip > 0)
                    --m_pendingSkip;
                else
                    windowsCharacter(static_cast<unsigned char>(high * 16 + low));
            }
            break;
        }
        case '*':
            state().skip = true;
            break;
        case '~':
            emit(0xA0);
            break;
        case '_':
            emit(0x2011);
            break;
        case '\r':
        case '\n':
            endParagraph(true);
            break;
        default:
            break; // \- and unknown symbols show nothing
        }
    }

    void controlWord(std::string_view word, bool hasParameter, long parameter) {
        GroupState& s = state();
        const bool on = !hasParameter || parameter != 0;
        if (word == "fonttbl" || word == "stylesheet" || word == "info" || word == "pict" ||
            word == "header" || word == "footer" || word == "object" || word == "filetbl" ||
            word == "listtable" || word == "listoverridetable" || word == "revtbl" ||
            word == "generator" || word == "xmlnstbl") {
            s.skip = true;
        } else if (word == "colortbl") {
            s.skip = true;
            s.colourTable = true;
            m_colours.clear(); // each ';' ends an entry; the first is the automatic colour
            m_currentColour = {};
        } else if (s.colourTable) {
            const int value = static_cast<int>(std::min<long>(std::max<long>(parameter, 0), 255));
            if (word == "red")
                m_currentColour.red = value;
            else if (word == "green")
                m_currentColour.green = value;
            else if (word == "blue")
                m_currentColour.blue = value;
        } else if (word == "par") {
            endParagraph(true);
        } else if (word == "line") {
            m_paragraph += "<br>";
        } else if (word == "tab") {
            m_paragraph += "&nbsp;&nbsp;&nbsp;&nbsp;";
        } else if (word == "b") {
            s.bold = on;
        } else if (word == "i") {
            s.italic = on;
        } else if (word == "ul") {
            s.underline = on;
        } else if (word == "ulnone") {
            s.underline = false;
        } else if (word == "fs") {
            if (hasParameter && parameter >= 2 && parameter <= 400)
                s.halfPoints = static_cast<int>(parameter);
        } else if (word == "cf") {
            s.colour =
                hasParameter && parameter >= 0 ? static_cast<int>(std::min(parameter, 4096L)) : 0;
        } else if (word == "plain") {
            const GroupState kept = s;
            s = GroupState{};
            s.skip = kept.skip;
            s.unicodeSkip = kept.unicodeSkip;
        } else if (word == "pard") {
            m_alignment = "left";
        } else if (word == "ql") {
            m_alignment = "left";
        } else if (word == "qc") {
            m_alignment = "center";
        } else if (word == "qr") {
            m_alignment = "right";
        } else if (word == "qj") {
            m_alignment = "justify";
        } else if (word == "uc") {
            if (hasParameter && parameter >= 0 && parameter <= 8)
                s.unicodeSkip = static_cast<int>(parameter);
        } else if (word == "u") {
            if (hasParameter) {
                const long code = parameter < 0 ? parameter + 65536 : parameter;
                emit(static_cast<std::uint32_t>(code));
                m_pendingSkip = s.unicodeSkip;
            }
        } else if (word == "lquote") {
            emit(0x2018);
        } else if (word == "rquote") {
            emit(0x2019);
        } else if (word == "ldblquote") {
            emit(0x201C);
        } else if (word == "rdblquote") {
            emit(0x201D);
        } else if (word == "bullet") {
            emit(0x2022);
        } else if (word == "endash") {
            emit(0x2013);
        } else if (word == "emdash") {
            emit(0x2014);
        }
    }

    // A text byte of the file: Windows-1252, or the colour table's entry separator.
    void text(unsigned char c) {
        if (state().colourTable) {
            if (c == ';') {
                if (m_colours.size() < 4096)
                    m_colours.push_back(m_currentColour);
                m_currentColour = {};
            }
            return;
        }
        if (m_pendingSkip > 0) {
            --m_pendingSkip;
            return;
        }
        windowsCharacter(c);
    }

    void windowsCharacter(unsigned char c) { emit(fromWindows1252(c)); }

    void emit(std::uint32_t code) {
        if (state().skip)
            return;
        const GroupState& s = state();
        // The style text is only made again when the formatting changed.
        if (!sameFormat(s, m_styledFormat)) {
            m_styledFormat = s;
            m_currentStyle = styleOf(s);
        }
        const std::string& style = m_currentStyle;
        if (style != m_openStyle) {
            closeSpan();
            if (!style.empty()) {
                m_paragraph += "<span style=\"" + style + "\">";
                m_openStyle = style;
            }
        }
        appendCodePoint(m_paragraph, code);
        m_paragraphHasText = true;
    }

    static bool sameFormat(const GroupState& a, const GroupState& b) {
        return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
               a.halfPoints == b.halfPoints && a.colour == b.colour;
    }

    std::string styleOf(const GroupState& s) const {
        std::string style;
        if (s.bold)
            style += "font-weight:bold;";
        if (s.italic)
            style += "font-style:italic;";
        if (s.underline)
            style += "text-decoration:underline;";
        if (s.halfPoints != 24)
            style += "font-size:" + std::to_string(s.halfPoints / 2) +
                     (s.halfPoints % 2 ? ".5" : "") + "pt;";
        if (s.colour > 0 && static_cast<std::size_t>(s.colour) < m_colours.size()) {
            const Colour& c = m_colours[static_cast<std::size_t>(s.colour)];
            char hex[16];
            std::snprintf(hex, sizeof hex, "#%02x%02x%02x", c.red, c.green, c.blue);
            style += std::string("color:") + hex + ";";
        }
        return style;
    }

    void closeSpan() {
        if (!m_openStyle.empty())
            m_paragraph += "</span>";
        m_openStyle.clear();
    }

    void endParagraph(bool explicitEnd) {
        if (state().skip && explicitEnd)
            return;
        closeSpan();
        if (!explicitEnd && !m_paragraphHasText && m_paragraph.empty())
            return;
        m_html += "<p align=\"" + m_alignment + "\">";
        m_html += m_paragraph.empty() ? "&nbsp;" : m_paragraph;
        m_html += "</p>\n";
        m_paragraph.clear();
        m_paragraphHasText = false;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::vector<GroupState> m_groups;
    std::size_t m_flattened = 0;
    int m_pendingSkip = 0;
    std::vector<Colour> m_colours{Colour{}};
    Colour m_currentColour;
    std::string m_alignment = "left";
    std::string m_paragraph;
    bool m_paragraphHasText = false;
    std::string m_openStyle;
    GroupState m_styledFormat;
    std::string m_currentStyle;
    std::string m_html;
};

} // namespace

std::string richTextToHtml(std::string_view rtf) {
    return Converter().convert(rtf);
}

} // namespace vexo
