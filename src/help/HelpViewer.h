#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vexo {

// The help viewer's behaviour: five topics, the marker of the one shown, and the document to
// show. The topic is the program's, kept while the window comes and goes.
class HelpViewer {
public:
    static constexpr const char* WindowTitle = "Kestrovia VexoGAUGE 2002 Edition Online Help";
    // Pictures of the topic markers: the topic shown, and the others.
    static constexpr int ShownPicture = 1;
    static constexpr int OtherPicture = 3;

    struct Topic {
        const char* caption;
        const char* document; // relative to the installation folder
    };
    static const std::array<Topic, 5>& topics();
    // ContentText 0 to 5 and 7 (6 is not used).
    static const std::array<const char*, 8>& contentTexts();

    HelpViewer(std::int16_t& helpTopic, std::string appFolder);

    // The window's load handler.
    void Form_Load() { Change_Frames(); }
    // A click on a topic's text or marker.
    void helpTextClick(int index);
    void Change_Frames();

    int markerPicture(int topic) const { return m_markers.at(static_cast<std::size_t>(topic)); }
    // The document shown (a full path), or empty before the first.
    const std::string& document() const { return m_document; }
    std::int16_t topic() const { return m_topic; }

    // Which main window comes back when help closes.
    enum class MainWindow { Wizard, ResultBrowser };
    static MainWindow windowToRestore(bool wizardVisible) {
        return wizardVisible ? MainWindow::Wizard : MainWindow::ResultBrowser;
    }

private:
    std::int16_t& m_topic;
    std::string m_appFolder;
    std::array<int, 5> m_markers{};
    std::string m_document;
};

} // namespace vexo
