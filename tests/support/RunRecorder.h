#pragma once

#include "common/ProblemReport.h"
#include "engine/RunPageView.h"
#include "platform/Dialogs.h"
#include "platform/MessagePump.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vexo::test {

// The event a line change leaves in the log.
std::string shownOn(RunPageView::Line line, const std::string& text);

// One log of everything a run shows, in order: line changes as "status <text>" (or progress,
// estimate, description), pictures as "image <group> <picture>", measurement starts as
// "measure <seconds>", message boxes as "box <style> <title>: <text>", input boxes as
// "ask <title>", and runs of yields as "yield xN".
class EventLog {
public:
    void add(std::string event) { m_events.push_back(std::move(event)); }
    void addYield();
    const std::vector<std::string>& events() const { return m_events; }
    // The events that start with the prefix, in order, without it.
    std::vector<std::string> withPrefix(const std::string& prefix) const;
    // The texts a line showed, in order.
    std::vector<std::string> texts(RunPageView::Line line) const {
        return withPrefix(shownOn(line, ""));
    }
    // The n events from the first one equal to `first` on; fewer at the end, none without it.
    std::vector<std::string> from(const std::string& first, std::size_t n) const;
    std::size_t yields() const { return m_yields; }

private:
    std::vector<std::string> m_events;
    std::size_t m_yields = 0;
    std::size_t m_runLength = 0;
};

class RecordingRunPage final : public RunPageView {
public:
    explicit RecordingRunPage(EventLog& log)
        : m_log(log) {}

    void setLine(Line line, const std::string& text) override {
        m_texts[line] = text;
        m_log.add(shownOn(line, text));
    }
    void setBenchImage(int group, int picture) override {
        m_images[group] = picture;
        m_log.add("image " + std::to_string(group) + " " + std::to_string(picture));
    }
    void measurementStarting(int seconds) override {
        m_log.add("measure " + std::to_string(seconds));
        if (onMeasurement)
            onMeasurement();
    }

    std::string text(Line line) const { return m_texts.contains(line) ? m_texts.at(line) : ""; }
    int benchImage(int group) const { return m_images.contains(group) ? m_images.at(group) : 0; }

    // Called at each measurement start (for example to schedule the clock).
    std::function<void()> onMeasurement;

private:
    EventLog& m_log;
    std::map<Line, std::string> m_texts;
    std::map<int, int> m_images;
};

class CountingPump final : public MessagePump {
public:
    explicit CountingPump(EventLog& log)
        : m_log(log) {}
    void yield() override { m_log.addYield(); }

private:
    EventLog& m_log;
};

// Answers input boxes from a script (std::nullopt once it is used up) and message boxes with
// a fixed answer; records every question, and every problem the core reports (logged as
// "problem <text>").
class ScriptedDialogs final : public Dialogs, public ProblemReport {
public:
    struct Question {
        std::string prompt, title, defaultText;
        int leftTwips = 0, topTwips = 0;
    };
    struct Message {
        std::string text;
        int style = 0;
        std::string title;
    };

    explicit ScriptedDialogs(EventLog& log)
        : m_log(log) {}

    void answer(std::optional<std::string> text) { m_answers.push_back(std::move(text)); }

    int messageBox(const std::string& text, int style, const std::string& title) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText, int leftTwips,
                                        int topTwips) override;
    void reportProblem(const std::string& text) override {
        problems.push_back(text);
        m_log.add("problem " + text);
    }

    std::vector<Question> questions;
    std::vector<Message> messages;
    std::vector<std::string> problems;
    int messageAnswer = MsgAnswer::Ok;
    // Runs while a message box is open, as timers and the desktop would.
    std::function<void()> whileBoxOpen;

private:
    EventLog& m_log;
    std::deque<std::optional<std::string>> m_answers;
};

} // namespace vexo::test
