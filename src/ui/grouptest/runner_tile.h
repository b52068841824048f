#pragma once
// One athlete of a group test as a large tile, readable from two metres: the tile's key and
// number, the first name with the initial of the name, and the state — running (white),
// warned (yellow, missed the line once), out (grey, with the level and shuttle that count).
// A press anywhere on it is a tap; the tile tells when the press was made.
#include "grouptest/group_run.h"

#include <QWidget>

namespace ui {

class RunnerTile : public QWidget {
    Q_OBJECT
public:
    RunnerTile(std::size_t index, QWidget* parent = nullptr);

    // `started`: the test has begun (before, every tile says "bereit").
    void Show(const grouptest::Runner& runner, bool started = true);
    std::size_t Index() const { return m_index; }
    const QString& StateText() const { return m_state; }

signals:
    // `eventTime`: the press's own time stamp (milliseconds, the window system's clock).
    void tapped(std::size_t index, qint64 eventTime);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::size_t m_index;
    QString m_key;
    QString m_name;
    QString m_state;
    grouptest::RunnerState m_runnerState = grouptest::RunnerState::Running;
};

} // namespace ui
