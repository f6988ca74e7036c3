#include "HelpWindow.h"

#include "help/RichText.h"
#include "platform/qt/AccessibleControls.h"
#include "platform/qt/InstallationFiles.h"
#include "platform/qt/QtPlatform.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vexo {

namespace {

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

HelpWindow::HelpWindow(std::int16_t& helpTopic, std::string appFolder, QWidget* parent)
    : QMainWindow(parent)
    , m_model(helpTopic, appFolder)
    , m_appFolder(std::move(appFolder)) {
    setWindowTitle(toQt(HelpViewer::WindowTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    fitToScreen(*this, {860, 600}, {560, 480});

    // The menu bar: Find (inert), Print (disabled), About, Exit, between disabled bars.
    QAction* find = menuBar()->addAction(QStringLiteral("Find"));
    find->setObjectName(QStringLiteral("Find"));
    auto bar = [this] { menuBar()->addAction(QStringLiteral("|"))->setEnabled(false); };
    bar();
    menuBar()->addAction(QStringLiteral("Print"))->setEnabled(false);
    bar();
    connect(menuBar()->addAction(QStringLiteral("About")), &QAction::triggered, this, [this] {
        if (onAbout)
            onAbout();
    });
    bar();
    connect(menuBar()->addAction(QStringLiteral("Exit")), &QAction::triggered, this,
            &QWidget::close);

    // Load_Content_Pictures and Load_Help_Cursors.
    m_markers[1] = loadPicture(m_appFolder + "data/HRImage.dat");
    m_markers[2] = loadPicture(m_appFolder + "data/HLImage.dat");
    m_markers[3] = loadPicture(m_appFolder + "data/HMImage.dat");
    const QCursor hand = handCursor(m_appFolder);

    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    auto* contents = new QFrame(central);
    contents->setObjectName(QStringLiteral("ContentFrame"));
    contents->setFixedWidth(230);
    auto* panel = new QVBoxLayout(contents);
    auto* picture = new QLabel(contents);
    picture->setObjectName(QStringLiteral("ContentImage"));
    picture->setPixmap(loadPicture(m_appFolder + "data/INImage.dat"));
    panel->addWidget(picture);
    const auto& texts = HelpViewer::contentTexts();
    auto text = [&](int index, bool bold = false) {
        auto* label =
            new QLabel(QString::fromLatin1(texts[static_cast<std::size_t>(index)]), contents);
        label->setWordWrap(true);
        if (bold) {
            QFont font = label->font();
            font.setBold(true);
            font.setPointSizeF(font.pointSizeF() * 1.2);
            label->setFont(font);
        }
        panel->addWidget(label);
    };
    auto topic = [&](int index, int description) {
        auto choose = [this, index] { chooseTopic(index); };
        auto* row = new QGridLayout();
        auto* marker = new ClickableLabel(QString(), choose, contents);
        marker->setObjectName(QStringLiteral("HelpImage%1").arg(index));
        marker->setCursor(hand);
        marker->setFixedSize(18, 18);
        auto* caption = new ClickableLabel(
            QString::fromLatin1(HelpViewer::topics()[static_cast<std::size_t>(index)].caption),
            choose, contents);
        caption->setObjectName(QStringLiteral("HelpText%1").arg(index));
        caption->setCursor(hand);
        caption->setStyleSheet(QStringLiteral("QLabel { color: palette(link); }"));
        caption->becomeKeyboardLink();
        makeAccessibleDecoration(marker);
        row->addWidget(marker, 0, 0);
        row->addWidget(caption, 0, 1);
        if (description >= 0) {
            auto* hint = new QLabel(
                QString::fromLatin1(texts[static_cast<std::size_t>(description)]), contents);
            hint->setWordWrap(true);
            QFont small = hint->font();
            small.setPointSizeF(small.pointSizeF() * 0.85);
            hint->setFont(small);
            row->addWidget(hint, 1, 1);
        }
        row->setColumnStretch(1, 1);
        panel->addLayout(row);
        m_topicMarkers[static_cast<std::size_t>(index)] = marker;
    };
    text(0, true);
    text(1);
    panel->addWidget(separator(contents));
    text(2);
    topic(0, 3);
    topic(1, 4);
    topic(2, 5);
    panel->addWidget(separator(contents));
    text(7);
    topic(3, -1);
    topic(4, -1);
    panel->addWidget(separator(contents));
    panel->addStretch(1);
    columns->addWidget(contents);

    m_document = new QTextBrowser(central);
    m_document->setObjectName(QStringLiteral("RichTextBox"));
    m_document->setOpenExternalLinks(false);
    columns->addWidget(m_document, 1);
    setCentralWidget(central);

    m_model.Form_Load();
    sync();
}

void HelpWindow::chooseTopic(int index) {
    m_model.helpTextClick(index);
    sync();
}

void HelpWindow::sync() {
    for (int t = 0; t < 5; ++t)
        m_topicMarkers[static_cast<std::size_t>(t)]->setPixmap(
            m_markers[static_cast<std::size_t>(m_model.markerPicture(t))]);
    if (m_model.document() == m_shownDocument)
        return;
    m_shownDocument = m_model.document();
    // Named by its topic, as assistive tools read it.
    if (const std::int16_t topic = m_model.topic(); topic >= 0 && topic < 5)
        m_document->setAccessibleName(
            QString::fromLatin1(HelpViewer::topics()[static_cast<std::size_t>(topic)].caption));
    const installation::FileContent rtf =
        installation::readFile(m_shownDocument, installation::MaxDocumentBytes);
    if (!rtf) {
        // Said in the pane, as plain text: the name is the file system's, not ours.
        m_document->setPlainText(toQt("The help document " + m_shownDocument + " " + rtf.problem +
                                      ".\n\n" + installation::repairAdvice(m_shownDocument)));
        return;
    }
    m_document->setHtml(toQt(richTextToHtml(rtf.bytes)));
    keepLegible(*m_document->document(), m_document->palette().color(QPalette::Base));
}

void HelpWindow::closeEvent(QCloseEvent* event) {
    // The close is never refused; the main window comes back.
    if (restoreMainWindow)
        restoreMainWindow();
    event->accept();
}

} // namespace vexo
