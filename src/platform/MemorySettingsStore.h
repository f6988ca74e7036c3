#pragma once

#include "platform/SettingsStore.h"

#include <map>
#include <string>

namespace vexo {

// Settings kept only for the life of the object: for headless use, where nothing the user
// chose in a window is to be remembered.
class MemorySettingsStore final : public SettingsStore {
public:
    std::string get(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& defaultValue) override {
        const auto it = values.find(application + "/" + section + "/" + key);
        return it == values.end() ? defaultValue : it->second;
    }
    void save(const std::string& application, const std::string& section, const std::string& key,
              const std::string& value) override {
        values[application + "/" + section + "/" + key] = value;
    }

    std::map<std::string, std::string> values;
};

} // namespace vexo
