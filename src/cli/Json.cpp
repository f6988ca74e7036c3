#include "Json.h"

#include "common/ScoreSet.h"
#include "common/Text.h"
#include "results/Comparison.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <ostream>

namespace vexo::json {

namespace {

// What each system value holds, in the order of its table.
enum class Kind { Number, Boolean, Text };
constexpr std::array<Kind, 14> kSystemKinds = {
    Kind::Number, Kind::Number, Kind::Boolean, Kind::Boolean, Kind::Number,
    Kind::Number, Kind::Number, Kind::Number,  Kind::Number,  Kind::Number,
    Kind::Text,   Kind::Number, Kind::Text,    Kind::Number};
static_assert(kSystemKinds.size() == kSystemFields.size());

// A whole decimal number that fits in 64 bits, or nothing.
std::optional<std::int64_t> wholeNumber(std::string_view text) {
    std::int64_t value = 0;
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

Json typed(const std::optional<std::string>& value, Kind kind) {
    if (!value)
        return nullptr;
    if (kind == Kind::Number) {
        if (const auto number = wholeNumber(*value))
            return *number;
    } else if (kind == Kind::Boolean) {
        if (*value == "True")
            return true;
        if (*value == "False")
            return false;
    }
    return *value;
}

// "57(1024x768@32 Bit /w High textures)": the frames per second and the settings apart.
Json direct3D(const std::optional<std::string>& value) {
    if (!value)
        return nullptr;
    const std::string_view text(*value);
    const std::size_t open = text.find('(');
    const auto fps = wholeNumber(text.substr(0, open));
    if (!fps)
        return *value;
    Json score = {{"frames_per_second", *fps}};
    if (open == std::string_view::npos)
        return score;
    // The settings as the writer puts them: "(" resolution "@" depth " Bit /w " texture
    // " textures)".
    const std::string_view settings = text.substr(open + 1);
    const std::size_t at = settings.find('@');
    const std::size_t bit = settings.find(" Bit /w ");
    const std::size_t textures = settings.rfind(" textures)");
    if (at == std::string_view::npos || bit == std::string_view::npos || bit < at ||
        textures == std::string_view::npos || textures < bit || textures + 10 != settings.size())
        return *value;
    const auto depth = wholeNumber(settings.substr(at + 1, bit - at - 1));
    if (!depth)
        return *value;
    score["resolution"] = std::string(settings.substr(0, at));
    score["depth_bits"] = *depth;
    score["texture"] = std::string(settings.substr(bit + 8, textures - bit - 8));
    return score;
}

// Whether any string in the document holds bytes that are not UTF-8.
bool holdsNonUtf8(const Json& value) {
    if (value.is_string())
        return !validUtf8(value.get_ref<const std::string&>());
    if (value.is_structured()) {
        for (const auto& [key, item] : value.items()) {
            if (!validUtf8(key) || holdsNonUtf8(item))
                return true;
        }
    }
    return false;
}

} // namespace

Json document(std::string_view command) {
    return {{"schema", kSchemaVersion},
            {"command", std::string(command)},
            {"units",
             {{"score", kScoreFields[0].unit}, {"direct3d", kScoreFields[kDirect3DScore].unit}}}};
}

Json record(const BenchmarkRecord& record) {
    Json scores = Json::object();
    for (std::size_t i = 0; i < kScoreFields.size(); ++i) {
        // A score of 0 is a benchmark that did not run.
        const auto& value = record.scores[i];
        scores[std::string(kScoreFields[i].name)] = comparison::notRun(value) ? Json(nullptr)
                                                    : kScoreFields[i].member == &ScoreSet::BMDR3D
                                                        ? direct3D(value)
                                                        : typed(value, Kind::Number);
    }
    Json system = Json::object();
    for (std::size_t i = 0; i < kSystemFields.size(); ++i)
        system[std::string(kSystemFields[i].name)] = typed(record.system[i], kSystemKinds[i]);
    return {{"row", record.RowNumber},
            {"file", record.fileName.str()},
            {"name", record.name ? Json(*record.name) : Json(nullptr)},
            {"scores", std::move(scores)},
            {"tasks", record.tasks},
            {"system", std::move(system)}};
}

Json system(const SystemDescription& description) {
    Json values = Json::object();
    for (std::size_t i = 0; i < kSystemFields.size(); ++i) {
        values[std::string(kSystemFields[i].name)] =
            typed(description.*kSystemFields[i].member, kSystemKinds[i]);
    }
    return values;
}

std::string text(const Json& document, bool* replaced) {
    if (replaced)
        *replaced = holdsNonUtf8(document);
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

ArrayWriter::ArrayWriter(std::ostream& out, const Json& head, std::string_view arrayName)
    : m_out(out)
    , m_replaced(holdsNonUtf8(head)) {
    std::string text = head.dump(2, ' ', false, Json::error_handler_t::replace);
    text.resize(head.empty() ? 1 : text.size() - 2); // without the head's closing "\n}"
    m_out << text << (head.empty() ? "\n" : ",\n") << "  " << Json(std::string(arrayName)).dump()
          << ": ";
}

void ArrayWriter::add(const Json& element) {
    m_replaced = m_replaced || holdsNonUtf8(element);
    // Indented as an element of a member of the document; a JSON text holds no line break of
    // its own, so each one is a place to indent.
    std::string text = element.dump(2, ' ', false, Json::error_handler_t::replace);
    m_out << (m_empty ? "[\n    " : ",\n    ");
    m_empty = false;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         start = end + 1, end = text.find('\n', start))
        m_out.write(text.data() + start, static_cast<std::streamsize>(end + 1 - start)) << "    ";
    m_out.write(text.data() + start, static_cast<std::streamsize>(text.size() - start));
}

bool ArrayWriter::finish() {
    m_out << (m_empty ? "[]" : "\n  ]") << "\n}\n";
    return m_replaced;
}

} // namespace vexo::json
