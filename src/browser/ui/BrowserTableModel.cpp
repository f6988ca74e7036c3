#include "BrowserTableModel.h"

#include "platform/qt/QtPlatform.h"

namespace vexo {

int BrowserTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_browser.rowCount());
}

int BrowserTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_browser.columns(m_list).size());
}

QVariant BrowserTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_browser.rowCount())
        return {};
    const QString text = QString::fromStdString(m_browser.cell(
        m_list, static_cast<std::size_t>(index.row()), static_cast<std::size_t>(index.column())));
    // Cells hold what files say; a tool tip would take markup in them for markup.
    return role == Qt::ToolTipRole ? plainToolTip(text) : text;
}

QVariant BrowserTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal ||
        (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    const auto columns = m_browser.columns(m_list);
    if (section < 0 || static_cast<std::size_t>(section) >= columns.size())
        return {};
    const std::string& title = columns[static_cast<std::size_t>(section)].title;
    // The task columns have no title on screen; assistive tools name each by its task's place.
    if (title.empty() && role == Qt::AccessibleTextRole)
        return QStringLiteral("Task %1").arg(section - 2);
    return QString::fromStdString(title);
}

void BrowserTableModel::refresh() {
    beginResetModel();
    endResetModel();
}

} // namespace vexo
