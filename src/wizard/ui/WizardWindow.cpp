#include "WizardWindow.h"

#include "common/Text.h"
#include "engine/RunTexts.h"
#include "platform/qt/AccessibleControls.h"
#include "platform/qt/QtPlatform.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScreen>
#include <QTextDocument>
#include <QTextLayout>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace vexo {

namespace {

// The 32 pictures in loading order: six for elements, then the picture list 1 to 26.
constexpr std::array<const char*, 32> kPictureFiles{
    "BKImage", "GAImage", "N1Image", "N2Image", "N3Image", "CIImage", "NUImage", "NDImage",
    "BUImage", "BDImage", "OSImage", "ONImage", "HAImage", "HBImage", "SBImage", "CSImage",
    "CNImage", "AUImage", "ADImage", "SUImage", "SDImage", "DUImage", "DDImage", "XUImage",
    "XDImage", "OKImage", "OHImage", "O1Image", "WUImage", "WDImage", "LFImage", "RTImage"};

// A caption with its access key ('&' before a letter) shown underlined; "&&" is one '&' and
// a line break (carriage return or newline) starts a new line.
QString withAccessKey(const std::string& caption) {
    QString html;
    const QString text = toQt(crToNewline(caption));
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
            html += QStringLiteral("&amp;");
            ++i;
        } else if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            html += QStringLiteral("<u>%1</u>").arg(QString(text[++i]).toHtmlEscaped());
        } else if (text[i] == QLatin1Char('\n')) {
            html += QStringLiteral("<br>");
        } else {
            html += QString(text[i]).toHtmlEscaped();
        }
    }
    return html;
}

// A caption as it reads, without its access-key marks: what it is called for assistive tools.
QString spokenCaption(const std::string& caption) {
    QTextDocument plain;
    plain.setHtml(withAccessKey(caption));
    return plain.toPlainText();
}

// Shows a caption in a label: as it stands unless it holds an access key, which is then
// rendered instead of its ampersand.
void showCaption(QLabel* label, const std::string& caption) {
    const bool accessKey = caption.find('&') != std::string::npos;
    const QString text = accessKey ? withAccessKey(caption) : toQt(crToNewline(caption));
    label->setTextFormat(accessKey ? Qt::RichText : Qt::PlainText);
    if (label->text() != text)
        label->setText(text);
}

// The window's design: every page on the 640 by 480 background, its content between margins of
// 24 and its heading on one line under the title band, the buttons along the foot.
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kMargin = 24;
constexpr int kContentWidth = kWidth - 2 * kMargin; // 592
constexpr int kRight = kMargin + kContentWidth;
constexpr int kHeadingTop = 76;
constexpr int kHeadingHeight = 24;
constexpr int kButtonRowTop = 446;
constexpr int kButtonHeight = 30;
constexpr int kFooterHeight = 32; // the footer hint's two lines, left of the buttons
constexpr int kMark = 20;         // an option's or a check box's picture
constexpr int kCaptionHeight = 22;
// The background picture's bands: the title band ends below its line, the footer band begins
// with its line.
constexpr int kBandLineTop = 63; // a row of the band's own colour above the line
constexpr int kBandBottom = 66;
constexpr int kFooterBandTop = 440;

struct Box {
    int x, y, w, h;
};
constexpr Box kSubtitle{20, 31, 570, 32};

// A page's rows: the first one's top and the pitch from one to the next.
struct Rows {
    int first, pitch;
    constexpr int top(std::size_t row) const { return first + static_cast<int>(row) * pitch; }
};

// The kinds of element the window places, each an array of the wizard's elements.
enum class Part {
    FrameText,
    Button,
    OptionImage,
    OptionText,
    CheckImage,
    CheckText,
    LRButton,
    BenchImage,
    OrderedImage,
    FrameImage,
    FrameLine,
    PageTitle,
    Subtitle,
    Footer,
    Progress,
    ProgressText,
};

struct Placed {
    Part part;
    std::size_t index;
    Box box;
    // The picture button this element stands right of: where its caption needs more room than
    // its box at a large font, the button widens and the element moves right.
    std::optional<std::size_t> besideButton = std::nullopt;
};

