#pragma once

#include "wizard/Wizard.h"
#include "wizard/ui/FlowLayout.h"
#include "wizard/ui/WizardDesign.h"

#include <QPixmap>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QLabel;

namespace vexo {

// The wizard window: the background picture with every element of the wizard placed on it, each
// shown as the wizard says. Keys, clicks and button presses go to the wizard. What the engine
// reports to the wizard during a run is shown at once.
class WizardWindow final : public QWidget {
public:
    WizardWindow(Wizard& wizard, const std::string& appFolder, QWidget* parent = nullptr);

    // Shows the wizard's current state.
    void sync();
    // Runs a command of the wizard, then shows what changed.
    void run(const std::function<void()>& command);

    // Asked when the window is to close: true ends the program.
    std::function<bool()> confirmExit;

    // The run whose phases the run page's progress bar counts.
    void setRunState(const RunState* run) { m_run = run; }

    // Keeps the window's place on the screen across hide and show.
    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void moveEvent(QMoveEvent* event) override;

private:
    using Part = design::Part;
    // One element: its kind and its index among the wizard's elements of that kind.
    struct Element {
        Part part;
        std::size_t index;
    };
    // How the keyboard reaches an element: Tab stops at a button (or link), a tool, an option, a
    // check box or an arrow; Return acts on a button or a tool rather than pressing Next, and
    // the arrow keys move within the tools, options, check boxes or arrows of a page.
    enum class Keys { None, Button, Tool, Option, Check, Arrow };
    // Each kind of element described once: how many there are, how each is made, shown, laid
    // out and used (WizardKinds.cpp).
    struct Kind {
        std::size_t count;
        flow::Fit fit;
        // Makes element i: its widget, its look and what it is for assistive tools.
        QWidget* (*make)(WizardWindow& window, std::size_t i);
        // Shows element i as the wizard has it now.
        void (*show)(WizardWindow& window, QWidget* widget, std::size_t i);
        // What a click on element i does, and Space or Return where the keyboard reaches it.
        void (*click)(Wizard& wizard, std::size_t i) = nullptr;
        // How the keyboard reaches element i.
        Keys (*keys)(std::size_t i) = [](std::size_t) { return Keys::None; };
        // The picture beside element i that its focus mark encloses too.
        std::optional<Part> markedWith = std::nullopt;
    };
    static const std::array<Kind, design::kPartCount>& kinds();
    // FrameText 2, the welcome page's contact text, carries its two links.
    static constexpr std::size_t kContact = 2;

    QWidget* widget(Part part, std::size_t index) const;
    QLabel* label(Part part, std::size_t index) const;
    std::optional<Element> elementOf(const QObject* object) const;
    Keys keysOf(const QObject* object) const;
    // A label that runs the element's click.
    QLabel* clickable(Element element);
    // What a click, Space or Return does to the element.
    void activate(Element element);
    // The wizard's picture list by number (1 to 26).
    const QPixmap& picture(int number) const;

    // Places the shown elements from their design boxes, each text as tall as it needs, sizes
    // the window to the page and puts the links into the contact text as it is then laid out.
    void arrange();
    void layOut();
    // The contact text with its links as the text is laid out at its width; true when it
    // changed.
    bool showContact();
    // Makes the window, frame included, no larger than the room its screen has for windows.
    void fitToScreen();

    // True once the engine has written the run's completion status (measured or not); the run
    // picture says so.
    bool runFinished() const;
    void showProgress();
    // The run page's lines, group pictures and progress as the wizard holds them now.
    void showRunPage();

    // The element the keyboard focus is on, where it is shown.
    std::optional<Element> focused() const;
    // The next (or previous) shown element Tab stops at after `from`, in Qt's focus chain.
    QWidget* nextTabStop(QWidget* from, bool forward) const;
    // Puts the focus on Next where it is shown, else on the page's first element.
    void focusDefault();
    // Moves the focus `step` places within the focused element's group; true when it moved.
    bool moveInGroup(int step);
    void placeFocusMark();
    // Acts on Return, Space or an arrow key; true when the key was one of those.
    bool navigationKey(int key, bool release);

    Wizard& m_wizard;
    std::array<QPixmap, 27> m_pictures;
    // The pictures the elements load for themselves: background, Direct3D, the three numerals,
    // the run.
    std::array<QPixmap, 6> m_elementPictures;
    QPixmap m_finishedRunPicture;
    QCursor m_hand;
    std::array<std::vector<QWidget*>, design::kPartCount> m_widgets;
    std::unordered_map<const QObject*, Element> m_elementOf;
    std::vector<design::Placed> m_design;
    double m_fit = 1.0;      // the window's size to its design's, below 1 on a screen too small
    QRect m_shownBackground; // the bands' edges and the window's size the picture was made for
    const RunState* m_run = nullptr;
    QWidget* m_cover = nullptr; // over the page while input is blocked
    bool m_inputBlocked = false;
    // The keys whose press this window received, each until its release: keys overlap as
    // people type them (Alt let go before its letter, the next letter down before the last is
    // up).
    std::vector<int> m_pressedKeys;
    std::optional<QPoint> m_lastPosition; // where the window stood when it was last hidden
    QWidget* m_focusMark = nullptr;
    QWidget* m_firstTabStop = nullptr;
    std::optional<Wizard::Page> m_focusPage; // the page the focus was last placed on
};

} // namespace vexo
