#include "groups_page.h"

#include "class_list_dialog.h"
#include "data/DModule.h"
#include "data/data_file.h"
#include "data/date_value.h"
#include "data/groups.h"
#include "data/text_encoding.h"
#include "evaluation/results_analysis.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "ui/widgets/guard.h"
#include "ui/widgets/panel.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <map>

namespace ui {
namespace {

constexpr int IdRole = Qt::UserRole;
constexpr int SearchRole = Qt::UserRole + 1;

struct AthleteLine {
    std::int64_t id = 0;
    QString text; // "Name, Vorname (2012)"
    QString key;  // for sorting and searching
};

// The athletes as they stand, sorted by name, then first name.
std::vector<AthleteLine> AthleteLines(TDM1& dm) {
    data::Table& t = dm.cdsSportler;
    std::vector<AthleteLine> lines;
    if (!t.Active())
        dm.OpenOrCreateSportler();
    const int id = t.FindField("sportlerid"), first = t.FindField("Vorname"), name = t.FindField("Name"),
              year = t.FindField("Geburtsjahr");
    for (int r = 0; r < t.RecordCount(); ++r) {
        evaluation::Athlete a;
        a.firstName = data::Cp1252ToUtf8(data::BytesOf(t.RecordValueAt(r, first)));
        a.name = data::Cp1252ToUtf8(data::BytesOf(t.RecordValueAt(r, name)));
        AthleteLine line;
        line.id = data::IntegerOf(t.RecordValueAt(r, id));
        line.text = QStringLiteral("%1 (%2)")
                        .arg(QString::fromStdString(evaluation::ListName(a)))
                        .arg(data::IntegerOf(t.RecordValueAt(r, year)));
        line.key = QString::fromStdString(evaluation::SearchKey(evaluation::ListName(a)) + "\n" +
                                          evaluation::SearchKey(a.firstName + " " + a.name));
        lines.push_back(std::move(line));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const AthleteLine& a, const AthleteLine& b) { return a.key < b.key; });
    return lines;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

GroupsPage::GroupsPage(TDM1& dataModule, QWidget* parent) : QWidget(parent), m_dataModule(dataModule) {
    setObjectName(QStringLiteral("GroupsPage"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Gruppen"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Mitglieder der Gruppe"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Alle Sportler"), this), 0, 2);
    m_groups = new QListWidget(this);
    m_groups->setObjectName(QStringLiteral("GroupList"));
    m_groups->setAccessibleName(QStringLiteral("Gruppen"));
    m_members = new QListWidget(this);
    m_members->setObjectName(QStringLiteral("MemberList"));
    m_members->setAccessibleName(QStringLiteral("Mitglieder der Gruppe"));
    m_members->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_athletes = new QListWidget(this);
    m_athletes->setObjectName(QStringLiteral("AllAthletes"));
    m_athletes->setAccessibleName(QStringLiteral("Alle Sportler"));
    m_athletes->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("AthleteSearch"));
    m_search->setAccessibleName(QStringLiteral("Sportler suchen"));
    m_search->setPlaceholderText(QStringLiteral("Vorname oder Name suchen"));
    m_search->setClearButtonEnabled(true);
    NameClearButton(*m_search);
    grid->addWidget(m_groups, 1, 0, 2, 1);
    grid->addWidget(m_members, 1, 1, 2, 1);
    grid->addWidget(m_search, 1, 2);
    grid->addWidget(m_athletes, 2, 2);
    auto* groupButtons = new QGridLayout;
    auto connectButton = [this](QPushButton* b, auto handler) {
        connect(b, &QPushButton::clicked, this, GuardedSlot(handler));
    };
    QPushButton* newGroup = Button(this, "btn_new_group", QStringLiteral("Neu …"));
    QPushButton* rename = Button(this, "btn_rename_group", QStringLiteral("Umbenennen …"));
    QPushButton* remove = Button(this, "btn_delete_group", QStringLiteral("Löschen"));
    QPushButton* import = Button(this, "btn_import", QStringLiteral("Klassenliste importieren…"));
    connectButton(newGroup, [this] { NewGroup(); });
    connectButton(rename, [this] { RenameGroup(); });
    connectButton(remove, [this] { DeleteGroup(); });
    connectButton(import, [this] { ImportClassList(); });
    groupButtons->addWidget(newGroup, 0, 0);
    groupButtons->addWidget(rename, 0, 1);
    groupButtons->addWidget(remove, 1, 0);
    groupButtons->addWidget(import, 1, 1);
    grid->addLayout(groupButtons, 3, 0);
    QPushButton* removeMembers =
        Button(this, "btn_remove_members", QStringLiteral("Aus der Gruppe nehmen →"));
    QPushButton* addMembers = Button(this, "btn_add_members", QStringLiteral("← In die Gruppe"));
    connectButton(removeMembers, [this] { RemoveMembers(); });
    connectButton(addMembers, [this] { AddMembers(); });
    grid->addWidget(removeMembers, 3, 1);
    grid->addWidget(addMembers, 3, 2);
    m_prepare = Button(this, "btn_prepare_test", QStringLiteral("Gruppentest vorbereiten"));
    m_prepare->setMinimumHeight(40);
    QFont bold = m_prepare->font();
    bold.setBold(true);
    m_prepare->setFont(bold);
    connectButton(m_prepare, [this] { PrepareGroupTest(); });
    grid->addWidget(m_prepare, 4, 0, 1, 3);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 3);
    connect(m_groups, &QListWidget::currentRowChanged, this, GuardedSlot([this] { ShowMembers(); }));
    connect(m_search, &QLineEdit::textChanged, this, GuardedSlot([this] { SearchChanged(); }));
}

std::int64_t GroupsPage::ChosenGroup() const {
    const QListWidgetItem* item = m_groups->currentItem();
    return item ? item->data(IdRole).toLongLong() : 0;
}

void GroupsPage::Reload() {
    const std::int64_t chosen = ChosenGroup();
    {
        const QSignalBlocker quiet(m_groups);
        m_groups->clear();
        for (const data::Group& g : data::GroupStore(m_dataModule).All()) {
            auto* item = new QListWidgetItem(
                QStringLiteral("%1  (%2)").arg(QString::fromStdString(g.name)).arg(g.members.size()),
                m_groups);
            item->setData(IdRole, QVariant::fromValue<qlonglong>(g.id));
        }
    }
    m_athletes->clear();
    for (const AthleteLine& line : AthleteLines(m_dataModule)) {
        auto* item = new QListWidgetItem(line.text, m_athletes);
        item->setData(IdRole, QVariant::fromValue<qlonglong>(line.id));
        item->setData(SearchRole, line.key);
    }
    SearchChanged();
    SelectGroup(chosen);
}

void GroupsPage::SelectGroup(std::int64_t id) {
    int row = m_groups->count() > 0 ? 0 : -1;
    for (int r = 0; r < m_groups->count(); ++r)
        if (m_groups->item(r)->data(IdRole).toLongLong() == id)
            row = r;
    {
        const QSignalBlocker quiet(m_groups);
        m_groups->setCurrentRow(row);
    }
    ShowMembers();
}

void GroupsPage::ShowMembers() {
    m_members->clear();
    const std::int64_t id = ChosenGroup();
    m_prepare->setEnabled(id != 0);
    if (!id)
        return;
    const data::Group group = data::GroupStore(m_dataModule).Get(id);
    // In the order of the athlete list; members whose athlete is gone are not shown.
    for (int r = 0; r < m_athletes->count(); ++r) {
        const QListWidgetItem* athlete = m_athletes->item(r);
        if (std::binary_search(group.members.begin(), group.members.end(),
                               athlete->data(IdRole).toLongLong())) {
            auto* item = new QListWidgetItem(athlete->text(), m_members);
            item->setData(IdRole, athlete->data(IdRole));
        }
    }
}

void GroupsPage::SearchChanged() {
    const QString key =
        QString::fromStdString(evaluation::SearchKey(m_search->text().trimmed().toStdString()));
    for (int r = 0; r < m_athletes->count(); ++r) {
        QListWidgetItem* item = m_athletes->item(r);
        item->setHidden(!key.isEmpty() && !item->data(SearchRole).toString().contains(key));
    }
}

void GroupsPage::NewGroup() {
    data::GroupStore groups(m_dataModule);
    std::string name;
    for (;;) {
        const auto typed =
            platform::Dialogs().AskText("Neue Gruppe", "Name der Gruppe (zum Beispiel „Klasse 7b“):", name);
        if (!typed)
            return;
        name = *typed;
        try {
            groups.CheckName(name);
            break;
        } catch (const std::exception& e) {
            platform::Dialogs().ShowMessage(e.what()); // and asked again
        }
    }
    const std::int64_t id = groups.Create(name);
    Reload();
    SelectGroup(id);
}

void GroupsPage::RenameGroup() {
    const std::int64_t id = ChosenGroup();
    if (!id)
        return;
    data::GroupStore groups(m_dataModule);
    std::string name = groups.Get(id).name;
    for (;;) {
        const auto typed = platform::Dialogs().AskText("Gruppe umbenennen", "Neuer Name der Gruppe:", name);
        if (!typed)
            return;
        name = *typed;
        try {
            groups.CheckName(name, id);
            break;
        } catch (const std::exception& e) {
            platform::Dialogs().ShowMessage(e.what());
        }
    }
    groups.Rename(id, name);
    Reload();
}

void GroupsPage::DeleteGroup() {
    const std::int64_t id = ChosenGroup();
    if (!id)
        return;
    data::GroupStore groups(m_dataModule);
    const data::Group group = groups.Get(id);
    if (platform::Dialogs().AskYesNo("Die Gruppe \"" + group.name +
                                     "\" löschen? Die Sportler und ihre Ergebnisse "
                                     "bleiben erhalten.") != platform::Answer::Yes)
        return;
    groups.Delete(id);
    Reload();
}

void GroupsPage::AddMembers() {
    const std::int64_t id = ChosenGroup();
    if (!id) {
        platform::Dialogs().ShowMessage("Bitte zuerst eine Gruppe anlegen oder wählen.");
        return;
    }
    data::GroupStore groups(m_dataModule);
    std::vector<std::int64_t> members = groups.Get(id).members;
    for (const QListWidgetItem* item : m_athletes->selectedItems())
        if (!item->isHidden())
            members.push_back(item->data(IdRole).toLongLong());
    groups.SetMembers(id, members);
    m_athletes->clearSelection();
    Reload();
}

void GroupsPage::RemoveMembers() {
    const std::int64_t id = ChosenGroup();
    if (!id)
        return;
    data::GroupStore groups(m_dataModule);
    std::vector<std::int64_t> members = groups.Get(id).members;
    for (const QListWidgetItem* item : m_members->selectedItems())
        members.erase(std::remove(members.begin(), members.end(), item->data(IdRole).toLongLong()),
                      members.end());
    groups.SetMembers(id, members);
    Reload();
}

void GroupsPage::ImportClassList() {
    const std::string path = platform::Dialogs().AskOpenFileName(
        "Klassenliste importieren", "Klassenlisten (*.csv *.txt);;Alle Dateien (*)");
    if (path.empty())
        return;
    if (data::FileSizeOf(path) > grouptest::MaxClassListBytes)
        throw vexo::Error("Die Datei ist zu groß für eine Klassenliste (mehr als 2 MB).");
    const int thisYear = data::CivilFromDays(platform::Clock().Today()).year;
    grouptest::ClassList list = grouptest::ParseClassList(data::ReadWholeFile(path), thisYear);
    ClassListDialog dialog(m_dataModule, std::move(list),
                           QFileInfo(QString::fromStdString(path)).completeBaseName(), this);
    if (dialog.exec() == QDialog::Accepted) {
        Reload();
        SelectGroup(dialog.ImportedGroup());
    }
}

void GroupsPage::PrepareGroupTest() {
    const std::int64_t id = ChosenGroup();
    if (!id)
        return;
    if (m_members->count() == 0) {
        platform::Dialogs().ShowMessage("Die Gruppe hat noch keine Mitglieder.");
        return;
    }
    if (m_members->count() > 36) {
        platform::Dialogs().ShowMessage(
            "Ein Gruppentest nimmt höchstens 36 Sportler auf; bitte die Gruppe teilen.");
        return;
    }
    if (onPrepareGroupTest)
        onPrepareGroupTest(id);
}

} // namespace ui
