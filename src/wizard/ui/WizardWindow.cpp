#include "WizardWindow.h"

#include "common/Text.h"
#include "engine/RunTexts.h"
#include "platform/qt/AccessibleControls.h"
#include "platform/qt/LinkLabel.h"
#include "platform/qt/QtPlatform.h"
#include "wizard/ui/ContactText.h"
#include "wizard/ui/PictureButton.h"
#include "wizard/ui/WizardPictures.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTextDocument>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vexo {

using design::Part;
using flow::Fit;

namespace {

// The 32 pictures in loading order: six for elements, then the picture list 1 to 26.
constexpr std::array<const char*, 32> kPictureFiles{
    "BKImage", "GAImage", "N1Image", "N2Image", "N3Image", "CIImage", "NUImage", "NDImage",
    "BUImage", "BDImage", "OSImage", "ONImage", "HAImage", "HBImage", "SBImage", "CSImage",
    "CNImage", "AUImage", "ADImage", "SUImage", "SDImage", "DUImage", "DDImage", "XUImage",
    "XDImage", "OKImage", "OHImage", "O1Image", "WUImage", "WDImage", "LFImage", "RTImage"};

// The picture's dark ground, behind the page where it grows below the picture.
const QColor kGround(0x0B, 0x15, 0x26);

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

} // namespace

WizardWindow::WizardWindow(Wizard& wizard, const std::string& appFolder, QWidget* parent)
    : QWidget(parent)
    , m_wizard(wizard)
    , m_hand(handCursor(appFolder)) {
    m_wizard.commands.runPageChanged = [this] { showRunPage(); };
    // Load_Wizard_Pictures: the first six are the elements' own, the rest the picture list.
    for (std::size_t i = 0; i < kPictureFiles.size(); ++i)
        (i < 6 ? m_elementPictures[i] : m_pictures[i - 5]) =
            loadPicture(appFolder + "data/" + kPictureFiles[i] + ".dat");
    if (m_elementPictures[0].isNull()) {
        // Without its picture the window keeps the picture's dark ground, on which the light
        // captions stay legible; the missing file has been noted for the start-up to name.
        m_elementPictures[0] = QPixmap(design::kWidth, design::kHeight);
        m_elementPictures[0].fill(kGround);
    }
    m_finishedRunPicture = finishedRunPicture(m_elementPictures[5]);
    QPalette ground = palette();
    ground.setColor(QPalette::Window, kGround);
    setPalette(ground);
    setAutoFillBackground(true);

    for (std::size_t part = 0; part < design::kPartCount; ++part)
        for (std::size_t i = 0; i < kinds()[part].count; ++i) {
            QWidget* made = kinds()[part].make(*this, i);
            m_widgets[part].push_back(made);
            m_elementOf[made] = {static_cast<Part>(part), i};
        }
    m_design = design::designLayout();
    // What the keyboard reaches, in the design's reading order: a page's elements top to bottom
    // and left to right, then the buttons along its foot. A page shows only its own.
    std::vector<design::Placed> stops;
    std::ranges::copy_if(m_design, std::back_inserter(stops), [this](const design::Placed& p) {
        return kinds()[static_cast<std::size_t>(p.part)].keys(p.index) != Keys::None;
    });
    std::ranges::stable_sort(stops, [](const design::Placed& a, const design::Placed& b) {
        return std::pair(a.box.top(), a.box.left()) < std::pair(b.box.top(), b.box.left());
    });
    QWidget* previous = nullptr;
    for (const design::Placed& stop : stops) {
        QWidget* next = widget(stop.part, stop.index);
        next->setFocusPolicy(Qt::TabFocus);
        next->installEventFilter(this);
        if (previous != nullptr)
            setTabOrder(previous, next);
        previous = next;
        if (m_firstTabStop == nullptr)
            m_firstTabStop = next;
    }
    // Pointer moves, also with no button held, underline a link or clear the underline.
    setMouseTracking(true);
    makeAccessibleDisplay(this, QAccessible::Window);
    m_focusMark = new FocusMark(this);
    m_focusMark->hide();
    m_cover = new InputCover(this);
    m_cover->hide();
    sync();
}

