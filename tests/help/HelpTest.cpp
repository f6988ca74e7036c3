#include "help/HelpViewer.h"
#include "help/RichText.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

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

TEST(RichText, SmallDocuments) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({\rtf1 Hello\par World})",
         "<p align=\"left\">Hello</p>\n<p align=\"left\">World</p>\n"},
        {R"({\rtf1 a\b bold\b0  c})",
         "<p align=\"left\">a<span style=\"font-weight:bold;\">bold</span> c</p>\n"},
        {R"({\rtf1 {\i it}{\ul un}\fs40 big})",
         "<p align=\"left\"><span style=\"font-style:italic;\">it</span><span "
         "style=\"text-decoration:underline;\">un</span><span "
         "style=\"font-size:20pt;\">big</span></p>\n"},
        {R"({\rtf1{\colortbl;\red255\green0\blue16;}\cf1 red\cf0 plain})",
         "<p align=\"left\"><span style=\"color:#ff0010;\">red</span>plain</p>\n"},
        {R"({\rtf1\qc centred\par\pard left})",
         "<p align=\"center\">centred</p>\n<p align=\"left\">left</p>\n"},
        {R"({\rtf1 caf\'e9 \u8364? \{x\} back\\slash})",
         "<p align=\"left\">caf\xC3\xA9 \xE2\x82\xAC {x} back\\slash</p>\n"},
        {R"({\rtf1 one\line two\tab three})",
         "<p align=\"left\">one<br>two&nbsp;&nbsp;&nbsp;&nbsp;three</p>\n"},
        {R"({\rtf1{\fonttbl{\f0 Arial;}}{\stylesheet{\s0 Normal;}}{\info{\title T}})"
         R"({\*\generator x;}{\*\unknown hidden}shown})",
         "<p align=\"left\">shown</p>\n"},
        {R"({\rtf1 <tag> & "q"})", "<p align=\"left\">&lt;tag&gt; &amp; &quot;q&quot;</p>\n"},
        {R"({\rtf1 \ldblquote x\rdblquote \endash\emdash\bullet})",
         "<p align=\"left\">\xE2\x80\x9Cx\xE2\x80\x9D\xE2\x80\x93\xE2\x80\x94\xE2\x80\xA2</p>\n"},
        {R"({\rtf1\uc0\u26085\u26412 })", "<p align=\"left\">\xE6\x97\xA5\xE6\x9C\xAC</p>\n"},
        {R"(}}}{\rtf1 unbalanced}}})", "<p align=\"left\">unbalanced</p>\n"},
        {R"({\rtf1 no end)", "<p align=\"left\">no end</p>\n"},
        {R"({\rtf1\unknownword42 \x fine})", "<p align=\"left\">fine</p>\n"},
    };
    for (const auto& [rtf, html] : cases)
        EXPECT_EQ(richTextToHtml(rtf), html) << rtf;
}

TEST(RichText, HostileInputStaysLinearAndBounded) {
    std::string deep(200'000, '{');
    deep += "text";
    deep += std::string(200'000, '}');
    EXPECT_EQ(richTextToHtml(deep), "<p align=\"left\">text</p>\n");

    std::string words;
    for (int i = 0; i < 50'000; ++i)
        words += "\\" + std::string(100, 'b') + "123456789012345 ";
    EXPECT_EQ(richTextToHtml(words), "");
    EXPECT_EQ(richTextToHtml("\\"), "");
    EXPECT_EQ(richTextToHtml("{\\'"), "");
    EXPECT_EQ(richTextToHtml("{\\'4"), "<p align=\"left\">4</p>\n"); // a cut escape
    EXPECT_EQ(richTextToHtml("{\\u-"), "<p align=\"left\">-</p>\n");
}

TEST(RichText, TheShippedDocumentsReadFully) {
    for (const char* name :
         {"H1Data.dat", "H2Data.dat", "H3Data.dat", "readme.rtf", "licence.rtf"}) {
        std::ifstream in(std::string(VEXO_HELP_DOCUMENTS) + "/" + name, std::ios::binary);
        const std::string rtf{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_FALSE(rtf.empty()) << name;
        const std::string html = richTextToHtml(rtf);
        EXPECT_GT(html.size(), 1000u) << name;
        EXPECT_EQ(html.find('\\'), std::string::npos) << name << ": a control word leaked";
        EXPECT_EQ(html.find("DejaVu"), std::string::npos) << name << ": the font table leaked";
        EXPECT_NE(html.find("font-weight:bold"), std::string::npos) << name;
    }
}

} // namespace
} // namespace vexo
