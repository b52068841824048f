#include "table_model.h"

#include "data/date_value.h"
#include "data/text_encoding.h"
#include "data/value_text.h"
#include "guard.h"
#include "platform/errors.h"

#include <QRegularExpression>

namespace ui {
namespace {

QString FromBytes(const std::string& bytes) {
    return QString::fromStdString(data::Cp1252ToUtf8(bytes));
}

std::string ToBytes(const QString& text) {
    return data::Utf8ToCp1252(text.toStdString());
}

} // namespace

std::optional<int> ParseGermanDate(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})\\s*$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int day = match.captured(1).toInt(), month = match.captured(2).toInt(),
              year = match.captured(3).toInt();
    if (year < 1 || !data::IsValidCivil(year, month, day))
        return std::nullopt;
    return data::DaysFromCivil(year, month, day);
}

TableModel::TableModel(std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)), m_fields(m_columns.size(), -1) {}

TableModel::~TableModel() = default;

int TableModel::FieldOf(int column) const {
    return column >= 0 && column < static_cast<int>(m_fields.size())
               ? m_fields[static_cast<std::size_t>(column)]
               : -1;
}

bool TableModel::IsLookup(int column) const {
    const data::Table* table = Table();
    return table && FieldOf(column) >= 0 && table->IsLookupField(FieldOf(column));
}

data::FieldType TableModel::TypeOf(int column) const {
    const data::Table* table = Table();
    return table && FieldOf(column) >= 0 ? table->FieldTypeOf(FieldOf(column)) : data::FieldType::Other;
}

// ----- reading -----

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

int TableModel::TableRow(int row) const {
    if (!m_inChange)
        return row;
    const int at = m_announcing.row;
    switch (m_announcing.kind) {
    case data::RowChange::RowInserted:
        Announce(change, [&] { beginInsertRows({}, change.row, change.row); });
        ++m_rows;
        endInsertRows();
        break;
    case data::RowChange::RowRemoved:
        Announce(change, [&] { beginRemoveRows({}, change.row, change.row); });
        --m_rows;
        endRemoveRows();
        break;
    case data::RowChange::RowMoved: {
        bool moving = false;
        Announce(change, [&] {
            moving = beginMoveRows({}, change.row, change.row, {},
                                   change.to > change.row ? change.to + 1 : change.to);
        });
        if (moving)
            endMoveRows();
        break;
    }
    case data::RowChange::FieldChanged:
    case data::RowChange::RowChanged:
        if (change.row >= 0 && change.row < m_rows && last >= 0)
            emit dataChanged(index(change.row, 0), index(change.row, last));
        break;
    case data::RowChange::CurrentMoved:
        emit currentRowChanged(change.to);
        break;
    }
    // Never out of step with the table: should the counts ever differ, start over.
    if (table && table->Active() && m_rows != table->RowCount())
        RowsChanged({data::RowChange::Reset});
}

} // namespace ui
