#include "chart_view.h"

#include <QApplication>
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
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

// Days since 30 December 1899 as the milliseconds of a date-time axis.
double DateMs(double days) {
    static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return static_cast<double>(zero.addMSecs(static_cast<qint64>(days * 86400000.0)).toMSecsSinceEpoch());
}

// Whole numbers on the ticks: a step of 1, 2, 5, 10 ... that needs at most ten ticks.
std::pair<int, int> CountAxis(int most) {
    most = std::max(1, most);
    int step = 1;
    for (int power = 1; most > step * 10; power *= 10)
        for (int factor : {1, 2, 5})
            if (most <= (step = factor * power) * 10)
                break;
    const int top = (most + step - 1) / step * step;
    return {top, top / step + 1};
}

} // namespace

// A chart is built once for its kind (progress or ratings); later showings only replace its
// data and ranges: building series, axes and legend anew costs more than drawing them.
class ChartView::Impl {
public:
    enum class Kind { None, Progress, Ratings };

    explicit Impl(QWidget* parent) : chart(new QChart), view(new QChartView(chart, parent)) {
        view->setRenderHint(QPainter::Antialiasing, true);
        chart->legend()->setAlignment(Qt::AlignBottom);
        chart->setMargins(QMargins(4, 4, 4, 4));
        chart->setBackgroundRoundness(0);
        QFont font = chart->titleFont();
        font.setBold(true);
        chart->setTitleFont(font);
    }

    void BuildProgress() {
        if (kind == Kind::Progress)
            return;
        Clear();
        kind = Kind::Progress;
        dateAxis = new QDateTimeAxis;
        dateAxis->setFormat(QStringLiteral("dd.MM.yyyy"));
        valueAxis = new QValueAxis;
        valueAxis->setTitleText(QStringLiteral("VO2max (ml/kg/min)"));
        valueAxis->setLabelFormat(QStringLiteral("%.0f"));
        chart->addAxis(dateAxis, Qt::AlignBottom);
        chart->addAxis(valueAxis, Qt::AlignLeft);
        for (int k = 0; k < 6; ++k) {
            auto* upper = new QLineSeries;
            auto* lower = new QLineSeries;
            auto* band = new QAreaSeries(upper, lower);
            upper->setParent(band); // an area series does not own its edges
            lower->setParent(band);
            band->setName(QString::fromUtf8(Words[k]));
            band->setColor(BandColours[static_cast<std::size_t>(k)]);
            band->setBorderColor(BandColours[static_cast<std::size_t>(k)].darker(115));
            Attach(band);
            bands[static_cast<std::size_t>(k)] = band;
        }
        line = new QLineSeries;
        line->setName(QStringLiteral("VO2max"));
        QPen pen(QColor(40, 40, 122));
        pen.setWidth(3);
        line->setPen(pen);
        dots = new QScatterSeries;
        dots->setMarkerSize(9);
        dots->setColor(QColor(40, 40, 122));
        Attach(line);
        Attach(dots);
        for (QLegendMarker* marker : chart->legend()->markers(dots))
            marker->setVisible(false);
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

    void Clear() {
        chart->removeAllSeries();
        for (QAbstractAxis* axis : chart->axes()) {
            chart->removeAxis(axis);
            delete axis;
        }
        kind = Kind::None;
        bands = {};
        line = nullptr;
        dots = nullptr;
        women = men = nullptr;
        dateAxis = nullptr;
        valueAxis = nullptr;
    }

    void Attach(QAbstractSeries* series) {
        chart->addSeries(series);
        series->attachAxis(dateAxis);
        series->attachAxis(valueAxis);
    }

    QChart* chart;
    QChartView* view;
    Kind kind = Kind::None;
    std::array<QAreaSeries*, 6> bands{};
    QLineSeries* line = nullptr;
    QScatterSeries* dots = nullptr;
    QBarSet* women = nullptr;
    QBarSet* men = nullptr;
    QDateTimeAxis* dateAxis = nullptr;
    QValueAxis* valueAxis = nullptr;
};

ChartView::ChartView(QWidget* parent) : QWidget(parent), m_impl(new Impl(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_impl->view);
}

ChartView::~ChartView() {
    delete m_impl;
}

void ChartView::ShowNothing(const QString& note) {
    m_impl->Clear();
    m_impl->chart->setTitle(note);
    m_impl->chart->legend()->hide();
}

void ChartView::ShowProgress(const QString& title, const std::vector<ProgressPoint>& points) {
    if (points.empty()) {
        ShowNothing(title + QStringLiteral(" – keine Ergebnisse"));
        return;
    }
    m_impl->BuildProgress();
    m_impl->chart->setTitle(title);
    m_impl->chart->legend()->show();
    double top = 0;
    for (const ProgressPoint& p : points) {
        top = std::max(top, p.vo2max);
        if (p.bounds)
            top = std::max(top, (*p.bounds)[4]);
    }
    top = std::ceil((top + 8) / 10) * 10;
    // Half a month before the first and after the last test, so that one test has room.
    const double first = points.front().date - 15;
    const double last = points.back().date + 15;
    m_impl->dateAxis->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(DateMs(first)), Qt::UTC),
                               QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(DateMs(last)), Qt::UTC));
    m_impl->dateAxis->setTickCount(std::clamp(static_cast<int>(points.size()) + 1, 2, 7));
    m_impl->valueAxis->setRange(0, top);

    // The bands, as steps: the norms of the age at each test hold until the next test.
    std::vector<std::pair<double, std::array<double, 5>>> steps;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!points[i].bounds)
            continue;
        const double from = i == 0 ? first : (points[i - 1].date + points[i].date) / 2.0;
        steps.emplace_back(from, *points[i].bounds);
    }
    for (int k = 0; k < 6; ++k) {
        QList<QPointF> upper, lower;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const double from = steps[i].first;
            const double to = i + 1 < steps.size() ? steps[i + 1].first : last;
            const auto& b = steps[i].second;
            const double low = k == 0 ? 0 : b[static_cast<std::size_t>(k - 1)];
            const double high = k == 5 ? top : b[static_cast<std::size_t>(k)];
            for (double x : {from, to}) {
                lower.append(QPointF(DateMs(x), low));
                upper.append(QPointF(DateMs(x), high));
            }
        }
        QAreaSeries* band = m_impl->bands[static_cast<std::size_t>(k)];
        band->upperSeries()->replace(upper);
        band->lowerSeries()->replace(lower);
        band->setVisible(!steps.empty()); // below 13 years there are no norms
    }
    QList<QPointF> values;
    for (const ProgressPoint& p : points)
        values.append(QPointF(DateMs(p.date), p.vo2max));
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
    const auto [top, ticks] = CountAxis(most);
    m_impl->valueAxis->setRange(0, top);
    m_impl->valueAxis->setTickCount(ticks);
}

void ChartView::Render(QPainter& painter, const QRectF& target) {
    m_impl->view->render(&painter, target);
}

QImage ChartView::Picture(const QSize& size) {
    // A chart lays itself out for the size of its view: give the view that size first.
    const QSize before = m_impl->view->size();
    m_impl->view->resize(size);
    QResizeEvent resize(size, before);
    QApplication::sendEvent(m_impl->view, &resize);
    m_impl->chart->resize(QSizeF(size));
    // The chart lays out its series in posted events; let them run before it is drawn.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    m_impl->view->scene()->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)),
                                  QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

} // namespace ui
