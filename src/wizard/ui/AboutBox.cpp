#include "AboutBox.h"

#include "platform/qt/QtPlatform.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace vexo {

AboutBox::AboutBox(const std::string& appFolder, QWidget* owner)
    : QDialog(owner) {
    setWindowTitle(QStringLiteral("About VexoGAUGE 2002 Edition"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Credits"));
    picture->setPixmap(loadPicture(appFolder + "data/CDImage.dat"));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);
    for (const char* line :
         {"VexoGAUGE Synthetic Benchmarking Suite", "For All 32Bit Windows Versions."}) {
        auto* label = new QLabel(QString::fromLatin1(line), this);
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::close);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace vexo
