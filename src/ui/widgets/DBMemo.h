#pragma once
// A memo bound to one field of a table, the way a widget mapper binds a widget: it shows
// the field of the current record; typing into it starts editing that record; what was
// typed goes into the field when the memo loses the focus, or when whoever acts on the
// record asks for it (CommitInput). Until then the memo keeps the typed text across the
// table's notices; cancelling the record drops it. Line breaks are stored as CR LF.
// Characters the data files cannot hold are refused as they are typed or pasted.
#include "data/data_source.h"
#include "input_holder.h"

#include <QPlainTextEdit>

namespace ui {

class DBMemo : public QPlainTextEdit, public data::DataLink, public InputHolder {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);

    void SetField(data::DataSource* source, const QString& field);

    // InputHolder
    bool CommitInput() override;
    void DiscardInput() override;

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void ActiveChanged() override { ShowField(); }
    void DataChanged() override { ShowField(); }
    void EditingChanged() override;

    data::Table* BoundTable() const;
    // The field's text of the current record, unless the user is typing (the document is
    // modified since it was last shown or handed over).
    void ShowField();
    // Typing may go on: the record is being edited (started now if need be), and what is
    // typed can be stored (else the user is told).
    bool MayType(const QString& typed);

    QString m_field;
};

} // namespace ui
