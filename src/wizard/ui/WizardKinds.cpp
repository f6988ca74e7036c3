// What each kind of element of the wizard window is: how many there are, how each is made and
// shown, how it follows the font, what a click does and how the keyboard reaches it.
#include "WizardWindow.h"
#include "common/Text.h"
#include "platform/qt/AccessibleControls.h"
#include "platform/qt/LinkLabel.h"
#include "platform/qt/QtPlatform.h"
#include "wizard/ui/Captions.h"
#include "wizard/ui/PictureButton.h"

#include <QFrame>
#include <QProgressBar>
#include <algorithm>

namespace vexo {

using design::Part;
using flow::Fit;

namespace {

// The pages' headings, in the line colour.
constexpr std::array<std::size_t, 10> kHeadings{3, 6, 13, 14, 33, 39, 49, 52, 18, 22};

// The tool tips of Next, Back and Help; the tools have none.
constexpr std::array<const char*, 6> kButtonTips{
    "Click this button to continue ...", "Click this button to back track ...", "", "", "",
    "Click here if you need assistance."};

QLabel* textLabel(QLabel* label, bool wrap = true) {
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setStyleSheet(QStringLiteral("color: #e6f0f8;"));
    return label;
}

// A caption that takes more lines where a large font needs them, named by what it reads.
QLabel* captioned(QLabel* label, const char* caption) {
    label->setWordWrap(true);
    label->setText(withAccessKey(caption));
    label->setAccessibleName(spokenCaption(caption));
    return label;
}

// The system page's two columns, line for line: each value named with its name.
void nameSystemValues(QLabel* values, const WizardElements& e) {
    const QStringList names = toQt(crToNewline(e.FrameText[50].caption)).split(u'\n');
    const QStringList lines = toQt(crToNewline(e.FrameText[51].caption)).split(u'\n');
    QStringList pairs;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            pairs << (i < names.size() ? names[i] + u' ' + lines[i] : lines[i]);
    if (const QString paired = pairs.join(u'\n'); values->accessibleName() != paired)
        values->setAccessibleName(paired);
}

void setShownPixmap(QWidget* label, const QPixmap& shown) {
    auto* l = static_cast<QLabel*>(label);
    if (l->pixmap().cacheKey() != shown.cacheKey())
        l->setPixmap(shown);
}

} // namespace

const std::array<WizardWindow::Kind, design::kPartCount>& WizardWindow::kinds() {
    using W = WizardWindow;
    static const std::array<Kind, design::kPartCount> table{{
        // Part::FrameText: the pages' texts.
        {.count = 56,
         .fit = Fit::Text,
         .make = [](W& w, std::size_t i) -> QWidget* {
             QLabel* text = textLabel(i == kContact ? new LinkLabel(&w) : new QLabel(&w));
             text->setObjectName(QStringLiteral("FrameText%1").arg(i));
             if (std::ranges::find(kHeadings, i) != kHeadings.end())
                 text->setStyleSheet(QStringLiteral("color: #22c7e4; font-weight: bold;"));
             if (i >= 40 && i <= 42)
                 text->setAlignment(Qt::AlignCenter);
             // The system page's names are read with their values (below), not on their own.
             if (i == 50) {
                 text->setStyleSheet(QStringLiteral("color: #7f93ad;"));
                 makeAccessibleDecoration(text);
             }
             text->setMouseTracking(true);
             text->installEventFilter(&w);
             if (i == kContact) {
                 // A link under the pointer is underlined (unless the other one still is) and
                 // shows the hand; leaving it clears the underline.
                 auto* contact = static_cast<LinkLabel*>(text);
                 contact->focusMoved = [&w] { w.placeFocusMark(); };
                 connect(contact, &QLabel::linkActivated, &w, [&w] {
                     w.activate({Part::FrameText, kContact});
                 });
                 connect(contact, &QLabel::linkHovered, &w, [&w, contact](const QString& href) {
                     if (href.isEmpty())
                         return w.run([&w] { w.m_wizard.Clear_Link_Highlight(); });
                     contact->setCursor(w.m_hand);
                     w.run([&w, href] { w.m_wizard.Highlight_Link(href.toInt()); });
                 });
             }
             return text;
         },
         .show =
             [](W& w, QWidget* x, std::size_t i) {
                 const WizardText& text = w.m_wizard.elements().FrameText[i];
                 if (i != kContact)
                     showCaption(static_cast<QLabel*>(x), text.caption);
                 x->setVisible(text.visible);
                 if (i == 51)
                     nameSystemValues(static_cast<QLabel*>(x), w.m_wizard.elements());
             },
         .click =
             [](Wizard& m, std::size_t i) {
                 if (i == kContact)
                     m.linkTextClick();
             },
         .keys = [](std::size_t i) { return i == kContact ? Keys::Button : Keys::None; }},
        // Part::Button: Next, Back, the three tools, Help.
        {.count = 6,
         .fit = Fit::Box,
         .make = [](W& w, std::size_t i) -> QWidget* {
             const int index = static_cast<int>(i);
             auto* button = new PictureButton(
                 &w, [&w, index] { w.run([&] { w.m_wizard.Button_Down(index); }); },
                 [&w, index] { w.run([&] { w.m_wizard.Button_Up(index); }); });
             button->setCursor(w.m_hand);
             button->setToolTip(QString::fromLatin1(kButtonTips[i]));
             makeAccessibleControl(button, QAccessible::Button);
             return button;
         },
         .show =
             [](W& w, QWidget* x, std::size_t i) {
                 const WizardElements& e = w.m_wizard.elements();
                 auto* button = static_cast<PictureButton*>(x);
                 button->setVisible(e.ButtonVisible[i]);
                 button->setPicture(w.picture(e.ButtonImage[i]));
                 button->setCaption(e.ButtonText[i]);
             },
         .click =
             [](Wizard& m, std::size_t i) {
                 m.Button_Down(static_cast<int>(i));
                 m.Button_Up(static_cast<int>(i));
             },
         .keys = [](std::size_t i) { return i >= 2 && i <= 4 ? Keys::Tool : Keys::Button; }},
        // Part::OptionImage, Part::OptionText: the main menu's options, picture and caption.
        {.count = 5,
         .fit = Fit::Picture,
         .make = [](W& w, std::size_t i) -> QWidget* {
             QLabel* image = w.clickable({Part::OptionImage, i});
             makeAccessibleDecoration(image);
             return image;
         },
         .show =
             [](W& w, QWidget* x, std::size_t i) {
                 const WizardElements& e = w.m_wizard.elements();
                 static_cast<QLabel*>(x)->setPixmap(w.picture(e.OptionImage[i]));
                 x->setVisible(e.OptionVisible[i]);
             },
         .click = [](Wizard& m, std::size_t i) { m.Select_Option(static_cast<int>(i)); }},
        {.count = 5,
         .fit = Fit::Text,
         .make = [](W& w, std::size_t i) -> QWidget* {
             QLabel* text =
                 captioned(w.clickable({Part::OptionText, i}), Wizard::optionCaptions()[i]);
             makeAccessibleControl(text, QAccessible::RadioButton);
             return text;
         },
         .show =
             [](W& w, QWidget* x, std::size_t i) {
                 const WizardElements& e = w.m_wizard.elements();
                 setAccessibleChecked(x, e.OptionImage[i] == WizardPicture::OptionSelected);
                 x->setVisible(e.OptionVisible[i]);
             },
         .click = [](Wizard& m, std::size_t i) { m.Select_Option(static_cast<int>(i)); },
         .keys = [](std::size_t) { return Keys::Option; },
         .markedWith = Part::OptionImage},
        // Part::CheckImage, Part::CheckText: the benchmark check boxes, picture and caption.
        {.count = 8,
         .fit = Fit::Picture,
         .make = [](W& w, std::size_t i) -> QWidget* {
             QLabel* image = w.clickable({Part::CheckImage, i});
             makeAccessibleDecoration(image);
             return image;
         },
         .show =
             [](W& w, QWidget* x, std::size_t i) {
                 const WizardElements& e = w.m_wizard.elements();
                 static_cast<QLabel*>(x)->setPixmap(w.picture(e.CheckImage[i]));
                 x->setVisible(e.CheckVisible[i]);
             },
         .click = [](Wizard& m, std::size_t i) { m.Toggle_Check(static_cast<int>(i)); }},
        {.count = 8,
         .fit = Fit::Text,
         .make = [](W& w, std::size_t i) -> QWidget* {
             QLabel* text =
                 captioned(w.clickable({Part::CheckText, i}), Wizard::checkCaptions()[i]);
             makeAccessibleControl(text, QAccessible::CheckBox);
             return text;
         },
         .show =
             [](W& w, QWidget* x, std::size_t i) {
                 const WizardElements& e = w.m_wizard.elements();
                 setAccessibleChecked(x, e.CheckImage[i] == WizardPicture::Checked);
                 x->setVisible(e.CheckVisible[i]);
             },
         .click = [](Wizard& m, std::size_t i) { m.Toggle_Check(static_cast<int>(i)); },
         .keys = [](std::size_t) { return Keys::Check; },
         .markedWith = Part::CheckImage},
        // Part::LRButton: the arrows either side of each Direct3D option.
        {.count = 6,
         .fit = Fit::Picture,
         .make = [](W& w, std::size_t i) -> QWidget* {
             QLabel* arrow = w.clickable({Part::LRButton, i});
             arrow->setPixmap(w.picture(i % 2 == 0 ? 25 : 26));
             arrow->setObjectName(QStringLiteral("LRButton%1").arg(i));
             makeAccessibleControl(arrow, QAccessible::Button);
             const std::array<const char*, 3> rows{"screen resolution", "colour depth",
                                                   "texture quality"};
             arrow->setAccessibleName(QStringLiteral("%1 %2").arg(
                 i % 2 == 0 ? QStringLiteral("Previous") : QStringLiteral("Next"),
                 QString::fromLatin1(rows[i / 2])));
             return arrow;
         },
         .show = [](W& w, QWidget* x,
                    std::size_t i) { x->setVisible(w.m_wizard.elements().LRButtonVisible[i]); },
         .click = [](Wizard& m, std::size_t i) { m.Change_DX_Option(static_cast<int>(i)); },
         .keys = [](std::size_t) { return Keys::Arrow; }},
        // Part::BenchImage: the run page's group pictures, named for assistive tools by their
        // group and what they show of it.
        {.count = 6,
         .fit = Fit::Picture,
         .make = [](W& w, std::size_t) -> QWidget* {
             auto* image = new QLabel(&w);
             makeAccessibleDisplay(image, QAccessible::Graphic);
             return image;
         },
         .show =
             [](W& w, QWidget* x, std::size_t i) {
                 const WizardElements& e = w.m_wizard.elements();
                 const int shown = e.BenchImage[i];
                 setShownPixmap(x, w.picture(shown));
                 x->setVisible(e.BenchVisible[i]);
                 // A group that was skipped shows the picture of one not chosen: neither runs.
                 const QString state =
                     shown == RunPageView::GroupDonePicture    ? QStringLiteral(": done")
                     : shown == WizardPicture::GroupWillRun    ? QStringLiteral(": to run")
                     : shown == WizardPicture::GroupWillNotRun ? QStringLiteral(": not run")
                                                               : QString();
                 const QString name =
                     spokenCaption(
                         e.FrameText[Wizard::kFirstRunLine + RunPageView::kLineCount + i].caption) +
                     state;
                 if (x->accessibleName() != name)
                     x->setAccessibleName(name);
             }},
        // Part::OrderedImage: the ready page's numerals.
        {.count = 3,
         .fit = Fit::Picture,
         .make = [](W& w, std::size_t i) -> QWidget* {
             auto* image = new QLabel(&w);
             image->setPixmap(w.m_elementPictures[2 + i]);
             return image;
         },
         .show = [](W& w, QWidget* x,
                    std::size_t i) { x->setVisible(w.m_wizard.elements().OrderedVisible[i]); }},
        // Part::FrameImage: the pictures of the groups (0, 1), the run (2) and Direct3D (4); 3 is
        // the background, under everything, whose pointer moves clear a link's underline.
        {.count = 5,
         .fit = Fit::Picture,
         .make = [](W& w, std::size_t i) -> QWidget* {
             auto* image = new QLabel(&w);
             const std::array<QPixmap, 5> pictures{
                 w.picture(8), w.picture(9), w.m_elementPictures[5], {}, w.m_elementPictures[1]};
             image->setPixmap(pictures[i]);
             if (i == 3) {
                 image->setObjectName(QStringLiteral("Background"));
                 image->lower();
                 image->setMouseTracking(true);
                 image->installEventFilter(&w);
             }
             return image;
         },
         .show =
             [](W& w, QWidget* x, std::size_t i) {
                 if (i != 3)
                     x->setVisible(w.m_wizard.elements().FrameImageVisible[i]);
             }},
        // Part::FrameLine: the rules in the line colour.
        {.count = 5,
         .fit = Fit::Box,
         .make = [](W& w, std::size_t) -> QWidget* {
             auto* line = new QFrame(&w);
             line->setStyleSheet(QStringLiteral("background-color: #22c7e4;"));
             return line;
         },
         .show = [](W& w, QWidget* x,
                    std::size_t i) { x->setVisible(w.m_wizard.elements().FrameLineVisible[i]); }},
        // Part::PageTitle: the title, bold and larger, and the subtitle, smaller.
        {.count = 2,
         .fit = Fit::Text,
         .make = [](W& w, std::size_t i) -> QWidget* {
             QLabel* title = textLabel(new QLabel(&w));
             QFont font = title->font();
             if (i == 0)
                 font.setBold(true);
             font.setPointSizeF(font.pointSizeF() * (i == 0 ? 1.25 : 0.85));
             title->setFont(font);
             return title;
         },
         .show =
             [](W& w, QWidget* x, std::size_t i) {
                 showCaption(static_cast<QLabel*>(x), w.m_wizard.elements().PageTitle[i]);
             }},
        // Part::PermanentText: the footer hint, left of the Help button, on two lines when it
        // needs them.
        {.count = 1,
         .fit = Fit::Text,
         .make = [](W& w, std::size_t) -> QWidget* {
             QLabel* hint = textLabel(new QLabel(&w));
             QFont small = hint->font();
             small.setPointSizeF(small.pointSizeF() * 0.85);
             hint->setFont(small);
             hint->setStyleSheet(QStringLiteral("color: #7f93ad;"));
             return hint;
         },
         .show =
             [](W& w, QWidget* x, std::size_t) {
                 showCaption(static_cast<QLabel*>(x), w.m_wizard.elements().PermanentText);
             }},
        // Part::Progress, Part::ProgressText: the phases done, next to the run picture, drawn
        // in the artwork's colours whatever the desktop's palette, its count beneath it in one
        // colour rather than inside, where the fill's edge would split it. They move at the
        // run's yields only.
        {.count = 1,
         .fit = Fit::Box,
         .make = [](W& w, std::size_t) -> QWidget* {
             auto* bar = new QProgressBar(&w);
             bar->setTextVisible(false);
             bar->setStyleSheet(QStringLiteral(
                 "QProgressBar { background: #0b1526; border: 1px solid #22c7e4; "
                 "border-radius: 3px; }"
                 "QProgressBar::chunk { background: #22c7e4; border-radius: 2px; }"));
             makeAccessibleDisplay(bar, QAccessible::ProgressBar);
             bar->setAccessibleName(QStringLiteral("Phases done"));
             return bar;
         },
         .show = [](W& w, QWidget* x,
                    std::size_t) { x->setVisible(w.m_wizard.elements().BenchVisible[0]); }},
        {.count = 1,
         .fit = Fit::Text,
         .make = [](W& w, std::size_t) -> QWidget* {
             QLabel* count = textLabel(new QLabel(&w), false);
             count->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
             count->setTextFormat(Qt::PlainText);
             return count;
         },
         .show = [](W& w, QWidget* x,
                    std::size_t) { x->setVisible(w.m_wizard.elements().BenchVisible[0]); }},
    }};
    return table;
}

} // namespace vexo
