#include "german_text.h"

#include "data/date_value.h"
#include "evaluation/csv_export.h"

#include <cmath>

namespace ui {

QString GermanNumber(double value, int decimals) {
    return QString::fromStdString(evaluation::CsvNumber(value, decimals));
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

QString ShownText(const evaluation::ExportCell& cell) {
    using Kind = evaluation::ExportCell::Kind;
    QString text;
    switch (cell.kind) {
    case Kind::Empty:
    case Kind::Text:
    case Kind::UserText:
        text = QString::fromStdString(cell.text);
        break;
    case Kind::Integer:
        text = QString::number(std::llround(cell.number));
        break;
    case Kind::Number:
        text = GermanNumber(cell.number, cell.decimals);
        break;
    case Kind::Date:
        text = GermanDate(static_cast<int>(cell.number));
        break;
    }
    if (cell.withSign && cell.number > 0 && text != GermanNumber(0, cell.decimals))
        text.prepend(QLatin1Char('+'));
    if (!cell.note.empty())
        text += QStringLiteral(" *");
    return text;
}

} // namespace ui
