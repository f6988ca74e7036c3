#pragma once

#include <QDialog>
#include <string>

namespace vexo {

// "About VexoGAUGE 2002 Edition": the credits picture and two lines. Not modal; it closes
// itself away when closed.
class AboutBox final : public QDialog {
public:
    AboutBox(const std::string& appFolder, QWidget* owner);
};

} // namespace vexo
