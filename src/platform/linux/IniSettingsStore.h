#pragma once

#include "platform/SettingsStore.h"

#include <optional>
#include <string>
#include <string_view>

namespace vexo {

// The settings of each application name in an INI file of its own, "<folder><application>.ini",
// one group per section. The file is the person's too: a save changes the one line of its key
// (or adds it), and every other line, comment and byte stays as it was; a value that is already
// stored as it would be written is not written again. A file that is not a regular file of at
// most 1 MB is neither read nor replaced: the defaults are used, and standard error says so once.
class IniSettingsStore final : public SettingsStore {
public:
    // folder ends in '/'; it is made when the first value is saved.
    explicit IniSettingsStore(std::string folder);

    std::string get(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& defaultValue) override;
    void save(const std::string& application, const std::string& section, const std::string& key,
              const std::string& value) override;

    // The value of the key in the section of an INI text, unquoted; nullopt when it has none.
    // Where a key stands more than once, the last one counts.
    static std::optional<std::string> valueIn(std::string_view text, std::string_view section,
                                              std::string_view key);
    // The INI text with the key's value set: only the line the value is read from is written
    // anew; a key the section lacks is added after the section's last entry, a section the
    // text lacks at its end.
    static std::string withValue(std::string_view text, std::string_view section,
                                 std::string_view key, std::string_view value);

private:
    std::string pathOf(const std::string& application) const;
    // The file's text, or nullopt when the file is there but may not be used (said once).
    std::optional<std::string> read(const std::string& path);

    std::string m_folder;
    bool m_told = false;
};

// Where per-user settings are kept, ending in '/': $XDG_CONFIG_HOME/vexogauge/, else
// ~/.config/vexogauge/.
std::string settingsFolder();

} // namespace vexo
