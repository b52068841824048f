#pragma once
// The cell editors of a data grid, by the kind of field: a drop-down of the looked-up
// records for a lookup column, a pick list, and plain text editors that take only what
// the field can hold (digits for numbers, digits and points for dates, at most the field's
// width of characters Windows-1252 has for text). A closing editor writes its value
// through the model; a value the table refuses is told in German, and the delegate
// remembers the refusal, so that the grid keeps the editor open with the typed text.
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
    // The table refused the open editor's last value (and it has not changed since).
    bool Refused() const { return m_editor && m_refused && m_refusedEditor == m_editor; }
    void ForgetRefusal() { m_refused = false; }
    const QString& RefusedText() const { return m_refusedText; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Says why typed characters were refused, without the editor closing meanwhile.
    void TellUnstorable(QWidget* editor, const QString& characters) const;

    TableModel& m_model;
    mutable QPointer<QWidget> m_editor;
    mutable QPointer<QWidget> m_refusedEditor;
    mutable bool m_refused = false;
    mutable QString m_refusedText;  // the text refused last: the same text is not tried again
    mutable bool m_telling = false; // a message box is up: the editor's focus loss is ours
};

} // namespace ui
