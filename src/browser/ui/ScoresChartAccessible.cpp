#include "ScoresChartAccessible.h"

#include "ScoresChart.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <map>

namespace vexo {

namespace {

constexpr int kColumns = 2; // the record, what its bar says

QString cellText(const ScoresChart& chart, int row, int column) {
    const std::vector<ScoreBar>& bars = chart.bars();
    if (row < 0 || static_cast<std::size_t>(row) >= bars.size())
        return {};
    const ScoreBar& bar = bars[static_cast<std::size_t>(row)];
    return QString::fromStdString(column == 0 ? bar.label : bar.text);
}

class ChartCell final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    ChartCell(ScoresChart* chart, int row, int column)
        : m_chart(chart)
        , m_row(row)
        , m_column(column) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }
    bool isValid() const override {
        return !m_chart.isNull() && static_cast<std::size_t>(m_row) < m_chart->bars().size();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_chart.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? cellText(*m_chart, m_row, m_column)
                                                   : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid())
            return {};
        const auto bar = static_cast<std::size_t>(m_row);
        QRect area = m_column == 0 ? m_chart->barRow(bar) : m_chart->textRect(bar);
        if (m_column == 0)
            area.setRight(m_chart->barArea().left() - 1);
        return QRect(m_chart->mapToGlobal(area.topLeft()), area.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = !isValid() || !m_chart->isVisible();
        return s;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<ScoresChart> m_chart;
    int m_row;
    int m_column;
};

class ChartTable final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit ChartTable(ScoresChart* chart)
        : QAccessibleWidget(chart, QAccessible::Table) {}
    ~ChartTable() override {
        for (const auto& [place, id] : m_cells)
            QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    // Named by what it shows: the score and the baseline.
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return QStringLiteral("Scores chart: ") + chart()->caption();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return rowCount() * kColumns; }
    QAccessibleInterface* child(int index) const override {
        return index < 0 ? nullptr : cellAt(index / kColumns, index % kColumns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
        return cell == nullptr ? -1 : cell->rowIndex() * kColumns + cell->columnIndex();
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString columnDescription(int column) const override {
        return column == 0 ? QStringLiteral("Record") : QStringLiteral("Score");
    }
    QString rowDescription(int) const override { return {}; }
    int columnCount() const override { return kColumns; }
    int rowCount() const override { return static_cast<int>(chart()->bars().size()); }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || row >= rowCount() || column < 0 || column >= kColumns)
            return nullptr;
        auto& id = m_cells[{row, column}];
        if (id == 0)
            id = QAccessible::registerAccessibleInterface(new ChartCell(chart(), row, column));
        return QAccessible::accessibleInterface(id);
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    ScoresChart* chart() const { return static_cast<ScoresChart*>(widget()); }
    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cells;
};

QAccessibleInterface* chartFactory(const QString&, QObject* object) {
    if (auto* chart = dynamic_cast<ScoresChart*>(object))
        return new ChartTable(chart);
    return nullptr;
}

} // namespace

void installScoresChartAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(chartFactory);
        return true;
    }();
    (void)installed;
}

} // namespace vexo
