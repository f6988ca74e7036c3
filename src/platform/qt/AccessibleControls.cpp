#include "AccessibleControls.h"

#include "platform/qt/LinkLabel.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTextDocument>
#include <QWidget>
#include <vector>

namespace vexo {

namespace {

const char* const kRole = "accessibleControlRole";
const char* const kChecked = "accessibleChecked";
const char* const kDecoration = "accessibleDecoration";
const char* const kDisplay = "accessibleDisplayRole";

bool blocked(const QWidget* widget) {
    return widget->window()->property("inputBlocked").toBool();
}

class ControlInterface final : public QAccessibleWidget {
public:
    ControlInterface(QWidget* widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text t) const override {
        QString name = QAccessibleWidget::text(t);
        if (t != QAccessible::Name || !name.isEmpty())
            return name;
        const auto* label = qobject_cast<const QLabel*>(widget());
        if (label == nullptr)
            return name;
        if (label->textFormat() == Qt::PlainText)
            return label->text();
        QTextDocument document;
        document.setHtml(label->text());
        return document.toPlainText();
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        const QVariant checked = widget()->property(kChecked);
        if (checked.isValid()) {
            s.checkable = true;
            s.checked = checked.toBool();
        }
        if (blocked(widget()))
            s.disabled = true;
        return s;
    }
    QStringList actionNames() const override {
        if (blocked(widget()) || !widget()->isEnabled())
            return {};
        if (role() == QAccessible::CheckBox)
            return {toggleAction(), pressAction()};
        return {pressAction()};
    }
    void doAction(const QString& name) override {
        if (!actionNames().contains(name))
            return;
        // What a click does: a press and a release over the element's middle. Done once the
        // tool has its answer: a click that opens a box waits in it, and the tool would wait too.
        QPointer<QWidget> w = widget();
        QMetaObject::invokeMethod(
            w.data(),
            [w] {
                if (w.isNull())
                    return;
                const QPointF middle = QRectF(w->rect()).center();
                const QPointF global = w->mapToGlobal(middle);
                QMouseEvent press(QEvent::MouseButtonPress, middle, global, Qt::LeftButton,
                                  Qt::LeftButton, Qt::NoModifier);
                QMouseEvent release(QEvent::MouseButtonRelease, middle, global, Qt::LeftButton,
                                    Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(w, &press);
                QApplication::sendEvent(w, &release);
            },
            Qt::QueuedConnection);
    }
};

class DecorationInterface final : public QAccessibleWidget {
public:
    explicit DecorationInterface(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Graphic) {}
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        return s;
    }
};

// Only a role and a name: no action, no value (tools offer to change any value they are
// given, a progress bar's included).
class DisplayInterface final : public QAccessibleWidget {
public:
    DisplayInterface(QWidget* widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role) {}
    QStringList actionNames() const override { return {}; }
};

// A link of a LinkLabel: no widget of its own, so the label's interface makes and keeps it.
class LinkInterface final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    LinkInterface(LinkLabel* label, int index)
        : m_label(label)
        , m_index(index) {}

