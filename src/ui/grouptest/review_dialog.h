#pragma once
// The review after a group test ("Gruppentest prüfen – <Gruppe>"): a row per athlete with
// name, level and shuttle (editable), distance, VO2max and rating as the results table will
// compute them, and whether the row is taken over. Every correction goes into the journal at
// once. "Übernehmen" takes the run over (results posted, file saved, journal removed, safe
// against a crash at any step); "Verwerfen" asks first and removes the journal; "Später"
// keeps the journal for the next start. A row whose athlete is gone or renamed since the
// test cannot be taken over.
#include "grouptest/review.h"

#include <QDialog>

#include <cstdint>
#include <functional>

class TDM1;
class QLabel;
class QTableWidget;

namespace ui {

class ReviewDialog : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { Posted, Discarded, Later };

    ReviewDialog(TDM1& dataModule, const grouptest::GroupRun& run, QWidget* parent = nullptr);

    Outcome Result() const { return m_outcome; }
    // Once the results are taken over: asks whether the class's handout is to be saved now,
    // and when so, calls this with the group and the test day after the dialog has closed.
    std::function<void(std::int64_t groupId, int day)> onClassReportWanted;

    // The handlers, for tests.
    void TakeOver();
    void Discard();
    QTableWidget* Table() const { return m_table; }
    std::vector<grouptest::ReviewRow> Rows() const;

private:
    void Fill();
    void RowChanged(int row);

    TDM1& m_dataModule;
    grouptest::GroupRun m_run; // as the journal holds it, with the review's corrections
    std::vector<grouptest::ReviewRow> m_rows;
    bool m_filling = false;
    int m_day;
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;
    Outcome m_outcome = Outcome::Later;
};

} // namespace ui
