#include "result_model.h"

#include "german_text.h"
#include "ranking_sort.h"

#include <QStandardItemModel>

namespace ui {

void FillModel(QStandardItemModel& model, const evaluation::ExportTable& table) {
    using Kind = evaluation::ExportCell::Kind;
    model.clear();
    QStringList header;
    for (const std::string& title : table.header)
        header << QString::fromStdString(title);
    model.setHorizontalHeaderLabels(header);
    model.setRowCount(static_cast<int>(table.rows.size()));
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
            const evaluation::ExportCell& cell = table.rows[r][c];
            auto* item = new QStandardItem(ShownText(cell));
            item->setEditable(false);
            const bool number = cell.kind == Kind::Integer || cell.kind == Kind::Number;
            if (number || cell.kind == Kind::Date)
                item->setData(cell.number, RankingSortModel::KeyRole);
            else if (cell.kind != Kind::Empty)
                item->setData(QStringList{QString::fromStdString(cell.text)}, RankingSortModel::KeyRole);
            if (number)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!cell.hint.empty())
                item->setToolTip(QString::fromStdString(cell.hint));
            if (!cell.note.empty()) {
                item->setToolTip(QString::fromStdString(cell.note));
                QFont italic = item->font();
                italic.setItalic(true);
                item->setFont(italic);
                item->setForeground(QColor(150, 70, 0));
            }
            model.setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
}

} // namespace ui