// Where every element stands at the normal font, the frame first and then page by page; each
// element belongs to one of them.
std::vector<Placed> designLayout() {
    std::vector<Placed> l;
    auto text = [&](std::size_t i, Box b) { l.push_back({Part::FrameText, i, b}); };
    auto heading = [&](std::size_t i, int height = kHeadingHeight, int width = kContentWidth) {
        text(i, {kMargin, kHeadingTop, width, height});
    };
    auto at = [&](Part part, std::size_t i, Box b) { l.push_back({part, i, b}); };

    // The frame: title band, footer hint, Help, Back and Next along the foot.
    at(Part::PageTitle, 0, {20, 8, 560, 22});
    at(Part::Subtitle, 0, kSubtitle);
    at(Part::Footer, 0, {20, kButtonRowTop, 266, kFooterHeight});
    at(Part::Button, 5, {292, kButtonRowTop, 100, kButtonHeight});
    at(Part::Button, 1, {400, kButtonRowTop, 108, kButtonHeight});
    at(Part::Button, 0, {516, kButtonRowTop, 108, kButtonHeight});

    // Welcome: three paragraphs, the last with the two links.
    text(0, {kMargin, 80, kContentWidth, 110});
    text(1, {kMargin, 195, kContentWidth, 130});
    text(2, {kMargin, 325, kContentWidth, 80});

    // Main menu: five options, each a caption with a line beneath.
    heading(33);
    constexpr Rows options{104, 60};
    for (std::size_t i = 0; i < 5; ++i) {
        const int top = options.top(i);
        at(Part::OptionImage, i, {40, top + 2, kMark, kMark});
        at(Part::OptionText, i, {66, top, 540, kCaptionHeight});
        text(34 + i, {66, top + 24, 540, 34});
    }

    // Customize: software and hardware, each a picture with a check box and its text beside.
    heading(3);
    constexpr Rows groups{100, 132};
    for (std::size_t i = 0; i < 2; ++i) {
        const int top = groups.top(i);
        at(Part::FrameImage, i, {40, top, 120, 120});
        at(Part::CheckImage, 6 + i, {170, top + 12, kMark, kMark});
        at(Part::CheckText, 6 + i, {198, top + 12, kRight - 198, kCaptionHeight});
        text(4 + i, {200, top + 40, 410, 80});
    }

    // Hardware and software: three check boxes, each with a description beneath (the software
    // page's descriptions stand in reverse order of their indices).
    heading(6);
    heading(13);
    constexpr Rows benchmarks{110, 96};
    for (std::size_t row = 0; row < 3; ++row) {
        const int top = benchmarks.top(row);
        for (const std::size_t check : {row, 3 + row}) {
            at(Part::CheckImage, check, {40, top, kMark, kMark});
            at(Part::CheckText, check, {68, top, kRight - 68, kCaptionHeight});
        }
        text(7 + row, {66, top + 24, 540, 60});
        text(12 - row, {66, top + 24, 540, 60});
    }

    // Direct3D: three rows of caption, value between arrows; notes beneath; picture at right.
    heading(39, 44, 400);
    constexpr Rows settings{136, 44};
    for (std::size_t row = 0; row < 3; ++row) {
        const int top = settings.top(row);
        text(43 + row, {kMargin, top, 176, 24});
        at(Part::LRButton, 2 * row, {204, top + 1, 22, 22});
        text(40 + row, {232, top, 112, 24});
        at(Part::LRButton, 2 * row + 1, {348, top + 1, 22, 22});
    }
    text(46, {kMargin, 276, 410, 70});
    text(47, {kMargin, 346, 410, 36});
    text(48, {kMargin, 382, kContentWidth, 50});
    at(Part::FrameImage, 4, {456, 96, 160, 200});

    // System information: a rule under the heading, two columns.
    heading(49);
    at(Part::FrameLine, 2, {kMargin, 100, kContentWidth, 2});
    text(50, {40, 108, 180, 330});
    text(51, {220, 108, 396, 330});

    // Tool box: three tool buttons, each with its text beside.
    heading(14, 40);
    constexpr Rows tools{124, 80};
    for (std::size_t i = 0; i < 3; ++i) {
        const int top = tools.top(i);
        at(Part::Button, 2 + i, {kMargin, top + 6, 300, 34});
        l.push_back({Part::FrameText, 15 + i, {336, top, 280, 70}, 2 + i});
    }

    // Ready: three numbered paragraphs.
    heading(18, 40);
    constexpr Rows steps{122, 98};
    for (std::size_t i = 0; i < 3; ++i) {
        const int top = steps.top(i);
        at(Part::OrderedImage, i, {36, top + 2, 36, 36});
        text(19 + i, {84, top, 532, 92});
    }

    // The run: its lines (the status may take two lines, the description four), a rule, the
    // six groups with their pictures; the run picture with the progress at right.
    heading(22, 22, 410);
    text(23, {kMargin, 100, 420, 30});
    text(24, {kMargin, 130, 420, 20});
    text(25, {kMargin, 150, 420, 20});
    text(26, {kMargin, 170, 420, 58});
    at(Part::FrameLine, 0, {kMargin, 230, 420, 2});
    constexpr Rows groupList{240, 28};
    for (std::size_t i = 0; i < 6; ++i) {
        const int top = groupList.top(i);
        at(Part::BenchImage, i, {28, top - 1, 24, 24});
        text(27 + i, {60, top, 380, 22});
    }
    at(Part::FrameImage, 2, {456, 100, 160, 200});
    at(Part::Progress, 0, {456, 310, 160, 12});
    at(Part::ProgressText, 0, {456, 326, 160, 20});
    at(Part::FrameLine, 1, {kMargin, 416, kContentWidth, 2});

    // Score card: where the file went, the throttling, the scores, between two rules.
    heading(52);
    at(Part::FrameLine, 3, {kMargin, 100, kContentWidth, 2});
    text(53, {kMargin, 108, kContentWidth, 22});
    text(54, {kMargin, 140, kContentWidth, 22});
    text(55, {kMargin, 172, kContentWidth, 240});
    at(Part::FrameLine, 4, {kMargin, 416, kContentWidth, 2});
    return l;
}

QLabel* textLabel(QWidget* parent, bool wrap = true) {
    auto* label = new QLabel(parent);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setStyleSheet(QStringLiteral("color: #e6f0f8;"));
    return label;
}

// `font`, or smaller where `text` at it is wider than `room` pixels.
QFont fontToFit(QFont font, const QString& text, int room) {
    const int wanted = QFontMetrics(font).horizontalAdvance(text) + 2;
    if (wanted > room && room > 0)
        font.setPointSizeF(std::max(6.0, font.pointSizeF() * room / wanted));
    return font;
}

// How wide a label's text runs on one line, as the label measures it unwrapped.
int oneLineWidth(const QLabel& label) {
    if (!label.wordWrap())
        return label.sizeHint().width();
    QTextDocument text;
    text.setDocumentMargin(0);
    text.setDefaultFont(label.font());
    if (label.textFormat() == Qt::PlainText)
        text.setPlainText(label.text());
    else
        text.setHtml(label.text());
    const QMargins margins = label.contentsMargins();
    return static_cast<int>(std::ceil(text.size().width())) + margins.left() + margins.right() +
           2 * label.margin();
}

// Takes every pointer event over the page beneath it, and draws nothing.
class InputCover final : public QWidget {
public:
    explicit InputCover(QWidget* parent)
        : QWidget(parent) {
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }
    void wheelEvent(QWheelEvent* event) override { event->accept(); }
};

// The keyboard focus mark: a rounded frame in the artwork's line colour around the focused
// element, drawn over the page and transparent to the pointer.
class FocusMark final : public QWidget {
public:
    explicit FocusMark(QWidget* parent)
        : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setObjectName(QStringLiteral("FocusMark"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x22, 0xc7, 0xe4), 2));
        p.setBrush(QColor(0x22, 0xc7, 0xe4, 40));
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
};

// The run picture once the run is over: its caption band says so instead of measuring.
QPixmap finishedRunPicture(const QPixmap& running) {
    if (running.isNull())
        return running;
    QImage image = running.toImage();
    const QRect band(0, image.height() - 32, image.width(), 24);
    QPainter p(&image);
    p.fillRect(band, image.pixelColor(band.left() + 4, band.top() - 4));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(QColor(0x9d, 0xf0, 0x7c));
    p.drawText(band, Qt::AlignCenter, QStringLiteral("COMPLETE"));
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace

// A picture with its caption that acts on the release of a press.
class PictureButton final : public QWidget {
public:
    PictureButton(QWidget* parent, std::function<void()> down, std::function<void()> up)
        : QWidget(parent)
        , m_down(std::move(down))
        , m_up(std::move(up)) {}

    void setPicture(const QPixmap& picture) {
        m_picture = picture;
        noteCaptionArea();
        update();
    }
    void setCaption(const std::string& caption) {
        m_caption = withAccessKey(caption);
        // What the button says, for assistive tools and checks of the layout.
        setAccessibleName(spokenCaption(caption));
        update();
    }

    // Where the picture's round icon is drawn and where the caption stands, beside it.
    QRect iconArea() const {
        const int side = m_picture.isNull() ? height() : scaledHeight();
        return {0, (height() - side) / 2, side, side};
    }
    QRect captionArea() const {
        const int left = iconArea().right() + 1 + kCaptionGap;
        return {left, 0, std::max(0, width() - left - endCapWidth()), height()};
    }
    // The width that shows the whole caption beside the picture at a height of `h`.
    int widthFor(int h) const {
        const int side = m_picture.isNull() ? h : std::min(h, m_picture.height());
        const int endCap =
            m_picture.isNull() ? 0 : m_picture.height() / 2 * side / m_picture.height();
        QTextDocument caption;
        caption.setDefaultFont(font());
        caption.setDocumentMargin(0);
        caption.setHtml(captionHtml());
        return side + kCaptionGap + static_cast<int>(std::ceil(caption.idealWidth())) + endCap;
    }
    // The caption as drawn, for its size and for tests.
    QString captionHtml() const {
        return QStringLiteral("<span style=\"color:#e6f0f8;\">%1</span>").arg(m_caption);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!m_picture.isNull())
            drawPicture(painter);
        QTextDocument caption;
        caption.setDefaultFont(font());
        caption.setDocumentMargin(0);
        caption.setHtml(captionHtml());
        const QRect area = captionArea();
        const QSizeF size = caption.size();
        painter.translate(area.left(), area.top() + (area.height() - size.height()) / 2);
        caption.drawContents(&painter, QRectF(QPointF(0, 0), QSizeF(area.width(), size.height())));
    }
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        noteCaptionArea();
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && m_down)
            m_down();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        // The action runs on every release, wherever the pointer is let go.
        if (event->button() == Qt::LeftButton && m_up)
            m_up();
    }

