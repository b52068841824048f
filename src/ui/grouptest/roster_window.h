#pragma once
// The roster of a group test ("Gruppentest – <Gruppe>"), a window of its own beside the main
// window, which stays usable: START and STOP here and there run the same test. One large
// tile per athlete; while the test runs, a tap on a tile (a click, a touch, or the key shown
// on it) marks a warning, a second marks the athlete out at the shuttle that counts at the
// moment of the tap, a third lets the athlete run again. The group test's session keeps the
// run, its journal and the question at its end; the roster shows it and hands the taps over.
#include "grouptest/group_test_session.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class TDM1;
class TestRunController;
class QGridLayout;
class QLabel;
class QPushButton;
class QTimer;

namespace ui {

class RunnerTile;

class RosterWindow : public QWidget, private grouptest::SessionView {
    Q_OBJECT
public:
    // `start` and `stop` are the main window's START and STOP; the session outlives the window.
    RosterWindow(TDM1& dataModule, grouptest::GroupTestSession& session, TestRunController& controller,
                 std::function<void()> start, std::function<void()> stop, QWidget* parent = nullptr);
    ~RosterWindow() override;

    // A tap on runner `index` made at `moment` (the clock seam's local time).
    void Tap(std::size_t index, std::int64_t moment);
    void OpenReview();
    // Handed on to the review: the class's handout wanted after the take-over.
    std::function<void(std::int64_t groupId, int day)> onClassReportWanted;
    void ShowHelp();
    // "Nachzügler …": a pupil who arrives late is chosen from the stored athletes (the
    // group's members first) and runs from now on, with a tile and a key of its own.
    void AddLatecomer();
    // A tile's key pressed in this window or in the main window during the run; true when
    // it was one.
    bool TileKey(QKeyEvent* event);

    const grouptest::GroupRun& Run() const { return m_session.Run(); }
    RunnerTile* Tile(std::size_t index) const { return m_tiles[index]; }
    // The moment a press with the window system's time stamp `eventTime` was made, on the
    // clock seam: the stamp plus the smallest difference seen between the two clocks (that of
    // an event handled at once), at most two seconds before now; a stamp of 0 is taken as now.
    std::int64_t MomentOf(qint64 eventTime);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What the session tells.
    void RunnerChanged(std::size_t index) override;
    void RunnerAdded(std::size_t index) override;
    void StageChanged() override;
    void RunBegan() override;
    void RunEnding() override;
    void ReviewDue() override;

    void UpdateStatus();
    void ArrangeTiles();
    void AddTile(std::size_t index);

    TDM1& m_dataModule;
    grouptest::GroupTestSession& m_session;
    TestRunController& m_controller;
    std::vector<RunnerTile*> m_tiles;
    QWidget* m_tileArea = nullptr;
    QGridLayout* m_grid = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_review = nullptr;
    QTimer* m_clockTimer = nullptr;
    bool m_haveOffset = false;
    std::int64_t m_eventOffset = 0;
};

} // namespace ui
