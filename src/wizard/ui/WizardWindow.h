#pragma once

#include "wizard/Wizard.h"

#include <QRect>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;

namespace vexo {

class PictureButton;

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

    // True while the page takes no input (during a run); it is not greyed meanwhile.
    bool inputBlocked() const { return m_inputBlocked; }

    // True once the engine has written the run's completion status (measured or not); the run
    // picture says so.
    bool runFinished() const;

    // The wizard's picture list by number (1 to 26).
    const QPixmap& picture(int number) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // Puts the two links of the welcome page over the end of the contact text's first line
    // and over the gap in its second, as the text is laid out at the label's font.
    void placeLinks();

    // Where an element stands in the design at the normal font; a text grows to its font.
    struct Placement {
        QWidget* widget = nullptr;
        QRect design;
        bool text = false;
        bool picture = false;                  // keeps its size where the window is made smaller
        PictureButton* besideButton = nullptr; // stands right of it, moved as it widens
    };
    std::vector<Placement> m_layout;
    double m_fit = 1.0; // the window's size to its design's, below 1 on a screen too small
    QRect fitted(const Placement& placement) const;
    // Places the shown elements from their design boxes, each text as tall as it needs, and
    // sizes the window to the page.
    void layOut();
    // The background picture over the whole window: its title band down to bandBottom, as tall
    // as the page's title and subtitle need (its line beneath them), its footer band from
    // footerTop, under the hint and the buttons, and its middle between them.
    void showBackground(int bandBottom, int footerTop);
    // Makes the window, frame included, no larger than the room its screen has for windows.
    void fitToScreen();

    Wizard& m_wizard;
    std::array<QPixmap, 27> m_pictures;
    QPixmap m_background;
    QPixmap m_runPicture;
    QPixmap m_finishedRunPicture;
    QCursor m_hand;
    QLabel* m_backgroundLabel = nullptr;
    QRect m_shownBackground; // the bands' edges and the window's size the picture was made for
    std::array<QLabel*, std::tuple_size_v<decltype(WizardElements::FrameText)>> m_frameText{};
    std::array<QLabel*, 2> m_pageTitle{};
    QLabel* m_permanentText = nullptr;
    std::array<PictureButton*, 6> m_buttons{};
    std::array<QLabel*, 5> m_optionImage{};
    std::array<QLabel*, 5> m_optionText{};
    std::array<QLabel*, 8> m_checkImage{};
    std::array<QLabel*, 8> m_checkText{};
    std::array<QLabel*, 6> m_lrButton{};
    std::array<QLabel*, 6> m_benchImage{};
    std::array<QLabel*, 3> m_orderedImage{};
    std::array<QLabel*, 5> m_frameImage{};
    std::array<QWidget*, 5> m_frameLine{};
    std::array<QLabel*, 2> m_linkText{};
    QString m_linkedText; // the contact text the links were last placed over, and where
    QRect m_linkedBox;
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressText = nullptr; // the count of phases beneath the bar
    const RunState* m_run = nullptr;
    QWidget* m_cover = nullptr; // over the page while input is blocked
    bool m_inputBlocked = false;
    // The keys whose press this window received, each until its release: keys overlap as
    // people type them (Alt let go before its letter, the next letter down before the last is
    // up).
    std::vector<int> m_pressedKeys;
    std::optional<QPoint> m_lastPosition; // where the window stood when it was last hidden
    void showProgress();
    // The run page's lines and group pictures as the wizard holds them now.
    void showRunPage();
    // The group pictures of the run page, named for assistive tools by their group and what
    // they show of it.
    void nameGroupPictures();

    // An element the keyboard reaches, in reading order: what Space (and Return on a button)
    // does, the group its arrow keys move within, and the picture its focus mark also encloses.
    enum class Group { None, Options, Checks, DirectXArrows, Tools };
    struct Focusable {
        QWidget* widget = nullptr;
        std::function<void()> activate;
        bool pushButton = false; // Return acts on it rather than pressing Next
        Group group = Group::None;
        QWidget* picture = nullptr;
    };
    std::vector<Focusable> m_focusables;
    QWidget* m_focusMark = nullptr;
    Wizard::Page m_focusPage{}; // the page the focus was last placed on (none at first)
    const Focusable* focused() const;
    // Puts the focus on Next where it is shown, else on the page's first element, else Help.
    void focusDefault();
    // Moves the focus `step` places within the focused element's group, skipping hidden ones;
    // true when it moved.
    bool moveInGroup(int step);
    void placeFocusMark();
    // Acts on Return, Space or an arrow key; true when the key was one of those.
    bool navigationKey(int key, bool release);
};

} // namespace vexo
