#include "day_report.h"

#include "data/date_value.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace ui {

QString GermanNumber(double value, int decimals) {
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0; // no "-0,0"
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString GermanDate(int days) {
    return days == 0 ? QStringLiteral("(ohne Datum)") : QString::fromStdString(data::FormatGermanDate(days));
}

QString StatsLine(const evaluation::Stats& stats) {
    QString line = QStringLiteral("%1 Ergebnis%2").arg(stats.count).arg(stats.count == 1 ? "" : "se");
    if (stats.mean)
        line += QStringLiteral(" · Mittelwert %1 · Median %2 · Bestwert %3")
                    .arg(GermanNumber(*stats.mean, 1), GermanNumber(*stats.median, 1),
                         GermanNumber(*stats.best, 1));
    return line;
}

namespace {

struct Column {
    const char* title;
    double share;
    Qt::Alignment alignment;
};

const Column Columns[] = {
    {"Platz", 0.07, Qt::AlignRight}, {"Name", 0.27, Qt::AlignLeft},    {"G", 0.05, Qt::AlignHCenter},
    {"Alter", 0.07, Qt::AlignRight}, {"Level", 0.07, Qt::AlignRight},  {"Runde", 0.07, Qt::AlignRight},
    {"Meter", 0.09, Qt::AlignRight}, {"VO2max", 0.10, Qt::AlignRight}, {"Bewertung", 0.21, Qt::AlignLeft}};

QStringList Cells(const evaluation::DayEntry& e) {
    return {QString::number(e.rank),
            QString::fromStdString(e.displayName),
            QString::fromStdString(e.sex),
            e.age ? QString::number(*e.age) : QString(),
            QString::number(e.result.level),
            QString::number(e.result.shuttle),
            QString::number(e.distance),
            GermanNumber(e.result.vo2max, 1),
            e.rating ? QString::fromStdString(*e.rating) : QStringLiteral("–")};
}

class ReportPainter {
public:
    ReportPainter(QPagedPaintDevice& device, QPainter& painter) : m_device(device), m_painter(painter) {
        m_page = device.pageLayout().paintRectPixels(device.logicalDpiX());
        m_page.moveTopLeft(QPoint(0, 0));
        m_y = 0;
    }

    void Title(const QString& text) {
        Font(16, true);
        DrawLine(text, Qt::AlignLeft);
        m_y += Line() * 0.5;
    }

    void Paragraph(const QString& text, bool bold = false) {
        Font(10, bold);
        DrawLine(text, Qt::AlignLeft);
    }

    void Gap(double lines) { m_y += Line() * lines; }

    void Table(const evaluation::DayReport& report) {
        Font(9, false);
        const double rowHeight = Line() * 1.45;
        Header(rowHeight);
        bool shaded = false;
        for (const evaluation::DayEntry& e : report.ranking) {
            if (m_y + rowHeight > Bottom()) {
                NewPage();
                Header(rowHeight);
            }
            Font(9, false);
            if (shaded)
                m_painter.fillRect(QRectF(m_page.left(), m_y, m_page.width(), rowHeight),
                                   QColor(240, 240, 250));
            shaded = !shaded;
            Row(Cells(e), rowHeight);
        }
    }

    void Picture(const QImage& image) {
        if (image.isNull())
            return;
        const double width = m_page.width();
        const double height = width * image.height() / image.width();
        if (m_y + height > Bottom())
            NewPage();
        m_painter.drawImage(QRectF(m_page.left(), m_y, width, height), image);
        m_y += height;
    }

    void Finish() { Footer(); }

private:
    double Line() const { return QFontMetricsF(m_painter.font(), &m_device).lineSpacing(); }
    double Bottom() const { return m_page.bottom() - Line() * 2; }

    void Font(int points, bool bold) {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSize(points);
        font.setBold(bold);
        m_painter.setFont(font);
    }

    void DrawLine(const QString& text, Qt::Alignment alignment) {
        const double height = Line();
        if (m_y + height > Bottom())
            NewPage();
        m_painter.drawText(QRectF(m_page.left(), m_y, m_page.width(), height),
                           int(alignment | Qt::AlignVCenter), text);
        m_y += height;
    }

    void Header(double rowHeight) {
        Font(9, true);
        m_painter.fillRect(QRectF(m_page.left(), m_y, m_page.width(), rowHeight), QColor(200, 200, 235));
        QStringList titles;
        for (const Column& c : Columns)
            titles << QString::fromUtf8(c.title);
        Row(titles, rowHeight);
    }

    void Row(const QStringList& cells, double rowHeight) {
        double x = m_page.left();
        const double pad = Line() * 0.25;
        for (int i = 0; i < cells.size(); ++i) {
            const double width = m_page.width() * Columns[i].share;
            const QRectF cell(x + pad, m_y, width - 2 * pad, rowHeight);
            const QString text =
                m_painter.fontMetrics().elidedText(cells[i], Qt::ElideRight, int(cell.width()));
            m_painter.drawText(cell, int(Columns[i].alignment | Qt::AlignVCenter), text);
            x += width;
        }
        m_y += rowHeight;
    }

    void Footer() {
        const QFont saved = m_painter.font();
        Font(8, false);
        m_painter.drawText(QRectF(m_page.left(), m_page.bottom() - Line(), m_page.width(), Line()),
                           int(Qt::AlignRight | Qt::AlignVCenter),
                           QStringLiteral("Seite %1").arg(m_pageNumber));
        m_painter.setFont(saved);
    }

    void NewPage() {
        Footer();
        m_device.newPage();
        ++m_pageNumber;
        m_y = 0;
    }

    QPagedPaintDevice& m_device;
    QPainter& m_painter;
    QRect m_page;
    double m_y = 0;
    int m_pageNumber = 1;
};

} // namespace

void DrawDayReport(QPagedPaintDevice& device, const evaluation::DayReport& report,
                   const QImage& ratingChart) {
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    ReportPainter page(device, painter);
    page.Title(QStringLiteral("Auswertung des Testtags %1").arg(GermanDate(report.date)));
    page.Paragraph(QStringLiteral("Zusammenfassung (VO2max in ml/kg/min)"), true);
    page.Paragraph(QStringLiteral("Alle: ") + StatsLine(report.all));
    page.Paragraph(QStringLiteral("Frauen: ") + StatsLine(report.women));
    page.Paragraph(QStringLiteral("Männer: ") + StatsLine(report.men));
    page.Gap(0.8);
    page.Paragraph(QStringLiteral("Rangliste"), true);
    page.Table(report);
    page.Gap(1);
    page.Picture(ratingChart);
    page.Finish();
}

QByteArray DayReportPdf(const evaluation::DayReport& report, const QImage& ratingChart) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    writer.setTitle(QStringLiteral("Auswertung %1").arg(GermanDate(report.date)));
    writer.setCreator(QStringLiteral("Vexo-Rizidevizi"));
    DrawDayReport(writer, report, ratingChart);
    return bytes;
}

} // namespace ui
