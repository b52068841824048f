#include "DBGrid.h"

#include "grid_delegate.h"
#include "guard.h"

#include <QHeaderView>

namespace ui {

DBGrid::DBGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("DBGrid1"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(12); // the row indicator column
    horizontalHeader()->setHighlightSections(false);
    SetReadOnly(true);
}

DBGrid::~DBGrid() {
    setModel(nullptr);
}

void DBGrid::SetColumns(std::vector<GridColumn> columns) {
    auto model = std::make_unique<TableModel>(std::move(columns));
    setModel(model.get());
    m_model = std::move(model);
    m_delegate = new GridDelegate(*m_model, this);
    setItemDelegate(m_delegate);
    m_model->OnCollectInput = [this] { CommitOpenEditor(); };
    connect(m_model.get(), &TableModel::currentRowChanged, this, [this](int row) { FollowTable(row); });
    connect(m_model.get(), &QAbstractItemModel::modelReset, this, [this] {
        if (const data::Table* table = m_model->Table())
            FollowTable(table->RecNo());
    });
    const auto& cols = m_model->Columns();
    for (std::size_t c = 0; c < cols.size(); ++c) {
        setColumnWidth(static_cast<int>(c), cols[c].width);
        setColumnHidden(static_cast<int>(c), !cols[c].visible);
    }
    for (std::size_t c = 0; c < cols.size(); ++c)
        if (cols[c].visible) {
            m_selectedIndex = static_cast<int>(c);
            break;
        }
}

void DBGrid::SetDataSource(data::DataSource* source) {
    m_model->Bind(source);
}

void DBGrid::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    // No editing by a click on the current cell: Qt would wait for a possible double click
    // and drop the keys typed meanwhile. Typing, F2 and a double click open the editor.
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
}

void DBGrid::SetColumnVisible(int column, bool visible) {
    setColumnHidden(column, !visible);
}

void DBGrid::SetSelectedIndex(int column) {
    m_selectedIndex = column;
    // A hidden column can be the current one by its index; the view keeps its cell then.
    if (column >= 0 && column < model()->columnCount() && !isColumnHidden(column) &&
        currentIndex().isValid()) {
        m_following = true;
        setCurrentIndex(model()->index(currentIndex().row(), column));
        m_following = false;
    }
}

QWidget* DBGrid::OpenEditor() const {
    QWidget* editor = m_delegate ? m_delegate->OpenEditor() : nullptr;
    return editor && state() == QAbstractItemView::EditingState ? editor : nullptr;
}

void DBGrid::CommitOpenEditor() {
    if (QWidget* editor = OpenEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

// The grid shows the table's current record; following it moves no record.
void DBGrid::FollowTable(int row) {
    if (m_following || !m_model)
        return;
    m_following = true;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clearCurrentIndex();
    } else {
        int column = m_selectedIndex;
        if (column < 0 || column >= m_model->columnCount() || isColumnHidden(column))
            column =
                currentIndex().isValid() ? currentIndex().column() : horizontalHeader()->logicalIndexAt(0);
        if (column < 0)
            column = 0;
        const QModelIndex target = m_model->index(row, column);
        if (currentIndex() != target)
            selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        scrollTo(target);
    }
    m_following = false;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (m_following || !current.isValid())
        return;
    m_selectedIndex = current.column();
    data::Table* table = m_model->Table();
    if (!table || !table->Active() || current.row() == table->RecNo())
        return;
    // Another row: the record being edited is posted first; a refused one stays current.
    Guarded([&] { table->MoveTo(current.row()); });
    FollowTable(table->RecNo());
}

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (m_readOnly && trigger != QAbstractItemView::AllEditTriggers)
        return false;
    data::Table* table = m_model ? m_model->Table() : nullptr;
    if (!table || !table->Active())
        return false;
    if (!QTableView::edit(index, trigger, event))
        return false;
    // Typing into a cell starts editing the current record.
    Guarded([&] {
        if (!table->Editing())
            table->Edit();
    });
    return true;
}

} // namespace ui
