// The report page read back as a document tree, as a browser would build it.
#include "report/Report.h"

#include "benchfile/BenchmarkFile.h"
#include "support/DecimalCommaLocale.h"

#include <QDomDocument>
#include <QStringList>
#include <gtest/gtest.h>

namespace vexo::report {
namespace {

using Texts = std::vector<std::string>;
using Elements = std::vector<QDomElement>;

// Every element below root of that name (and of that class, if given), in document order.
Elements all(const QDomElement& root, const char* name, const char* className = "") {
    Elements out;
    const QDomNodeList found = root.elementsByTagName(QString::fromLatin1(name));
    for (int i = 0; i < found.size(); ++i)
        if (!*className || found.at(i).toElement().attribute("class").split(' ').contains(
                               QLatin1String(className)))
            out.push_back(found.at(i).toElement());
    return out;
}
Texts texts(const QDomElement& root, const char* name, const char* className = "") {
    Texts out;
    for (const QDomElement& element : all(root, name, className))
        out.push_back(element.text().toStdString());
    return out;
}

// Parses the page; a page that is not well formed fails the test.
QDomElement parse(const std::string& page) {
    QDomDocument document;
    QString error;
    EXPECT_TRUE(document.setContent(QString::fromStdString(page), &error)) << error.toStdString();
    return document.documentElement();
}

const std::string kScript = "</svg><script>alert('x')</script> & \"quoted\" 'a'\x07";
const std::string kReplaced = "\xEF\xBF\xBD"; // U+FFFD, what a control character is shown as
const std::string kShown = kScript.substr(0, kScript.size() - 1) + kReplaced;
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
        add("Desktop", {"1000", "2000", "300", "400", "57(1024x768@32 Bit /w High textures)", "60",
                        "70", "80"}); // record 1 again
        add("Del\x7F C1 \xC2\x81\xC2\x9D", {"12abc"});
    }
    void add(const std::string& name, const std::vector<std::string>& scores) {
        BenchmarkRecord& record = database.addRecord("runs.vgf");
        for (std::size_t i = 0; i < scores.size(); ++i)
            record.scores[i] = scores[i];
        record.name = name, record.system[10] = "Debian GNU/Linux 12 (bookworm)";
        record.tasks = {"Editor <notes>", "Terminal"};
    }
    std::vector<const BenchmarkRecord*> inOrder() const { return benchfile::inOrder(database); }
    BenchmarkDatabase database;
};