private:
    static constexpr int kCaptionGap = 4;

    // Where the caption stands, kept as the property "captionArea" for checks of the layout.
    void noteCaptionArea() { setProperty("captionArea", captionArea()); }

    // The picture is drawn at the button's height without changing its proportions: its
    // left end with the icon and its right end as they are, the plain middle stretched.
    int scaledHeight() const { return std::min(height(), m_picture.height()); }
    double scale() const { return static_cast<double>(scaledHeight()) / m_picture.height(); }
    int endCapWidth() const {
        return m_picture.isNull() ? 0 : static_cast<int>(m_picture.height() / 2 * scale());
    }
    void drawPicture(QPainter& painter) const {
        const int sourceHeight = m_picture.height();
        const int leftSource = std::min(sourceHeight, m_picture.width() / 2);
        const int rightSource = std::min(sourceHeight / 2, m_picture.width() - leftSource);
        const QRect icon = iconArea();
        const int top = icon.top();
        const int h = icon.height();
        const int leftWidth = static_cast<int>(leftSource * scale());
        const int rightWidth = endCapWidth();
        painter.drawPixmap(QRect(0, top, leftWidth, h), m_picture,
                           QRect(0, 0, leftSource, sourceHeight));
        painter.drawPixmap(
            QRect(leftWidth, top, width() - leftWidth - rightWidth, h), m_picture,
            QRect(leftSource, 0, m_picture.width() - leftSource - rightSource, sourceHeight));
        painter.drawPixmap(QRect(width() - rightWidth, top, rightWidth, h), m_picture,
                           QRect(m_picture.width() - rightSource, 0, rightSource, sourceHeight));
    }

    QPixmap m_picture;
    QString m_caption;
    std::function<void()> m_down;
    std::function<void()> m_up;
};

