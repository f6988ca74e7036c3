#include "IniSettingsStore.h"

#include "common/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace vexo {

namespace {

constexpr std::uint64_t kMaxSettingsBytes = 1 << 20; // a few hundred bytes in use

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// One line of the text: where it starts, where its contents end (before "\r\n" or "\n") and
// where the next line starts.
struct Line {
    std::size_t begin, end, next;
};

std::vector<Line> linesOf(std::string_view text) {
    std::vector<Line> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t newline = text.find('\n', at);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        if (end > at && text[end - 1] == '\r')
            --end;
        lines.push_back({at, end, next});
        at = next;
    }
    return lines;
}

// What a line is: a section's header (its name), an entry (its key and where its value starts),
// or neither (blank, a comment).
struct Parsed {
    enum Kind { Other, Header, Entry } kind = Other;
    std::string_view name;      // the header's section or the entry's key
    std::size_t valueBegin = 0; // an entry's value, from the first character after "=" and blanks
};

Parsed parse(std::string_view text, const Line& line) {
    const std::string_view whole = text.substr(line.begin, line.end - line.begin);
    const std::string_view content = trimmed(whole);
    if (content.empty() || content.front() == ';' || content.front() == '#')
        return {};
    if (content.front() == '[') {
        const auto close = content.find(']');
        if (close == std::string_view::npos)
            return {};
        return {Parsed::Header, trimmed(content.substr(1, close - 1))};
    }
    const auto equals = whole.find('=');
    if (equals == std::string_view::npos)
        return {};
    std::size_t value = equals + 1;
    while (value < whole.size() && (whole[value] == ' ' || whole[value] == '\t'))
        ++value;
    return {Parsed::Entry, trimmed(whole.substr(0, equals)), line.begin + value};
}

// A value as it stands after "=": a quoted one without its quotes and escapes.
std::string unquoted(std::string_view raw) {
    raw = trimmed(raw);
    if (raw.empty() || raw.front() != '"')
        return std::string(raw);
    std::string value;
    for (std::size_t i = 1; i < raw.size() && raw[i] != '"'; ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            const char escaped = raw[++i];
            value += escaped == 'n'   ? '\n'
                     : escaped == 't' ? '\t'
                     : escaped == 'r' ? '\r'
                                      : escaped;
        } else {
            value += raw[i];
        }
    }
    return value;
}

// A value as it is written: as it is, or quoted where a reader would take it otherwise.
std::string written(std::string_view value) {
    const bool plain =
        value == trimmed(value) && value.find_first_of(";,=\"#\\\r\n\t") == std::string_view::npos;
    if (plain)
        return std::string(value);
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c == '\n'   ? std::string("\\n")
                  : c == '\r' ? std::string("\\r")
                              : std::string(1, c);
    }
    return quoted + '"';
}

// Where the key's value is read from (its line), and where the section's last entry or header
// stands, for a key it lacks.
struct Found {
    const Line* entry = nullptr;
    const Line* sectionEnd = nullptr;
};

Found find(std::string_view text, const std::vector<Line>& lines, std::string_view section,
           std::string_view key) {
    Found found;
    bool inSection = false;
    for (const Line& line : lines) {
        const Parsed parsed = parse(text, line);
        if (parsed.kind == Parsed::Header) {
            inSection = parsed.name == section;
            if (inSection)
                found.sectionEnd = &line;
        } else if (parsed.kind == Parsed::Entry && inSection) {
            found.sectionEnd = &line;
            if (parsed.name == key)
                found.entry = &line;
        }
    }
    return found;
}

} // namespace

IniSettingsStore::IniSettingsStore(std::string folder)
    : m_folder(std::move(folder)) {}

std::optional<std::string>
IniSettingsStore::valueIn(std::string_view text, std::string_view section, std::string_view key) {
    const std::vector<Line> lines = linesOf(text);
    const Found found = find(text, lines, section, key);
    if (found.entry == nullptr)
        return std::nullopt;
    const std::size_t begin = parse(text, *found.entry).valueBegin;
    return unquoted(text.substr(begin, found.entry->end - begin));
}

std::string IniSettingsStore::withValue(std::string_view text, std::string_view section,
                                        std::string_view key, std::string_view value) {
    const std::vector<Line> lines = linesOf(text);
    const Found found = find(text, lines, section, key);
    std::string out(text);
    if (found.entry != nullptr) {
        if (valueIn(text, section, key) == std::string(value))
            return out;
        const std::size_t begin = parse(text, *found.entry).valueBegin;
        return out.replace(begin, found.entry->end - begin, written(value));
    }
    const std::string entry = std::string(key) + "=" + written(value);
    if (found.sectionEnd != nullptr) {
        const Line& last = *found.sectionEnd;
        // The file's own line ends; a last line without one gets one first.
        const bool crlf = last.next > last.end + 1;
        const std::string newline = crlf ? "\r\n" : "\n";
        const std::string before = last.next == last.end ? newline : std::string();
        return out.insert(last.next, before + entry + newline);
    }
    if (!out.empty() && out.back() != '\n')
        out += '\n';
    if (!out.empty())
        out += '\n';
    return out + "[" + std::string(section) + "]\n" + entry + "\n";
}

std::string IniSettingsStore::pathOf(const std::string& application) const {
    return m_folder + application + ".ini";
}

std::optional<std::string> IniSettingsStore::read(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT)
        return std::string(); // none yet (or a link to none, which a save makes)
    std::string text;
    const Status status = readRegularFile(path, text, kMaxSettingsBytes);
    if (status)
        return text;
    // A pipe in its place would hang a reader, and a save would replace it.
    if (!m_told) {
        m_told = true;
        std::fprintf(stderr,
                     "vexogauge: the settings file %s %s; the settings are neither read from it "
                     "nor kept in it\n",
                     path.c_str(), status.message().c_str());
    }
    return std::nullopt;
}

std::string IniSettingsStore::get(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) {
    const std::optional<std::string> text = read(pathOf(application));
    if (!text)
        return defaultValue;
    return valueIn(*text, section, key).value_or(defaultValue);
}

void IniSettingsStore::save(const std::string& application, const std::string& section,
                            const std::string& key, const std::string& value) {
    const std::string path = pathOf(application);
    const std::optional<std::string> text = read(path);
    if (!text)
        return;
    const std::string changed = withValue(*text, section, key, value);
    if (changed == *text)
        return;
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    if (const Status saved = saveFile(path, changed); !saved && !m_told) {
        m_told = true;
        std::fprintf(stderr, "vexogauge: the settings could not be kept: %s\n",
                     saved.message().c_str());
    }
}

std::string settingsFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string base;
    if (configHome != nullptr && *configHome == '/')
        base = configHome;
    else if (home != nullptr && *home != '\0')
        base = std::string(home) + "/.config";
    else
        base = std::filesystem::temp_directory_path().string();
    return base + "/vexogauge/";
}

} // namespace vexo
