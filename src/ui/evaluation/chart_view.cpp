#include "chart_view.h"

#include "evaluation/chart_ticks.h"

#include <QApplication>
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QResizeEvent>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace ui {

const std::array<QColor, 6> ChartView::BandColours{QColor(0xF4, 0xA3, 0xA3), QColor(0xF8, 0xC8, 0x9C),
                                                   QColor(0xF5, 0xE6, 0x9A), QColor(0xC8, 0xE6, 0xA0),
                                                   QColor(0x9E, 0xD8, 0xA8), QColor(0x8C, 0xC4, 0xE8)};

namespace {

const char* const Words[6] = {"sehr schlecht", "schlecht", "ok", "gut", "sehr gut", "überragend"};

// Room a label needs along its axis, in pixels: so many ticks fit the plot.
constexpr double DateLabelWidth = 80;
constexpr double ValueLabelHeight = 36;

int FittingTicks(double length, double perTick, int least) {
    return std::max(least, static_cast<int>(length / perTick));
}

// Whole steps from 0: every label shows its value exactly.
void SetValueTicks(QValueAxis* axis, double most, double plotHeight, double smallestStep) {
    const auto ticks =
        evaluation::NiceTicks(most, FittingTicks(plotHeight, ValueLabelHeight, 2), smallestStep);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(ticks.step);
    axis->setRange(0, ticks.top);
}

} // namespace

// A chart is built once for its kind (progress, ratings or trend); later showings only
// replace its data and ranges: building series, axes and legend anew costs more than
// drawing them.
class ChartView::Impl {
public:
    enum class Kind { None, Progress, Ratings, Trend };

    explicit Impl(QWidget* parent) : chart(new QChart), view(new QChartView(chart, parent)) {
        view->setRenderHint(QPainter::Antialiasing, true);
        view->setAccessibleName(QStringLiteral("Diagramm"));
        view->viewport()->setAccessibleName(QStringLiteral("Diagrammfläche"));
        chart->legend()->setAlignment(Qt::AlignBottom);
        chart->setMargins(QMargins(4, 4, 4, 4));
        chart->setBackgroundRoundness(0);
        QFont font = chart->titleFont();
        font.setBold(true);
        chart->setTitleFont(font);
    }

    QCategoryAxis* MakeDateAxis() {
        auto* axis = new QCategoryAxis;
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        chart->addAxis(axis, Qt::AlignBottom);
        return axis;
    }

    // A chart over dates: the date axis below, a value axis of whole numbers on the left.
    void StartDateChart(Kind newKind, const QString& valueTitle) {
        Clear();
        kind = newKind;
        dateAxis = MakeDateAxis();
        valueAxis = new QValueAxis;
        valueAxis->setTitleText(valueTitle);
        valueAxis->setLabelFormat(QStringLiteral("%.0f"));
        chart->addAxis(valueAxis, Qt::AlignLeft);
    }

    // The dark line with its dots that carries the values.
    void MakeValueLine(const QString& name) {
        line = new QLineSeries;
        line->setName(name);
        QPen pen(QColor(40, 40, 122));
        pen.setWidth(3);
        line->setPen(pen);
        dots = new QScatterSeries;
        dots->setMarkerSize(9);
        dots->setColor(QColor(40, 40, 122));
    }

    void BuildProgress() {
        if (kind == Kind::Progress)
            return;
        StartDateChart(Kind::Progress, QStringLiteral("VO2max (ml/kg/min)"));
        for (int k = 0; k < 6; ++k) {
            auto* upper = new QLineSeries;
            auto* lower = new QLineSeries;
            auto* band = new QAreaSeries(upper, lower);
            upper->setParent(band); // an area series does not own its edges
            lower->setParent(band);
            band->setName(QString::fromUtf8(Words[k]));
            band->setColor(BandColours[static_cast<std::size_t>(k)]);
            band->setBorderColor(BandColours[static_cast<std::size_t>(k)].darker(115));
            Attach(band, valueAxis);
            bands[static_cast<std::size_t>(k)] = band;
        }
        MakeValueLine(QStringLiteral("VO2max"));
        Attach(line, valueAxis);
        Attach(dots, valueAxis);
        HideFromLegend(dots);
    }

    void BuildRatings() {
        if (kind == Kind::Ratings)
            return;
        Clear();
        kind = Kind::Ratings;
        women = new QBarSet(QStringLiteral("Frauen"));
        men = new QBarSet(QStringLiteral("Männer"));
        women->setColor(QColor(255, 128, 128));
        men->setColor(QColor(128, 128, 255));
        for (int k = 0; k < 6; ++k) {
            *women << 0;
            *men << 0;
        }
        auto* series = new QBarSeries;
        series->append(women);
        series->append(men);
        chart->addSeries(series);
        auto* words = new QBarCategoryAxis;
        // Two-word ratings on two lines, so that six of them stand side by side in full.
        for (const char* word : Words)
            words->append(QString::fromUtf8(word)
                              .replace(QLatin1Char(' '), QStringLiteral("<br>"))
                              .replace(QStringLiteral("überragend"), QStringLiteral("über-<br>ragend")));
        valueAxis = new QValueAxis;
        valueAxis->setLabelFormat(QStringLiteral("%.0f"));
        valueAxis->setTitleText(QStringLiteral("Anzahl"));
        chart->addAxis(words, Qt::AlignBottom);
        chart->addAxis(valueAxis, Qt::AlignLeft);
        series->attachAxis(words);
        series->attachAxis(valueAxis);
    }

    void BuildTrend() {
        if (kind == Kind::Trend)
            return;
        StartDateChart(Kind::Trend, QStringLiteral("Mittel VO2max"));
        shareAxis = new QValueAxis;
        shareAxis->setTitleText(QStringLiteral("Gesundheitszone (%)"));
        shareAxis->setLabelFormat(QStringLiteral("%.0f"));
        shareAxis->setRange(0, 100);
        shareAxis->setTickType(QValueAxis::TicksDynamic);
        shareAxis->setTickAnchor(0);
        shareAxis->setTickInterval(25);
        shareAxis->setGridLineVisible(false);
        chart->addAxis(shareAxis, Qt::AlignRight);
        MakeValueLine(QStringLiteral("Mittel VO2max"));
        share = new QLineSeries;
        share->setName(QStringLiteral("Anteil in der Gesundheitszone"));
        QPen sharePen(QColor(40, 140, 70));
        sharePen.setWidth(2);
        sharePen.setStyle(Qt::DashLine);
        share->setPen(sharePen);
        shareDots = new QScatterSeries;
        shareDots->setMarkerSize(7);
        shareDots->setColor(QColor(40, 140, 70));
        Attach(line, valueAxis);
        Attach(dots, valueAxis);
        Attach(share, shareAxis);
        Attach(shareDots, shareAxis);
        HideFromLegend(dots);
        HideFromLegend(shareDots);
    }

    void Clear() {
        chart->removeAllSeries();
        for (QAbstractAxis* axis : chart->axes()) {
            chart->removeAxis(axis);
            delete axis;
        }
        kind = Kind::None;
        bands = {};
        line = share = nullptr;
        dots = shareDots = nullptr;
        women = men = nullptr;
        dateAxis = nullptr;
        valueAxis = shareAxis = nullptr;
    }

    void Attach(QAbstractSeries* series, QValueAxis* vertical) {
        chart->addSeries(series);
        series->attachAxis(dateAxis);
        series->attachAxis(vertical);
    }

    void HideFromLegend(QAbstractSeries* series) {
        for (QLegendMarker* marker : chart->legend()->markers(series))
            marker->setVisible(false);
    }

    // The plot's size: the view less the chart's title, axes and legend. Estimated from the
    // view, so that it holds before the chart's first layout too (a chart on a hidden tab).
    QSizeF PlotSize() const {
        const double labels = kind == Kind::Ratings ? 150 : 130; // two-line rating words below
        return QSizeF(std::max(100, view->width() - (kind == Kind::Trend ? 170 : 110)),
                      std::max(60.0, view->height() - labels));
    }

    // The date ticks for the span shown, as many as the width takes.
    void UpdateDateTicks() {
        if (!dateAxis)
            return;
        for (const QString& label : dateAxis->categoriesLabels())
            dateAxis->remove(label);
        dateAxis->setStartValue(first);
        const auto ticks = evaluation::DateTicks(
            first, last, FittingTicks(PlotSize().width(), DateLabelWidth, 2), tickDates);
        double previous = first;
        for (const evaluation::DateTick& tick : ticks)
            if (tick.day > previous) { // a category needs room of its own
                dateAxis->append(QString::fromStdString(tick.label), tick.day);
                previous = tick.day;
            }
        dateAxis->setRange(first, last);
    }

    void UpdateValueTicks() {
        if (valueAxis && kind != Kind::None)
            SetValueTicks(valueAxis, valueMost, PlotSize().height(), kind == Kind::Ratings ? 1 : 5);
    }

    QChart* chart;
    QChartView* view;
    Kind kind = Kind::None;
    std::array<QAreaSeries*, 6> bands{};
    QLineSeries* line = nullptr;
    QScatterSeries* dots = nullptr;
    QLineSeries* share = nullptr;
    QScatterSeries* shareDots = nullptr;
    QBarSet* women = nullptr;
    QBarSet* men = nullptr;
    QCategoryAxis* dateAxis = nullptr;
    QValueAxis* valueAxis = nullptr;
    QValueAxis* shareAxis = nullptr;
    // What the ticks are made from: the span of days, the dates of the tests, the highest value.
    int first = 0, last = 0;
    std::vector<int> tickDates;
    double valueMost = 1;
};

ChartView::ChartView(QWidget* parent) : QWidget(parent), m_impl(new Impl(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_impl->view);
}

ChartView::~ChartView() {
    delete m_impl;
}

std::pair<int, int> ChartView::ProgressRange(int first, int last) {
    // Half a month before the first and after the last test, so that one test has room.
    return {first - 15, last + 15};
}

void ChartView::ShowNothing(const QString& note) {
    m_impl->Clear();
    m_impl->chart->setTitle(note);
    m_impl->chart->legend()->hide();
}

QStringList ChartView::ShownSeries() const {
    QStringList names;
    for (const QAbstractSeries* series : m_impl->chart->series())
        if (series->isVisible())
            names << series->name();
    return names;
}

void ChartView::ShowZoneProgress(const QString& title, const std::vector<ProgressPoint>& points,
                                 const std::vector<ZoneStep>& zones) {
    // Drawn on the bands of the norms: the first three carry the zone (risk, needs
    // improvement, healthy), the other three stay empty and out of the legend.
    std::vector<NormStep> steps;
    for (const ZoneStep& z : zones)
        steps.push_back({z.fromDay, std::array<double, 5>{z.risk, z.healthy, 0, 0, 0}});
    ShowProgress(title, points, steps);
    if (points.empty())
        return;
    static const char* const Names[] = {"Verbesserung nötig – Risiko", "Verbesserung nötig",
                                        "Gesundheitszone"};
    static const QColor Colours[] = {QColor(0xF4, 0xA3, 0xA3), QColor(0xF6, 0xE3, 0x8F),
                                     QColor(0xA8, 0xD8, 0xA0)};
    const double top = m_impl->valueAxis->max();
    for (int k = 0; k < 6; ++k) {
        QAreaSeries* band = m_impl->bands[static_cast<std::size_t>(k)];
        if (k >= 3) {
            band->setVisible(false);
            continue;
        }
        band->setName(QString::fromUtf8(Names[k]));
        band->setColor(Colours[k]);
        band->setBorderColor(Colours[k].darker(115));
        if (k == 2) { // healthy: up to the top of the chart
            QList<QPointF> upper = band->upperSeries()->points();
            for (QPointF& p : upper)
                p.setY(top);
            band->upperSeries()->replace(upper);
        }
    }
}

void ChartView::ShowProgress(const QString& title, const std::vector<ProgressPoint>& points,
                             const std::vector<NormStep>& norms) {
    if (points.empty()) {
        ShowNothing(title + QStringLiteral(" – keine Ergebnisse"));
        return;
    }
    m_impl->BuildProgress();
    // The bands named and coloured for the norms (a pupil's zone chart renames three).
    for (int k = 0; k < 6; ++k) {
        QAreaSeries* band = m_impl->bands[static_cast<std::size_t>(k)];
        band->setName(QString::fromUtf8(Words[k]));
        band->setColor(BandColours[static_cast<std::size_t>(k)]);
        band->setBorderColor(BandColours[static_cast<std::size_t>(k)].darker(115));
    }
    m_impl->chart->setTitle(title);
    m_impl->chart->legend()->show();
    const auto [first, last] = ProgressRange(points.front().date, points.back().date);
    double most = 0;
    m_impl->tickDates.clear();
    for (const ProgressPoint& p : points) {
        most = std::max(most, p.vo2max);
        m_impl->tickDates.push_back(p.date);
    }
    bool anyNorms = false;
    for (const NormStep& step : norms)
        if (step.bounds) {
            most = std::max(most, *std::max_element(step.bounds->begin(), step.bounds->end()));
            anyNorms = true;
        }
    // Room above the highest value or bound, so that the top band shows.
    m_impl->valueMost = most + 8;
    m_impl->first = first;
    m_impl->last = last;
    m_impl->UpdateDateTicks();
    m_impl->UpdateValueTicks();
    const double top = m_impl->valueAxis->max();

    // The bands, as steps: each norm holds from its day until the next.
    for (int k = 0; k < 6; ++k) {
        QList<QPointF> upper, lower;
        for (std::size_t i = 0; i < norms.size(); ++i) {
            if (!norms[i].bounds)
                continue;
            const double from = std::max(norms[i].fromDay, first);
            const double to = i + 1 < norms.size() ? std::min(norms[i + 1].fromDay, last) : last;
            if (to <= from)
                continue;
            const auto& b = *norms[i].bounds;
            const double low = k == 0 ? 0 : b[static_cast<std::size_t>(k - 1)];
            const double high = k == 5 ? top : b[static_cast<std::size_t>(k)];
            for (double x : {from, to}) {
                lower.append(QPointF(x, low));
                upper.append(QPointF(x, high));
            }
        }
        QAreaSeries* band = m_impl->bands[static_cast<std::size_t>(k)];
        band->upperSeries()->replace(upper);
        band->lowerSeries()->replace(lower);
        band->setVisible(anyNorms); // below 13 years there are no norms
    }
    QList<QPointF> values;
    for (const ProgressPoint& p : points)
        values.append(QPointF(p.date, p.vo2max));
    m_impl->line->replace(values);
    m_impl->dots->replace(values);
}

void ChartView::ShowRatingCounts(const QString& title, const std::array<std::array<int, 6>, 2>& counts) {
    m_impl->BuildRatings();
    m_impl->chart->setTitle(title);
    m_impl->chart->legend()->show();
    int most = 0;
    for (int k = 0; k < 6; ++k) {
        const int w = counts[0][static_cast<std::size_t>(k)], m = counts[1][static_cast<std::size_t>(k)];
        m_impl->women->replace(k, w);
        m_impl->men->replace(k, m);
        most = std::max({most, w, m});
    }
    m_impl->valueMost = std::max(1, most);
    m_impl->UpdateValueTicks();
}

void ChartView::ShowTrend(const QString& title, const std::vector<TrendPoint>& days) {
    if (days.empty()) {
        ShowNothing(title + QStringLiteral(" – keine Testtage"));
        return;
    }
    m_impl->BuildTrend();
    m_impl->chart->setTitle(title);
    m_impl->chart->legend()->show();
    const auto [first, last] = ProgressRange(days.front().date, days.back().date);
    QList<QPointF> means, shares;
    double most = 1;
    m_impl->tickDates.clear();
    for (const TrendPoint& day : days) {
        m_impl->tickDates.push_back(day.date);
        if (day.meanVo2) {
            means.append(QPointF(day.date, *day.meanVo2));
            most = std::max(most, *day.meanVo2);
        }
        if (day.healthyShare)
            shares.append(QPointF(day.date, *day.healthyShare * 100));
    }
    m_impl->first = first;
    m_impl->last = last;
    m_impl->valueMost = most + 5;
    m_impl->UpdateDateTicks();
    m_impl->UpdateValueTicks();
    m_impl->line->replace(means);
    m_impl->dots->replace(means);
    m_impl->share->replace(shares);
    m_impl->shareDots->replace(shares);
    m_impl->share->setVisible(!shares.isEmpty());
    m_impl->shareDots->setVisible(!shares.isEmpty());
}

void ChartView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The ticks that fit depend on the size: more of them on a wider chart, fewer on a smaller.
    m_impl->UpdateDateTicks();
    m_impl->UpdateValueTicks();
}

