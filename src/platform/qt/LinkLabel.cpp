#include "LinkLabel.h"

#include "platform/qt/AccessibleControls.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QFocusEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace vexo {

LinkLabel::LinkLabel(QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::TabFocus);
    makeAccessibleLinks(this);
}

std::vector<LinkLabel::Link> LinkLabel::links() const {
    QTextDocument document;
    document.setDefaultFont(font());
    document.setDocumentMargin(0);
    document.setHtml(text());
    const QRect area = contentsRect();
    document.setTextWidth(area.width());
    std::vector<Link> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QPointF origin =
            document.documentLayout()->blockBoundingRect(block).topLeft() + area.topLeft();
        for (auto piece = block.begin(); !piece.atEnd(); ++piece) {
            const QTextFragment fragment = piece.fragment();
            const QString href = fragment.charFormat().anchorHref();
            if (href.isEmpty())
                continue;
            const int start = fragment.position() - block.position();
            const QTextLine line = block.layout()->lineForTextPosition(start);
            const qreal left = line.cursorToX(start);
            const qreal right = line.cursorToX(start + fragment.length());
            const QRectF rect(origin + QPointF(left, line.y()),
                              QSizeF(right - left, line.height()));
            found.push_back({href, fragment.text(), rect.toAlignedRect()});
        }
    }
    return found;
}

void LinkLabel::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    // Tab comes to the first link and Shift+Tab to the last; the focus coming back to the window
    // finds the link it left.
    const int count = static_cast<int>(links().size());
    int link = m_focused;
    if (event->reason() == Qt::TabFocusReason || link < 0 || link >= count)
        link = count > 0 ? 0 : -1;
    if (event->reason() == Qt::BacktabFocusReason)
        link = count - 1;
    focusLink(link);
}

bool LinkLabel::focusNextPrevChild(bool next) {
    const int to = m_focused + (next ? 1 : -1);
    if (hasFocus() && to >= 0 && to < static_cast<int>(links().size())) {
        focusLink(to);
        return true;
    }
    return QLabel::focusNextPrevChild(next);
}

void LinkLabel::focusLink(int link) {
    m_focused = link;
    if (focusMoved)
        focusMoved();
    if (!QAccessible::isActive() || link < 0)
        return;
    if (QAccessibleInterface* label = QAccessible::queryAccessibleInterface(this);
        label != nullptr && label->child(link) != nullptr) {
        QAccessibleEvent focus(label->child(link), QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace vexo
