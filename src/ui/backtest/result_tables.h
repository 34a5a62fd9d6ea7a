// The read-only result tables of the back-test room and their cells.
#pragma once

#include <QHeaderView>
#include <QStringList>
#include <QTableWidget>

namespace xuan5::ui {

inline QTableWidget* MakeResultTable(QWidget* parent, const QString& name,
                                     const QStringList& headers) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setMinimumSectionSize(
        table->fontMetrics().horizontalAdvance(QStringLiteral("最长连挂")) + 8);
    return table;
}

inline QTableWidgetItem* SetResultCell(QTableWidget* table, int row, int column,
                                       const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, column, item);
    return item;
}

}  // namespace xuan5::ui
