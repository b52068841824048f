#include "DBGrid.h"

#include "platform/dialogs.h"

#include "grid_delegate.h"
#include "guard.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace ui {

DBGrid::DBGrid(QWidget* parent) : QTableView(parent) {
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
    // The current row follows the table, and the table posts when it is asked to move (the
    // model's submit(), which Qt calls at a change of row, does nothing).
    m_delegate = new GridDelegate(*m_model, this);
    setItemDelegate(m_delegate);
    connect(m_model.get(), &TableModel::currentRowChanged, this, [this] { FollowTable(); });
    connect(m_model.get(), &QAbstractItemModel::modelReset, this, [this] { FollowTable(); });
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

bool DBGrid::CommitInput() {
    QWidget* editor = OpenEditor();
    if (!editor)
        return true;
    const QString refusedBefore = m_delegate->Refused() ? m_delegate->RefusedText() : QString();
    commitData(editor);
    if (m_delegate->Refused()) {
        // Told when it was typed; asked again unchanged (leaving, another row), the user
        // hears why nothing happens and what to do.
        if (m_delegate->RefusedText() == refusedBefore && !refusedBefore.isEmpty())
            platform::Dialogs().ShowMessage("„" + refusedBefore.toStdString() +
                                            "“ kann in diesem Feld nicht gespeichert werden und steht noch "
                                            "darin.\nBitte den Wert berichtigen oder mit Esc verwerfen; "
                                            "danach geht es weiter.");
        return false; // the editor stays open with the typed text
    }
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void DBGrid::DiscardInput() {
    if (QWidget* editor = OpenEditor()) {
        m_delegate->ForgetRefusal();
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

// The grid shows the table's current record; following it moves no record.
void DBGrid::FollowTable() {
    if (m_following || !m_model)
        return;
    const data::Table* table = m_model->Table();
    const int row = table && table->Active() ? table->RecNo() : -1;
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

bool DBGrid::RequestRow(int row) {
    data::Table* table = m_model ? m_model->Table() : nullptr;
    if (!table || !table->Active())
        return false;
    if (row == table->RecNo())
        return true;
    // The record being edited is posted first (the table does that); a refused one stays
    // current, and so does a cell whose value was refused.
    if (!CommitInput())
        return false;
    const bool moved = Guarded([&] { table->MoveTo(row); });
    FollowTable();
    return moved;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!m_following && current.isValid())
        m_selectedIndex = current.column();
}

QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    const data::Table* table = m_model ? m_model->Table() : nullptr;
    if (!target.isValid() || !table || target.row() == table->RecNo())
        return target;
    RequestRow(target.row());
    // Wherever the table is now (a post may have moved the rows), that is the row.
    return table->RecNo() >= 0 ? m_model->index(table->RecNo(), target.column()) : QModelIndex();
}

void DBGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const data::Table* table = m_model ? m_model->Table() : nullptr;
    if (!index.isValid() || !table || index.row() == table->RecNo()) {
        QTableView::mousePressEvent(event);
        return;
    }
    // Another row: the table moves there, or stays where it is; the click shows the
    // result and selects nothing of its own.
    event->accept();
    setFocus(Qt::MouseFocusReason);
    if (!isColumnHidden(index.column()))
        m_selectedIndex = index.column();
    RequestRow(index.row());
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const data::Table* table = m_model ? m_model->Table() : nullptr;
    if (index.isValid() && table && index.row() == table->RecNo())
        QTableView::mouseDoubleClickEvent(event);
}

// Dragging with a button held selects nothing and moves no record.
void DBGrid::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton)
        event->accept();
    else
        QTableView::mouseMoveEvent(event);
}

// Typing into the grid never jumps to a row that starts with the letters typed.
void DBGrid::keyboardSearch(const QString&) {}

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (m_readOnly && trigger != QAbstractItemView::AllEditTriggers)
        return false;
    data::Table* table = m_model ? m_model->Table() : nullptr;
    if (!table || !table->Active() || index.row() != table->RecNo())
        return false;
    if (!QTableView::edit(index, trigger, event))
        return false;
    // Typing into a cell starts editing the current record.
    if (!Guarded([&] { StartEditing(*table); }) || !table->Editing()) {
        DiscardInput();
        return false;
    }
    return true;
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (m_delegate && m_delegate->Refused()) {
        editor->setFocus(Qt::OtherFocusReason); // stays open, the typed text to be corrected
        return;
    }
    // An editor closes; it never posts or drops the record (Qt would on Enter and Escape):
    // the navigator and a move to another row do that.
    if (hint == QAbstractItemDelegate::SubmitModelCache || hint == QAbstractItemDelegate::RevertModelCache)
        hint = QAbstractItemDelegate::NoHint;
    QTableView::closeEditor(editor, hint);
}

} // namespace ui
