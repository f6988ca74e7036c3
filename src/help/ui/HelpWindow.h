#pragma once

#include "help/HelpViewer.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <string>

class QLabel;
class QTextBrowser;

namespace vexo {

// The help viewer: a contents panel with the five topics on the left, the chosen document on
// the right. Closing it (or Exit) brings the main window back.
class HelpWindow final : public QMainWindow {
public:
    HelpWindow(std::int16_t& helpTopic, std::string appFolder, QWidget* parent = nullptr);

    // Brings back the main window the help was opened from; called when the window closes.
    std::function<void()> restoreMainWindow;
    std::function<void()> onAbout;

    const HelpViewer& model() const { return m_model; }
    void chooseTopic(int index);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void sync();

    HelpViewer m_model;
    std::string m_appFolder;
    std::array<QPixmap, 4> m_markers; // by picture number, 1 to 3
    std::array<QLabel*, 5> m_topicMarkers{};
    QTextBrowser* m_document = nullptr;
    std::string m_shownDocument;
};

} // namespace vexo
