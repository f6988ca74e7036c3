// The report page read back as a document tree, as a browser would build it.
#include "report/Report.h"

#include "benchfile/BenchmarkFile.h"
#include "common/ScoreSet.h"

#include <QString>
#include <QXmlStreamReader>
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
    // Every element below it of that name (and of that class, if given), in document order.
    std::vector<const Node*> all(const std::string& element, const std::string& className = {},
                                 std::vector<const Node*> out = {}) const {
        for (const auto& child : children) {
            if (child->name == element &&
                (className.empty() ||
                 (" " + child->attribute("class") + " ").find(" " + className + " ") !=
                     std::string::npos))
                out.push_back(child.get());
            out = child->all(element, className, std::move(out));
        }
        return out;
    }
    std::vector<std::string> texts(const std::string& element,
                                   const std::string& className = {}) const {
        std::vector<std::string> out;
        for (const Node* node : all(element, className))
            out.push_back(node->text);
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
            Node* node = open.back()->children.emplace_back(std::make_unique<Node>()).get();
            node->name = reader.name().toString().toStdString();
            for (const auto& a : reader.attributes())
                node->attributes[a.name().toString().toStdString()] =
                    a.value().toString().toStdString();
            open.push_back(node);
        } else if (reader.isEndElement()) {
            open.pop_back();
        } else if (reader.isCharacters()) {
            for (Node* node : open)
                node->text += reader.text().toString().toStdString();
        }
    }
    EXPECT_FALSE(reader.hasError())
        << reader.errorString().toStdString() << " at line " << reader.lineNumber();
    return root;
}

using Texts = std::vector<std::string>;
const std::string kScript = "</svg><script>alert('x')</script> & \"quoted\" 'a'\x07";
const std::string kShown = kScript.substr(0, kScript.size() - 1) + " "; // a control as a space
const std::string kUnicode =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1";

