#include "FlowLayout.h"

#include <algorithm>

namespace vexo::flow {

namespace {

QRect fitted(const Item& item, double fit) {
    const QRect& b = item.design;
    if (fit >= 1.0)
        return b;
    auto at = [fit](int v) { return qRound(v * fit); };
    if (item.fit == Fit::Picture)
        return {at(b.x()), at(b.y()), b.width(), b.height()};
    return QRect(QPoint(at(b.x()), at(b.y())),
                 QPoint(at(b.x() + b.width()) - 1, at(b.y() + b.height()) - 1));
}

constexpr int kMostLinesBeside = 4;

// Widens the button for its caption and moves the text beside it right, or beneath the button.
void placeBeside(const Item& text, QRect& textBox, const Item& button, QRect& buttonBox) {
    const int gap = text.design.left() - button.design.right();
    const int right = textBox.right();
    buttonBox.setWidth(std::clamp(button.widthFor(buttonBox.height()), buttonBox.width(),
                                  right - buttonBox.left() + 1));
    if (text.heightFor(right - (buttonBox.right() + gap) + 1) <=
        kMostLinesBeside * text.lineHeight) {
        textBox.setLeft(std::max(textBox.left(), buttonBox.right() + gap));
    } else {
        const int under = buttonBox.left() + buttonBox.height(); // under the caption, past the icon
        textBox = QRect(QPoint(under, buttonBox.bottom() + 1 + gap),
                        QPoint(right, std::max(textBox.bottom(), buttonBox.bottom() + 1 + gap)));
    }
}

} // namespace

Placement layOut(const std::vector<Item>& items, double fit) {
    Placement placement;
    std::vector<QRect>& boxes = placement.boxes;
    for (const Item& item : items)
        boxes.push_back(fitted(item, fit));
    for (std::size_t i = 0; i < items.size(); ++i)
        if (const std::optional<std::size_t> button = items[i].besideButton)
            placeBeside(items[i], boxes[i], items[*button], boxes[*button]);

    // The shown items top to bottom: each moves down by as much as the texts above it grew.
    struct Shown {
        std::size_t item;
        QRect box;
        int shift = 0;
        int growth = 0;
    };
    std::vector<Shown> shown;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].shown)
            shown.push_back({i, boxes[i]});
    std::stable_sort(shown.begin(), shown.end(),
                     [](const Shown& a, const Shown& b) { return a.box.top() < b.box.top(); });
    for (std::size_t i = 0; i < shown.size(); ++i) {
        Shown& s = shown[i];
        for (std::size_t above = 0; above < i; ++above) {
            const Shown& t = shown[above];
            if (t.growth + t.shift > s.shift && t.box.bottom() < s.box.top())
                s.shift = t.shift + t.growth;
        }
        if (items[s.item].fit == Fit::Text)
            s.growth = std::max(0, items[s.item].heightFor(s.box.width()) - s.box.height());
        boxes[s.item] = s.box.translated(0, s.shift).adjusted(0, 0, 0, s.growth);
        placement.bottom = std::max(placement.bottom, boxes[s.item].bottom() + 1);
    }
    return placement;
}

} // namespace vexo::flow
