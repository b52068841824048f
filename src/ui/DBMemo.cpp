#include "DBMemo.h"

#include "data/table.h"
#include "data/text_encoding.h"
#include "guard.h"

#include <QKeyEvent>

namespace ui {

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("DBMemo1"));
    setTabChangesFocus(true); // Tab moves on, as everywhere in the windows
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_typed = true;
    });
}

void DBMemo::SetField(data::DataSource* source, const QString& field) {
    m_field = field;
    SetDataSource(source);
    m_typed = false;
    ShowField();
}

void DBMemo::ShowField() {
    if (m_typed)
        return; // what is being typed is not thrown away; it goes into the field first
    QString text;
    const data::Table* table = Source() ? Source()->DataSet() : nullptr;
    if (table && table->Active() && table->FindField(m_field.toStdString()) >= 0 && table->RecNo() >= 0) {
        const std::string bytes = table->AsString(m_field.toStdString());
        text = QString::fromStdString(data::Cp1252ToUtf8(bytes))
                   .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    if (text == toPlainText())
        return;
    m_showing = true;
    setPlainText(text);
    m_showing = false;
}

void DBMemo::DataChanged() {
    ShowField();
}

bool DBMemo::StartEditing() {
    data::Table* table = Source() ? Source()->DataSet() : nullptr;
    if (isReadOnly() || !table || !table->Active())
        return false;
    if (table->Editing())
        return true;
    return Guarded([&] { table->Edit(); }) && table->Editing();
}

void DBMemo::WriteField() {
    if (!m_typed)
        return;
    data::Table* table = Source() ? Source()->DataSet() : nullptr;
    m_typed = false;
    if (!table || !table->Editing())
        return;
    QString text = toPlainText();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    table->SetAsString(m_field.toStdString(), data::Utf8ToCp1252(text.toStdString()));
}

void DBMemo::focusOutEvent(QFocusEvent* event) {
    Guarded([this] { WriteField(); });
    QPlainTextEdit::focusOutEvent(event);
}

void DBMemo::keyPressEvent(QKeyEvent* event) {
    const bool changes = !event->text().isEmpty() || event->key() == Qt::Key_Backspace ||
                         event->key() == Qt::Key_Delete || event->matches(QKeySequence::Paste) ||
                         event->matches(QKeySequence::Cut);
    const bool control = (event->modifiers() & Qt::ControlModifier) && !event->matches(QKeySequence::Paste) &&
                         !event->matches(QKeySequence::Cut);
    if (changes && !control && !isReadOnly() && !StartEditing())
        return; // a record that cannot be edited takes no typing
    QPlainTextEdit::keyPressEvent(event);
}

void DBMemo::insertFromMimeData(const QMimeData* source) {
    if (StartEditing())
        QPlainTextEdit::insertFromMimeData(source);
}

} // namespace ui
