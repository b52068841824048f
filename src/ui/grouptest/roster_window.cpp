#include "roster_window.h"

#include "data/DModule.h"
#include "data/groups.h"
#include "data/text_encoding.h"
#include "evaluation/global.h"
#include "evaluation/results_analysis.h"
#include "grouptest/journal.h"
#include "grouptest/review.h"
#include "pacing/run_controller.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "review_dialog.h"
#include "runner_tile.h"
#include "ui/widgets/guard.h"
#include "ui/widgets/panel.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace ui {

RosterWindow::RosterWindow(TDM1& dataModule, grouptest::GroupTestSession& session,
                           TestRunController& controller, std::function<void()> start,
                           std::function<void()> stop, QWidget* parent)
    : QWidget(parent, Qt::Window), m_dataModule(dataModule), m_session(session), m_controller(controller) {
    setObjectName(QStringLiteral("RosterWindow"));
    setWindowTitle(QStringLiteral("Gruppentest – %1").arg(QString::fromStdString(Run().GroupName())));
    setFont(UiFont(16));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("RunStatus"));
    m_status->setFont(UiFont(28, true));
    // A long status ("Test beendet – bitte prüfen und übernehmen") wraps; it never widens the
    // window beyond the screen.
    m_status->setWordWrap(true);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    top->addWidget(m_status, 1);
    auto button = [&](const char* name, const QString& caption, auto handler) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus); // keys go to the tiles, never to a button
        b->setMinimumHeight(44);
        connect(b, &QPushButton::clicked, this, GuardedSlot(handler));
        top->addWidget(b);
        return b;
    };
    button("btn_start", QStringLiteral("START"), start);
    button("btn_stop", QStringLiteral("STOP"), stop);
    m_review = button("btn_review", QStringLiteral("Prüfen und übernehmen …"), [this] { OpenReview(); });
    button("btn_latecomer", QStringLiteral("Nachzügler …"), [this] { AddLatecomer(); });
    button("btn_help", QStringLiteral("Hilfe"), [this] { ShowHelp(); });
    button("btn_close", QStringLiteral("Schließen"), [this] { close(); });
    layout->addLayout(top);
    m_tileArea = new QWidget(this);
    m_grid = new QGridLayout(m_tileArea);
    m_grid->setSpacing(6);
    m_grid->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < Run().Runners().size(); ++i)
        AddTile(i);
    ArrangeTiles();
    layout->addWidget(m_tileArea, 1);
    setFocusPolicy(Qt::StrongFocus);

    m_session.SetView(this);
    m_clockTimer = new QTimer(this);
    m_clockTimer->setInterval(250);
    connect(m_clockTimer, &QTimer::timeout, this, [this] { UpdateStatus(); });
    m_clockTimer->start();
    UpdateStatus();
}

RosterWindow::~RosterWindow() {
    m_session.SetView(nullptr);
}

void RosterWindow::AddTile(std::size_t index) {
    auto* tile = new RunnerTile(index, m_tileArea);
    connect(tile, &RunnerTile::tapped, this, [this](std::size_t tapped, qint64 eventTime) {
        Guarded([&] { Tap(tapped, MomentOf(eventTime)); });
    });
    m_tiles.push_back(tile);
    RunnerChanged(index);
}

