#include "LinuxPaths.h"

#include <filesystem>
#include <system_error>

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

} // namespace vexo
