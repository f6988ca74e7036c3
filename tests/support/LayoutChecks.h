#pragma once

// Checks of a window as a person sees it: every caption without a stray access-key mark, every
// text whole in its element at the window's font, and no element lying on another.

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
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
inline QString withoutAccessMarks(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&') {
                shown += u'&';
                ++i;
            }
            continue;
        }
        shown += caption[i];
    }
    return shown;
}

// The text a label draws: rich text as its plain words, a label with a buddy without its mark.
inline QString shownText(const QLabel& label) {
    const QString text = label.text();
    const bool rich = label.textFormat() == Qt::RichText ||
                      (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
    if (rich) {
        QTextDocument document;
        document.setHtml(text);
        return document.toPlainText();
    }
    return label.buddy() != nullptr ? withoutAccessMarks(text) : text;
}

inline std::string describe(const QWidget& widget) {
    std::string name = widget.metaObject()->className();
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) of " " + a string.
    if (!widget.objectName().isEmpty())
        name.append(" ").append(widget.objectName().toStdString());
    if (const auto* label = qobject_cast<const QLabel*>(&widget); label && label->pixmap().isNull())
        name += " \"" + shownText(*label).left(60).toStdString() + "\"";
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        name += " \"" + withoutAccessMarks(button->text()).toStdString() + "\"";
    else if (widget.property("captionArea").isValid())
        name += " \"" + widget.accessibleName().toStdString() + "\"";
    return name;
}

// Says whether two overlapping siblings lie on one another because the window means them to
// (a backdrop under its page, a cover over it); the first is the lower one.
using StackedOnPurpose = std::function<bool(const QWidget& lower, const QWidget& upper)>;

// Every fault the window shows now, one line each; empty when it looks right.
inline std::vector<std::string> layoutFaults(const QWidget& window,
                                             const StackedOnPurpose& onPurpose = {}) {
    std::vector<std::string> faults;
    auto shown = [&window](const QWidget* widget) {
        return widget == &window || widget->isVisibleTo(&window);
    };
    auto ampersand = [&faults](const QWidget& where, const QString& text) {
        if (text.contains(u'&'))
            faults.push_back(describe(where) + " shows an ampersand: " + text.toStdString());
    };

    std::vector<const QWidget*> widgets{&window};
    for (const QWidget* child : window.findChildren<QWidget*>())
        if (shown(child) && !child->isWindow())
            widgets.push_back(child);

    for (const QWidget* widget : widgets) {
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            if (!label->pixmap().isNull() || label->text().isEmpty())
                continue;
            ampersand(*label, shownText(*label));
            const QSize room = label->contentsRect().size();
            const QFontMetrics metrics(label->font());
            const int needed = label->wordWrap() ? label->heightForWidth(label->width())
                                                 : label->sizeHint().height();
            if (needed > label->height())
                faults.push_back(describe(*label) + " is cut at the bottom: needs " +
                                 std::to_string(needed) + " of " + std::to_string(label->height()) +
                                 " pixels");
            if (!label->wordWrap()) {
                const int wide =
                    metrics.boundingRect(QRect(0, 0, 100000, 100000), 0, shownText(*label)).width();
                if (wide > room.width())
                    faults.push_back(describe(*label) + " is cut at the side: needs " +
                                     std::to_string(wide) + " of " + std::to_string(room.width()) +
                                     " pixels");
            }
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            const QString caption = withoutAccessMarks(button->text());
            ampersand(*button, caption);
            const auto* tool = qobject_cast<const QToolButton*>(button);
            const bool captionDrawn =
                tool == nullptr || tool->toolButtonStyle() != Qt::ToolButtonIconOnly;
            if (!caption.isEmpty() && captionDrawn &&
                qobject_cast<const QTabBar*>(button->parentWidget()) == nullptr) {
                const int wide = QFontMetrics(button->font()).horizontalAdvance(caption);
                if (wide > button->width())
                    faults.push_back(describe(*button) + " is too narrow for its caption: needs " +
                                     std::to_string(wide) + " of " +
                                     std::to_string(button->width()) + " pixels");
            }
        } else if (const QVariant area = widget->property("captionArea");
                   area.isValid() && !widget->accessibleName().isEmpty()) {
            // An element that draws its own caption names it and says where it stands.
            const QString caption = widget->accessibleName();
            ampersand(*widget, caption);
            const QRect room = area.toRect();
            const QFontMetrics metrics(widget->font());
            if (metrics.horizontalAdvance(caption) > room.width() ||
                metrics.height() > room.height())
                faults.push_back(describe(*widget) + " does not fit beside its picture: needs " +
                                 std::to_string(metrics.horizontalAdvance(caption)) + " of " +
                                 std::to_string(room.width()) + " pixels");
        } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            ampersand(*group, withoutAccessMarks(group->title()));
        } else if (const auto* tabs = qobject_cast<const QTabBar*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                const QString caption = withoutAccessMarks(tabs->tabText(i));
                ampersand(*tabs, caption);
                if (QFontMetrics(tabs->font()).horizontalAdvance(caption) >
                    tabs->tabRect(i).width())
                    faults.push_back(describe(*tabs) + " cuts the tab " + caption.toStdString());
            }
        } else if (const auto* bar = qobject_cast<const QMenuBar*>(widget)) {
            for (const QAction* action : bar->actions()) {
                ampersand(*bar, withoutAccessMarks(action->text()));
                if (action->menu() == nullptr)
                    continue;
                for (const QAction* item : action->menu()->actions())
                    ampersand(*action->menu(), withoutAccessMarks(item->text()));
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
        for (std::size_t i = 0; i < children.size(); ++i) {
            for (std::size_t j = i + 1; j < children.size(); ++j) {
                const QRect common = children[i]->geometry() & children[j]->geometry();
                if (common.isEmpty() || (onPurpose && onPurpose(*children[i], *children[j])))
                    continue;
                faults.push_back(describe(*children[j]) + " lies on " + describe(*children[i]) +
                                 " in " + describe(*widget));
            }
        }
    }
    return faults;
}

} // namespace vexo::test
