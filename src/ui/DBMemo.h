#pragma once
// A memo bound to one field of a table: it shows the field of the current record, typing
// into it starts editing that record, and what was typed goes into the field when the
// memo loses the focus or the table is about to post. Line breaks are stored as CR LF.
#include "data/data_source.h"

#include <QPlainTextEdit>

namespace ui {

class DBMemo : public QPlainTextEdit, public data::DataLink {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);

    void SetField(data::DataSource* source, const QString& field);
    // Writes typed text into the field now.
    void WriteField();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void ActiveChanged() override { ShowField(); }
    void DataChanged() override;
    void EditingChanged() override { ShowField(); }
    void CollectInput() override { WriteField(); }

    void ShowField();
    bool StartEditing();

    QString m_field;
    bool m_typed = false;   // text typed since the field was shown
    bool m_showing = false; // the text is being set from the field
};

} // namespace ui
