#include "table_model.h"

#include "data/date_value.h"
#include "data/text_encoding.h"
#include "data/value_text.h"
#include "guard.h"
#include "platform/errors.h"

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
    return data::ParseGermanDate(text.toStdString());
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

int TableModel::SizeOf(int column) const {
    const data::Table* table = Table();
    return table && FieldOf(column) >= 0 && TypeOf(column) == data::FieldType::Text
               ? table->FieldSize(FieldOf(column))
               : 0;
}

// ----- reading -----

// The table's rows as they stand: while a change is announced, the rows before it.
int TableModel::rowCount(const QModelIndex& parent) const {
    const data::Table* table = Table();
    return parent.isValid() || !table || !table->Active() ? 0 : table->RowCount();
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString TableModel::Text(int row, int column) const {
    const data::Table* table = Table();
    const int field = FieldOf(column);
    if (!table || !table->Active() || field < 0)
        return {};
    const data::Value value = table->ValueAt(row, field);
    if (const std::string* s = data::TextOf(value))
        return FromBytes(*s);
    if (const auto* n = std::get_if<std::int64_t>(&value)) {
        if (table->FieldTypeOf(field) == data::FieldType::Date)
            return QString::fromStdString(data::FormatGermanDate(static_cast<int>(*n)));
        return QString::number(*n);
    }
    if (const auto* d = std::get_if<double>(&value)) {
        std::string text;
        data::AppendFloat(text, *d);
        return QString::fromStdString(text).replace(QLatin1Char('.'), QLatin1Char(','));
    }
    return {};
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return Text(index.row(), index.column());
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < columnCount() ? m_columns[static_cast<std::size_t>(section)].field
                                                       : QVariant();
    return {};
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (FieldOf(index.column()) >= 0 && TypeOf(index.column()) != data::FieldType::AutoInc)
        flags |= Qt::ItemIsEditable;
    return flags;
}

// ----- editing -----

data::Table* TableModel::EditingTableOf(int column) {
    data::Table* table = Table();
    if (!table || FieldOf(column) < 0)
        return nullptr;
    StartEditing(*table);
    return table;
}

void TableModel::SetText(int column, const QString& text) {
    data::Table* table = EditingTableOf(column);
    if (!table)
        return;
    const int field = FieldOf(column);
    const std::string name = table->FieldName(field);
    if (table->IsLookupField(field)) {
        table->SetLookupValue(name, ToBytes(text));
        return;
    }
    if (table->FieldTypeOf(field) == data::FieldType::Date) {
        if (text.trimmed().isEmpty()) {
            table->Clear(name);
            return;
        }
        const auto days = ParseGermanDate(text);
        if (!days)
            throw vexo::Error("'" + text.toStdString() +
                              "' ist kein gültiges Datum. Bitte als TT.MM.JJJJ eingeben.");
        table->SetAsDate(name, *days);
        return;
    }
    table->SetAsString(name, ToBytes(text));
}

void TableModel::ChooseLookupRow(int column, int lookupRow) {
    if (data::Table* table = EditingTableOf(column))
        table->SetLookupRow(table->FieldName(FieldOf(column)), lookupRow);
}

QStringList TableModel::LookupChoices(int column) const {
    QStringList choices;
    const data::Table* table = Table();
    if (!IsLookup(column))
        return choices;
    for (const std::string& value : table->LookupValues(table->FieldName(FieldOf(column))))
        choices << FromBytes(value);
    return choices;
}

// A value for a cell of the current record: written into the record being edited, or
// refused with its reason told (false: the record keeps what it had).
bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    return Guarded([&] {
        if (Table() && Table()->RecNo() != index.row())
            Table()->MoveTo(index.row());
        SetText(index.column(), value.toString());
    });
}

// ----- following the table -----

void TableModel::Rebind() {
    const data::Table* table = Table();
    for (std::size_t c = 0; c < m_columns.size(); ++c)
        m_fields[c] = table && table->Active() ? table->FindField(m_columns[c].field.toStdString()) : -1;
}

void TableModel::Bind(data::DataSource* source) {
    beginResetModel();
    SetDataSource(source);
    m_table = Table();
    Rebind();
    endResetModel();
}

void TableModel::ActiveChanged() {
    // Opening and closing reset the model through their row notices already; only a data
    // source that now follows another table starts over here.
    if (Table() == m_table)
        return;
    beginResetModel();
    m_table = Table();
    Rebind();
    endResetModel();
}

void TableModel::DataChanged() {
    if (const data::Table* table = Table())
        emit currentRowChanged(table->RecNo());
}

void TableModel::RowsAboutToChange(const data::RowChange& change) {
    switch (change.kind) {
    case data::RowChange::Reset:
        beginResetModel();
        break;
    case data::RowChange::RowInserted:
        beginInsertRows({}, change.row, change.row);
        break;
    case data::RowChange::RowRemoved:
        beginRemoveRows({}, change.row, change.row);
        break;
    case data::RowChange::RowMoved:
        // Qt counts the destination before the move: below the row it is one further.
        m_moving =
            beginMoveRows({}, change.row, change.row, {}, change.to > change.row ? change.to + 1 : change.to);
        break;
    default:
        break;
    }
}

void TableModel::RowsChanged(const data::RowChange& change) {
    const int last = static_cast<int>(m_columns.size()) - 1;
    switch (change.kind) {
    case data::RowChange::Reset:
        Rebind();
        endResetModel();
        break;
    case data::RowChange::RowInserted:
        endInsertRows();
        break;
    case data::RowChange::RowRemoved:
        endRemoveRows();
        break;
    case data::RowChange::RowMoved:
        if (std::exchange(m_moving, false))
            endMoveRows();
        break;
    case data::RowChange::FieldChanged:
    case data::RowChange::RowChanged:
        if (change.row >= 0 && change.row < rowCount() && last >= 0)
            emit dataChanged(index(change.row, 0), index(change.row, last));
        break;
    case data::RowChange::CurrentMoved:
        emit currentRowChanged(change.to);
        break;
    }
}

bool StartEditing(data::Table& table) {
    if (!table.Active())
        return false;
    if (!table.Editing())
        table.Edit();
    return table.Editing();
}

} // namespace ui