QWidget* WizardWindow::widget(Part part, std::size_t index) const {
    return m_widgets[static_cast<std::size_t>(part)][index];
}

QLabel* WizardWindow::label(Part part, std::size_t index) const {
    return static_cast<QLabel*>(widget(part, index));
}

std::optional<WizardWindow::Element> WizardWindow::elementOf(const QObject* object) const {
    const auto found = m_elementOf.find(object);
    return found == m_elementOf.end() ? std::nullopt : std::optional(found->second);
}

WizardWindow::Keys WizardWindow::keysOf(const QObject* object) const {
    const std::optional<Element> element = elementOf(object);
    return element ? kinds()[static_cast<std::size_t>(element->part)].keys(element->index)
                   : Keys::None;
}

QLabel* WizardWindow::clickable(Element element) {
    auto* label = new ClickableLabel(
        QString(), [this, element] { activate(element); }, this);
    label->setCursor(m_hand);
    label->setStyleSheet(QStringLiteral("color: #e6f0f8;"));
    return label;
}

void WizardWindow::activate(Element element) {
    run([&] { kinds()[static_cast<std::size_t>(element.part)].click(m_wizard, element.index); });
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
    for (std::size_t part = 0; part < design::kPartCount; ++part)
        for (std::size_t i = 0; i < kinds()[part].count; ++i)
            kinds()[part].show(*this, m_widgets[part][i], i);
    showProgress();
    // A new page, or the focused element gone from it: the focus goes where Return and Tab
    // should start.
    if (m_focusPage != m_wizard.CurrentPage() || !focused()) {
        m_focusPage = m_wizard.CurrentPage();
        focusDefault();
    }
    arrange();
}

void WizardWindow::arrange() {
    layOut();
    if (showContact())
        layOut();
    placeFocusMark();
}

bool WizardWindow::showContact() {
    QLabel* contact = label(Part::FrameText, kContact);
    const WizardElements& e = m_wizard.elements();
    const QString text = toQt(crToNewline(e.FrameText[kContact].caption));
    const QString html =
        contactHtml(text, contact->font(), contact->contentsRect().width(),
                    e.LinkVisible[0] ? std::optional(e.LinkUnderlined) : std::nullopt);
    if (contact->text() == html)
        return false;
    contact->setText(html);
    return true;
}

bool WizardWindow::runFinished() const {
    const std::string& status =
        m_wizard.elements().FrameText[Wizard::kFirstRunLine + RunPageView::StatusLine].caption;
    // A run that measured nothing has ended too.
    return status.starts_with(texts::CompleteStatus) || status.starts_with(texts::NothingMeasured);
}

void WizardWindow::showProgress() {
    QLabel* runPicture = label(Part::FrameImage, 2);
    const QPixmap& shown = runFinished() ? m_finishedRunPicture : m_elementPictures[5];
    if (runPicture->pixmap().cacheKey() != shown.cacheKey())
        runPicture->setPixmap(shown);
    if (m_run == nullptr || m_run->PhaseCount <= 0)
        return;
    auto* bar = static_cast<QProgressBar*>(widget(Part::Progress, 0));
    bar->setMaximum(m_run->PhaseCount);
    bar->setValue(std::clamp(m_run->CurrentPhase - 1, 0, static_cast<int>(m_run->PhaseCount)));
    const QString done = QStringLiteral("%1 of %2 phases").arg(bar->value()).arg(bar->maximum());
    bar->setAccessibleName(QStringLiteral("Phases done: ") + done);
    label(Part::ProgressText, 0)->setText(done);
}

void WizardWindow::showRunPage() {
    const Kind& texts = kinds()[static_cast<std::size_t>(Part::FrameText)];
    for (std::size_t line = 0; line < RunPageView::kLineCount; ++line) {
        const std::size_t index = Wizard::kFirstRunLine + line;
        texts.show(*this, widget(Part::FrameText, index), index);
    }
    const Kind& groups = kinds()[static_cast<std::size_t>(Part::BenchImage)];
    for (std::size_t group = 0; group < groups.count; ++group)
        groups.show(*this, widget(Part::BenchImage, group), group);
    showProgress();
    layOut();
}