WizardWindow::WizardWindow(Wizard& wizard, const std::string& appFolder, QWidget* parent)
    : QWidget(parent)
    , m_wizard(wizard)
    , m_hand(handCursor(appFolder)) {
    m_wizard.commands.runPageChanged = [this] { showRunPage(); };
    // Load_Wizard_Pictures: the first six are the elements' own, the rest the picture list.
    std::array<QPixmap, 32> loaded;
    for (std::size_t i = 0; i < kPictureFiles.size(); ++i)
        loaded[i] = loadPicture(appFolder + "data/" + kPictureFiles[i] + ".dat");
    m_background = loaded[0];
    if (m_background.isNull()) {
        // Without its picture the window keeps the picture's dark ground, on which the light
        // captions stay legible; the missing file has been noted for the start-up to name.
        m_background = QPixmap(kWidth, kHeight);
        m_background.fill(QColor(0x0B, 0x15, 0x26));
    }
    for (std::size_t i = 6; i < loaded.size(); ++i)
        m_pictures[i - 5] = loaded[i];

    m_backgroundLabel = new QLabel(this);
    m_backgroundLabel->setObjectName(QStringLiteral("Background"));
    // Below the picture, where a page grown for a large font reaches, the picture's dark ground.
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor(0x0B, 0x15, 0x26));
    setPalette(ground);
    setAutoFillBackground(true);

    for (std::size_t i = 0; i < m_frameText.size(); ++i) {
        m_frameText[i] = textLabel(this);
        m_frameText[i]->setObjectName(QStringLiteral("FrameText%1").arg(i));
    }
    for (const std::size_t heading : {3, 6, 13, 14, 33, 39, 49, 52, 18, 22})
        m_frameText[heading]->setStyleSheet(QStringLiteral("color: #22c7e4; font-weight: bold;"));
    m_frameText[50]->setStyleSheet(QStringLiteral("color: #7f93ad;"));
    for (const std::size_t value : {40, 41, 42})
        m_frameText[value]->setAlignment(Qt::AlignCenter);

    m_pageTitle[0] = textLabel(this);
    QFont titleFont = m_pageTitle[0]->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    m_pageTitle[0]->setFont(titleFont);
    m_pageTitle[1] = textLabel(this);
    QFont small = m_pageTitle[1]->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_pageTitle[1]->setFont(small);
    // The footer hint has the room left of the Help button, on two lines when it needs them.
    m_permanentText = textLabel(this);
    m_permanentText->setFont(small);
    m_permanentText->setStyleSheet(QStringLiteral("color: #7f93ad;"));

    // The picture buttons: Next, Back, the three tools, Help.
    const std::array<const char*, 6> tips{
        "Click this button to continue ...", "Click this button to back track ...", "", "", "",
        "Click here if you need assistance."};
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const int index = static_cast<int>(i);
        auto* button = new PictureButton(
            this, [this, index] { run([&] { m_wizard.Button_Down(index); }); },
            [this, index] { run([&] { m_wizard.Button_Up(index); }); });
        button->setCursor(m_hand);
        button->setToolTip(QString::fromLatin1(tips[i]));
        m_buttons[i] = button;
    }

    auto clickable = [this](std::function<void()> onClick) {
        auto* label = new ClickableLabel(QString(), std::move(onClick), this);
        label->setCursor(m_hand);
        label->setStyleSheet(QStringLiteral("color: #e6f0f8;"));
        return label;
    };
    // An option's or a check box's caption, on more lines where a large font needs them.
    auto captioned = [](QLabel* label, const char* caption) {
        label->setWordWrap(true);
        label->setText(withAccessKey(caption));
        label->setAccessibleName(spokenCaption(caption));
    };
    for (std::size_t i = 0; i < m_optionText.size(); ++i) {
        auto choose = [this, i] { run([&] { m_wizard.Select_Option(static_cast<int>(i)); }); };
        m_optionImage[i] = clickable(choose);
        m_optionText[i] = clickable(choose);
        captioned(m_optionText[i], Wizard::optionCaptions()[i]);
    }
    for (std::size_t i = 0; i < m_checkText.size(); ++i) {
        auto toggle = [this, i] { run([&] { m_wizard.Toggle_Check(static_cast<int>(i)); }); };
        m_checkImage[i] = clickable(toggle);
        m_checkText[i] = clickable(toggle);
        captioned(m_checkText[i], Wizard::checkCaptions()[i]);
    }
    for (std::size_t i = 0; i < m_lrButton.size(); ++i) {
        m_lrButton[i] =
            clickable([this, i] { run([&] { m_wizard.Change_DX_Option(static_cast<int>(i)); }); });
        m_lrButton[i]->setPixmap(picture(i % 2 == 0 ? 25 : 26));
        m_lrButton[i]->setObjectName(QStringLiteral("LRButton%1").arg(i));
    }
    for (QLabel*& image : m_benchImage)
        image = new QLabel(this);
    for (std::size_t i = 0; i < m_orderedImage.size(); ++i) {
        m_orderedImage[i] = new QLabel(this);
        m_orderedImage[i]->setPixmap(loaded[2 + i]);
    }
    // FrameImage 3 is the background.
    for (std::size_t i = 0; i < m_frameImage.size(); ++i)
        m_frameImage[i] = i == 3 ? m_backgroundLabel : new QLabel(this);
    m_runPicture = loaded[5];
    m_finishedRunPicture = finishedRunPicture(loaded[5]);
    m_frameImage[2]->setPixmap(m_runPicture);
    m_frameImage[4]->setPixmap(loaded[1]);
    for (QWidget*& line : m_frameLine) {
        line = new QFrame(this);
        line->setStyleSheet(QStringLiteral("background-color: #22c7e4;"));
    }
    for (std::size_t i = 0; i < m_linkText.size(); ++i) {
        QLabel* link = clickable([this] { run([&] { m_wizard.linkTextClick(); }); });
        link->setStyleSheet(QStringLiteral("color: #ff9a3c;"));
        link->setObjectName(QStringLiteral("LinkText%1").arg(i));
        m_linkText[i] = link;
    }
    // The phases done, next to the run picture; it moves at the run's yields only.
    // Drawn in the artwork's colours whatever the desktop's palette, with its count beneath it
    // in one colour rather than inside, where the fill's edge would split it.
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    m_progress->setStyleSheet(QStringLiteral(
        "QProgressBar { background: #0b1526; border: 1px solid #22c7e4; border-radius: 3px; }"
        "QProgressBar::chunk { background: #22c7e4; border-radius: 2px; }"));
    m_progressText = textLabel(this, false);
    m_progressText->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_progressText->setTextFormat(Qt::PlainText);

    auto widgetOf = [this](Part part, std::size_t i) -> QWidget* {
        switch (part) {
        case Part::FrameText:
            return m_frameText[i];
        case Part::Button:
            return m_buttons[i];
        case Part::OptionImage:
            return m_optionImage[i];
        case Part::OptionText:
            return m_optionText[i];
        case Part::CheckImage:
            return m_checkImage[i];
        case Part::CheckText:
            return m_checkText[i];
        case Part::LRButton:
            return m_lrButton[i];
        case Part::BenchImage:
            return m_benchImage[i];
        case Part::OrderedImage:
            return m_orderedImage[i];
        case Part::FrameImage:
            return m_frameImage[i];
        case Part::FrameLine:
            return m_frameLine[i];
        case Part::PageTitle:
            return m_pageTitle[0];
        case Part::Subtitle:
            return m_pageTitle[1];
        case Part::Footer:
            return m_permanentText;
        case Part::Progress:
            return m_progress;
        case Part::ProgressText:
            return m_progressText;
        }
        return nullptr;
    };
    // Texts grow to their font; pictures keep their size on a smaller screen.
    constexpr std::array kTexts{Part::FrameText,   Part::OptionText, Part::CheckText,
                                Part::PageTitle,   Part::Subtitle,   Part::Footer,
                                Part::ProgressText};
    constexpr std::array kPictures{Part::OptionImage, Part::CheckImage,   Part::LRButton,
                                   Part::BenchImage,  Part::OrderedImage, Part::FrameImage};
    for (const Placed& placed : designLayout()) {
        QWidget* widget = widgetOf(placed.part, placed.index);
        const bool text = std::ranges::find(kTexts, placed.part) != kTexts.end();
        const bool picture = std::ranges::find(kPictures, placed.part) != kPictures.end();
        const Box& b = placed.box;
        PictureButton* beside = placed.besideButton ? m_buttons[*placed.besideButton] : nullptr;
        m_layout.push_back({widget, QRect(b.x, b.y, b.w, b.h), text, picture, beside});
    }
    // Pointer moves, also with no button held, underline a link or clear the underline.
    setMouseTracking(true);
    m_backgroundLabel->setMouseTracking(true);
    m_backgroundLabel->installEventFilter(this);
    for (QLabel* text : m_frameText) {
        text->setMouseTracking(true);
        text->installEventFilter(this);
    }
    for (QLabel* link : m_linkText) {
        link->setMouseTracking(true);
        link->installEventFilter(this);
    }
    // What the keyboard reaches, in reading order: the page's elements top to bottom, then the
    // buttons along the foot from left to right. A page shows only its own, so one order serves.
    auto press = [this](std::size_t button) {
        return [this, button] {
            run([&] {
                m_wizard.Button_Down(static_cast<int>(button));
                m_wizard.Button_Up(static_cast<int>(button));
            });
        };
    };
    for (QLabel* link : m_linkText)
        m_focusables.push_back(
            {link, [this] { run([&] { m_wizard.linkTextClick(); }); }, true, Group::None, nullptr});
    for (const std::size_t tool : {2, 3, 4})
        m_focusables.push_back({m_buttons[tool], press(tool), true, Group::Tools, nullptr});
    for (std::size_t i = 0; i < m_optionText.size(); ++i)
        m_focusables.push_back(
            {m_optionText[i],
             [this, i] { run([&] { m_wizard.Select_Option(static_cast<int>(i)); }); }, false,
             Group::Options, m_optionImage[i]});
    for (const std::size_t i : {6, 7, 0, 1, 2, 3, 4, 5})
        m_focusables.push_back(
            {m_checkText[i],
             [this, i] { run([&] { m_wizard.Toggle_Check(static_cast<int>(i)); }); }, false,
             Group::Checks, m_checkImage[i]});
    for (std::size_t i = 0; i < m_lrButton.size(); ++i)
        m_focusables.push_back(
            {m_lrButton[i],
             [this, i] { run([&] { m_wizard.Change_DX_Option(static_cast<int>(i)); }); }, false,
             Group::DirectXArrows, nullptr});
    for (const std::size_t button : {5, 1, 0})
        m_focusables.push_back({m_buttons[button], press(button), true, Group::None, nullptr});
    // What each element is, for assistive tools; its pictures only show its state.
    for (PictureButton* button : m_buttons)
        makeAccessibleControl(button, QAccessible::Button);
    for (QLabel* link : m_linkText)
        makeAccessibleControl(link, QAccessible::Link);
    for (std::size_t i = 0; i < m_optionText.size(); ++i) {
        makeAccessibleControl(m_optionText[i], QAccessible::RadioButton);
        makeAccessibleDecoration(m_optionImage[i]);
    }
    for (std::size_t i = 0; i < m_checkText.size(); ++i) {
        makeAccessibleControl(m_checkText[i], QAccessible::CheckBox);
        makeAccessibleDecoration(m_checkImage[i]);
    }
    const std::array<const char*, 3> rows{"screen resolution", "colour depth", "texture quality"};
    for (std::size_t i = 0; i < m_lrButton.size(); ++i) {
        makeAccessibleControl(m_lrButton[i], QAccessible::Button);
        m_lrButton[i]->setAccessibleName(QStringLiteral("%1 %2").arg(
            i % 2 == 0 ? QStringLiteral("Previous") : QStringLiteral("Next"),
            QString::fromLatin1(rows[i / 2])));
    }
    // The window, its progress and the run's group pictures for what they are; the system
    // page's names are read with their values (below), not as a column of their own.
    makeAccessibleDisplay(this, QAccessible::Window);
    makeAccessibleDisplay(m_progress, QAccessible::ProgressBar);
    m_progress->setAccessibleName(QStringLiteral("Phases done"));
    for (QLabel* group : m_benchImage)
        makeAccessibleDisplay(group, QAccessible::Graphic);
    makeAccessibleDecoration(m_frameText[50]);
    QWidget* previous = nullptr;
    for (const Focusable& f : m_focusables) {
        f.widget->setFocusPolicy(Qt::TabFocus);
        f.widget->installEventFilter(this);
        if (previous != nullptr)
            setTabOrder(previous, f.widget);
        previous = f.widget;
    }
    m_focusMark = new FocusMark(this);
    m_focusMark->hide();

    m_cover = new InputCover(this);
    m_cover->hide();
    // The web address stands in a gap of 31 blanks: its host name is what fits there.
    m_linkText[0]->setText(QStringLiteral("support@kestrovia.example"));
    m_linkText[1]->setText(QStringLiteral("kestrovia.example"));
    sync();
}

