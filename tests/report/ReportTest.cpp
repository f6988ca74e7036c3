// The report page read back as a document tree, as a browser would build it.
#include "report/Report.h"

#include <QString>
#include <QXmlStreamReader>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace vexo::report {
namespace {

struct Node {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text; // all text below it
    std::vector<std::unique_ptr<Node>> children;

    std::string attribute(const std::string& key) const {
        const auto at = attributes.find(key);
        return at == attributes.end() ? std::string() : at->second;
    }
    bool hasClass(const std::string& wanted) const {
        const std::string classes = " " + attribute("class") + " ";
        return classes.find(" " + wanted + " ") != std::string::npos;
    }
    void collect(const std::function<bool(const Node&)>& match,
                 std::vector<const Node*>& out) const {
        for (const auto& child : children) {
            if (match(*child))
                out.push_back(child.get());
            child->collect(match, out);
        }
    }
    std::vector<const Node*> all(const std::string& element,
                                 const std::string& className = {}) const {
        std::vector<const Node*> out;
        collect(
            [&](const Node& n) {
                return n.name == element && (className.empty() || n.hasClass(className));
            },
            out);
        return out;
    }
};

// Parses the page; a page that is not well formed fails the test.
std::unique_ptr<Node> parse(const std::string& page) {
    auto root = std::make_unique<Node>();
    std::vector<Node*> open{root.get()};
    QXmlStreamReader reader(QString::fromStdString(page));
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            auto node = std::make_unique<Node>();
            node->name = reader.name().toString().toStdString();
            for (const auto& a : reader.attributes())
                node->attributes[a.name().toString().toStdString()] =
                    a.value().toString().toStdString();
            Node* raw = node.get();
            open.back()->children.push_back(std::move(node));
            open.push_back(raw);
        } else if (reader.isEndElement()) {
            open.pop_back();
        } else if (reader.isCharacters()) {
            const std::string text = reader.text().toString().toStdString();
            for (Node* node : open)
                node->text += text;
        }
    }
    EXPECT_FALSE(reader.hasError())
        << reader.errorString().toStdString() << " at line " << reader.lineNumber();
    return root;
}

struct Records {
    Records() {
        add("Desktop", {"1000", "2000", "300", "400", "57(1024x768@32 Bit /w High textures)", "60",
                        "70", "80"});
        add("Laptop (run 1 of 3)", {"100", "", "", "", "0", "", "", "50"});
        add("Laptop (run 2 of 3)", {"140", "", "", "", "0", "", "", "52"});
        add("Laptop (run 3 of 3)", {"110", "", "", "", "0", "", "", "54"});
        add("</svg><script>alert('x')</script> & \"quoted\"", {"500"});
        add("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1",
            {"5"});
    }
    void add(const std::string& name, const std::vector<std::string>& scores) {
        BenchmarkRecord& record = database.addRecord("runs.vgf");
        record.name = name;
        for (std::size_t i = 0; i < scores.size(); ++i)
            record.scores[i] = scores[i];
        record.system[0] = "401";
        record.system[10] = "Debian GNU/Linux 12 (bookworm)";
        record.tasks = {"Editor <notes>", "Terminal"};
    }
    std::vector<const BenchmarkRecord*> inOrder() const {
        std::vector<const BenchmarkRecord*> out;
        for (const BenchmarkRecord& record : database.records())
            out.push_back(&record);
        return out;
    }
    BenchmarkDatabase database;
};

std::vector<std::string> texts(const std::vector<const Node*>& nodes) {
    std::vector<std::string> out;
    for (const Node* node : nodes)
        out.push_back(node->text);
    return out;
}

TEST(ReportPage, OneChartPerScoreWithOneBarPerRecordOrRepeatedRun) {
    Records records;
    const auto page = parse(reportPage(records.inOrder(), {std::nullopt, "2026-12-07 13:45", {}}));
    ASSERT_EQ(page->all("title").size(), 1u);
    EXPECT_EQ(page->all("title")[0]->text, "VexoGAUGE 2002 benchmark report");
    EXPECT_EQ(page->all("h1")[0]->text, "VexoGAUGE 2002 benchmark report");
    EXPECT_EQ(page->all("p", "made")[0]->text, "Made 2026-12-07 13:45 from 6 record(s).");

    const auto charts = page->all("figure", "chart");
    ASSERT_EQ(charts.size(), 8u);
    const std::vector<std::string> ids{"chart-BMCPUh", "chart-BMCPUl", "chart-BMFPUh",
                                       "chart-BMFPUl", "chart-BMDR3D", "chart-BMSSA",
                                       "chart-BMBSA",  "chart-BMISA"};
    for (std::size_t i = 0; i < charts.size(); ++i) {
        EXPECT_EQ(charts[i]->attribute("id"), ids[i]);
        EXPECT_EQ(texts(charts[i]->all("div", "label")),
                  (std::vector<std::string>{"1. Desktop", "2. Laptop (3 runs)",
                                            "5. </svg><script>alert('x')</script> & \"quoted\"",
                                            "6. \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E "
                                            "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1"}))
            << ids[i];
        EXPECT_EQ(charts[i]->all("svg").size(), 4u);
    }
    EXPECT_EQ(charts[0]->all("figcaption")[0]->text, "CPU/Cache/FSB (VexoGAUGEs)");
    EXPECT_EQ(texts(charts[0]->all("div", "value")),
              (std::vector<std::string>{"1000", "110, 100 to 140", "500", "5"}));
    // The repeated run has its whisker, the others none.
    EXPECT_EQ(charts[0]->all("line", "whisker").size(), 3u);
    EXPECT_EQ(charts[4]->all("figcaption")[0]->text, "Direc3D (frames per second)");
    EXPECT_EQ(texts(charts[4]->all("div", "value")),
              (std::vector<std::string>{"57 fps (1024x768@32 Bit /w High textures)",
                                        "0 fps, 0 to 0", "no score", "no score"}));
    EXPECT_EQ(texts(charts[1]->all("div", "value"))[1], "no score");
    // Bars are as long as their scores: the longest fills the drawing.
    const auto bars = charts[0]->all("rect", "bar");
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(bars[0]->attribute("width"), "1000");
    EXPECT_EQ(bars[1]->attribute("width"), "110");
    EXPECT_EQ(bars[3]->attribute("width"), "5");
}

