#include "QtPlatform.h"

#include "platform/qt/AccessibleControls.h"
#include "platform/qt/InstallationFiles.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>
#include <QWindow>
#if QT_CONFIG(xcb)
#include <algorithm>
#include <cmath>
#include <vector>
#include <xcb/xcb.h>
#endif

namespace vexo {

QString toQt(const std::string& text) {
    return QString::fromStdString(text);
}
std::string fromQt(const QString& text) {
    return text.toStdString();
}

QString withLineBreaks(const std::string& text) {
    QString out = toQt(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QString plainToolTip(const QString& text) {
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

bool isHelperWindow(std::uint32_t window) {
#if QT_CONFIG(xcb)
    const auto* x11 =
        qApp != nullptr ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr)
        return false;
    // Every window a connection makes has an id in the range the server gave it.
    const xcb_setup_t* setup = xcb_get_setup(x11->connection());
    if ((window & ~setup->resource_id_mask) != setup->resource_id_base)
        return false;
    for (QWindow* shown : QGuiApplication::allWindows()) {
        if (shown->handle() != nullptr && static_cast<std::uint32_t>(shown->winId()) == window)
            return false;
    }
    return true;
#else
    (void)window;
    return false;
#endif
}

void setOwnerWindow(QWidget& window, QWidget* owner) {
    QWidget* ownerWindow = owner != nullptr ? owner->window() : nullptr;
    window.winId(); // the native window, made now if need be
    if (ownerWindow != nullptr)
        ownerWindow->winId();
    window.windowHandle()->setTransientParent(ownerWindow != nullptr ? ownerWindow->windowHandle()
                                                                     : nullptr);
#if QT_CONFIG(xcb)
    const auto* x11 =
        qApp != nullptr ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr)
        return;
    xcb_connection_t* connection = x11->connection();
    const auto native = static_cast<xcb_window_t>(window.winId());
    if (ownerWindow == nullptr) {
        xcb_delete_property(connection, native, XCB_ATOM_WM_TRANSIENT_FOR);
    } else {
        const auto ownerNative = static_cast<xcb_window_t>(ownerWindow->winId());
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, native, XCB_ATOM_WM_TRANSIENT_FOR,
                            XCB_ATOM_WINDOW, 32, 1, &ownerNative);
    }
    xcb_flush(connection);
#endif
}

int QtDialogs::messageBox(const std::string& text, int style, const std::string& title) {
    QMessageBox box(m_owner ? m_owner() : nullptr);
    box.setWindowTitle(toQt(title.empty() ? kApplicationTitle : title));
    box.setTextFormat(Qt::PlainText);
    box.setText(withLineBreaks(text));
    switch (style & 0x70) {
    case MsgStyle::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgStyle::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgStyle::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgStyle::Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (style & 7) {
    case MsgStyle::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgStyle::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    default:
        return MsgAnswer::Ok;
    }
}

std::optional<std::string> QtDialogs::inputBox(const std::string& prompt, const std::string& title,
                                               const std::string& defaultText, int leftTwips,
                                               int topTwips) {
    QWidget* owner = m_owner ? m_owner() : nullptr;
    QInputDialog dialog(owner);
    dialog.setWindowTitle(toQt(title.empty() ? kApplicationTitle : title));
    dialog.setLabelText(withLineBreaks(prompt));
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    dialog.setTextValue(toQt(defaultText));
    if (owner != nullptr) {
        // Twips are 1/1440 inch, from the owner window's frame corner as it is now to the box's
        // frame corner. A box not yet shown is placed by its client area, and its frame is not
        // known before the window manager draws it: it is taken to be the owner's.
        const QWidget* window = owner->window();
        const QPoint corner = window->frameGeometry().topLeft();
        const QPoint clientInFrame = window->geometry().topLeft() - corner;
        const QPoint offset(static_cast<int>(leftTwips * window->logicalDpiX() / 1440),
                            static_cast<int>(topTwips * window->logicalDpiY() / 1440));
        dialog.move(corner + offset + clientInFrame);
    }
    // Only a box the user answered gives an answer: when its loop ends without the box being
    // finished (the program is leaving), there is none, and the caller must not take the empty
    // string for a name and ask again.
    bool answered = false;
    QObject::connect(&dialog, &QDialog::finished, [&answered] { answered = true; });
    if (dialog.exec() != QDialog::Accepted)
        return answered ? std::optional<std::string>(std::string()) // a cancel: the empty string
                        : std::nullopt;
    return fromQt(dialog.textValue());
}

namespace {

// Programs here carry no extension: a filter for "*.exe" stands for files one may run.
bool meansExecutables(const QString& patterns) {
    return patterns.trimmed().compare(QLatin1String("*.exe"), Qt::CaseInsensitive) == 0;
}

// Shows folders and runnable files while the dialog's filter is one for programs, and
// everything the name filter lets through otherwise.
class ExecutableFilesProxy final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setOnlyExecutables(bool only) {
        if (only == m_only)
            return;
        m_only = only;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (!m_only)
            return true;
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files == nullptr)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || (info.isFile() && info.isExecutable());
    }

private:
    bool m_only = false;
};

} // namespace

