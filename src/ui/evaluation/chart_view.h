#pragma once
// The charts of the evaluation window, the one place that knows Qt Charts: an athlete's
// VO2max over the test dates drawn over coloured bands of the rating norms (each band
// named by its rating word in the legend, stepping on the first of January when the
// athlete's age group changes); how many reached each rating word, women and men side by
// side; and how a group developed over its test days. Every axis label is exact: values on
// whole steps, dates on month or year starts. A chart renders into any painter too, as
// vector graphics, for the printed reports.
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
    // One test on the progress chart.
    struct ProgressPoint {
        int date = 0; // days since 30 December 1899
        double vo2max = 0;
    };
    // The norms from a day on (the five lower bounds of "schlecht" .. "überragend"; none
    // below 13 years), until the next step.
    struct NormStep {
        int fromDay = 0;
        std::optional<std::array<double, 5>> bounds;
    };
    // The health zone's bounds from a day on (risk at or below, healthy at or above), until
    // the next step: for a pupil of 10 to 19 years.
    struct ZoneStep {
        int fromDay = 0;
        double risk = 0, healthy = 0;
    };
    // One test day of a group.
    struct TrendPoint {
        int date = 0;
        std::optional<double> meanVo2;
        std::optional<double> healthyShare; // 0 to 1
    };

    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    // The days the progress chart spans for tests from `first` to `last`.
    static std::pair<int, int> ProgressRange(int first, int last);

    void ShowProgress(const QString& title, const std::vector<ProgressPoint>& points,
                      const std::vector<NormStep>& norms);
    // The same over the zone's three bands ("Risiko", "Verbesserung nötig", "Gesundheitszone"),
    // with the children's equation's VO2max as the points.
    void ShowZoneProgress(const QString& title, const std::vector<ProgressPoint>& points,
                          const std::vector<ZoneStep>& zones);
    // [0] women, [1] men; six counts each, from "sehr schlecht".
    void ShowRatingCounts(const QString& title, const std::array<std::array<int, 6>, 2>& counts);
    void ShowTrend(const QString& title, const std::vector<TrendPoint>& days);
    // An empty chart with a note ("keine Ergebnisse").
    void ShowNothing(const QString& note);

    // The chart laid out at `layoutSize` and drawn, scaled, into `target` of `painter` as
    // vector graphics (for reports).
    void RenderInto(QPainter& painter, const QRectF& target, const QSize& layoutSize);
    // The chart drawn at a size of its own, off any screen.
    QImage Picture(const QSize& size);

    // The ticks of an axis as they stand, with their labels (for tests).
    struct AxisTick {
        double value = 0;
        QString label;
    };
    std::vector<AxisTick> Ticks(Qt::Orientation orientation) const;
    // The names of the series shown, in order (for tests).
    QStringList ShownSeries() const;

    // The colours of the six rating bands, from "sehr schlecht".
    static const std::array<QColor, 6> BandColours;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Impl;
    Impl* m_impl;
};

} // namespace ui