TEST(ReportPage, TheBaselineBarIs100PercentAndTheOthersArePercentagesOfIt) {
    Records records;
    const auto page = parse(reportPage(records.inOrder(), {3, "today", {"cut.vgf: damaged"}}));
    EXPECT_EQ(page->all("p", "made")[0]->text,
              "Made today from 6 record(s); percentages are of 2. Laptop (3 runs).");
    EXPECT_EQ(page->all("p", "damaged")[0]->text, "Not read whole: cut.vgf: damaged");
    const auto charts = page->all("figure", "chart");
    // A single record against the three runs of the baseline cannot be tested.
    const std::string untested = "; cannot be tested: 1 run against 3 (3 each are needed)";
    EXPECT_EQ(
        texts(charts[0]->all("div", "value")),
        (std::vector<std::string>{"1000, 909.1 %" + untested, "110, 100 to 140, 100.0 % (baseline)",
                                  "500, 454.5 %" + untested, "5, 4.5 %" + untested}));
    const auto baseline = charts[0]->all("div", "baseline");
    ASSERT_EQ(baseline.size(), 1u);
    EXPECT_EQ(baseline[0]->attribute("data-bar"), "2. Laptop (3 runs)");
    EXPECT_EQ(charts[0]->all("line", "reference").size(), 4u);
    // Where the baseline has no score, there are no percentages.
    EXPECT_EQ(texts(charts[1]->all("div", "value"))[0], "2000");
}

TEST(ReportPage, NothingRunsNothingIsFetchedAndEveryTextIsShownAsWritten) {
    Records records;
    const std::string html = reportPage(records.inOrder(), {std::nullopt, "<now>", {}});
    const auto page = parse(html);
    for (const char* element : {"script", "link", "img", "iframe", "object", "embed"})
        EXPECT_TRUE(page->all(element).empty()) << element;
    EXPECT_EQ(html.find("http"), std::string::npos);
    EXPECT_EQ(html.find("url("), std::string::npos);
    EXPECT_EQ(page->all("p", "made")[0]->text, "Made <now> from 6 record(s).");

    const auto cards = page->all("article", "card");
    ASSERT_EQ(cards.size(), 6u);
    EXPECT_EQ(cards[4]->all("h3")[0]->text, "5. </svg><script>alert('x')</script> & \"quoted\"");
    const auto terms = texts(cards[0]->all("dt"));
    ASSERT_EQ(terms.size(), 14u);
    EXPECT_EQ(terms[0], "CPU Class");
    EXPECT_EQ(terms[7], "Vitual Memory");
    EXPECT_EQ(terms[8], "OS Name");
    EXPECT_EQ(texts(cards[0]->all("dd"))[8], "Debian GNU/Linux 12 (bookworm)");
    // The task lists are there, collapsed.
    const auto details = cards[0]->all("details");
    ASSERT_EQ(details.size(), 1u);
    EXPECT_TRUE(details[0]->attributes.find("open") == details[0]->attributes.end());
    EXPECT_EQ(details[0]->all("summary")[0]->text, "Tasks (2)");
    EXPECT_EQ(texts(details[0]->all("li")),
              (std::vector<std::string>{"Editor <notes>", "Terminal"}));
}

TEST(ReportPage, AnEmptyDatabaseStillGivesEveryChart) {
    const auto page = parse(reportPage({}, {std::nullopt, "now", {}}));
    const auto charts = page->all("figure", "chart");
    EXPECT_EQ(charts.size(), 8u);
    EXPECT_EQ(charts[0]->all("p")[0]->text, "No records.");
    EXPECT_TRUE(page->all("article").empty());
}

TEST(EscapeHtml, MarkupCharactersAndControlsCannotBreakThePage) {
    EXPECT_EQ(escapeHtml("<a href=\"x\">Tom & Jerry's</a>"),
              "&lt;a href=&quot;x&quot;&gt;Tom &amp; Jerry&#39;s&lt;/a&gt;");
    EXPECT_EQ(escapeHtml(std::string("bell\x07"
                                     "end")),
              "bell end");
    EXPECT_EQ(escapeHtml("caf\xC3\xA9"), "caf\xC3\xA9");
}

} // namespace
} // namespace vexo::report
