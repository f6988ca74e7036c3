#include "HelpViewer.h"

namespace vexo {

const std::array<HelpViewer::Topic, 5>& HelpViewer::topics() {
    static const std::array<Topic, 5> list{{
        {"The benchmarking Wzzard", "data/H1Data.dat"},
        {"The Result Browser", "data/H2Data.dat"},
        {"The Advanced Task Manager", "data/H3Data.dat"},
        {"Read the Readme.txt file.", "readme.rtf"},
        {"Read the Licence Agreement.", "licence.rtf"},
    }};
    return list;
}

const std::array<const char*, 8>& HelpViewer::contentTexts() {
    static const std::array<const char*, 8> texts{
        "Help Contents",
        "Check here for main topics you may need help with.",
        "I need assistance with ...",
        "Click here if you are having problems with the benchmarking wizzard.",
        "Select this option if you are having problems with the result browser tool.",
        "This oprion gives you guidance on the ATM tool, built into vexogauge.",
        "",
        "Additional infomation ...",
    };
    return texts;
}

HelpViewer::HelpViewer(std::int16_t& helpTopic, std::string appFolder)
    : m_topic(helpTopic)
    , m_appFolder(std::move(appFolder)) {
    m_markers.fill(OtherPicture);
}

void HelpViewer::helpTextClick(int index) {
    m_topic = static_cast<std::int16_t>(index);
    Change_Frames();
}

void HelpViewer::Change_Frames() {
    m_markers.fill(OtherPicture);
    if (m_topic < 0 || m_topic > 4)
        return; // every marker plain, the document as it was
    m_markers[static_cast<std::size_t>(m_topic)] = ShownPicture;
    m_document = m_appFolder + topics()[static_cast<std::size_t>(m_topic)].document;
}

} // namespace vexo
