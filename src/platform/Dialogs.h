#pragma once

#include <optional>
#include <string>

namespace vexo {

// Message box styles: the sum of one button set and one icon.
namespace MsgStyle {
inline constexpr int OkOnly = 0;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
} // namespace MsgStyle

// Message box answers.
namespace MsgAnswer {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MsgAnswer

inline constexpr const char* kApplicationTitle = "VexoGAUGE_2002";

// Modal dialogs. Texts may hold carriage returns (code 13) as line breaks.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows a modal message box and returns the answer (MsgAnswer). An empty title shows
    // the application title.
    virtual int messageBox(const std::string& text, int style, const std::string& title) = 0;

    // Asks for one line of text. The box is placed at the given offset, in twips, from the
    // top-left corner of the active main window, read anew on every call. A cancelled box
    // answers the empty string; std::nullopt means no answer can ever come (for example the
    // input of a terminal was closed), so the caller must not ask again.
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText, int leftTwips,
                                                int topTwips) = 0;
};

} // namespace vexo
