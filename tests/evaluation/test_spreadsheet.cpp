// The spreadsheet file opened by a real spreadsheet program: LibreOffice Calc converts the
// program's .xlsx to its flat XML format, and every cell is read back from there with its
// type and value: numbers as numbers with one decimal, dates as dates shown dd.mm.yyyy,
// text (also text that looks like a formula) as text, empty cells empty; with the auto
// filter over the table.
#include "evaluation/result_tables.h"
#include "evaluation/xlsx_export.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace evaluation;

namespace {

struct SheetCell {
    QString type;  // "float", "date", "string" or "" (empty)
    QString value; // office:value or office:date-value
    QString text;  // as displayed
};

// The cells of the first sheet of a flat OpenDocument spreadsheet, row by row.
QList<QList<SheetCell>> ReadFlatSheet(const QByteArray& xml, bool* autoFilter) {
    QList<QList<SheetCell>> rows;
    QXmlStreamReader reader(xml);
    int tables = 0;
    *autoFilter = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.qualifiedName() == QLatin1String("table:database-range"))
            *autoFilter = reader.attributes().value(QLatin1String("table:display-filter-buttons")) ==
                          QLatin1String("true");
        if (reader.isStartElement() && reader.qualifiedName() == QLatin1String("table:table"))
            ++tables;
        if (tables != 1)
            continue;
        if (reader.isStartElement() && reader.qualifiedName() == QLatin1String("table:table-row"))
            rows.append(QList<SheetCell>());
        if (reader.isStartElement() && reader.qualifiedName() == QLatin1String("table:table-cell")) {
            const auto attributes = reader.attributes();
            SheetCell cell;
            cell.type = attributes.value(QLatin1String("office:value-type")).toString();
            cell.value = attributes.hasAttribute(QLatin1String("office:date-value"))
                             ? attributes.value(QLatin1String("office:date-value")).toString()
                             : attributes.value(QLatin1String("office:value")).toString();
            const int repeated =
                std::max(1, attributes.value(QLatin1String("table:number-columns-repeated")).toInt());
            // The displayed text is the cell's paragraph.
            while (!(reader.isEndElement() && reader.qualifiedName() == QLatin1String("table:table-cell")) &&
                   !reader.atEnd()) {
                reader.readNext();
                if (reader.isStartElement() && reader.qualifiedName() == QLatin1String("text:p"))
                    cell.text += reader.readElementText(QXmlStreamReader::IncludeChildElements);
            }
            for (int k = 0; k < std::min(repeated, 64); ++k)
                rows.last().append(cell);
        }
    }
    return rows;
}

} // namespace

class TestSpreadsheet : public QObject {
    Q_OBJECT
private slots:
    void readBackByCalc() {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        QVERIFY2(!soffice.isEmpty(), "LibreOffice Calc (libreoffice-calc-nogui) is needed for this test");

        Athletes athletes;
        athletes[1] = {1, "Jürgen", "Groß", "M", 2010};
        athletes[2] = {2, "=Zoë", "Ölmann", "W", 2013};
        const int day = 46357; // 1 December 2026
        Result first;
        first.id = 1;
        first.athleteId = 1;
        first.date = day;
        first.year = 2026;
        first.level = 8;
        first.shuttle = 11;
        first.vo2max = 43.3;
        first.storedRating = "überragend";
        first.notes = "Knie; links, bandagiert";
        Result second = first;
        second.id = 2;
        second.athleteId = 2;
        second.level = 2;
        second.shuttle = 3;
        second.vo2max = 0;
        second.storedRating = "";
        second.notes = "";
        const ExportTable table = DayTable(TestDay(day, {first, second}, athletes), true);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString xlsx = dir.filePath(QStringLiteral("tag.xlsx"));
        QFile out(xlsx);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(QByteArray::fromStdString(XlsxBytes(table)));
        out.close();

        QProcess calc;
        calc.setProgram(soffice);
        calc.setArguments(
            {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
             QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("fods"),
             QStringLiteral("--outdir"), dir.path(), xlsx});
        calc.start();
        QVERIFY(calc.waitForFinished(180000));
        QFile converted(dir.filePath(QStringLiteral("tag.fods")));
        QVERIFY2(converted.open(QIODevice::ReadOnly), calc.readAllStandardError().constData());
        bool autoFilter = false;
        const auto rows = ReadFlatSheet(converted.readAll(), &autoFilter);
        QVERIFY(autoFilter);
        QVERIFY(rows.size() >= 3);

        // The header: text, in the table's order.
        QCOMPARE(rows[0].size() >= 14, true);
        QStringList header;
        for (int c = 0; c < 14; ++c) {
            QCOMPARE(rows[0][c].type, QStringLiteral("string"));
            header << rows[0][c].text;
        }
        QCOMPARE(header,
                 (QStringList{"Datum", "Platz", "Name", "G", "Jahrgang", "Alter", "Level", "Runde", "Meter",
                              "VO2max", "Bewertung", "Gesundheitszone", "VO2max (Zone)", "Notiz"}));
        // Jürgen: every kind of cell.
        const auto& j = rows[1];
        QCOMPARE(j[0].type, QStringLiteral("date"));
        QCOMPARE(j[0].value, QStringLiteral("2026-12-01"));
        QCOMPARE(j[0].text, QStringLiteral("01.12.2026"));
        for (int c : {1, 4, 5, 6, 7, 8, 9, 12})
            QCOMPARE(j[c].type, QStringLiteral("float"));
        QCOMPARE(j[1].value, QStringLiteral("1"));
        QCOMPARE(j[4].value, QStringLiteral("2010"));
        QCOMPARE(j[5].value, QStringLiteral("16"));
        QCOMPARE(j[8].value, QStringLiteral("1440"));
        QCOMPARE(j[9].value, QStringLiteral("43.3"));
        QVERIFY2(QRegularExpression(QStringLiteral("^43[.,]3$")).match(j[9].text).hasMatch(),
                 qPrintable(j[9].text));
        QCOMPARE(j[2].text, QStringLiteral("Jürgen Groß"));
        QCOMPARE(j[10].text, QStringLiteral("überragend"));
        QCOMPARE(j[11].text, QStringLiteral("Gesundheitszone"));
        QCOMPARE(j[13].type, QStringLiteral("string"));
        QCOMPARE(j[13].text, QStringLiteral("Knie; links, bandagiert"));
        // The girl: a name that looks like a formula stays text, VO2max 0 a number with one
        // decimal, no rating: an empty cell.
        const auto& z = rows[2];
        QCOMPARE(z[2].type, QStringLiteral("string"));
        QCOMPARE(z[2].text, QStringLiteral("=Zoë Ölmann"));
        QCOMPARE(z[9].type, QStringLiteral("float"));
        QCOMPARE(z[9].value, QStringLiteral("0"));
        QVERIFY2(QRegularExpression(QStringLiteral("^0[.,]0$")).match(z[9].text).hasMatch(),
                 qPrintable(z[9].text));
        QCOMPARE(z[10].type, QString());
        QCOMPARE(z[10].text, QString());
        QCOMPARE(z[11].text, QStringLiteral("Verbesserung nötig – Risiko"));
        QCOMPARE(z[12].type, QStringLiteral("float")); // the zone's own VO2max beside it
    }
};

QTEST_GUILESS_MAIN(TestSpreadsheet)
#include "test_spreadsheet.moc"