void RosterWindow::AddLatecomer() {
    if (Run().Finished()) {
        platform::Dialogs().ShowMessage("Der Test ist beendet; Nachzügler können nur vor oder während des "
                                        "Tests dazukommen.");
        return;
    }
    if (m_tiles.size() >= 36) {
        platform::Dialogs().ShowMessage("Mehr als 36 Sportler haben keine eigene Taste mehr.");
        return;
    }
    // Everyone stored who does not run yet: the group's members first, then the others, each
    // by name.
    data::Table& athletes = m_dataModule.cdsSportler;
    if (!athletes.Active())
        athletes.Open();
    std::vector<std::int64_t> members;
    try {
        members = data::GroupStore(m_dataModule).Get(Run().GroupId()).members;
    } catch (const std::exception&) {
        // the group is gone: everyone is a candidate alike
    }
    struct Candidate {
        bool member;
        std::string key, text;
        grouptest::Runner runner;
    };
    std::vector<Candidate> candidates;
    const int id = athletes.FindField("sportlerid"), year = athletes.FindField("Geburtsjahr");
    for (int row = 0; row < athletes.RecordCount(); ++row) {
        const data::Value athleteId = athletes.RecordValueAt(row, id);
        if (data::IsNull(athleteId))
            continue;
        const std::int64_t candidate = data::IntegerOf(athleteId);
        if (std::any_of(Run().Runners().begin(), Run().Runners().end(),
                        [&](const grouptest::Runner& each) { return each.athleteId == candidate; }))
            continue;
        std::optional<grouptest::Runner> stored = grouptest::StoredRunner(m_dataModule, candidate);
        if (!stored)
            continue;
        grouptest::Runner& r = *stored;
        const data::Value born = athletes.RecordValueAt(row, year);
        const bool member = std::find(members.begin(), members.end(), r.athleteId) != members.end();
        std::string text = r.name + ", " + r.firstName;
        if (!data::IsNull(born))
            text += " (" + std::to_string(data::IntegerOf(born)) + ")";
        candidates.push_back({member, evaluation::SearchKey(r.name + " " + r.firstName), text, std::move(r)});
    }
    if (candidates.empty()) {
        platform::Dialogs().ShowMessage("Alle gespeicherten Sportler laufen schon mit.");
        return;
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.member != b.member ? a.member : a.key < b.key;
    });
    std::vector<std::string> items;
    for (const Candidate& c : candidates)
        items.push_back(c.text);
    const auto chosen = platform::Dialogs().AskChoice(
        "Nachzügler", "Wer kommt dazu? (Mitglieder der Gruppe zuerst; läuft ab jetzt mit.)", items);
    if (!chosen || *chosen >= candidates.size())
        return;
    m_session.AddRunner(candidates[*chosen].runner);
}

void RosterWindow::RunnerAdded(std::size_t index) {
    if (index != m_tiles.size())
        return;
    AddTile(index);
    ArrangeTiles();
    UpdateStatus();
}

void RosterWindow::ArrangeTiles() {
    // Columns so that the tiles come out about 1.6 times as wide as high.
    const std::size_t n = std::max<std::size_t>(1, m_tiles.size());
    const double aspect =
        std::max(0.5, static_cast<double>(m_tileArea->width()) / std::max(1, m_tileArea->height()));
    int columns =
        std::max(1, static_cast<int>(std::lround(std::sqrt(static_cast<double>(n) * aspect / 1.6))));
    columns = std::min<int>(columns, static_cast<int>(n));
    for (RunnerTile* tile : m_tiles)
        m_grid->removeWidget(tile);
    for (std::size_t i = 0; i < m_tiles.size(); ++i)
        m_grid->addWidget(m_tiles[i], static_cast<int>(i) / columns, static_cast<int>(i) % columns);
}

void RosterWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ArrangeTiles();
}

std::int64_t RosterWindow::MomentOf(qint64 eventTime) {
    const std::int64_t now = platform::Clock().Now();
    if (eventTime <= 0)
        return now;
    const std::int64_t offset = now - eventTime;
    if (!m_haveOffset || offset < m_eventOffset) {
        m_eventOffset = offset;
        m_haveOffset = true;
    }
    // Never later than now, and never more than the grace of a tap earlier: a stamp that
    // strays further (another clock, a jump) is not trusted beyond that.
    return std::clamp<std::int64_t>(eventTime + m_eventOffset, now - grouptest::TapGraceMs, now);
}

void RosterWindow::RunBegan() {
    UpdateStatus();
    // START may have come from the main window: the tiles come to the front, and the keys
    // to them.
    raise();
    activateWindow();
}

void RosterWindow::Tap(std::size_t index, std::int64_t moment) {
    m_session.Tap(index, moment);
}

void RosterWindow::RunnerChanged(std::size_t index) {
    if (index >= m_tiles.size())
        return;
    m_tiles[index]->Show(Run().Runners()[index], Run().Started());
    m_tiles[index]->repaint(); // a tap is answered before the journal goes to disk
}

void RosterWindow::StageChanged() {
    UpdateStatus();
}

void RosterWindow::RunEnding() {
    // Told from inside the pacing's own handlers: the question comes once they are done.
    QTimer::singleShot(0, this, [this] { Guarded([this] { m_session.EndRun(platform::Clock().Now()); }); });
}

void RosterWindow::ReviewDue() {
    OpenReview();
}