void WizardWindow::showBackground(int bandBottom, int footerTop) {
    const QRect shown(QPoint(bandBottom, footerTop), size());
    if (shown == m_shownBackground)
        return;
    m_shownBackground = shown;
    // The picture's parts at the design's size: the title band with its line, the middle, the
    // footer band.
    const double scale = static_cast<double>(m_background.width()) / kWidth;
    auto part = [&](int top, int bottom) {
        return QRect(0, qRound(top * scale), m_background.width(), qRound((bottom - top) * scale));
    };
    const QRect band = part(0, kBandLineTop), line = part(kBandLineTop, kBandBottom),
                middle = part(kBandBottom, kFooterBandTop), footer = part(kFooterBandTop, kHeight);
    const int middleHeight = qRound((kFooterBandTop - kBandBottom) * m_fit);
    QPixmap picture(size());
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The band grows; its line keeps its height.
    const int lineTop = bandBottom - qRound((kBandBottom - kBandLineTop) * m_fit);
    painter.drawPixmap(QRect(0, 0, width(), lineTop), m_background, band);
    painter.drawPixmap(QRect(0, lineTop, width(), bandBottom - lineTop), m_background, line);
    // Where the page is taller than the design, four cells of the middle's grid (from a line of
    // it, where the picture shows nothing else) fill the room above the middle, which keeps its
    // proportions.
    const int middleTop = std::max(bandBottom, footerTop - middleHeight);
    if (middleTop > bandBottom) {
        const QPixmap grid = m_background.copy(part(96, 96 + 4 * 32))
                                 .scaled(width(), qRound(4 * 32 * m_fit), Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
        painter.drawTiledPixmap(QRect(0, bandBottom, width(), middleTop - bandBottom), grid);
    }
    painter.drawPixmap(QRect(0, middleTop, width(), footerTop - middleTop), m_background, middle);
    painter.drawPixmap(QRect(0, footerTop, width(), height() - footerTop), m_background, footer);
    painter.end();
    m_backgroundLabel->setGeometry(rect());
    m_backgroundLabel->setPixmap(picture);
}

QRect WizardWindow::fitted(const Placement& placement) const {
    const QRect& b = placement.design;
    if (m_fit >= 1.0)
        return b;
    auto at = [this](int v) { return qRound(v * m_fit); };
    // A picture keeps its size: it is moved, not cut.
    if (placement.picture)
        return {at(b.x()), at(b.y()), b.width(), b.height()};
    return QRect(QPoint(at(b.x()), at(b.y())),
                 QPoint(at(b.x() + b.width()) - 1, at(b.y() + b.height()) - 1));
}

void WizardWindow::layOut() {
    // The shown elements top to bottom. A text is as tall as its font needs at its width, at
    // least its box; what stands below a text that grew moves down by as much, so a page keeps
    // its order at any font, and the window grows below its picture when the page needs it.
    struct Item {
        const Placement* placement;
        QRect box;
        int shift = 0;
        int growth = 0;
    };
    std::vector<QRect> boxes;
    for (const Placement& placement : m_layout)
        boxes.push_back(fitted(placement));
    // A picture button as wide as its caption needs, the text beside it moved right; where that
    // would wrap the text onto more than four lines (a large font), it stands beneath the button
    // instead, across the page, as far below as the design has it beside (what follows moves
    // down as its text needs).
    for (std::size_t i = 0; i < m_layout.size(); ++i) {
        const Placement& placement = m_layout[i];
        if (placement.besideButton == nullptr)
            continue;
        const auto button =
            std::find_if(m_layout.begin(), m_layout.end(), [&](const Placement& other) {
                return other.widget == placement.besideButton;
            });
        if (button == m_layout.end())
            continue;
        const QRect design = button->design;
        QRect& box = boxes[static_cast<std::size_t>(button - m_layout.begin())];
        const int gap = placement.design.left() - design.right();
        QRect& element = boxes[i];
        const int right = element.right();
        box.setWidth(std::clamp(placement.besideButton->widthFor(box.height()), box.width(),
                                right - box.left() + 1));
        const auto* text = static_cast<const QLabel*>(placement.widget);
        constexpr int kMostLinesBeside = 4;
        if (text->heightForWidth(right - (box.right() + gap) + 1) <=
            kMostLinesBeside * text->fontMetrics().lineSpacing()) {
            element.setLeft(std::max(element.left(), box.right() + gap));
        } else {
            const int under = box.left() + box.height(); // under the caption, past the icon
            element = QRect(QPoint(under, box.bottom() + 1 + gap),
                            QPoint(right, std::max(element.bottom(), box.bottom() + 1 + gap)));
        }
    }
    std::vector<Item> shown;
    for (std::size_t i = 0; i < m_layout.size(); ++i) {
        const Placement& placement = m_layout[i];
        if (placement.widget->isVisibleTo(this))
            shown.push_back({&placement, boxes[i]});
        else
            placement.widget->setGeometry(boxes[i]);
    }
    std::stable_sort(shown.begin(), shown.end(),
                     [](const Item& a, const Item& b) { return a.box.top() < b.box.top(); });
    int bottom = 0;
    int footerRow = std::numeric_limits<int>::max(); // the top of the hint and buttons shown
    for (std::size_t i = 0; i < shown.size(); ++i) {
        Item& item = shown[i];
        for (std::size_t above = 0; above < i; ++above) {
            const Item& t = shown[above];
            if (t.growth + t.shift > item.shift && t.box.bottom() < item.box.top())
                item.shift = t.shift + t.growth;
        }
        if (item.placement->text) {
            const auto* label = static_cast<const QLabel*>(item.placement->widget);
            const int width = item.box.width();
            const int needed =
                label->wordWrap() ? label->heightForWidth(width) : label->sizeHint().height();
            item.growth = std::max(0, needed - item.box.height());
        }
        const QRect placed = item.box.translated(0, item.shift).adjusted(0, 0, 0, item.growth);
        if (item.placement->design.top() == kButtonRowTop)
            footerRow = std::min(footerRow, placed.top());
        item.placement->widget->setGeometry(placed);
        bottom = std::max(bottom, placed.bottom() + 1);
    }
    constexpr int kBelowFooter = kHeight - (kButtonRowTop + kFooterHeight);
    const QSize size(qRound(kWidth * m_fit),
                     std::max(qRound(kHeight * m_fit), bottom + qRound(kBelowFooter * m_fit)));
    if (size != this->size() || minimumSize() != maximumSize())
        setFixedSize(size);
    m_cover->setGeometry(rect());
    // The title band's line stays below the subtitle as far beneath it as the design has it.
    const int designGap = kBandBottom - (kSubtitle.y + kSubtitle.h);
    const int designFooterTop = qRound(kFooterBandTop * m_fit);
    const int footerTop = footerRow == std::numeric_limits<int>::max()
                              ? height() - (qRound(kHeight * m_fit) - designFooterTop)
                              : footerRow - (qRound(kButtonRowTop * m_fit) - designFooterTop);
    showBackground(std::max(qRound(kBandBottom * m_fit),
                            m_pageTitle[1]->geometry().bottom() + 1 + qRound(designGap * m_fit)),
                   footerTop);
}

void WizardWindow::fitToScreen() {
    const QScreen* shownOn = screen();
    if (!isWindow() || shownOn == nullptr)
        return;
    // The room the screen has for windows, less the window's frame where it is known.
    QSize room = shownOn->availableGeometry().size();
    if (const QWindow* handle = windowHandle())
        room = room.shrunkBy(handle->frameMargins());
    const double fit = std::min({1.0, static_cast<double>(room.width()) / kWidth,
                                 static_cast<double>(room.height()) / kHeight});
    if (fit == m_fit)
        return;
    m_fit = fit;
    layOut();
    placeLinks();
    placeFocusMark();
}

void WizardWindow::placeLinks() {
    QLabel* contact = m_frameText[2];
    const QString text = contact->text();
    if (text == m_linkedText && contact->geometry() == m_linkedBox)
        return;
    m_linkedText = text;
    m_linkedBox = contact->geometry();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    const qsizetype gapStart = lineEnd < 0 ? -1 : text.indexOf(QStringLiteral("  "), lineEnd);
    if (lineEnd < 0 || gapStart < 0)
        return;
    qsizetype gapEnd = gapStart;
    while (gapEnd < text.size() && text[gapEnd] == QLatin1Char(' '))
        ++gapEnd;

    // Laid out as the label draws a plain text: word-wrapped lines at its width, one after
    // another with the font's leading between them.
    QString shown = text;
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(shown, contact->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const QRect area = contact->contentsRect();
    const qreal leading = contact->fontMetrics().leading();
    qreal y = -leading;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        y += leading;
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();

    auto spot = [&](qsizetype position) {
        const QTextLine line = layout.lineForTextPosition(static_cast<int>(position));
        const int x = static_cast<int>(line.cursorToX(static_cast<int>(position)));
        return QRect(contact->pos() + area.topLeft() + QPoint(x, static_cast<int>(line.y())),
                     QSize(0, static_cast<int>(line.height())));
    };
    const int blank = contact->fontMetrics().horizontalAdvance(QLatin1Char(' '));
    // The e-mail address follows the first line's last word after one blank; where the line
    // leaves too little room before the text's right edge (a large font), a smaller font.
    QLabel* mail = m_linkText[0];
    const QRect end = spot(lineEnd);
    const int mailRoom = contact->geometry().right() + 1 - (end.left() + blank);
    mail->setFont(fontToFit(contact->font(), mail->text(), mailRoom));
    mail->setGeometry(end.left() + blank, end.top(),
                      mail->fontMetrics().horizontalAdvance(mail->text()) + 2, end.height());
    // The web address fills the gap, with a blank left free at either side; a gap narrower
    // than the address at this font gets a smaller font.
    QLabel* web = m_linkText[1];
    const QRect from = spot(gapStart);
    const int room = spot(gapEnd).left() - from.left() - 2 * blank;
    web->setFont(fontToFit(contact->font(), web->text(), room));
    const int width = web->fontMetrics().horizontalAdvance(web->text()) + 2;
    web->setGeometry(from.left() + blank + std::max(0, (room - width) / 2), from.top(), width,
                     from.height());
}

bool WizardWindow::eventFilter(QObject* watched, QEvent* event) {
    // Keys reach the focused element first; all but Tab (which moves the focus) are the
    // window's to handle, so a label that would take them as text interaction never sees them.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        const bool ours = std::any_of(m_focusables.begin(), m_focusables.end(),
                                      [&](const Focusable& f) { return f.widget == watched; });
        if (ours && !tab) {
            if (event->type() == QEvent::KeyPress)
                keyPressEvent(key);
            else
                keyReleaseEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::MouseMove && !m_inputBlocked) {
        const auto link = std::find(m_linkText.begin(), m_linkText.end(), watched);
        const std::array<bool, 2>& underlined = m_wizard.elements().LinkUnderlined;
        if (link != m_linkText.end()) {
            const int index = static_cast<int>(link - m_linkText.begin());
            if (!underlined[0] && !underlined[1])
                run([&] { m_wizard.Highlight_Link(index); });
        } else if (underlined[0] || underlined[1]) {
            run([&] { m_wizard.Clear_Link_Highlight(); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

const QPixmap& WizardWindow::picture(int number) const {
    static const QPixmap none;
    return number >= 1 && number <= 26 ? m_pictures[static_cast<std::size_t>(number)] : none;
}

void WizardWindow::run(const std::function<void()>& command) {
    command();
    sync();
}

void WizardWindow::sync() {
    const WizardElements& e = m_wizard.elements();
    setWindowTitle(toQt(e.windowTitle));
    // While a run measures, the page takes no input but stays in full colour: a transparent
    // cover over the whole page takes the pointer, and keys are not handed to the wizard.
    m_inputBlocked = !e.windowEnabled;
    setProperty("inputBlocked", m_inputBlocked); // assistive tools' actions wait too
    m_cover->setVisible(m_inputBlocked);
    if (m_inputBlocked)
        m_cover->raise();
    if (e.hourglass)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
    for (std::size_t i = 0; i < m_frameText.size(); ++i) {
        showCaption(m_frameText[i], e.FrameText[i].caption);
        m_frameText[i]->setVisible(e.FrameText[i].visible);
    }
    // The system page's two columns, line for line: each name with its value.
    const QStringList names = toQt(crToNewline(e.FrameText[50].caption)).split(u'\n');
    const QStringList values = toQt(crToNewline(e.FrameText[51].caption)).split(u'\n');
    QStringList pairs;
    for (qsizetype i = 0; i < values.size(); ++i)
        if (!values[i].isEmpty())
            pairs << (i < names.size() ? names[i] + u' ' + values[i] : values[i]);
    if (const QString paired = pairs.join(u'\n'); m_frameText[51]->accessibleName() != paired)
        m_frameText[51]->setAccessibleName(paired);
    showCaption(m_pageTitle[0], e.PageTitle[0]);
    showCaption(m_pageTitle[1], e.PageTitle[1]);
    showCaption(m_permanentText, e.PermanentText);
    for (std::size_t i = 0; i < 6; ++i) {
        m_buttons[i]->setVisible(e.ButtonVisible[i]);
        m_buttons[i]->setPicture(picture(e.ButtonImage[i]));
        m_buttons[i]->setCaption(e.ButtonText[i]);
    }
    for (std::size_t i = 0; i < 5; ++i) {
        m_optionImage[i]->setPixmap(picture(e.OptionImage[i]));
        setAccessibleChecked(m_optionText[i], e.OptionImage[i] == WizardPicture::OptionSelected);
        m_optionImage[i]->setVisible(e.OptionVisible[i]);
        m_optionText[i]->setVisible(e.OptionVisible[i]);
    }
    for (std::size_t i = 0; i < 8; ++i) {
        m_checkImage[i]->setPixmap(picture(e.CheckImage[i]));
        setAccessibleChecked(m_checkText[i], e.CheckImage[i] == WizardPicture::Checked);
        m_checkImage[i]->setVisible(e.CheckVisible[i]);
        m_checkText[i]->setVisible(e.CheckVisible[i]);
    }
    for (std::size_t i = 0; i < 6; ++i) {
        m_lrButton[i]->setVisible(e.LRButtonVisible[i]);
        m_benchImage[i]->setPixmap(picture(e.BenchImage[i]));
        m_benchImage[i]->setVisible(e.BenchVisible[i]);
    }
    nameGroupPictures();
    for (std::size_t i = 0; i < 3; ++i)
        m_orderedImage[i]->setVisible(e.OrderedVisible[i]);
    for (std::size_t i = 0; i < 5; ++i) {
        if (i != 3)
            m_frameImage[i]->setVisible(e.FrameImageVisible[i]);
        m_frameLine[i]->setVisible(e.FrameLineVisible[i]);
    }
    m_frameImage[0]->setPixmap(picture(8));
    m_frameImage[1]->setPixmap(picture(9));
    m_progress->setVisible(e.BenchVisible[0]);
    m_progressText->setVisible(e.BenchVisible[0]);
    showProgress();
    layOut();
    placeLinks();
    for (std::size_t i = 0; i < 2; ++i) {
        QFont font = m_linkText[i]->font();
        if (font.underline() != e.LinkUnderlined[i]) {
            font.setUnderline(e.LinkUnderlined[i]);
            m_linkText[i]->setFont(font);
        }
        m_linkText[i]->setVisible(e.LinkVisible[i]);
    }
    // A new page, or the focused element gone from it: the focus goes where Return and Tab
    // should start.
    if (m_focusPage != m_wizard.CurrentPage() || focused() == nullptr) {
        m_focusPage = m_wizard.CurrentPage();
        focusDefault();
    }
    placeFocusMark();
}

bool WizardWindow::runFinished() const {
    const std::string& status =
        m_wizard.elements().FrameText[Wizard::kFirstRunLine + RunPageView::StatusLine].caption;
    // A run that measured nothing has ended too.
    return status.starts_with(texts::CompleteStatus) || status.starts_with(texts::NothingMeasured);
}

void WizardWindow::showProgress() {
    const QPixmap& runPicture = runFinished() ? m_finishedRunPicture : m_runPicture;
    if (m_frameImage[2]->pixmap().cacheKey() != runPicture.cacheKey())
        m_frameImage[2]->setPixmap(runPicture);
    if (m_run == nullptr || m_run->PhaseCount <= 0)
        return;
    m_progress->setMaximum(m_run->PhaseCount);
    m_progress->setValue(
        std::clamp(m_run->CurrentPhase - 1, 0, static_cast<int>(m_run->PhaseCount)));
    const QString done =
        QStringLiteral("%1 of %2 phases").arg(m_progress->value()).arg(m_progress->maximum());
    m_progress->setAccessibleName(QStringLiteral("Phases done: ") + done);
    m_progressText->setText(done);
}

void WizardWindow::showRunPage() {
    const WizardElements& e = m_wizard.elements();
    for (int line = 0; line < RunPageView::kLineCount; ++line) {
        const auto index = static_cast<std::size_t>(Wizard::kFirstRunLine + line);
        showCaption(m_frameText[index], e.FrameText[index].caption);
    }
    for (std::size_t group = 0; group < m_benchImage.size(); ++group) {
        const QPixmap& shown = picture(e.BenchImage[group]);
        if (m_benchImage[group]->pixmap().cacheKey() != shown.cacheKey())
            m_benchImage[group]->setPixmap(shown);
    }
    nameGroupPictures();
    showProgress();
    layOut();
}

void WizardWindow::nameGroupPictures() {
    const WizardElements& e = m_wizard.elements();
    for (std::size_t group = 0; group < m_benchImage.size(); ++group) {
        const int shown = e.BenchImage[group];
        // A group that was skipped shows the picture of one not chosen: neither runs now.
        const QString state = shown == RunPageView::GroupDonePicture    ? QStringLiteral("done")
                              : shown == WizardPicture::GroupWillRun    ? QStringLiteral("to run")
                              : shown == WizardPicture::GroupWillNotRun ? QStringLiteral("not run")
                                                                        : QString();
        const QString name =
            spokenCaption(
                e.FrameText[Wizard::kFirstRunLine + RunPageView::kLineCount + group].caption) +
            (state.isEmpty() ? QString() : QStringLiteral(": ") + state);
        if (m_benchImage[group]->accessibleName() != name)
            m_benchImage[group]->setAccessibleName(name);
    }
}

namespace {

// Alt with a letter is the letter, as the underlined letters of the captions promise.
bool plainOrAlt(Qt::KeyboardModifiers modifiers) {
    return (modifiers & ~(Qt::AltModifier | Qt::KeypadModifier)) == Qt::NoModifier;
}

bool isArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

} // namespace

// A key acts on its release, and only when this window received its press: a key held down
// repeats nothing, and a key pressed in another window (Ctrl+N in the result browser, which
// shows the wizard, or Return in a message box) does not act here when it is let go, nor does a
// letter pressed together with Ctrl. Arrows move the focus at once, and repeat while held.
void WizardWindow::keyPressEvent(QKeyEvent* event) {
    if (m_inputBlocked)
        return;
    if (!event->isAutoRepeat()) {
        std::erase(m_pressedKeys, event->key());
        if (plainOrAlt(event->modifiers()))
            m_pressedKeys.push_back(event->key());
    }
    if (isArrow(event->key()) && plainOrAlt(event->modifiers()) &&
        navigationKey(event->key(), false))
        return;
    QWidget::keyPressEvent(event);
}

void WizardWindow::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->isAutoRepeat() || m_inputBlocked)
        return;
    const bool pressedHere = std::erase(m_pressedKeys, key) > 0;
    if (!plainOrAlt(event->modifiers())) {
        QWidget::keyReleaseEvent(event);
    } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        if (pressedHere)
            run([&] { m_wizard.Handle_Key(static_cast<char>('A' + (key - Qt::Key_A))); });
    } else if (!pressedHere || !navigationKey(key, true)) {
        QWidget::keyReleaseEvent(event);
    }
}

bool WizardWindow::navigationKey(int key, bool release) {
    const Focusable* f = focused();
    if (release && key == Qt::Key_Space) {
        if (f != nullptr)
            f->activate();
        return true;
    }
    if (release && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        if (f != nullptr && f->pushButton)
            f->activate();
        else if (m_wizard.elements().ButtonVisible[Wizard::NextButton])
            run([&] {
                m_wizard.Button_Down(Wizard::NextButton);
                m_wizard.Button_Up(Wizard::NextButton);
            });
        return true;
    }
    if (release || f == nullptr || !isArrow(key))
        return false;
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
    switch (f->group) {
    case Group::Options: // the focus moves with the choice, as among option buttons
        if (moveInGroup(forward ? 1 : -1))
            focused()->activate();
        return true;
    case Group::Checks:
    case Group::Tools:
        moveInGroup(forward ? 1 : -1);
        return true;
    case Group::DirectXArrows: {
        // Left and right step the row's value down and up; up and down go to the next row.
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            moveInGroup(forward ? 2 : -2);
            return true;
        }
        const auto at = std::find(m_lrButton.begin(), m_lrButton.end(), f->widget);
        const int row = static_cast<int>(at - m_lrButton.begin()) / 2;
        const int index = row * 2 + (forward ? 1 : 0);
        m_lrButton[static_cast<std::size_t>(index)]->setFocus(Qt::TabFocusReason);
        run([&] { m_wizard.Change_DX_Option(index); });
        return true;
    }
    case Group::None:
        return false;
    }
    return false;
}

const WizardWindow::Focusable* WizardWindow::focused() const {
    QWidget* widget = focusWidget();
    for (const Focusable& f : m_focusables)
        if (f.widget == widget && widget->isVisibleTo(this))
            return &f;
    return nullptr;
}

void WizardWindow::focusDefault() {
    QWidget* target = nullptr;
    if (m_buttons[Wizard::NextButton]->isVisibleTo(this))
        target = m_buttons[Wizard::NextButton];
    for (auto f = m_focusables.begin(); target == nullptr && f != m_focusables.end(); ++f)
        if (f->widget->isVisibleTo(this))
            target = f->widget;
    if (target != nullptr)
        target->setFocus(Qt::OtherFocusReason);
}

bool WizardWindow::moveInGroup(int step) {
    const Focusable* f = focused();
    if (f == nullptr)
        return false;
    auto i = f - m_focusables.data();
    const auto count = static_cast<std::ptrdiff_t>(m_focusables.size());
    for (i += step; i >= 0 && i < count; i += step) {
        const Focusable& candidate = m_focusables[static_cast<std::size_t>(i)];
        if (candidate.group != f->group)
            break;
        if (candidate.widget->isVisibleTo(this)) {
            candidate.widget->setFocus(Qt::TabFocusReason);
            placeFocusMark();
            return true;
        }
    }
    return false;
}

bool WizardWindow::focusNextPrevChild(bool next) {
    const bool moved = QWidget::focusNextPrevChild(next);
    placeFocusMark();
    return moved;
}

void WizardWindow::placeFocusMark() {
    const Focusable* f = focused();
    if (f == nullptr) {
        m_focusMark->hide();
        return;
    }
    QRect area = f->widget->geometry();
    // A text is marked as far as it runs, not over the empty rest of its box.
    if (const auto* label = qobject_cast<const QLabel*>(f->widget);
        label && label->pixmap().isNull())
        area.setWidth(std::min(area.width(), oneLineWidth(*label)));
    if (f->picture != nullptr)
        area = area.united(f->picture->geometry());
    m_focusMark->setGeometry(area.adjusted(-4, -3, 4, 3).intersected(rect()));
    m_focusMark->show();
    m_focusMark->raise();
    if (m_inputBlocked)
        m_cover->raise();
}

void WizardWindow::focusOutEvent(QFocusEvent* event) {
    m_pressedKeys.clear(); // the release of a key held now goes elsewhere, or comes unpressed
    QWidget::focusOutEvent(event);
}

// A window manager places a window anew each time it is mapped: the wizard comes back where
// it was when it was hidden (a trip to the result browser, for one).
void WizardWindow::setVisible(bool visible) {
    if (!visible && isVisible() && !isMinimized()) {
        m_lastPosition = pos();
    } else if (visible && !isVisible() && m_lastPosition) {
        move(*m_lastPosition);
        // Moved by the window manager (the user dragged it), the window has no place of the
        // program's own, and the manager places it anew when it is mapped: the place is named
        // as the frame's, which is what pos() told.
        if (QWindow* handle = windowHandle())
            handle->setFramePosition(*m_lastPosition);
    }
    if (visible && isWindow()) {
        create(); // the frame's margins are known from here on, where the platform tells them
        fitToScreen();
    }
    QWidget::setVisible(visible);
}

// Where a window manager frames the window once it is mapped, its margins become known only then.
void WizardWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    fitToScreen();
}

void WizardWindow::closeEvent(QCloseEvent* event) {
    if (confirmExit && confirmExit())
        event->accept();
    else
        event->ignore();
}

} // namespace vexo
