#include "SysinfoCommand.h"

#include "cli/Json.h"
#include "common/Text.h"
#include "sysinfo/SystemPage.h"

#include <algorithm>
#include <iostream>
#include <vector>

namespace vexo {

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result(1);
    for (const char c : text) {
        if (c == CR)
            result.emplace_back();
        else
            result.back() += c;
    }
    return result;
}

} // namespace

void printSystemInfo(SystemInfo& info, bool json, std::ostream& out) {
    if (json) {
        json::Json document = json::document("sysinfo");
        document["system"] = json::system(info.describe());
        out << json::text(document);
        return;
    }
    const SystemPageTexts page = Show_System_Info(info);
    const std::vector<std::string> labels = lines(page.labels);
    const std::vector<std::string> values = lines(page.values);
    std::size_t width = 0;
    for (const std::string& label : labels)
        width = std::max(width, label.size());
    for (std::size_t i = 0; i < labels.size(); ++i) {
        std::string line = labels[i];
        if (i < values.size() && !values[i].empty())
            line += std::string(width + 2 - labels[i].size(), ' ') + terminalText(values[i]);
        out << line << '\n';
    }
}

} // namespace vexo
