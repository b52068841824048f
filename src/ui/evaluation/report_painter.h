#pragma once
// The pages of the evaluation's printable reports, drawn by one composer onto any paged
// device, so that a PDF file and the printer get the same pages: titles, paragraphs, a table
// over as many pages as it needs with its header on each, charts as vector graphics, and
// "Seite n von m" at the foot of every page. The composer runs twice: once to count the
// pages, once to draw them.
#include "evaluation/export_table.h"

#include <QByteArray>
#include <QFont>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace ui {

class ReportPainter {
public:
    // A column of a table on paper: which column of the table, its share of the page width.
    struct Column {
        int index = 0;
        double share = 0;
        Qt::Alignment alignment = Qt::AlignLeft;
    };
    using ChartDrawer = std::function<void(QPainter&, const QRectF&)>;

    void Title(const QString& text);
    void Paragraph(const QString& text, bool bold = false, int points = 10);
    void Gap(double lines);
    void Table(const evaluation::ExportTable& table, const std::vector<Column>& columns);
    // A chart of the full width and `aspect` (height / width), on the next page when it
    // does not fit.
    void Chart(double aspect, const ChartDrawer& draw);
    void NewPage();

    // Draws the pages `compose` lays out onto `device` (a painter is begun on it).
    static void Draw(QPagedPaintDevice& device, const std::function<void(ReportPainter&)>& compose);
    // The pages as a PDF file (A4 portrait, margins of 15 mm).
    static QByteArray Pdf(const QString& title, const std::function<void(ReportPainter&)>& compose);

private:
    ReportPainter(QPagedPaintDevice& device, QPainter* painter, int totalPages);
    double Line() const;
    double Bottom() const;
    void SetFont(int points, bool bold);
    void DrawLine(const QString& text, Qt::Alignment alignment);
    void Header(const evaluation::ExportTable& table, const std::vector<Column>& columns, double rowHeight);
    void Row(const QStringList& cells, const std::vector<Column>& columns, double rowHeight);
    void Footer();
    void Finish();

    QPagedPaintDevice& m_device;
    QPainter* m_painter; // none while counting the pages
    int m_totalPages;
    QRect m_page;
    QFont m_font;
    double m_y = 0;
    int m_pageNumber = 1;
};

} // namespace ui
