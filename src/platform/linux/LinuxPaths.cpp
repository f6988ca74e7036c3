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

std::string resultsFolderFor(const std::string& appFolder, const std::string& executableFolder,
                             const char* dataHome, const char* home) {
    namespace fs = std::filesystem;
    if (!appFolder.empty() && appFolder == executableFolder && access(appFolder.c_str(), W_OK) == 0)
        return appFolder;
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

std::string resultsFolder(const std::string& appFolder) {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string executableFolder = error ? std::string() : exe.parent_path().string() + "/";
    return resultsFolderFor(appFolder, executableFolder, std::getenv("XDG_DATA_HOME"),
                            std::getenv("HOME"));
}

} // namespace vexo
