#include "grid_delegate.h"

#include "guard.h"
#include "storable_text.h"
#include "table_model.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace ui {

namespace {
// What each kind of field lets the editor take; letters in a number never arrive.
const char* PatternFor(data::FieldType type) {
    switch (type) {
    case data::FieldType::Integer:
    case data::FieldType::AutoInc:
        return "[+-]?[0-9]{0,12}";
    case data::FieldType::Float:
        return "[+-]?[0-9]{0,9}([.,][0-9]{0,6})?";
    case data::FieldType::Date:
        return "[0-9.]{0,10}";
    default:
        return nullptr;
    }
}

QString EditorText(QWidget* editor) {
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        return combo->currentText();
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line->text();
    return {};
}
} // namespace

GridDelegate::GridDelegate(TableModel& model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    const int column = index.column();
    QWidget* editor = nullptr;
    QLineEdit* line = nullptr;
    if (m_model.IsLookup(column)) {
        auto* combo = new QComboBox(parent);
        combo->addItems(m_model.LookupChoices(column));
        editor = combo;
    } else if (!m_model.Columns()[static_cast<std::size_t>(column)].pickList.isEmpty()) {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->addItems(m_model.Columns()[static_cast<std::size_t>(column)].pickList);
        editor = combo;
        line = combo->lineEdit();
    } else {
        line = new QLineEdit(parent);
        editor = line;
    }
    if (line) {
        if (const char* pattern = PatternFor(m_model.TypeOf(column))) {
            line->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(pattern)), line));
        } else {
            // Text: no more than the field holds, and only what the files can store.
            if (const int size = m_model.SizeOf(column); size > 0)
                line->setMaxLength(size);
            auto* storable = new StorableTextValidator(line);
            line->setValidator(storable);
            connect(line, &QLineEdit::inputRejected, this, [this, editor, storable] {
                if (const QString refused = storable->TakeRefused(); !refused.isEmpty())
                    TellUnstorable(editor, refused);
            });
        }
    }
    editor->setObjectName(QStringLiteral("GridEditor"));
    m_editor = editor;
    m_refused = false;
    return editor;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (combo->isEditable())
            combo->setCurrentText(text);
        else
            combo->setCurrentIndex(combo->findText(text));
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(text);
    }
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    const QString before = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor); combo && !combo->isEditable()) {
        // The record chosen by its place in the list: names may repeat.
        if (combo->currentIndex() >= 0 && combo->currentText() != before)
            Guarded([&] { m_model.ChooseLookupRow(index.column(), combo->currentIndex()); });
        return;
    }
    const QString text = EditorText(editor);
    if (Refused() && text == m_refusedText)
        return; // refused and told already; nothing has changed since
    m_refused = false;
    if (text == before)
        return;
    // The table may refuse the value and say so in a box; the editor losing the focus to
    // that box is no reason to close it.
    m_telling = true;
    const bool taken = model->setData(index, text, Qt::EditRole);
    m_telling = false;
    if (!taken) {
        m_refused = true;
        m_refusedText = text;
        m_refusedEditor = editor;
    }
}

bool GridDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (m_telling && (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide))
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        ForgetRefusal(); // Escape gives the typed text up
    return QStyledItemDelegate::eventFilter(watched, event);
}

void GridDelegate::TellUnstorable(QWidget* editor, const QString& characters) const {
    m_telling = true;
    Guarded([&] { platform::Dialogs().ShowMessage(UnstorableMessage(characters)); });
    m_telling = false;
    if (editor)
        editor->setFocus(Qt::OtherFocusReason);
}

} // namespace ui
