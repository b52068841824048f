#pragma once
// "Klassenliste importieren": the preview of a class list, row by row — a new athlete, one
// already known (same first name, name and birth year) or refused with the reason — with
// the name of the group it makes (the file's name at first). A sex the athlete table cannot
// hold is chosen here, row by row. "Importieren" then takes the list in, whole or not at all.
#include "grouptest/class_import.h"

#include <QDialog>

class TDM1;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace ui {

class ClassListDialog : public QDialog {
    Q_OBJECT
public:
    ClassListDialog(TDM1& dataModule, grouptest::ClassList list, const QString& groupName,
                    QWidget* parent = nullptr);

    // The import; on success the dialog closes with the new group's id.
    void Import();
    std::int64_t ImportedGroup() const { return m_groupId; }

    QTableWidget* Table() const { return m_table; }
    QLineEdit* GroupName() const { return m_name; }
    // A sex chosen for row `row` ("W" or "M").
    void ChooseSex(int row, const std::string& sex);

private:
    void Fill();

    TDM1& m_dataModule;
    grouptest::ClassList m_list;
    QLineEdit* m_name = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;
    std::int64_t m_groupId = 0;
};

} // namespace ui