std::vector<ChartView::AxisTick> ChartView::Ticks(Qt::Orientation orientation) const {
    std::vector<AxisTick> ticks;
    if (orientation == Qt::Horizontal) {
        if (m_impl->dateAxis)
            for (const QString& label : m_impl->dateAxis->categoriesLabels())
                ticks.push_back({m_impl->dateAxis->endValue(label), label});
        return ticks;
    }
    const QValueAxis* axis = m_impl->valueAxis;
    if (!axis)
        return ticks;
    if (axis->tickType() == QValueAxis::TicksDynamic) {
        for (double v = axis->tickAnchor(); v <= axis->max() + 1e-9; v += axis->tickInterval())
            if (v >= axis->min() - 1e-9)
                ticks.push_back({v, QString::asprintf(axis->labelFormat().toLatin1().constData(), v)});
    } else {
        const int count = axis->tickCount();
        for (int k = 0; k < count; ++k) {
            const double v = axis->min() + (axis->max() - axis->min()) * k / std::max(1, count - 1);
            ticks.push_back({v, QString::asprintf(axis->labelFormat().toLatin1().constData(), v)});
        }
    }
    return ticks;
}

void ChartView::RenderInto(QPainter& painter, const QRectF& target, const QSize& layoutSize) {
    // A chart lays itself out for the size of its view: give the view that size first.
    const QSize before = m_impl->view->size();
    m_impl->view->resize(layoutSize);
    QResizeEvent resize(layoutSize, before);
    QApplication::sendEvent(m_impl->view, &resize);
    m_impl->chart->resize(QSizeF(layoutSize));
    m_impl->UpdateDateTicks();
    m_impl->UpdateValueTicks();
    // The chart lays out its series in posted events; let them run before it is drawn.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_impl->view->scene()->render(&painter, target, QRectF(QPointF(0, 0), QSizeF(layoutSize)));
}

QImage ChartView::Picture(const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    RenderInto(painter, QRectF(QPointF(0, 0), QSizeF(size)), size);
    painter.end();
    return image;
}

} // namespace ui