struct Records {
    Records() {
        add("Desktop", {"1000", "2000", "300", "400", "57(1024x768@32 Bit /w High textures)", "60",
                        "70", "80"});
        add("Laptop (run 1 of 3)", {"100", "", "", "", "0", "", "", "50"});
        add("Laptop (run 2 of 3)", {"140", "", "", "", "0", "", "", "52"});
        add("Laptop (run 3 of 3)", {"110", "", "", "", "0", "", "", "54"});
        add(kScript, {"500"});
        add(kUnicode, {"5"});
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
    std::vector<const BenchmarkRecord*> inOrder() const { return benchfile::inOrder(database); }
    BenchmarkDatabase database;
};

TEST(ReportPage, OneChartPerScoreWithOneBarPerRecordOrRepeatedRun) {
    Records records;
    const auto page = parse(reportPage(records.inOrder(), {std::nullopt, "2026-12-07 13:45", {}}));
    EXPECT_EQ(page->texts("title"), Texts{"VexoGAUGE 2002 benchmark report"});
    EXPECT_EQ(page->texts("h1"), Texts{"VexoGAUGE 2002 benchmark report"});
    EXPECT_EQ(page->texts("p", "made"), Texts{"Made 2026-12-07 13:45 from 6 record(s)."});

    const auto charts = page->all("figure", "chart");
    ASSERT_EQ(charts.size(), 8u);
    for (std::size_t i = 0; i < charts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(charts[i]->attribute("id"), "chart-" + std::string(vexo::kScoreFields[i].key));
        EXPECT_EQ(charts[i]->texts("div", "label"),
                  (Texts{"1. Desktop", "2. Laptop (3 runs)", "5. " + kShown, "6. " + kUnicode}));
        EXPECT_EQ(charts[i]->all("svg").size(), 4u);
    }
    EXPECT_EQ(charts[0]->texts("figcaption"), Texts{"CPU/Cache/FSB (VexoGAUGEs)"});
    EXPECT_EQ(charts[0]->texts("div", "value"), (Texts{"1000", "110, 100 to 140", "500", "5"}));
    // The repeated run has its whisker, the others none.
    EXPECT_EQ(charts[0]->all("line", "whisker").size(), 3u);
    EXPECT_EQ(charts[4]->texts("figcaption"), Texts{"Direc3D (frames per second)"});
    EXPECT_EQ(charts[4]->texts("div", "value"), (Texts{"57 fps (1024x768@32 Bit /w High textures)",
                                                       "0 fps, 0 to 0", "no score", "no score"}));
    EXPECT_EQ(charts[1]->texts("div", "value")[1], "no score");
    // Bars are as long as their scores: the longest fills the drawing.
    std::string widths;
    for (const Node* bar : charts[0]->all("rect", "bar"))
        widths += bar->attribute("width") + " ";
    EXPECT_EQ(widths, "1000 110 500 5 ");
}

TEST(ReportPage, TheBaselineBarIs100PercentAndTheOthersArePercentagesOfIt) {
    Records records;
    const auto page = parse(reportPage(records.inOrder(), {3, "today", {"cut.vgf: damaged"}}));
    EXPECT_EQ(page->texts("p", "made"),
              Texts{"Made today from 6 record(s); percentages are of 2. Laptop (3 runs)."});
    EXPECT_EQ(page->texts("p", "damaged"), Texts{"Not read whole: cut.vgf: damaged"});
    const auto charts = page->all("figure", "chart");
    // A single record against the three runs of the baseline cannot be tested.
    const std::string untested = "; cannot be tested: 1 run against 3 (3 each are needed)";
    EXPECT_EQ(charts[0]->texts("div", "value"),
              (Texts{"1000, 909.1 %" + untested, "110, 100 to 140, 100.0 % (baseline)",
                     "500, 454.5 %" + untested, "5, 4.5 %" + untested}));
    const auto baseline = charts[0]->all("div", "baseline");
    ASSERT_EQ(baseline.size(), 1u);
    EXPECT_EQ(baseline[0]->attribute("data-bar"), "2. Laptop (3 runs)");
    EXPECT_EQ(charts[0]->all("line", "reference").size(), 4u);
    // Where the baseline has no score, there are no percentages.
    EXPECT_EQ(charts[1]->texts("div", "value")[0], "2000");
}

TEST(ReportPage, NothingRunsNothingIsFetchedAndEveryTextIsShownAsWritten) {
    Records records;
    const std::string html = reportPage(records.inOrder(), {std::nullopt, "<now>", {}});
    const auto page = parse(html);
    for (const char* element : {"script", "link", "img", "iframe", "object", "embed"})
        EXPECT_TRUE(page->all(element).empty()) << element;
    EXPECT_EQ(html.find("http"), std::string::npos);
    EXPECT_EQ(html.find("url("), std::string::npos);
    EXPECT_EQ(page->texts("p", "made"), Texts{"Made <now> from 6 record(s)."});

    const auto cards = page->all("article", "card");
    ASSERT_EQ(cards.size(), 6u);
    EXPECT_EQ(cards[4]->texts("h3"), Texts{"5. " + kShown});
    ASSERT_EQ(cards[0]->all("dt").size(), 14u);
    EXPECT_EQ(cards[0]->texts("dt")[8] + ": " + cards[0]->texts("dd")[8],
              "OS Name: Debian GNU/Linux 12 (bookworm)");
    // The task lists are there, collapsed.
    const auto details = cards[0]->all("details");
    ASSERT_EQ(details.size(), 1u);
    EXPECT_EQ(details[0]->attributes.count("open"), 0u);
    EXPECT_EQ(details[0]->texts("summary"), Texts{"Tasks (2)"});
    EXPECT_EQ(details[0]->texts("li"), (Texts{"Editor <notes>", "Terminal"}));

    // An empty database still gives every chart.
    const auto empty = parse(reportPage({}, {std::nullopt, "now", {}}));
    EXPECT_EQ(empty->all("figure", "chart").size(), 8u);
    EXPECT_EQ(empty->all("figure", "chart")[0]->texts("p"), Texts{"No records."});
    EXPECT_TRUE(empty->all("article").empty());
}

} // namespace
} // namespace vexo::report
