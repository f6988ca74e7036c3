#pragma once

#include <string>
#include <string_view>

namespace vexo {

// A JSON string literal for UTF-8 text.
std::string jsonString(std::string_view text);

} // namespace vexo
