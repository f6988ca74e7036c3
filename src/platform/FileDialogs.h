#pragma once

#include <optional>
#include <string>

namespace vexo {

// File dialog flags that change behaviour.
namespace FileFlags {
inline constexpr unsigned HideReadOnly = 0x4;
inline constexpr unsigned OverwritePrompt = 0x2;
inline constexpr unsigned FileMustExist = 0x1000;
inline constexpr unsigned Explorer = 0x80000;
} // namespace FileFlags

struct FileDialogRequest {
    std::string title;
    std::string initialFolder;
    // "description|pattern|description|pattern..."; "*.*" matches every file.
    std::string filter;
    int filterIndex = 1; // 1-based
    unsigned flags = 0;
    int maxFileNameLength = 256;
    std::string initialFileName;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
};

// Starts other programs.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Starts the program file with a normal window that receives the focus; false when it
    // could not be started.
    virtual bool startProgram(const std::string& path) = 0;
};

} // namespace vexo
