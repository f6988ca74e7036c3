#pragma once

// Checks of a window as a person sees it: every caption without a stray access-key mark, every
// text whole in its element at the window's font, and no element lying on another.

#include <QAbstractButton>
#include <QLabel>
#include <QTabBar>
#include <QTextDocument>
#include <QToolButton>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace vexo::test {

// A caption as it is drawn when "&" marks its access key: a single "&" vanishes, "&&" shows one.
inline QString withoutAccessMarks(QString caption) {
    return caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(u'&')
        .replace(u'\x01', u'&');
}

// The text a label draws: rich text as its plain words.
inline QString shownText(const QLabel& label) {
    if (label.textFormat() == Qt::PlainText ||
        (label.textFormat() == Qt::AutoText && !Qt::mightBeRichText(label.text())))
        return label.text();
    QTextDocument document;
    document.setHtml(label.text());
    return document.toPlainText();
}

inline std::string describe(const QWidget& widget) {
    std::string name = widget.metaObject()->className();
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) of " " + a string.
    if (!widget.objectName().isEmpty())
        name.append(" ").append(widget.objectName().toStdString());
    QString caption;
    if (const auto* label = qobject_cast<const QLabel*>(&widget); label && label->pixmap().isNull())
        caption = shownText(*label).left(60);
    else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        caption = withoutAccessMarks(button->text());
    else if (widget.property("captionArea").isValid())
        caption = widget.accessibleName();
    return caption.isNull() ? name : name + " \"" + caption.toStdString() + "\"";
}

// Says whether two overlapping siblings lie on one another because the window means them to
// (a backdrop under its page, a cover over it); the first is the lower one.
using StackedOnPurpose = std::function<bool(const QWidget& lower, const QWidget& upper)>;

// Every fault the window shows now, one line each; empty when it looks right.
inline std::vector<std::string> layoutFaults(const QWidget& window,
                                             const StackedOnPurpose& onPurpose = {}) {
    std::vector<std::string> faults;
    auto shown = [&window](const QWidget* w) { return w == &window || w->isVisibleTo(&window); };
    auto ampersand = [&faults](const QWidget& where, const QString& text) {
        if (text.contains(u'&'))
            faults.push_back(describe(where) + " shows an ampersand: " + text.toStdString());
    };
    auto tooSmall = [&faults](const QWidget& where, const char* fault, int needed, int room) {
        if (needed > room)
            faults.push_back(describe(where) + fault + ": needs " + std::to_string(needed) +
                             " of " + std::to_string(room) + " pixels");
    };

    std::vector<const QWidget*> widgets{&window};
    for (const QWidget* child : window.findChildren<QWidget*>())
        if (shown(child) && !child->isWindow())
            widgets.push_back(child);

    for (const QWidget* widget : widgets) {
        const QFontMetrics metrics(widget->font());
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            if (!label->pixmap().isNull() || label->text().isEmpty())
                continue;
            const QString text = shownText(*label);
            ampersand(*label, text);
            tooSmall(*label, " is cut at the bottom",
                     label->wordWrap() ? label->heightForWidth(label->width())
                                       : label->sizeHint().height(),
                     label->height());
            if (!label->wordWrap())
                tooSmall(*label, " is cut at the side",
                         metrics.boundingRect(QRect(0, 0, 100000, 100000), 0, text).width(),
                         label->contentsRect().width());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            const QString caption = withoutAccessMarks(button->text());
            ampersand(*button, caption);
            const auto* tool = qobject_cast<const QToolButton*>(button);
            if ((tool == nullptr || tool->toolButtonStyle() != Qt::ToolButtonIconOnly) &&
                qobject_cast<const QTabBar*>(button->parentWidget()) == nullptr)
                tooSmall(*button, " is too narrow for its caption",
                         metrics.horizontalAdvance(caption), button->width());
        } else if (const QVariant area = widget->property("captionArea");
                   area.isValid() && !widget->accessibleName().isEmpty()) {
            // An element that draws its own caption names it and says where it stands.
            const QString caption = widget->accessibleName();
            ampersand(*widget, caption);
            tooSmall(*widget, " does not fit beside its picture",
                     metrics.horizontalAdvance(caption), area.toRect().width());
            tooSmall(*widget, " is cut at the bottom", metrics.height(), area.toRect().height());
        } else if (const auto* tabs = qobject_cast<const QTabBar*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                const QString caption = withoutAccessMarks(tabs->tabText(i));
                ampersand(*tabs, caption);
                tooSmall(*tabs, " cuts a tab", metrics.horizontalAdvance(caption),
                         tabs->tabRect(i).width());
            }
        }

        // Siblings in stacking order, lowest first: none lies on another.
        std::vector<const QWidget*> children;
        for (const QObject* object : widget->children()) {
            const auto* child = qobject_cast<const QWidget*>(object);
            if (child != nullptr && !child->isWindow() && shown(child) &&
                !child->geometry().isEmpty())
                children.push_back(child);
        }
        for (std::size_t i = 0; i < children.size(); ++i)
            for (std::size_t j = i + 1; j < children.size(); ++j)
                if (children[i]->geometry().intersects(children[j]->geometry()) &&
                    !(onPurpose && onPurpose(*children[i], *children[j])))
                    faults.push_back(describe(*children[j]) + " lies on " + describe(*children[i]) +
                                     " in " + describe(*widget));
    }
    return faults;
}

} // namespace vexo::test