void WizardWindow::layOut() {
    std::vector<flow::Item> items;
    for (const design::Placed& placed : m_design) {
        QWidget* element = widget(placed.part, placed.index);
        flow::Item item{placed.box, kinds()[static_cast<std::size_t>(placed.part)].fit,
                        element->isVisibleTo(this)};
        if (item.fit == Fit::Text) {
            const auto* text = static_cast<const QLabel*>(element);
            item.heightFor = [text](int width) {
                return text->wordWrap() ? text->heightForWidth(width) : text->sizeHint().height();
            };
            item.lineHeight = text->fontMetrics().lineSpacing();
        }
        if (placed.part == Part::Button)
            item.widthFor = [element](int height) {
                return static_cast<const PictureButton*>(element)->widthFor(height);
            };
        item.besideButton = placed.besideButton;
        items.push_back(std::move(item));
    }
    const flow::Placement placement = flow::layOut(items, m_fit);
    int footerRow = std::numeric_limits<int>::max(); // the top of the hint and buttons shown
    for (std::size_t i = 0; i < m_design.size(); ++i) {
        widget(m_design[i].part, m_design[i].index)->setGeometry(placement.boxes[i]);
        if (items[i].shown && m_design[i].box.top() == design::kButtonRowTop)
            footerRow = std::min(footerRow, placement.boxes[i].top());
    }
    using namespace design;
    constexpr int kBelowFooter = kHeight - (kButtonRowTop + kFooterHeight);
    const QSize wanted(
        qRound(kWidth * m_fit),
        std::max(qRound(kHeight * m_fit), placement.bottom + qRound(kBelowFooter * m_fit)));
    if (wanted != size() || minimumSize() != maximumSize())
        setFixedSize(wanted);
    m_cover->setGeometry(rect());
    // The title band's line stays below the subtitle as far beneath it as the design has it.
    const int designGap = kBandBottom - kSubtitle.bottom() - 1;
    const int designFooterTop = qRound(kFooterBandTop * m_fit);
    const int footerTop = footerRow == std::numeric_limits<int>::max()
                              ? height() - (qRound(kHeight * m_fit) - designFooterTop)
                              : footerRow - (qRound(kButtonRowTop * m_fit) - designFooterTop);
    const int bandBottom =
        std::max(qRound(kBandBottom * m_fit),
                 widget(Part::PageTitle, 1)->geometry().bottom() + 1 + qRound(designGap * m_fit));
    if (const QRect shown(QPoint(bandBottom, footerTop), size()); shown != m_shownBackground) {
        m_shownBackground = shown;
        QLabel* backdrop = label(Part::FrameImage, 3);
        backdrop->setGeometry(rect());
        backdrop->setPixmap(
            pageBackground(m_elementPictures[0], size(), bandBottom, footerTop, m_fit));
    }
}

void WizardWindow::fitToScreen() {
    const QScreen* shownOn = screen();
    if (!isWindow() || shownOn == nullptr)
        return;
    // The room the screen has for windows, less the window's frame where it is known.
    QSize room = shownOn->availableGeometry().size();
    if (const QWindow* handle = windowHandle())
        room = room.shrunkBy(handle->frameMargins());
    const double fit = std::min({1.0, static_cast<double>(room.width()) / design::kWidth,
                                 static_cast<double>(room.height()) / design::kHeight});
    if (fit == m_fit)
        return;
    m_fit = fit;
    arrange();
}

