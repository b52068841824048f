#pragma once
// The cell editors of a data grid, by the kind of field: a drop-down of the looked-up
// records for a lookup column, a pick list, and plain text editors that take only what
// the field can hold (digits for numbers, digits and points for dates). What is typed goes
// through the table; a value it refuses is told in German at the cell, and the record
// stays in editing.
#include <QPointer>
#include <QStyledItemDelegate>

namespace ui {

class TableModel;

class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    GridDelegate(TableModel& model, QObject* parent);

    // The editor open now, if any.
    QWidget* OpenEditor() const { return m_editor; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    TableModel& m_model;
    mutable QPointer<QWidget> m_editor;
};

} // namespace ui
