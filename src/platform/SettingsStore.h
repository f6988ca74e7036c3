#pragma once

#include <string>

namespace vexo {

inline constexpr const char* kSettingsApplication = "VexoGAUGE 2002";

// The per-user settings: text values by application name, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string get(const std::string& application, const std::string& section,
                            const std::string& key, const std::string& defaultValue) = 0;
    virtual void save(const std::string& application, const std::string& section,
                      const std::string& key, const std::string& value) = 0;
};

} // namespace vexo
