#pragma once

#include <QLabel>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

namespace vexo {

// A label of rich text, aligned at its top left, whose links (<a href>) are controls of their
// own: a click on one activates it (linkActivated), Tab visits each in turn before it leaves the
// label, and assistive tools see each as a child of role Link, named by its text, whose action
// "Press" activates it. What a key does to the focused link is the window's to decide.
class LinkLabel final : public QLabel {
public:
    explicit LinkLabel(QWidget* parent);

    struct Link {
        QString href;
        QString text;
        QRect rect; // where its first line stands, in the label's coordinates
    };
    // The links as the text is laid out at the label's width, in reading order.
    std::vector<Link> links() const;
    // The link the keyboard's focus is on (an index into links()), or -1.
    int focusedLink() const { return hasFocus() ? m_focused : -1; }

    // Told when the keyboard's focus moves from one link to another within the label.
    std::function<void()> focusMoved;

protected:
    void focusInEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void focusLink(int link);

    int m_focused = -1;
};

} // namespace vexo