bool WizardWindow::eventFilter(QObject* watched, QEvent* event) {
    // Keys reach the focused element first; all but Tab (which moves the focus) are the
    // window's to handle, so a label that would take them as text interaction never sees them.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (keysOf(watched) != Keys::None && !tab) {
            if (event->type() == QEvent::KeyPress)
                keyPressEvent(key);
            else
                keyReleaseEvent(key);
            return true;
        }
    }
    // The pointer over the window or a text other than a link clears a link's underline.
    const std::array<bool, 2>& underlined = m_wizard.elements().LinkUnderlined;
    if (event->type() == QEvent::MouseMove && !m_inputBlocked &&
        watched != widget(Part::FrameText, kContact) && (underlined[0] || underlined[1]))
        run([&] { m_wizard.Clear_Link_Highlight(); });
    return QWidget::eventFilter(watched, event);
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
    const std::optional<Element> at = focused();
    const Keys keys = at ? keysOf(widget(at->part, at->index)) : Keys::None;
    if (release && key == Qt::Key_Space) {
        if (at)
            activate(*at);
        return true;
    }
    if (release && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        if (keys == Keys::Button || keys == Keys::Tool)
            activate(*at);
        else if (m_wizard.elements().ButtonVisible[Wizard::NextButton])
            activate({Part::Button, Wizard::NextButton});
        return true;
    }
    if (release || !isArrow(key))
        return false;
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
    switch (keys) {
    case Keys::Option: // the focus moves with the choice, as among option buttons
        if (moveInGroup(forward ? 1 : -1))
            activate(*focused());
        return true;
    case Keys::Check:
    case Keys::Tool:
        moveInGroup(forward ? 1 : -1);
        return true;
    case Keys::Arrow: {
        // Left and right step the row's value down and up; up and down go to the next row.
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            moveInGroup(forward ? 2 : -2);
            return true;
        }
        const Element arrow{Part::LRButton, at->index / 2 * 2 + (forward ? 1 : 0)};
        widget(arrow.part, arrow.index)->setFocus(Qt::TabFocusReason);
        activate(arrow);
        return true;
    }
    case Keys::None:
    case Keys::Button:
        return false;
    }
    return false;
}

std::optional<WizardWindow::Element> WizardWindow::focused() const {
    QWidget* focus = focusWidget();
    if (focus == nullptr || keysOf(focus) == Keys::None || !focus->isVisibleTo(this))
        return std::nullopt;
    return elementOf(focus);
}

QWidget* WizardWindow::nextTabStop(QWidget* from, bool forward) const {
    for (QWidget* w = forward ? from->nextInFocusChain() : from->previousInFocusChain(); w != from;
         w = forward ? w->nextInFocusChain() : w->previousInFocusChain())
        if (keysOf(w) != Keys::None && w->isVisibleTo(this))
            return w;
    return nullptr;
}

void WizardWindow::focusDefault() {
    QWidget* next = widget(Part::Button, Wizard::NextButton);
    QWidget* target = next->isVisibleTo(this) ? next : m_firstTabStop;
    if (target != nullptr && !target->isVisibleTo(this))
        target = nextTabStop(target, true);
    if (target != nullptr)
        target->setFocus(Qt::OtherFocusReason);
}

bool WizardWindow::moveInGroup(int step) {
    QWidget* to = focusWidget();
    const Keys group = keysOf(to);
    for (int left = std::abs(step); left > 0 && to != nullptr; --left)
        to = nextTabStop(to, step > 0);
    if (to == nullptr || keysOf(to) != group)
        return false;
    to->setFocus(Qt::TabFocusReason);
    placeFocusMark();
    return true;
}

bool WizardWindow::focusNextPrevChild(bool next) {
    const bool moved = QWidget::focusNextPrevChild(next);
    placeFocusMark();
    return moved;
}

void WizardWindow::placeFocusMark() {
    const std::optional<Element> at = focused();
    if (!at) {
        m_focusMark->hide();
        return;
    }
    QWidget* focus = widget(at->part, at->index);
    QRect area = focus->geometry();
    const Kind& kind = kinds()[static_cast<std::size_t>(at->part)];
    if (const auto* links = dynamic_cast<const LinkLabel*>(focus)) {
        // A link within a text: only the link.
        const int link = links->focusedLink();
        if (link >= 0)
            area = links->links()[static_cast<std::size_t>(link)].rect.translated(focus->pos());
    } else if (const auto* text = qobject_cast<const QLabel*>(focus);
               text && text->pixmap().isNull()) {
        // A text is marked as far as it runs, not over the empty rest of its box.
        area.setWidth(std::min(area.width(), oneLineWidth(*text)));
    }
    if (kind.markedWith)
        area = area.united(widget(*kind.markedWith, at->index)->geometry());
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
