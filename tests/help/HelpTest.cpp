#include "help/HelpViewer.h"
#include "help/RichText.h"

#include <gtest/gtest.h>

namespace vexo {
namespace {

// A topic outside the list (7) changes only the markers. That the topic outlives the window, the
// help window's tests show.
TEST(HelpViewer, ShowsTheTopicWithItsMarkerAndClosingRestoresTheWindowShownBefore) {
    std::int16_t topic = 2;
    HelpViewer viewer(topic, "/opt/vexo/");
    viewer.Form_Load();
    for (const int chosen : {2, 7, 0}) {
        viewer.helpTextClick(chosen);
        EXPECT_EQ(viewer.document(),
                  chosen == 0 ? "/opt/vexo/data/H1Data.dat" : "/opt/vexo/data/H3Data.dat");
        for (int t = 0; t < 5; ++t)
            EXPECT_EQ(viewer.markerPicture(t),
                      t == chosen ? HelpViewer::ShownPicture : HelpViewer::OtherPicture)
                << chosen << ": " << t;
    }
    EXPECT_EQ(HelpViewer::windowToRestore(true), HelpViewer::MainWindow::Wizard);
    EXPECT_EQ(HelpViewer::windowToRestore(false), HelpViewer::MainWindow::ResultBrowser);
    EXPECT_EQ(std::string(HelpViewer::topics()[0].caption), "The benchmarking Wzzard");
    EXPECT_EQ(std::string(HelpViewer::contentTexts()[5]),
              "This oprion gives you guidance on the ATM tool, built into vexogauge.");
}

// A document's HTML: one left-aligned paragraph per text given.
std::string paragraphs(std::initializer_list<const char*> texts) {
    std::string html;
    for (const char* text : texts)
        html += std::string("<p align=\"left\">") + text + "</p>\n";
    return html;
}

TEST(RichText, SmallDocuments) {
    const std::pair<const char*, std::string> cases[] = {
        {R"({\rtf1 Hello\par World})", paragraphs({"Hello", "World"})},
        {R"({\rtf1{\colortbl;\red255\green0\blue16;}\cf1 red\cf0 plain})",
         paragraphs({"<span style=\"color:#ff0010;\">red</span>plain"})},
        {R"({\rtf1 caf\'e9 \u8364? \{x\} back\\slash})",
         paragraphs({"caf\xC3\xA9 \xE2\x82\xAC {x} back\\slash"})},
        {R"({\rtf1{\fonttbl{\f0 Arial;}}{\stylesheet{\s0 Normal;}}{\info{\title T}})"
         R"({\*\generator x;}{\*\unknown hidden}shown})",
         paragraphs({"shown"})},
        {R"({\rtf1 <tag> & "q"})", paragraphs({"&lt;tag&gt; &amp; &quot;q&quot;"})},
        {R"({\rtf1\uc0\u26085\u26412 })", paragraphs({"\xE6\x97\xA5\xE6\x9C\xAC"})},
        {R"(}}}{\rtf1 unbalanced}}})", paragraphs({"unbalanced"})},
        {R"({\rtf1 no end)", paragraphs({"no end"})},
        {R"({\rtf1\unknownword42 \x fine})", paragraphs({"fine"})},
    };
    for (const auto& [rtf, html] : cases)
        EXPECT_EQ(richTextToHtml(rtf), html) << rtf;
}

TEST(RichText, HostileInputStaysLinearAndBounded) {
    std::string deep(200'000, '{');
    deep += "text";
    deep += std::string(200'000, '}');
    EXPECT_EQ(richTextToHtml(deep), paragraphs({"text"}));

    std::string words;
    for (int i = 0; i < 50'000; ++i)
        words += "\\" + std::string(100, 'b') + "123456789012345 ";
    EXPECT_EQ(richTextToHtml(words), "");
    EXPECT_EQ(richTextToHtml("\\"), "");
    EXPECT_EQ(richTextToHtml("{\\'"), "");
    EXPECT_EQ(richTextToHtml("{\\'4"), paragraphs({"4"})); // a cut escape
    EXPECT_EQ(richTextToHtml("{\\u-"), paragraphs({"-"}));
}

} // namespace
} // namespace vexo
