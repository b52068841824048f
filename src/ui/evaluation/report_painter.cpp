#include "report_painter.h"

#include "german_text.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace ui {

ReportPainter::ReportPainter(QPagedPaintDevice& device, QPainter* painter, int totalPages)
    : m_device(device), m_painter(painter), m_totalPages(totalPages) {
    m_page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    m_page.moveTopLeft(QPoint(0, 0));
    SetFont(10, false);
}

void ReportPainter::Draw(QPagedPaintDevice& device, const std::function<void(ReportPainter&)>& compose) {
    ReportPainter counting(device, nullptr, 0);
    compose(counting);
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    ReportPainter drawing(device, &painter, counting.m_pageNumber);
    compose(drawing);
    drawing.Finish();
}

QByteArray ReportPainter::Pdf(const QString& title, const std::function<void(ReportPainter&)>& compose) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Vexo-Rizidevizi"));
    Draw(writer, compose);
    return bytes;
}

double ReportPainter::Line() const {
    return QFontMetricsF(m_font, &m_device).lineSpacing();
}

double ReportPainter::Bottom() const {
    return m_page.bottom() - QFontMetricsF(m_font, &m_device).lineSpacing() * 2;
}

void ReportPainter::SetFont(int points, bool bold) {
    m_font = QFont(QStringLiteral("Liberation Sans"));
    m_font.setPointSize(points);
    m_font.setBold(bold);
    if (m_painter)
        m_painter->setFont(m_font);
}

void ReportPainter::Title(const QString& text) {
    SetFont(16, true);
    DrawLine(text, Qt::AlignLeft);
    m_y += Line() * 0.5;
}

void ReportPainter::Paragraph(const QString& text, bool bold, int points) {
    SetFont(points, bold);
    // Wrapped at the page's width: a long note goes on in the next line, never past the edge.
    const QFontMetricsF metrics(m_font, &m_device);
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > m_page.width()) {
            DrawLine(line, Qt::AlignLeft);
            line = word;
        } else {
            line = longer;
        }
    }
    DrawLine(line, Qt::AlignLeft);
}

void ReportPainter::Gap(double lines) {
    m_y += Line() * lines;
}

void ReportPainter::DrawLine(const QString& text, Qt::Alignment alignment) {
    const double height = Line();
    if (m_y + height > Bottom())
        NewPage();
    if (m_painter)
        m_painter->drawText(QRectF(m_page.left(), m_y, m_page.width(), height),
                            static_cast<int>(alignment | Qt::AlignVCenter), text);
    m_y += height;
}

void ReportPainter::Table(const evaluation::ExportTable& table, const std::vector<Column>& columns) {
    SetFont(9, false);
    const double rowHeight = Line() * 1.45;
    if (m_y + 2 * rowHeight > Bottom())
        NewPage(); // no header alone at the foot of a page
    Header(table, columns, rowHeight);
    bool shaded = false;
    for (const auto& cells : table.rows) {
        if (m_y + rowHeight > Bottom()) {
            NewPage();
            Header(table, columns, rowHeight);
        }
        SetFont(9, false);
        if (shaded && m_painter)
            m_painter->fillRect(QRectF(m_page.left(), m_y, m_page.width(), rowHeight), QColor(240, 240, 250));
        shaded = !shaded;
        QStringList texts;
        for (const Column& c : columns)
            texts << ShownText(cells[static_cast<std::size_t>(c.index)]);
        Row(texts, columns, rowHeight);
    }
}

void ReportPainter::Header(const evaluation::ExportTable& table, const std::vector<Column>& columns,
                           double rowHeight) {
    SetFont(9, true);
    if (m_painter)
        m_painter->fillRect(QRectF(m_page.left(), m_y, m_page.width(), rowHeight), QColor(200, 200, 235));
    QStringList titles;
    for (const Column& c : columns)
        titles << QString::fromStdString(table.header[static_cast<std::size_t>(c.index)]);
    Row(titles, columns, rowHeight);
}

void ReportPainter::Row(const QStringList& cells, const std::vector<Column>& columns, double rowHeight) {
    if (m_painter) {
        double x = m_page.left();
        const double pad = Line() * 0.25;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const double width = m_page.width() * columns[i].share;
            const QRectF cell(x + pad, m_y, width - 2 * pad, rowHeight);
            // A text a little too wide for its column gets a smaller font, down to 7 points,
            // before it is cut short.
            QFont font = m_font;
            const QString& text = cells[static_cast<int>(i)];
            while (font.pointSize() > 7 &&
                   QFontMetricsF(font, &m_device).horizontalAdvance(text) > cell.width())
                font.setPointSize(font.pointSize() - 1);
            m_painter->setFont(font);
            m_painter->drawText(
                cell, static_cast<int>(columns[i].alignment | Qt::AlignVCenter),
                QFontMetricsF(font, &m_device).elidedText(text, Qt::ElideRight, cell.width()));
            x += width;
        }
        m_painter->setFont(m_font);
    }
    m_y += rowHeight;
}

void ReportPainter::Chart(double aspect, const ChartDrawer& draw) {
    const double width = m_page.width();
    const double height = width * aspect;
    if (m_y + height > Bottom())
        NewPage();
    if (m_painter) {
        m_painter->save();
        draw(*m_painter, QRectF(m_page.left(), m_y, width, height));
        m_painter->restore();
        m_painter->setFont(m_font);
    }
    m_y += height;
}

void ReportPainter::Footer() {
    if (!m_painter)
        return;
    const QFont saved = m_font;
    SetFont(8, false);
    m_painter->drawText(QRectF(m_page.left(), m_page.bottom() - Line(), m_page.width(), Line()),
                        static_cast<int>(Qt::AlignRight | Qt::AlignVCenter),
                        QStringLiteral("Seite %1 von %2").arg(m_pageNumber).arg(m_totalPages));
    m_font = saved;
    m_painter->setFont(m_font);
}

void ReportPainter::NewPage() {
    Footer();
    if (m_painter)
        m_device.newPage();
    ++m_pageNumber;
    m_y = 0;
}

void ReportPainter::Finish() {
    Footer();
}

} // namespace ui
