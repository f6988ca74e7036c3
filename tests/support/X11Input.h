#pragma once

// The pointer and the keyboard, moved and pressed through the X server's test extension: a
// program gets the same events as from a mouse and a keyboard.
#include <QPoint>
#include <QTest>
#include <memory>
#include <utility>
#include <vector>
// Last: Xlib defines macros that clash with other names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vexo::test {

struct X11Input {
    std::unique_ptr<Display, int (*)(Display*)> display{XOpenDisplay(nullptr), XCloseDisplay};

    void click(QPoint at, int times = 1) {
        XTestFakeMotionEvent(display.get(), -1, at.x(), at.y(), CurrentTime);
        for (int i = 0; i < 2 * times; ++i)
            XTestFakeButtonEvent(display.get(), 1, i % 2 == 0, CurrentTime);
        settle();
    }
    // Keys pressed (true) and let go (false) in this order, by their X key symbols.
    void keys(const std::vector<std::pair<KeySym, bool>>& strokes) {
        for (const auto& [symbol, down] : strokes)
            XTestFakeKeyEvent(display.get(), XKeysymToKeycode(display.get(), symbol), down,
                              CurrentTime);
        settle();
    }

private:
    void settle() {
        XSync(display.get(), False);
        QTest::qWait(200);
    }
};

} // namespace vexo::test
