#include "TerminalDialogs.h"

#include "common/Text.h"

#include <algorithm>
#include <iostream>

namespace vexo {

int TerminalDialogs::messageBox(const std::string& text, int style, const std::string& title) {
    if (m_beforeOutput)
        m_beforeOutput();
    // Warnings and errors go to the error stream, everything else with the run's output.
    const int icon = style & 0x70;
    std::ostream& stream =
        icon == MsgStyle::Critical || icon == MsgStyle::Exclamation ? m_err : m_out;
    stream << (title.empty() ? kApplicationTitle : title) << ": " << crToNewline(text) << '\n';
    const int buttons = style & 7;
    return buttons == MsgStyle::YesNo || buttons == MsgStyle::YesNoCancel ? MsgAnswer::Yes
                                                                          : MsgAnswer::Ok;
}

std::optional<std::string> TerminalDialogs::inputBox(const std::string& prompt,
                                                     const std::string& title,
                                                     const std::string& defaultText, int, int) {
    if (m_advance) {
        std::string answer = std::move(*m_advance);
        m_advance.reset();
        return answer;
    }
    if (m_beforeOutput)
        m_beforeOutput();
    m_out << '\n' << crToNewline(prompt) << '\n' << title << ' ';
    if (!defaultText.empty())
        m_out << '[' << defaultText << "] ";
    m_out << std::flush;
    std::string line;
    if (!std::getline(m_in, line)) {
        m_out << '\n';
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line.empty() ? defaultText : line;
}

void TerminalProblems::reportProblem(const std::string& text) {
    if (m_beforeOutput)
        m_beforeOutput();
    std::string line = text;
    std::replace(line.begin(), line.end(), CR, ' ');
    m_err << m_prefix << terminalText(line) << '\n' << std::flush;
}

} // namespace vexo
