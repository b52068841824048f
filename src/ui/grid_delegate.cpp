#include "grid_delegate.h"

#include "guard.h"
#include "table_model.h"

#include <QComboBox>
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
} // namespace

GridDelegate::GridDelegate(TableModel& model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    const int column = index.column();
    QWidget* editor = nullptr;
    if (m_model.IsLookup(column)) {
        auto* combo = new QComboBox(parent);
        combo->addItems(m_model.LookupChoices(column));
        editor = combo;
    } else if (!m_model.Columns()[static_cast<std::size_t>(column)].pickList.isEmpty()) {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->addItems(m_model.Columns()[static_cast<std::size_t>(column)].pickList);
        editor = combo;
    } else {
        auto* line = new QLineEdit(parent);
        if (const char* pattern = PatternFor(m_model.TypeOf(column)))
            line->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(pattern)), line));
        editor = line;
    }
    editor->setObjectName(QStringLiteral("GridEditor"));
    m_editor = editor;
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

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
    const int column = index.column();
    const QString before = index.data(Qt::EditRole).toString();
    Guarded([&] {
        if (auto* combo = qobject_cast<QComboBox*>(editor); combo && !combo->isEditable()) {
            // The record chosen by its place in the list: names may repeat.
            if (combo->currentIndex() >= 0 && combo->currentText() != before)
                m_model.ChooseLookupRow(column, combo->currentIndex());
            return;
        }
        QString text;
        if (auto* combo = qobject_cast<QComboBox*>(editor))
            text = combo->currentText();
        else if (auto* line = qobject_cast<QLineEdit*>(editor))
            text = line->text();
        if (text != before)
            m_model.SetText(column, text);
    });
}

} // namespace ui
