#pragma once

#include "browser/ResultBrowser.h"

#include <QWidget>

namespace vexo {

// One bar per record for a score column of the Scores list, in the list's order, labelled
// with the record's row and name, so that scores can be compared by eye.
class ScoresChart final : public QWidget {
public:
    explicit ScoresChart(const ResultBrowser& browser, QWidget* parent = nullptr);

    // A column of the Scores list (3 to 10).
    void setColumn(std::size_t column);
    std::size_t column() const { return m_column; }
    // The browser's rows changed.
    void refresh();

    // The label of the bar of a row of the list: "row. name", counting from 1, so that two
    // records of the same name can be told apart.
    QString barLabel(std::size_t row) const;

    // The number a score text starts with ("57(1024x768...)" gives 57); 0 when none.
    static double leadingNumber(const std::string& text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ResultBrowser& m_browser;
    std::size_t m_column = 3;
};

} // namespace vexo
