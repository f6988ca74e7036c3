#pragma once

// The platform services on Qt: dialogs, file dialogs, program start and the message
// pump, for the windows of the program.

#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/qt/QtMessagePump.h"

#include <QCursor>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

class QFileDialog;
class QTextDocument;
class QWidget;

namespace vexo {

QString toQt(const std::string& text);
std::string fromQt(const QString& text);
// Carriage returns, alone or before a line feed, become line breaks.
QString withLineBreaks(const std::string& text);
// A tool tip that shows the text as it is: tool tips take any text that looks like markup for
// markup, and outside text (a window title, a record name) must never be read as such.
QString plainToolTip(const QString& text);

// Whether the X window is one of the toolkit's hidden helpers of this program (the selection
// owner, the client leader): made on the program's own display connection, yet none of its
// windows. False when the program does not run on X11.
bool isHelperWindow(std::uint32_t window);

// Makes the window owned by another (WM_TRANSIENT_FOR on X11: the window manager keeps it above
// its owner), or by none. The toolkit says so only for dialogs and tool windows.
void setOwnerWindow(QWidget& window, QWidget* owner);

// Message boxes, input boxes and file dialogs, owned by whichever window owner() names at the
// time they are shown. Their texts often hold outside text (titles, record names, file names),
// so they are always shown as plain text, never as markup.
class QtDialogs final : public Dialogs, public FileDialogs {
public:
    explicit QtDialogs(std::function<QWidget*()> owner)
        : m_owner(std::move(owner)) {}

    int messageBox(const std::string& text, int style, const std::string& title) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText, int leftTwips,
                                        int topTwips) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;

private:
    std::optional<std::string> fileDialog(const FileDialogRequest& request, bool save);
    std::function<QWidget*()> m_owner;
};

// "description|pattern|description|pattern" as Qt name filters; "*.*" means every file, and
// "*.exe" every file one may run (the dialog then narrows it by the file's mode).
QStringList nameFilters(const std::string& filter);
// Sets up a file dialog as the request asks, ready to be shown.
void prepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save);

class QtProgramStarter final : public ProgramStarter {
public:
    bool startProgram(const std::string& path) override;
};

// Minimises a window and gives the state to bring it back to (never a minimised one).
Qt::WindowStates minimiseKeepingState(QWidget& window);
// Shows the window again in the state minimiseKeepingState gave.
void restoreWindowState(QWidget& window, Qt::WindowStates state);

// An installation picture, read by the rules of installation::readPicture. A missing, damaged or
// oversized file gives an empty pixmap, and its problem is noted for the window to say
// (installation::takeProblemsMessage).
QPixmap loadPicture(const std::string& path);

// Gives a window its preferred size and minimum, each bounded by the area the screen it opens on
// has free for windows, its frame included: on a small or scaled screen (a scale factor of 1.5
// leaves 853 by 683 of 1280 by 1024) the whole window, its edges and its close box stay on it.
// On a tiling desktop (sway, i3, Hyprland, river), which would squeeze a plain window into a
// tile below its minimum and cut it, the window asks to float, as dialogs do, at that size.
void fitToScreen(QWidget& window, QSize preferred, QSize minimum);

// The contrast ratio of two colours as WCAG 2 defines it: from 1 (none) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);
// `colour` as it is if it has `ratio` against `ground`; else made lighter (on a dark ground) or
// darker (on a light one), keeping its hue, until it does.
QColor legibleOn(const QColor& colour, const QColor& ground, double ratio = 4.5);
// Every run of `document` that names its own colour made legible on `ground`: a document
// coloured for white paper stays readable on a dark theme's base.
void keepLegible(QTextDocument& document, const QColor& ground);

// The program's pointing hand (with the hot spot stored in its picture), or the system's.
QCursor handCursor(const std::string& appFolder);

// A label that runs a command when clicked (while enabled).
class ClickableLabel final : public QLabel {
public:
    ClickableLabel(const QString& text, std::function<void()> onClick, QWidget* parent)
        : QLabel(text, parent)
        , m_onClick(std::move(onClick)) {}

    // Makes the label a link of the keyboard too: Tab reaches it, Space or Return runs its
    // command, a focus frame shows around its text, and assistive tools know it as a link.
    void becomeKeyboardLink();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void()> m_onClick;
    bool m_keyboardLink = false;
    int m_pressedKey = 0; // Space or Return pressed while focused, until its release
};

} // namespace vexo
