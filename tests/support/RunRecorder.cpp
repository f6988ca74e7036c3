#include "RunRecorder.h"

#include <algorithm>

namespace vexo::test {

void EventLog::addYield() {
    ++m_yields;
    if (m_runLength > 0 && !m_events.empty() && m_events.back().rfind("yield x", 0) == 0) {
        m_events.back() = "yield x" + std::to_string(++m_runLength);
        return;
    }
    m_runLength = 1;
    m_events.push_back("yield x1");
}

std::vector<std::string> EventLog::withPrefix(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& event : m_events)
        if (event.starts_with(prefix))
            found.push_back(event.substr(prefix.size()));
    return found;
}

std::string shownOn(RunPageView::Line line, const std::string& text) {
    static constexpr const char* names[RunPageView::kLineCount] = {"status ", "progress ",
                                                                   "estimate ", "description "};
    return names[line] + text;
}

std::vector<std::string> EventLog::from(const std::string& first, std::size_t n) const {
    const auto at = std::find(m_events.begin(), m_events.end(), first);
    const auto left = static_cast<std::size_t>(m_events.end() - at);
    return {at, at + static_cast<std::ptrdiff_t>(std::min(n, left))};
}

int ScriptedDialogs::messageBox(const std::string& text, int style, const std::string& title) {
    messages.push_back({text, style, title});
    m_log.add("box " + std::to_string(style) + " " + title + ": " + text);
    if (whileBoxOpen)
        whileBoxOpen();
    return messageAnswer;
}

std::optional<std::string> ScriptedDialogs::inputBox(const std::string& prompt,
                                                     const std::string& title,
                                                     const std::string& defaultText, int leftTwips,
                                                     int topTwips) {
    questions.push_back({prompt, title, defaultText, leftTwips, topTwips});
    m_log.add("ask " + title);
    if (m_answers.empty())
        return std::nullopt;
    auto answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

} // namespace vexo::test
