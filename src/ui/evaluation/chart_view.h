#pragma once
// The charts of the evaluation window, the one place that knows Qt Charts: an athlete's
// VO2max over the test dates drawn over coloured bands of the rating norms (each band
// named by its rating word in the legend), and how many reached each rating word, women
// and men side by side. A chart renders into any painter too, for the printed report.
#include <QString>
#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QPainter;

namespace ui {

class ChartView : public QWidget {
    Q_OBJECT
public:
    // One test on the progress chart, with the norm bands that applied at that date (the
    // five lower bounds of "schlecht" .. "überragend"; none below 13 years).
    struct ProgressPoint {
        int date = 0; // days since 30 December 1899
        double vo2max = 0;
        std::optional<std::array<double, 5>> bounds;
    };

    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    void ShowProgress(const QString& title, const std::vector<ProgressPoint>& points);
    // [0] women, [1] men; six counts each, from "sehr schlecht".
    void ShowRatingCounts(const QString& title, const std::array<std::array<int, 6>, 2>& counts);
    // An empty chart with a note ("keine Ergebnisse").
    void ShowNothing(const QString& note);

    // The chart as it is now, drawn into `target` of `painter` (for reports).
    void Render(QPainter& painter, const QRectF& target);
    // The chart drawn at a size of its own, off any screen.
    QImage Picture(const QSize& size);

    // The colours of the six rating bands, from "sehr schlecht".
    static const std::array<QColor, 6> BandColours;

private:
    class Impl;
    Impl* m_impl;
};

} // namespace ui
