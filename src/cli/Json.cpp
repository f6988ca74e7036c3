#include "Json.h"

#include "benchfile/Comparison.h"
#include "common/ScoreSet.h"
#include "common/Text.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace vexo::json {

namespace {

// The JSON names of the score and system keys, in the order of their tables.
constexpr std::array<const char*, 8> kScoreNames = {
    "cpu_cache_fsb", "cpu_ram_chipset", "fpu_spfp", "fpu_integer",
    "direct3d",      "spreadsheet",     "business", "imaging"};

enum class Kind { Number, Boolean, Text };
struct SystemName {
    const char* name;
    Kind kind;
};
constexpr std::array<SystemName, 14> kSystemNames = {{
    {"cpu_type", Kind::Number},
    {"cpu_mhz", Kind::Number},
    {"cpu_mmx", Kind::Boolean},
    {"cpu_fpu", Kind::Boolean},
    {"memory_load_percent", Kind::Number},
    {"memory_total_mb", Kind::Number},
    {"memory_free_mb", Kind::Number},
    {"memory_virtual_mb", Kind::Number},
    {"os_major", Kind::Number},
    {"os_minor", Kind::Number},
    {"os_name", Kind::Text},
    {"os_build", Kind::Number},
    {"graphics_adapter", Kind::Text},
    {"graphics_memory_mb", Kind::Number},
}};
static_assert(kScoreNames.size() == kScoreFields.size());
static_assert(kSystemNames.size() == kSystemFields.size());

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
            {"units", {{"score", "VexoGAUGEs"}, {"direct3d", "frames per second"}}}};
}

Json record(const BenchmarkRecord& record) {
    Json scores = Json::object();
    for (std::size_t i = 0; i < kScoreFields.size(); ++i) {
        scores[kScoreNames[i]] = kScoreFields[i].member == &ScoreSet::BMDR3D
                                     ? direct3D(record.scores[i])
                                     : typed(record.scores[i], Kind::Number);
    }
    Json system = Json::object();
    for (std::size_t i = 0; i < kSystemFields.size(); ++i)
        system[kSystemNames[i].name] = typed(record.system[i], kSystemNames[i].kind);
    return {{"row", record.RowNumber},
            {"file", record.fileName.str()},
            {"name", record.name ? Json(*record.name) : Json(nullptr)},
            {"scores", std::move(scores)},
            {"tasks", record.tasks},
            {"system", std::move(system)}};
}

const char* scoreName(std::size_t index) {
    return kScoreNames.at(index);
}

Json system(const SystemDescription& description) {
    Json values = Json::object();
    for (std::size_t i = 0; i < kSystemFields.size(); ++i) {
        values[kSystemNames[i].name] =
            typed(description.*kSystemFields[i].member, kSystemNames[i].kind);
    }
    return values;
}

std::string text(const Json& document, bool* replaced) {
    if (replaced)
        *replaced = holdsNonUtf8(document);
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

} // namespace vexo::json
