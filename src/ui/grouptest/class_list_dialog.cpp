#include "class_list_dialog.h"

#include "platform/dialogs.h"
#include "ui/widgets/guard.h"
#include "ui/widgets/panel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ui {
namespace {

enum Column { LineColumn, FirstColumn, NameColumn, SexColumn, YearColumn, FateColumn };

} // namespace

ClassListDialog::ClassListDialog(TDM1& dataModule, grouptest::ClassList list, const QString& groupName,
                                 QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule), m_list(std::move(list)) {
    setObjectName(QStringLiteral("ClassListDialog"));
    setWindowTitle(QStringLiteral("Klassenliste importieren"));
    setFont(UiFont(13));
    resize(860, 560);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_name = new QLineEdit(groupName, this);
    m_name->setObjectName(QStringLiteral("GroupName"));
    m_name->setMaxLength(40);
    form->addRow(QStringLiteral("Name der Gruppe:"), m_name);
    form->addRow(QStringLiteral("Datei:"),
                 new QLabel(QStringLiteral("%1, Trennzeichen „%2“")
                                .arg(QString::fromStdString(m_list.encoding))
                                .arg(m_list.separator == '\t' ? QStringLiteral("Tab")
                                                              : QString(QChar::fromLatin1(m_list.separator))),
                            this));
    layout->addLayout(form);
    m_table = new QTableWidget(static_cast<int>(m_list.rows.size()), 6, this);
    m_table->setObjectName(QStringLiteral("Preview"));
    m_table->setHorizontalHeaderLabels({"Zeile", "Vorname", "Name", "Geschlecht", "Jahrgang", "Ergebnis"});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(m_table, 1);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (auto [name, caption] :
         {std::pair{"btn_import", "Importieren"}, std::pair{"btn_cancel", "Abbrechen"}}) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        if (QByteArray(name) == "btn_import")
            connect(b, &QPushButton::clicked, this, GuardedSlot([this] { Import(); }));
        else
            connect(b, &QPushButton::clicked, this, &QDialog::reject);
    }
    layout->addLayout(buttons);
    Fill();
}

void ClassListDialog::Fill() {
    const auto plan = grouptest::PlanImport(m_dataModule, m_list.rows);
    int fresh = 0, known = 0, refused = 0;
    for (int row = 0; row < static_cast<int>(m_list.rows.size()); ++row) {
        const grouptest::ClassListRow& r = m_list.rows[static_cast<std::size_t>(row)];
        const grouptest::PlannedRow& p = plan[static_cast<std::size_t>(row)];
        auto set = [&](int column, const QString& text) {
            auto* item = m_table->item(row, column);
            if (!item)
                m_table->setItem(row, column, item = new QTableWidgetItem);
            item->setText(text);
        };
        set(LineColumn, QString::number(r.line));
        set(FirstColumn, QString::fromStdString(r.firstName));
        set(NameColumn, QString::fromStdString(r.name));
        // A year that could not be read shows as it was typed ("20l3"), so that it can be found.
        set(YearColumn, r.birthYear > 0            ? QString::number(r.birthYear)
                        : r.birthAsWritten.empty() ? QStringLiteral("–")
                                                   : QString::fromStdString(r.birthAsWritten));
        // A sex the table cannot hold is chosen here, never guessed.
        if (r.problem.empty() && (r.sex.empty() || m_table->cellWidget(row, SexColumn))) {
            auto* choice = qobject_cast<QComboBox*>(m_table->cellWidget(row, SexColumn));
            if (!choice) {
                choice = new QComboBox(m_table);
                choice->addItems(
                    {QStringLiteral("bitte wählen (%1)").arg(QString::fromStdString(r.sexAsWritten)),
                     QStringLiteral("W"), QStringLiteral("M")});
                m_table->setCellWidget(row, SexColumn, choice);
                connect(choice, qOverload<int>(&QComboBox::currentIndexChanged), this,
                        GuardedSlot([this, row, choice] {
                            ChooseSex(row, choice->currentIndex() == 1   ? "W"
                                           : choice->currentIndex() == 2 ? "M"
                                                                         : "");
                        }));
            }
        } else {
            set(SexColumn, QString::fromStdString(r.sex.empty() ? r.sexAsWritten : r.sex));
        }
        QString fate;
        switch (p.fate) {
        case grouptest::RowFate::New:
            fate = QStringLiteral("neu");
            ++fresh;
            break;
        case grouptest::RowFate::Known:
            fate = QStringLiteral("schon erfasst");
            ++known;
            break;
        case grouptest::RowFate::Refused:
            fate = QStringLiteral("abgelehnt: ") + QString::fromStdString(p.reason);
            ++refused;
            break;
        }
        set(FateColumn, fate);
        m_table->item(row, FateColumn)
            ->setForeground(p.fate == grouptest::RowFate::Refused ? QColor(170, 0, 0) : QColor(0, 0, 0));
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_summary->setText(
        QStringLiteral("%1 neu, %2 schon erfasst, %3 abgelehnt. Abgelehnte Zeilen werden nicht "
                       "übernommen; alles andere kommt in einem Schritt in die Gruppe.")
            .arg(fresh)
            .arg(known)
            .arg(refused));
}

void ClassListDialog::ChooseSex(int row, const std::string& sex) {
    m_list.rows[static_cast<std::size_t>(row)].sex = sex;
    Fill();
}

void ClassListDialog::Import() {
    const auto plan = grouptest::PlanImport(m_dataModule, m_list.rows);
    const auto refused = std::count_if(plan.begin(), plan.end(), [](const grouptest::PlannedRow& p) {
        return p.fate == grouptest::RowFate::Refused;
    });
    if (refused > 0 &&
        platform::Dialogs().AskYesNo(
            std::to_string(refused) + (refused == 1 ? " Zeile wird" : " Zeilen werden") +
            " abgelehnt und nicht übernommen. Die übrigen importieren?") != platform::Answer::Yes)
        return;
    const grouptest::ImportOutcome outcome =
        grouptest::ImportClassList(m_dataModule, m_name->text().toStdString(), m_list.rows);
    m_groupId = outcome.groupId;
    platform::Dialogs().ShowMessage("Die Gruppe \"" + m_name->text().trimmed().toStdString() +
                                    "\" ist angelegt: " + std::to_string(outcome.created) + " neue und " +
                                    std::to_string(outcome.known) + " schon erfasste Sportler.");
    accept();
}

} // namespace ui
