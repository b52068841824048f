#include "review_dialog.h"

#include "data/date_value.h"
#include "evaluation/csv_export.h"
#include "evaluation/global.h"
#include "grouptest/journal.h"
#include "pacing/shuttle_schedule.h"
#include "platform/dialogs.h"
#include "ui/widgets/guard.h"
#include "ui/widgets/panel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace ui {
namespace {

enum Column { NameColumn, LevelColumn, ShuttleColumn, MetresColumn, Vo2Column, RatingColumn, TakeColumn };

QString OneDecimal(double value) {
    return QString::fromStdString(evaluation::CsvNumber(value, 1));
}

} // namespace

ReviewDialog::ReviewDialog(TDM1& dataModule, const grouptest::GroupRun& run, QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule), m_run(run), m_rows(grouptest::ReviewRows(run)),
      m_day(grouptest::TestDay(run.StartTime())) {
    setObjectName(QStringLiteral("ReviewDialog"));
    setWindowTitle(QStringLiteral("Gruppentest prüfen – %1").arg(QString::fromStdString(run.GroupName())));
    setFont(UiFont(13));
    resize(820, 600);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Test vom %1. Level und Durchgang sind die zuletzt vollständig "
                                            "gelaufenen; bitte prüfen und wo nötig berichtigen. Nur "
                                            "angehakte Zeilen werden übernommen.")
                                 .arg(QString::fromStdString(data::FormatGermanDate(m_day))),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_table = new QTableWidget(static_cast<int>(m_rows.size()), 7, this);
    m_table->setObjectName(QStringLiteral("ReviewTable"));
    m_table->setHorizontalHeaderLabels(
        {"Name", "Level", "Durchgang", "Meter", "VO2max", "Bewertung", "Übernehmen"});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(m_table, 1);
    m_summary = new QLabel(this);
    layout->addWidget(m_summary);
    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const QString& caption, auto handler) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, GuardedSlot(handler));
        buttons->addWidget(b);
    };
    button("btn_take", QStringLiteral("Übernehmen"), [this] { TakeOver(); });
    button("btn_discard", QStringLiteral("Verwerfen"), [this] { Discard(); });
    buttons->addStretch(1);
    button("btn_later", QStringLiteral("Später"), [this] {
        m_outcome = Outcome::Later;
        reject();
    });
    layout->addLayout(buttons);
    Fill();
}

void ReviewDialog::Fill() {
    m_filling = true;
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        grouptest::ReviewRow& r = m_rows[static_cast<std::size_t>(row)];
        const std::string athleteProblem = grouptest::AthleteProblem(m_dataModule, r);
        if (!athleteProblem.empty())
            r.include = false;
        auto* name = new QTableWidgetItem(QString::fromStdString(r.firstName + " " + r.name));
        m_table->setItem(row, NameColumn, name);
        auto* level = new QSpinBox(m_table);
        level->setRange(0, schedule::LevelCount);
        level->setValue(r.level);
        auto* shuttle = new QSpinBox(m_table);
        shuttle->setRange(0, 16);
        shuttle->setValue(r.shuttle);
        auto* take = new QCheckBox(m_table);
        take->setChecked(r.include);
        m_table->setCellWidget(row, LevelColumn, level);
        m_table->setCellWidget(row, ShuttleColumn, shuttle);
        m_table->setCellWidget(row, TakeColumn, take);
        for (int c : {MetresColumn, Vo2Column, RatingColumn})
            m_table->setItem(row, c, new QTableWidgetItem);
        auto changed = [this, row] { RowChanged(row); };
        connect(level, qOverload<int>(&QSpinBox::valueChanged), this, GuardedSlot(changed));
        connect(shuttle, qOverload<int>(&QSpinBox::valueChanged), this, GuardedSlot(changed));
        connect(take, &QCheckBox::toggled, this, GuardedSlot(changed));
        RowChanged(row);
        if (!athleteProblem.empty()) {
            for (QWidget* w :
                 {static_cast<QWidget*>(level), static_cast<QWidget*>(shuttle), static_cast<QWidget*>(take)})
                w->setEnabled(false);
            const QString why =
                QStringLiteral("Nicht übernehmbar: %1").arg(QString::fromStdString(athleteProblem));
            m_table->item(row, RatingColumn)->setText(why);
            name->setToolTip(why);
        }
    }
    m_filling = false;
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
}

