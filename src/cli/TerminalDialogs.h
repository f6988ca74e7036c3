#pragma once

#include "common/ProblemReport.h"
#include "platform/Dialogs.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace vexo {

// Dialogs on a terminal: message boxes are printed to err (a question is answered Yes), and
// input boxes read one line from in, unless an answer was given in advance.
class TerminalDialogs final : public Dialogs {
public:
    TerminalDialogs(std::istream& in, std::ostream& out, std::ostream& err)
        : m_in(in)
        , m_out(out)
        , m_err(err) {}

    // The first input box is answered with this text without asking.
    void answerInAdvance(std::string text) { m_advance = std::move(text); }
    // Called before anything is printed (for example to clear a progress line).
    void beforeOutput(std::function<void()> hook) { m_beforeOutput = std::move(hook); }

    int messageBox(const std::string& text, int style, const std::string& title) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText, int leftTwips,
                                        int topTwips) override;

private:
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    std::optional<std::string> m_advance;
    std::function<void()> m_beforeOutput;
};

// Problems on a terminal: each is one line on err after the command's prefix
// ("vexogauge-cli run: "), its line breaks made blanks and its control characters visible.
class TerminalProblems final : public ProblemReport {
public:
    TerminalProblems(std::ostream& err, std::string prefix)
        : m_err(err)
        , m_prefix(std::move(prefix)) {}

    // Called before anything is printed (for example to clear a progress line).
    void beforeOutput(std::function<void()> hook) { m_beforeOutput = std::move(hook); }
    void reportProblem(const std::string& text) override;

private:
    std::ostream& m_err;
    std::string m_prefix;
    std::function<void()> m_beforeOutput;
};

} // namespace vexo