void RosterWindow::UpdateStatus() {
    using grouptest::SessionStage;
    QString text;
    switch (m_session.Stage()) {
    case SessionStage::Running: {
        const std::int64_t now = platform::Clock().Now();
        m_session.NoteProgress(now);
        const std::int64_t elapsed = std::max<std::int64_t>(0, now - m_controller.TestStartTime());
        text = QStringLiteral("Level %1 · Durchgang %2 · %3:%4")
                   .arg(m_controller.CurrentLevel())
                   .arg(m_controller.ShuttleCounter())
                   .arg(elapsed / 60000)
                   .arg(elapsed / 1000 % 60, 2, 10, QLatin1Char('0'));
        break;
    }
    case SessionStage::Ending:
        text = QStringLiteral("Test beendet");
        break;
    case SessionStage::AwaitingReview:
        text = QStringLiteral("Test beendet – bitte prüfen und übernehmen");
        break;
    case SessionStage::Posted:
        text = QStringLiteral("Test beendet – Ergebnisse übernommen");
        break;
    case SessionStage::Discarded:
        text = QStringLiteral("Test beendet – Ergebnisse verworfen");
        break;
    case SessionStage::Ready:
        text = QStringLiteral("%1 Sportler · bereit für START").arg(Run().Runners().size());
        break;
    }
    m_status->setText(text);
    m_review->setEnabled(m_session.Stage() == SessionStage::AwaitingReview);
}

void RosterWindow::OpenReview() {
    if (m_session.Stage() != grouptest::SessionStage::AwaitingReview)
        return;
    ReviewDialog review(m_dataModule, Run(), this);
    review.onClassReportWanted = onClassReportWanted;
    review.exec();
    m_session.ReviewClosed(review.Result() == ReviewDialog::Outcome::Posted ? grouptest::SessionStage::Posted
                           : review.Result() == ReviewDialog::Outcome::Discarded
                               ? grouptest::SessionStage::Discarded
                               : grouptest::SessionStage::AwaitingReview);
}

void RosterWindow::ShowHelp() {
    platform::Dialogs().ShowMessage(
        "Gruppentest\n\n"
        "START und STOP hier oder im Hauptfenster steuern denselben Test.\n\n"
        "Während des Tests: ein Tipp auf eine Kachel (Maus, Finger oder die Taste in eckigen Klammern) "
        "markiert eine Warnung (gelb: Linie einmal verpasst), ein zweiter scheidet den Sportler aus (grau, "
        "mit Level und Durchgang), ein dritter nimmt das Ausscheiden zurück.\n\n"
        "Welcher Durchgang zählt: gezählt werden die Durchgänge, deren Signal mindestens zwei Sekunden vor "
        "dem Tipp ertönte. Ein Tipp kurz nach einem Signal gilt also diesem Signal (der Durchgang wurde "
        "verpasst), ein späterer Tipp dem laufenden Durchgang (der letzte wurde geschafft).\n\n"
        "Wer zu spät kommt, wird mit „Nachzügler …“ aufgenommen und läuft ab dann mit.\n\n"
        "Jeder Tipp wird sofort gespeichert. Nach dem Test lassen sich alle Werte in der Prüfliste "
        "berichtigen, bevor sie übernommen werden.");
}

bool RosterWindow::TileKey(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() != 1 || event->isAutoRepeat())
        return false;
    const auto index = grouptest::RunnerOfKey(text[0].toLatin1(), m_tiles.size());
    if (!index)
        return false;
    const std::int64_t moment = MomentOf(static_cast<qint64>(event->timestamp()));
    Guarded([&] { Tap(*index, moment); });
    return true;
}

void RosterWindow::keyPressEvent(QKeyEvent* event) {
    if (!TileKey(event))
        QWidget::keyPressEvent(event);
}

void RosterWindow::closeEvent(QCloseEvent* event) {
    if (m_controller.Running()) {
        platform::Dialogs().ShowMessage("Der Test läuft noch. Bitte erst STOP drücken.");
        event->ignore();
        return;
    }
    if (m_session.Stage() == grouptest::SessionStage::AwaitingReview &&
        platform::Dialogs().AskYesNo(
            "Die Ergebnisse sind noch nicht übernommen. Trotzdem schließen?\n(Sie bleiben "
            "gespeichert und werden beim nächsten Start angeboten.)") != platform::Answer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace ui