void ReviewDialog::RowChanged(int row) {
    grouptest::ReviewRow& r = m_rows[static_cast<std::size_t>(row)];
    r.level = static_cast<QSpinBox*>(m_table->cellWidget(row, LevelColumn))->value();
    r.shuttle = static_cast<QSpinBox*>(m_table->cellWidget(row, ShuttleColumn))->value();
    r.include = static_cast<QCheckBox*>(m_table->cellWidget(row, TakeColumn))->isChecked();
    const std::string problem = grouptest::RowProblem(r);
    if (problem.empty()) {
        const grouptest::RowFigures f = grouptest::FiguresOf(m_dataModule, r, m_day);
        m_table->item(row, MetresColumn)->setText(QString::number(f.metres));
        m_table->item(row, Vo2Column)->setText(OneDecimal(f.vo2max));
        m_table->item(row, RatingColumn)
            ->setText(f.rating.empty() ? QStringLiteral("–") : QString::fromStdString(f.rating));
    } else {
        m_table->item(row, MetresColumn)->setText(QString());
        m_table->item(row, Vo2Column)->setText(QString());
        m_table->item(row, RatingColumn)
            ->setText(r.include ? QString::fromStdString(problem) : QStringLiteral("–"));
    }
    if (!m_filling) {
        // The correction is on disk before anything else happens: a crash during the review
        // keeps it.
        m_run.Correct(static_cast<std::size_t>(row), r.include ? r.level : 0, r.include ? r.shuttle : 0);
        grouptest::WriteJournal(global::GruppentestPath, m_run);
    }
    int taken = 0;
    for (const auto& each : m_rows)
        taken += each.include;
    m_summary->setText(
        QStringLiteral("%1 von %2 Ergebnissen werden übernommen.").arg(taken).arg(m_rows.size()));
}

std::vector<grouptest::ReviewRow> ReviewDialog::Rows() const {
    return m_rows;
}

void ReviewDialog::TakeOver() {
    const int posted = grouptest::TakeOverRun(m_dataModule, m_run, m_rows, global::GruppentestPath);
    m_outcome = Outcome::Posted;
    const std::string done = std::to_string(posted) + " Ergebnisse wurden übernommen und gespeichert.";
    if (!onClassReportWanted || posted == 0) {
        platform::Dialogs().ShowMessage(done);
        accept();
        return;
    }
    const bool report =
        platform::Dialogs().AskYesNo(
            done + "\n\nDen Klassenbericht jetzt speichern? (Ein PDF mit der Klassenseite und einer "
                   "Seite je Schüler, dazu die Tabelle als Excel-Datei; später auch in der "
                   "Auswertung unter „Klassenbericht“.)") == platform::Answer::Yes;
    accept();
    // Once this dialog is closed and the roster says what became of the results.
    if (report && parentWidget())
        QTimer::singleShot(
            0, parentWidget(),
            [wanted = onClassReportWanted, group = m_run.GroupId(),
             day = grouptest::TestDay(m_run.StartTime())] { Guarded([&] { wanted(group, day); }); });
}

void ReviewDialog::Discard() {
    if (platform::Dialogs().AskYesNo(
            "Die Ergebnisse dieses Gruppentests verwerfen? Sie lassen sich danach nicht "
            "wiederherstellen.") != platform::Answer::Yes)
        return;
    grouptest::RemoveJournal(global::GruppentestPath);
    m_outcome = Outcome::Discarded;
    reject();
}

} // namespace ui
