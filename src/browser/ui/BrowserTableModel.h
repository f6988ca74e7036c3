#pragma once

#include "browser/ResultBrowser.h"

#include <QAbstractTableModel>

namespace vexo {

// One comparison list of the result browser for a Qt view. Cells are read on demand, so a view
// with thousands of rows only ever asks for the rows it shows.
class BrowserTableModel final : public QAbstractTableModel {
public:
    BrowserTableModel(const ResultBrowser& browser, BrowserMode list, QObject* parent = nullptr)
        : QAbstractTableModel(parent)
        , m_browser(browser)
        , m_list(list) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The browser's rows or columns changed.
    void refresh();
    BrowserMode list() const { return m_list; }

private:
    const ResultBrowser& m_browser;
    BrowserMode m_list;
    int m_columns = 0;
};

} // namespace vexo