// One chart per score with a bar per run or repeated run, against the baseline; a run given
// twice counts once; every text is shown as written, a control character replaced and counted;
// nothing runs or is fetched; numbers are written alike in every locale.
TEST(ReportPage, ChartsEachScoreAgainstTheBaselineAndShowsEveryTextAsWritten) {
    const Records records;
    const std::string html = reportPage(records.inOrder(), {3, "2026-12-07 13:45", {"cut.vgf: x"}});
    const auto page = parse(html);
    EXPECT_EQ(texts(page, "title"), Texts{"VexoGAUGE 2002 benchmark report"});
    EXPECT_EQ(texts(page, "p", "made"),
              Texts{"Made 2026-12-07 13:45 from 8 record(s); 1 duplicate record(s) left out: a run "
                    "given more than once counts once; percentages are of 2. Laptop (3 runs)."});
    EXPECT_EQ(texts(page, "p", "damaged"), Texts{"Not read whole: cut.vgf: x"});
    EXPECT_EQ(texts(page, "p", "notice"),
              Texts{"4 control character(s) in the records' texts cannot be shown on a page; "
                    "each stands as " +
                    kReplaced + "."});

    const auto charts = all(page, "figure", "chart");
    ASSERT_EQ(charts.size(), 8u);
    EXPECT_EQ(charts[7].attribute("id").toStdString(), "chart-imaging");
    EXPECT_EQ(texts(charts[0], "figcaption"), Texts{"CPU/Cache/FSB (VexoGAUGEs)"});
    EXPECT_EQ(texts(charts[0], "div", "label"),
              (Texts{"1. Desktop", "2. Laptop (3 runs)", "5. " + kShown, "6. " + kUnicode,
                     "8. Del" + kReplaced + " C1 " + kReplaced + kReplaced}));
    // A single record against the three runs of the baseline cannot be tested.
    const std::string untested = "; cannot be tested: 1 run against 3 (3 each are needed)";
    EXPECT_EQ(
        texts(charts[0], "div", "value"),
        (Texts{"1000, 909.1 %" + untested, "110, 100 to 140, 100.0 % (baseline)",
               "500, 454.5 %" + untested, "5, 4.5 %" + untested, "not a whole number: 12abc"}));
    EXPECT_TRUE(all(charts[0], "line", "whisker").size() == 3u &&
                all(charts[0], "line", "reference").size() == 5u);
    const auto baseline = all(charts[0], "div", "baseline");
    ASSERT_EQ(baseline.size(), 1u);
    EXPECT_EQ(baseline[0].attribute("data-bar").toStdString(), "2. Laptop (3 runs)");
    // Where the baseline has no score, there are no percentages; a score of 0 is a benchmark
    // that did not run: no bar, no statistics.
    EXPECT_EQ(texts(charts[1], "div", "value")[0], "2000");
    EXPECT_TRUE(all(charts[1], "line", "reference").empty());
    EXPECT_EQ(texts(charts[4], "figcaption"), Texts{"Direc3D (frames per second)"});
    EXPECT_EQ(texts(charts[4], "div", "value")[0] + "|" + texts(charts[4], "div", "value")[1],
              "57 fps (1024x768@32 Bit /w High textures)|not run (baseline)");
    EXPECT_TRUE(all(charts[4], "rect", "bar").size() == 1u &&
                all(charts[4], "line", "whisker").empty());

    // The page's policy forbids every fetch and script.
    const auto policy = all(page, "meta");
    ASSERT_EQ(policy.size(), 3u);
    EXPECT_EQ(policy[1].attribute("http-equiv").toStdString() + ": " +
                  policy[1].attribute("content").toStdString(),
              "Content-Security-Policy: default-src 'none'; style-src 'unsafe-inline'; base-uri "
              "'none'; form-action 'none'");
    for (const char* element : {"script", "link", "img", "iframe", "object", "embed"})
        EXPECT_TRUE(all(page, element).empty()) << element;
    EXPECT_TRUE(html.find("://") == std::string::npos && html.find("url(") == std::string::npos);

    // Each run's machine and tasks, the tasks collapsed.
    const auto cards = all(page, "article", "card");
    ASSERT_EQ(cards.size(), 7u);
    EXPECT_EQ(texts(cards[4], "h3"), Texts{"5. " + kShown});
    EXPECT_EQ(texts(cards[0], "dt")[8] + ": " + texts(cards[0], "dd")[8],
              "OS Name: Debian GNU/Linux 12 (bookworm)");
    const auto details = all(cards[0], "details");
    ASSERT_EQ(details.size(), 1u);
    EXPECT_FALSE(details[0].hasAttribute("open"));
    EXPECT_EQ(texts(details[0], "li"), (Texts{"Editor <notes>", "Terminal"}));

    // An empty database still gives every chart.
    const auto empty = all(parse(reportPage({}, {std::nullopt, "now", {}})), "figure", "chart");
    ASSERT_EQ(empty.size(), 8u);
    EXPECT_EQ(texts(empty[0], "p"), Texts{"No records."});

    // Any copy of a run names its bar as the baseline; numbers are written alike in every locale.
    test::DecimalCommaLocale comma;
    const std::string copy = reportPage(records.inOrder(), {7, "", {}});
    EXPECT_TRUE(copy.find("percentages are of 1. Desktop.") != std::string::npos &&
                copy.find(">110, 100 to 140, 11.0 %; ") != std::string::npos);
    if (!comma.active())
        GTEST_SKIP() << "no locale with a decimal comma could be made here (localedef)";
}

} // namespace
} // namespace vexo::report
