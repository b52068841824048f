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
qint64 DateMs(double days) {
    static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return zero.addMSecs(static_cast<qint64>(days * 86400000.0)).toMSecsSinceEpoch();
}

} // namespace

class ChartView::Impl {
public:
    explicit Impl(QWidget* parent) : chart(new QChart), view(new QChartView(chart, parent)) {
        view->setRenderHint(QPainter::Antialiasing);
        chart->legend()->setAlignment(Qt::AlignBottom);
        chart->setMargins(QMargins(4, 4, 4, 4));
        chart->setBackgroundRoundness(0);
    }

    void Reset(const QString& title) {
        chart->removeAllSeries();
        for (QAbstractAxis* axis : chart->axes())
            chart->removeAxis(axis);
        chart->setTitle(title);
        QFont font = chart->titleFont();
        font.setBold(true);
        chart->setTitleFont(font);
    }

    QChart* chart;
    QChartView* view;
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
    m_impl->Reset(note);
    m_impl->chart->legend()->hide();
}

void ChartView::ShowProgress(const QString& title, const std::vector<ProgressPoint>& points) {
    m_impl->Reset(title);
    QChart* chart = m_impl->chart;
    if (points.empty()) {
        ShowNothing(title + QStringLiteral(" – keine Ergebnisse"));
        return;
    }
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

    auto* axisX = new QDateTimeAxis;
    axisX->setFormat(QStringLiteral("dd.MM.yyyy"));
    axisX->setRange(QDateTime::fromMSecsSinceEpoch(DateMs(first), Qt::UTC),
                    QDateTime::fromMSecsSinceEpoch(DateMs(last), Qt::UTC));
    axisX->setTickCount(std::clamp(static_cast<int>(points.size()) + 1, 2, 7));
    auto* axisY = new QValueAxis;
    axisY->setRange(0, top);
    axisY->setTitleText(QStringLiteral("VO2max (ml/kg/min)"));
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);

    // The bands, as steps: the norms of the age at each test hold until the next test.
    std::vector<std::pair<double, std::array<double, 5>>> steps;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!points[i].bounds)
            continue;
        const double from = i == 0 ? first : (points[i - 1].date + points[i].date) / 2.0;
        steps.emplace_back(from, *points[i].bounds);
    }
    if (!steps.empty()) {
        for (int k = 0; k < 6; ++k) {
            auto* upper = new QLineSeries;
            auto* lower = new QLineSeries;
            for (std::size_t i = 0; i < steps.size(); ++i) {
                const double from = steps[i].first;
                const double to = i + 1 < steps.size() ? steps[i + 1].first : last;
                const auto& b = steps[i].second;
                const double low = k == 0 ? 0 : b[static_cast<std::size_t>(k - 1)];
                const double high = k == 5 ? top : b[static_cast<std::size_t>(k)];
                for (double x : {from, to}) {
                    lower->append(static_cast<double>(DateMs(x)), low);
                    upper->append(static_cast<double>(DateMs(x)), high);
                }
            }
            auto* band = new QAreaSeries(upper, lower);
            band->setName(QString::fromUtf8(Words[k]));
            band->setColor(BandColours[static_cast<std::size_t>(k)]);
            band->setBorderColor(BandColours[static_cast<std::size_t>(k)].darker(115));
            chart->addSeries(band);
            band->attachAxis(axisX);
            band->attachAxis(axisY);
        }
    }
    auto* line = new QLineSeries;
    line->setName(QStringLiteral("VO2max"));
    auto* dots = new QScatterSeries;
    dots->setMarkerSize(9);
    for (const ProgressPoint& p : points) {
        line->append(static_cast<double>(DateMs(p.date)), p.vo2max);
        dots->append(static_cast<double>(DateMs(p.date)), p.vo2max);
    }
    QPen pen(QColor(40, 40, 122));
    pen.setWidth(3);
    line->setPen(pen);
    dots->setColor(QColor(40, 40, 122));
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{line, dots}) {
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    chart->legend()->show();
    for (QLegendMarker* marker : chart->legend()->markers(dots))
        marker->setVisible(false);
}

void ChartView::ShowRatingCounts(const QString& title, const std::array<std::array<int, 6>, 2>& counts) {
    m_impl->Reset(title);
    QChart* chart = m_impl->chart;
    auto* women = new QBarSet(QStringLiteral("Frauen"));
    auto* men = new QBarSet(QStringLiteral("Männer"));
    women->setColor(QColor(255, 128, 128));
    men->setColor(QColor(128, 128, 255));
    int most = 0;
    for (int k = 0; k < 6; ++k) {
        *women << counts[0][static_cast<std::size_t>(k)];
        *men << counts[1][static_cast<std::size_t>(k)];
        most =
            std::max({most, counts[0][static_cast<std::size_t>(k)], counts[1][static_cast<std::size_t>(k)]});
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
    auto* number = new QValueAxis;
    number->setLabelFormat(QStringLiteral("%.0f"));
    number->setTitleText(QStringLiteral("Anzahl"));
    chart->addAxis(words, Qt::AlignBottom);
    chart->addAxis(number, Qt::AlignLeft);
    series->attachAxis(words);
    series->attachAxis(number);
    // Attaching a series sets the axis from its data: the range is set after it.
    // Whole numbers on the ticks: a step of 1, 2, 5, 10 ... that needs at most ten ticks.
    int step = 1;
    for (int power = 1; std::max(1, most) > step * 10; power *= 10)
        for (int factor : {1, 2, 5})
            if (std::max(1, most) <= (step = factor * power) * 10)
                break;
    const int top = (std::max(1, most) + step - 1) / step * step;
    number->setRange(0, top);
    number->setTickCount(top / step + 1);
    chart->legend()->show();
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
