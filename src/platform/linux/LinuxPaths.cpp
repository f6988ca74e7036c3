#include "LinuxPaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace vexo {

std::string appFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path folder = exe.parent_path();
        if (fs::is_directory(folder / "data", error))
            return folder.string() + "/";
        const fs::path share = folder.parent_path() / "share" / "vexogauge";
        if (fs::is_directory(share, error))
            return share.string() + "/";
        return folder.string() + "/";
    }
    return "./";
}

std::string resultsFolder(const std::string& appFolder) {
    namespace fs = std::filesystem;
    if (!appFolder.empty() && access(appFolder.c_str(), W_OK) == 0)
        return appFolder;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    fs::path base;
    if (dataHome != nullptr && *dataHome == '/')
        base = dataHome;
    else if (home != nullptr && *home != '\0')
        base = fs::path(home) / ".local" / "share";
    else
        base = fs::temp_directory_path();
    const fs::path folder = base / "vexogauge";
    std::error_code error;
    fs::create_directories(folder, error);
    return folder.string() + "/";
}

} // namespace vexo