    bool isValid() const override { return !m_label.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_label ? m_label->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_label.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? link().text : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect area = link().rect;
        return m_label ? QRect(m_label->mapToGlobal(area.topLeft()), area.size()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::Link; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.focusable = true;
        s.focused = m_label && m_label->focusedLink() == m_index;
        s.invisible = !m_label || !m_label->isVisible();
        s.disabled = m_label && blocked(m_label);
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override {
        return m_label && !blocked(m_label) ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (!actionNames().contains(name))
            return;
        // Done once the tool has its answer, as a click on a control is.
        QMetaObject::invokeMethod(
            m_label.data(),
            [label = m_label, href = link().href] {
                if (!label.isNull())
                    emit label->linkActivated(href);
            },
            Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    LinkLabel::Link link() const {
        const std::vector<LinkLabel::Link> links =
            m_label ? m_label->links() : std::vector<LinkLabel::Link>{};
        return m_index < static_cast<int>(links.size()) ? links[static_cast<std::size_t>(m_index)]
                                                        : LinkLabel::Link{};
    }

    QPointer<LinkLabel> m_label;
    int m_index;
};

// A LinkLabel: its text, with its links as children.
class LinkLabelInterface final : public QAccessibleWidget {
public:
    explicit LinkLabelInterface(LinkLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}
    ~LinkLabelInterface() override {
        for (const QAccessible::Id id : m_links)
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        QTextDocument document;
        document.setHtml(label()->text());
        return document.toPlainText();
    }
    int childCount() const override { return static_cast<int>(label()->links().size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (static_cast<int>(m_links.size()) <= index)
            m_links.push_back(QAccessible::registerAccessibleInterface(
                new LinkInterface(label(), static_cast<int>(m_links.size()))));
        return QAccessible::accessibleInterface(m_links[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < m_links.size(); ++i)
            if (QAccessible::accessibleInterface(m_links[i]) == child)
                return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y))
                return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const int focused = label()->focusedLink();
        return focused >= 0 ? child(focused) : QAccessibleWidget::focusChild();
    }

private:
    LinkLabel* label() const { return static_cast<LinkLabel*>(widget()); }

    mutable std::vector<QAccessible::Id> m_links;
};

QAccessibleInterface* controlFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr)
        return nullptr;
    if (auto* links = dynamic_cast<LinkLabel*>(widget))
        return new LinkLabelInterface(links);
    const QVariant role = widget->property(kRole);
    if (role.isValid())
        return new ControlInterface(widget, static_cast<QAccessible::Role>(role.toInt()));
    if (widget->property(kDecoration).toBool())
        return new DecorationInterface(widget);
    if (const QVariant display = widget->property(kDisplay); display.isValid())
        return new DisplayInterface(widget, static_cast<QAccessible::Role>(display.toInt()));
    return nullptr;
}

void installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(controlFactory);
        return true;
    }();
    (void)installed;
}

// An interface made for the widget before it was marked (setting its accessible name makes
// one) is dropped, so that the next query asks the factory.
void forgetEarlierInterface(QWidget* widget, bool (*current)(QAccessibleInterface*)) {
    QAccessibleInterface* earlier = QAccessible::queryAccessibleInterface(widget);
    if (earlier != nullptr && !current(earlier))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(earlier));
}

} // namespace

void makeAccessibleLinks(LinkLabel* label) {
    installFactory();
    forgetEarlierInterface(label, [](QAccessibleInterface* earlier) {
        return dynamic_cast<LinkLabelInterface*>(earlier) != nullptr;
    });
}

void makeAccessibleControl(QWidget* widget, QAccessible::Role role) {
    installFactory();
    widget->setProperty(kRole, static_cast<int>(role));
    forgetEarlierInterface(widget, [](QAccessibleInterface* earlier) {
        return dynamic_cast<ControlInterface*>(earlier) != nullptr;
    });
}

void setAccessibleChecked(QWidget* widget, bool checked) {
    const QVariant before = widget->property(kChecked);
    if (before.isValid() && before.toBool() == checked)
        return;
    widget->setProperty(kChecked, checked);
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

void makeAccessibleDecoration(QWidget* widget) {
    installFactory();
    widget->setProperty(kDecoration, true);
    forgetEarlierInterface(widget, [](QAccessibleInterface* earlier) {
        return dynamic_cast<DecorationInterface*>(earlier) != nullptr;
    });
}

void makeAccessibleDisplay(QWidget* widget, QAccessible::Role role) {
    installFactory();
    widget->setProperty(kDisplay, static_cast<int>(role));
    forgetEarlierInterface(widget, [](QAccessibleInterface* earlier) {
        return dynamic_cast<DisplayInterface*>(earlier) != nullptr;
    });
}

} // namespace vexo
