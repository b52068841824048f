#include "DBMemo.h"

#include "data/table.h"
#include "data/text_encoding.h"
#include "guard.h"
#include "storable_text.h"
#include "table_model.h"

#include <QKeyEvent>
#include <QMimeData>

namespace ui {

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true); // Tab moves on, as everywhere in the windows
}

void DBMemo::SetField(data::DataSource* source, const QString& field) {
    m_field = field;
    SetDataSource(source);
    document()->setModified(false);
    ShowField();
}

data::Table* DBMemo::BoundTable() const {
    return Source() ? Source()->DataSet() : nullptr;
}

void DBMemo::ShowField() {
    if (document()->isModified())
        return; // what is being typed is not thrown away; it goes into the field first
    QString text;
    const data::Table* table = BoundTable();
    if (table && table->Active() && table->FindField(m_field.toStdString()) >= 0 && table->RecNo() >= 0) {
        const std::string bytes = table->AsString(m_field.toStdString());
        text = QString::fromStdString(data::Cp1252ToUtf8(bytes))
                   .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    if (text != toPlainText())
        setPlainText(text); // leaves the document unmodified
}

void DBMemo::EditingChanged() {
    // Posted or cancelled: typed text not handed over by now belongs to no record.
    if (const data::Table* table = BoundTable(); !table || !table->Editing())
        document()->setModified(false);
    ShowField();
}

bool DBMemo::CommitInput() {
    data::Table* table = BoundTable();
    if (!document()->isModified() || !table || !table->Editing())
        return true;
    QString text = toPlainText();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const bool taken =
        Guarded([&] { table->SetAsString(m_field.toStdString(), data::Utf8ToCp1252(text.toStdString())); });
    if (taken)
        document()->setModified(false);
    return taken;
}

void DBMemo::DiscardInput() {
    document()->setModified(false);
    ShowField();
}

void DBMemo::focusOutEvent(QFocusEvent* event) {
    CommitInput();
    QPlainTextEdit::focusOutEvent(event);
}

bool DBMemo::MayType(const QString& typed) {
    if (isReadOnly())
        return false;
    if (const QString refused = UnstorableCharacters(typed); !refused.isEmpty()) {
        Guarded([&] { platform::Dialogs().ShowMessage(UnstorableMessage(refused)); });
        return false;
    }
    data::Table* table = BoundTable();
    if (!table || !table->Active())
        return false;
    return table->Editing() || (Guarded([&] { StartEditing(*table); }) && table->Editing());
}

void DBMemo::keyPressEvent(QKeyEvent* event) {
    const bool changes = !event->text().isEmpty() || event->key() == Qt::Key_Backspace ||
                         event->key() == Qt::Key_Delete || event->matches(QKeySequence::Paste) ||
                         event->matches(QKeySequence::Cut);
    const bool control = (event->modifiers() & Qt::ControlModifier) && !event->matches(QKeySequence::Paste) &&
                         !event->matches(QKeySequence::Cut);
    const QString typed = event->matches(QKeySequence::Paste) || control ? QString() : event->text();
    if (changes && !control && !isReadOnly() && !MayType(typed))
        return; // a record that cannot be edited, or a character that cannot be stored
    QPlainTextEdit::keyPressEvent(event);
}

void DBMemo::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !MayType(event->commitString()))
        return;
    QPlainTextEdit::inputMethodEvent(event);
}

bool DBMemo::canInsertFromMimeData(const QMimeData* source) const {
    return !isReadOnly() && QPlainTextEdit::canInsertFromMimeData(source);
}

void DBMemo::insertFromMimeData(const QMimeData* source) {
    if (MayType(source->text()))
        QPlainTextEdit::insertFromMimeData(source);
}

} // namespace ui
