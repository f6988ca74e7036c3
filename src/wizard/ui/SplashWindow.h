#pragma once

#include <QWidget>
#include <string>

namespace vexo {

// The start-up window: the logo stretched over the whole window, shown while the wizard loads.
class SplashWindow final : public QWidget {
public:
    explicit SplashWindow(const std::string& appFolder);
};

} // namespace vexo
