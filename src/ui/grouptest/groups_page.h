#pragma once
// The page "Gruppen" of the evaluation window: the groups with their members, sorted by name
// with their birth year; new, rename and delete (which asks first); members added from the
// list of all athletes (several at once, found as you type) and removed; a class list
// imported as a new group; and from a group, the preparation of a group test.
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class TDM1;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {

class GroupsPage : public QWidget {
    Q_OBJECT
public:
    explicit GroupsPage(TDM1& dataModule, QWidget* parent = nullptr);

    // Reads the groups and the athletes as they stand (the groups file is created at its
    // first use).
    void Reload();

    // Asked for when the user prepares a group test of a group.
    std::function<void(std::int64_t groupId)> onPrepareGroupTest;

    // The handlers of the controls.
    void NewGroup();
    void RenameGroup();
    void DeleteGroup();
    void AddMembers();
    void RemoveMembers();
    void ImportClassList();
    void PrepareGroupTest();
    void SearchChanged();

    QListWidget* Groups() const { return m_groups; }
    QListWidget* Members() const { return m_members; }
    QListWidget* Athletes() const { return m_athletes; }
    QLineEdit* Search() const { return m_search; }
    std::int64_t ChosenGroup() const;

private:
    void ShowMembers();
    void SelectGroup(std::int64_t id);

    TDM1& m_dataModule;
    QListWidget* m_groups = nullptr;
    QListWidget* m_members = nullptr;
    QListWidget* m_athletes = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_prepare = nullptr;
};

} // namespace ui