QStringList nameFilters(const std::string& filter) {
    const QStringList parts = toQt(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        if (meansExecutables(parts[i + 1]))
            patterns = QStringList{QStringLiteral("*")};
        for (QString& pattern : patterns) {
            if (pattern.trimmed() == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        // Qt reads the patterns from the parentheses at the end; a description that already
        // names them has them replaced there, so that they are shown once.
        QString description = parts[i].trimmed();
        if (description.endsWith(QLatin1Char(')'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0)
                description = description.left(open).trimmed();
        }
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

void prepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save) {
    dialog.setWindowTitle(toQt(request.title));
    if (!request.initialFolder.empty())
        dialog.setDirectory(toQt(request.initialFolder));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && (request.flags & FileFlags::FileMustExist) != 0
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    if (save && (request.flags & FileFlags::OverwritePrompt) == 0)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);

    const QStringList parts = toQt(request.filter).split(QLatin1Char('|'));
    QList<bool> forPrograms;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        forPrograms << meansExecutables(parts[i + 1]);
    const QStringList filters = nameFilters(request.filter);
    if (forPrograms.contains(true)) {
        // A program filter matches by the file's mode, which only our own dialog can ask; its
        // pattern would read as "every file", so the filters are shown by their names alone.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        auto* proxy = new ExecutableFilesProxy(&dialog);
        dialog.setProxyModel(proxy);
        QObject::connect(&dialog, &QFileDialog::filterSelected, proxy,
                         [proxy, filters, forPrograms](const QString& chosen) {
                             // Named by its whole text or, details hidden, by its name.
                             qsizetype at = filters.indexOf(chosen);
                             for (qsizetype i = 0; at < 0 && i < filters.size(); ++i) {
                                 if (filters[i].startsWith(chosen + QStringLiteral(" (")))
                                     at = i;
                             }
                             proxy->setOnlyExecutables(at >= 0 && forPrograms[at]);
                         });
    }
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
        if (auto* proxy = dynamic_cast<ExecutableFilesProxy*>(dialog.proxyModel()))
            proxy->setOnlyExecutables(forPrograms[request.filterIndex - 1]);
    }
    if (!request.initialFileName.empty())
        dialog.selectFile(toQt(request.initialFileName));
}

std::optional<std::string> QtDialogs::fileDialog(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(m_owner ? m_owner() : nullptr);
    prepareFileDialog(dialog, request, save);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const std::string chosen = fromQt(dialog.selectedFiles().first());
    if (request.maxFileNameLength > 0 &&
        chosen.size() > static_cast<std::size_t>(request.maxFileNameLength))
        return std::nullopt;
    return chosen;
}

std::optional<std::string> QtDialogs::openFile(const FileDialogRequest& request) {
    return fileDialog(request, false);
}

std::optional<std::string> QtDialogs::saveFile(const FileDialogRequest& request) {
    return fileDialog(request, true);
}

bool QtProgramStarter::startProgram(const std::string& path) {
    const QString program = toQt(path);
    return QFileInfo(program).isExecutable() && QProcess::startDetached(program, {});
}

Qt::WindowStates minimiseKeepingState(QWidget& window) {
    const Qt::WindowStates state = window.windowState() & ~Qt::WindowMinimized;
    window.setWindowState(window.windowState() | Qt::WindowMinimized);
    return state;
}

void restoreWindowState(QWidget& window, Qt::WindowStates state) {
    window.setWindowState(state & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

QCursor handCursor(const std::string& appFolder) {
    const std::string path = appFolder + "data/HAImage.dat";
    const installation::Picture hand = installation::readPicture(path);
    if (!hand) {
        installation::noteProblem(path, hand.problem);
        return QCursor(Qt::PointingHandCursor);
    }
    const QImage& image = hand.image;
    return QCursor(QPixmap::fromImage(image), image.text(QStringLiteral("HotSpotX")).toInt(),
                   image.text(QStringLiteral("HotSpotY")).toInt());
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (isEnabled() && m_onClick)
        m_onClick();
}

void ClickableLabel::becomeKeyboardLink() {
    m_keyboardLink = true;
    setFocusPolicy(Qt::TabFocus);
    makeAccessibleControl(this, QAccessible::Link);
}

namespace {
bool activates(const QKeyEvent* event) {
    return event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
           event->key() == Qt::Key_Enter;
}
} // namespace

// The command runs on the release of a key whose press came here, as a button's does.
void ClickableLabel::keyPressEvent(QKeyEvent* event) {
    if (m_keyboardLink && activates(event)) {
        if (!event->isAutoRepeat())
            m_pressedKey = event->key();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickableLabel::keyReleaseEvent(QKeyEvent* event) {
    if (m_keyboardLink && activates(event)) {
        const bool pressedHere = !event->isAutoRepeat() && event->key() == m_pressedKey;
        if (pressedHere)
            m_pressedKey = 0;
        if (pressedHere && isEnabled() && m_onClick)
            m_onClick();
        event->accept();
        return;
    }
    QLabel::keyReleaseEvent(event);
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!m_keyboardLink || !hasFocus())
        return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), 1, Qt::DotLine);
    painter.setPen(pen);
    const QRect text = contentsRect().intersected(
        QRect(contentsRect().topLeft(), sizeHint().boundedTo(contentsRect().size())));
    painter.drawRect(text.adjusted(0, 0, -1, -1));
}

namespace {
double luminance(const QColor& colour) {
    auto channel = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}
} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor legibleOn(const QColor& colour, const QColor& ground, double ratio) {
    if (contrastRatio(colour, ground) >= ratio)
        return colour;
    const bool lighten = luminance(ground) < 0.18; // nearer black than white, by contrast
    float hue = 0;
    float saturation = 0;
    float lightness = 0;
    colour.toHsl().getHslF(&hue, &saturation, &lightness);
    for (int step = 0; step <= 50; ++step) {
        lightness = std::clamp(lightness + (lighten ? 0.02F : -0.02F), 0.0F, 1.0F);
        const QColor candidate = QColor::fromHslF(hue, saturation, lightness).toRgb();
        if (contrastRatio(candidate, ground) >= ratio)
            return candidate;
    }
    return lighten ? QColor(Qt::white) : QColor(Qt::black);
}

void keepLegible(QTextDocument& document, const QColor& ground) {
    struct Run {
        int start, end;
        QColor colour;
    };
    std::vector<Run> runs; // gathered first: recolouring splits and merges the fragments
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QBrush brush = fragment.charFormat().foreground();
            if (!fragment.isValid() || brush.style() == Qt::NoBrush)
                continue;
            const QColor shown = legibleOn(brush.color(), ground);
            if (shown != brush.color())
                runs.push_back(
                    {fragment.position(), fragment.position() + fragment.length(), shown});
        }
    }
    for (const Run& run : runs) {
        QTextCursor cursor(&document);
        cursor.setPosition(run.start);
        cursor.setPosition(run.end, QTextCursor::KeepAnchor);
        QTextCharFormat legible;
        legible.setForeground(run.colour);
        cursor.mergeCharFormat(legible);
    }
}

namespace {

// Whether the desktop tiles its windows: its own variables, which the programs it starts
// inherit, or its name.
bool tilingDesktop() {
    for (const char* variable : {"SWAYSOCK", "I3SOCK", "HYPRLAND_INSTANCE_SIGNATURE"})
        if (!qEnvironmentVariableIsEmpty(variable))
            return true;
    const QString desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower();
    for (const QString& desktop : desktops.split(u':'))
        if (desktop == QLatin1String("sway") || desktop == QLatin1String("i3") ||
            desktop == QLatin1String("hyprland") || desktop == QLatin1String("river"))
            return true;
    return false;
}

} // namespace

void fitToScreen(QWidget& window, QSize preferred, QSize minimum) {
    if (window.isWindow() && tilingDesktop())
        window.setWindowFlag(Qt::Dialog);
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        window.setMinimumSize(minimum);
        window.resize(preferred);
        return;
    }
    // The frame is not known before the window manager adds it: room for a title bar and
    // borders of common themes is kept.
    const QSize frame(16, 48);
    const QSize room = (screen->availableGeometry().size() - frame).expandedTo(QSize(1, 1));
    window.setMinimumSize(minimum.boundedTo(room));
    window.resize(preferred.boundedTo(room));
}

QPixmap loadPicture(const std::string& path) {
    const installation::Picture picture = installation::readPicture(path);
    if (!picture) {
        installation::noteProblem(path, picture.problem);
        return {};
    }
    return QPixmap::fromImage(picture.image);
}

} // namespace vexo
