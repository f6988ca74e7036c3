#include "AccessibleControls.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTextDocument>
#include <QWidget>

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

QAccessibleInterface* controlFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr)
        return nullptr;
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
