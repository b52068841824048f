// The computations of the evaluation window, each as a table of cases: distances, ages by
// the rating's rule, the norm bands at the age-group edges, an athlete's history, a test
// day with ties, the dates, the search key; and the CSV export, read back by a parser of
// its own and compared with a golden file byte for byte.
#include "evaluation/csv_export.h"
#include "evaluation/results_analysis.h"

#include <QFile>
#include <QtTest>

using namespace evaluation;

namespace {

Result R(int id, int athlete, int date, int year, int level, int shuttle, double vo2) {
    Result r;
    r.id = id;
    r.athleteId = athlete;
    r.date = date;
    r.year = year;
    r.level = level;
    r.shuttle = shuttle;
    r.vo2max = vo2;
    return r;
}

// A CSV parser written for the test, apart from the writer: RFC 4180 with ";" and CR LF.
QList<QStringList> ParseCsv(const QByteArray& bytes) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    const QString text = QString::fromUtf8(bytes);
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            row << field;
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

} // namespace

class TestResultsAnalysis : public QObject {
    Q_OBJECT
private slots:
    void distances_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("shuttle");
        QTest::addColumn<int>("metres");
        // clang-format off
        QTest::newRow("level 1, shuttle 1") << 1 << 1 << 20;
        QTest::newRow("level 1, its last shuttle") << 1 << 7 << 140;
        QTest::newRow("level 2, shuttle 1") << 2 << 1 << 160;
        QTest::newRow("level 8, shuttle 11") << 8 << 11 << 1440;
        QTest::newRow("level 21, the last shuttle") << 21 << 16 << 4940;
        QTest::newRow("beyond level 21's shuttles") << 21 << 17 << 0;
        QTest::newRow("beyond level 4's shuttles") << 4 << 10 << 0;
        QTest::newRow("level 0") << 0 << 1 << 0;
        QTest::newRow("level 22") << 22 << 1 << 0;
        QTest::newRow("shuttle 0") << 5 << 0 << 0;
        // clang-format on
    }
    void distances() {
        QFETCH(int, level);
        QFETCH(int, shuttle);
        QFETCH(int, metres);
        QCOMPARE(DistanceMetres(level, shuttle), metres);
    }

    // The age counts calendar years only, as the rating does: the day before the birthday
    // and the last day of the year before differ by the year, not by the day.
    void ages_data() {
        QTest::addColumn<int>("born");
        QTest::addColumn<int>("testYear");
        QTest::addColumn<int>("age");
        QTest::newRow("born 1990, tested 1 January 2009") << 1990 << 2009 << 19;
        QTest::newRow("born 1990, tested 31 December 2008") << 1990 << 2008 << 18;
        QTest::newRow("tested in the birth year") << 2010 << 2010 << 0;
        QTest::newRow("no date: the year 1899") << 1990 << 1899 << -91;
    }
    void ages() {
        QFETCH(int, born);
        QFETCH(int, testYear);
        QFETCH(int, age);
        QCOMPARE(AgeAtTest(born, testYear), age);
    }

    void normBands_data() {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<int>("age");
        QTest::addColumn<QList<double>>("limits"); // the five lower bounds; empty: no bands
        // clang-format off
        QTest::newRow("12: none") << "W" << 12 << QList<double>{};
        QTest::newRow("woman 13") << "W" << 13 << QList<double>{25.0, 31.0, 35.0, 39.0, 42.0};
        QTest::newRow("woman 19") << "w" << 19 << QList<double>{25.0, 31.0, 35.0, 39.0, 42.0};
        QTest::newRow("woman 20") << "W" << 20 << QList<double>{23.6, 29.0, 33.0, 37.0, 41.1};
        QTest::newRow("man 59") << "M" << 59 << QList<double>{26.1, 31.0, 35.8, 41.0, 45.4};
        QTest::newRow("man 60") << "M" << 60 << QList<double>{20.5, 26.1, 32.3, 36.5, 44.3};
        QTest::newRow("woman 60: narrow sehr gut") << "W" << 75 << QList<double>{17.5, 20.2, 24.5, 30.3, 31.5};
        QTest::newRow("empty sex: men") << "" << 30 << QList<double>{31.5, 35.5, 41.0, 45.0, 49.5};
        // clang-format on
    }
    void normBands() {
        QFETCH(QString, sex);
        QFETCH(int, age);
        QFETCH(QList<double>, limits);
        const auto bands = NormBands(sex.toStdString(), age);
        if (limits.isEmpty()) {
            QVERIFY(bands.empty());
            return;
        }
        QCOMPARE(bands.size(), std::size_t(6));
        QCOMPARE(bands[0].word, std::string("sehr schlecht"));
        QCOMPARE(bands[0].lower, 0.0);
        QCOMPARE(bands[5].word, std::string("überragend"));
        QVERIFY(!bands[5].upper);
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(*bands[static_cast<std::size_t>(k)].upper, limits[k]);
            QCOMPARE(bands[static_cast<std::size_t>(k + 1)].lower, limits[k]);
        }
    }

    void historyWithOneResult() {
        const Athlete eva{1, "Eva", "Engel", "W", 1981};
        const auto history = AthleteHistory(eva, {R(5, 1, 46000, 2025, 6, 1, 32.9)});
        QCOMPARE(history.size(), std::size_t(1));
        QCOMPARE(history[0].age, 44);
        QCOMPARE(history[0].distance, DistanceMetres(6, 1));
        QCOMPARE(*history[0].rating, std::string("sehr gut"));
        QVERIFY(!history[0].vo2Change && !history[0].shuttleChange);
    }

    // Oldest first whatever the order they come in; the change from test to test; a result
    // outside the VO2max table has no rating.
    void historyWithSeveralResults() {
        const Athlete ben{2, "Ben", "Bauer", "M", 2000};
        const auto history =
            AthleteHistory(ben, {R(3, 2, 46300, 2026, 8, 11, 43.3), R(1, 2, 45000, 2023, 6, 1, 32.9),
                                 R(2, 2, 45500, 2024, 0, 0, 0.0)});
        QCOMPARE(history.size(), std::size_t(3));
        QCOMPARE(history[0].result.id, 1);
        QCOMPARE(history[1].result.id, 2);
        QVERIFY(!history[1].rating);
        QCOMPARE(*history[1].vo2Change, -32.9);
        QCOMPARE(*history[2].vo2Change, 43.3);
        QCOMPARE(*history[2].shuttleChange, ShuttlesRun(8, 11));
        QCOMPARE(*history[2].rating, std::string("gut")); // a man of 26 with 43.3
    }

    // A test day: ranking with ties sharing a rank, the athlete that is gone, a result
    // without a value, the statistics overall and by sex, the rating counts.
    void testDayWithTies() {
        Athletes athletes;
        athletes[1] = {1, "Anna", "Adler", "W", 2010};
        athletes[2] = {2, "Berta", "Bach", "W", 2010};
        athletes[3] = {3, "Carl", "Cord", "M", 2010};
        athletes[4] = {4, "Dora", "Dorn", "W", 2010};
        const int day = 46366;
        const DayReport report = TestDay(day,
                                         {R(1, 1, day, 2026, 8, 11, 43.3), R(2, 2, day, 2026, 8, 11, 43.3),
                                          R(3, 3, day, 2026, 10, 1, 46.8), R(4, 4, day, 2026, 2, 3, 0.0),
                                          R(5, 77, day, 2026, 5, 2, 30.2)},
                                         athletes);
        QStringList order;
        QList<int> ranks;
        for (const DayEntry& e : report.ranking) {
            order << QString::fromStdString(e.displayName);
            ranks << e.rank;
        }
        QCOMPARE(order, (QStringList{"Carl Cord", "Anna Adler", "Berta Bach", "(unbekannt)", "Dora Dorn"}));
        QCOMPARE(ranks, (QList<int>{1, 2, 2, 4, 5}));
        QCOMPARE(report.ranking[1].distance, report.ranking[2].distance);
        QVERIFY(!report.ranking[3].rating && !report.ranking[3].age);
        QVERIFY(!report.ranking[4].rating);
        QCOMPARE(report.all.count, 5);
        QCOMPARE(*report.all.best, 46.8);
        QCOMPARE(*report.all.median, (43.3 + 43.3) / 2);
        QCOMPARE(*report.all.mean, (43.3 + 43.3 + 46.8 + 30.2) / 4);
        QCOMPARE(report.women.count, 3);
        QCOMPARE(*report.women.mean, 43.3);
        QCOMPARE(report.men.count, 1);
        // Girls of 16 with 43.3: "überragend" is 42.0 on; a boy of 16 with 46.8: "gut".
        QCOMPARE(report.ratingCounts[0][5], 2);
        QCOMPARE(report.ratingCounts[1][3], 1);
        QCOMPARE(std::accumulate(report.ratingCounts[0].begin(), report.ratingCounts[0].end(), 0), 2);
    }

    void emptyDay() {
        const DayReport report = TestDay(1, {}, {});
        QVERIFY(report.ranking.empty());
        QCOMPARE(report.all.count, 0);
        QVERIFY(!report.all.mean);
    }

    void testDates() {
        const auto dates = TestDates({R(1, 1, 200, 2026, 5, 1, 30), R(2, 1, 100, 2026, 5, 1, 30),
                                      R(3, 2, 200, 2026, 5, 1, 30), R(4, 2, 0, 1899, 5, 1, 30)});
        QCOMPARE(dates, (std::vector<std::pair<int, int>>{{200, 2}, {100, 1}, {0, 1}}));
    }

    void searchKey_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::newRow("umlaut") << "Jürgen"
                                << "jurgen";
        QTest::newRow("capital umlaut") << "ÖZDEMIR"
                                        << "ozdemir";
        QTest::newRow("sharp s") << "Groß"
                                 << "gross";
        QTest::newRow("other letters stay") << "Łukasz é"
                                            << "Łukasz é";
    }
    void searchKey() {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QCOMPARE(QString::fromStdString(SearchKey(text.toStdString())), key);
    }

    // Tricky cells survive a spreadsheet's reading: every cell compared after parsing the
    // bytes with a parser of the test's own.
    void csvTrickyRows() {
        const std::vector<std::string> header{"Name", "VO2max", "Notiz"};
        const std::vector<std::vector<std::string>> rows{
            {"Jürgen Groß", CsvNumber(43.3, 1), "Knie; links \"bandagiert\""},
            {"Zoë €uro", CsvNumber(0, 1), "zwei\r\nZeilen\nund mehr"},
            {"", "", ""},
            {CsvText("=HYPERLINK(\"x\")"), CsvNumber(-3.25, 2), CsvText("-kalt")}};
        const std::string csv = CsvDocument(header, rows);
        QVERIFY(QByteArray::fromStdString(csv).startsWith("\xEF\xBB\xBF"));
        const QList<QStringList> parsed = ParseCsv(QByteArray::fromStdString(csv.substr(3)));
        QCOMPARE(parsed.size(), 5);
        QCOMPARE(parsed[0], (QStringList{"Name", "VO2max", "Notiz"}));
        QCOMPARE(parsed[1], (QStringList{"Jürgen Groß", "43,3", "Knie; links \"bandagiert\""}));
        QCOMPARE(parsed[2], (QStringList{"Zoë €uro", "0,0", "zwei\r\nZeilen\nund mehr"}));
        QCOMPARE(parsed[3], (QStringList{"", "", ""}));
        QCOMPARE(parsed[4], (QStringList{"'=HYPERLINK(\"x\")", "-3,25", "'-kalt"}));
        QCOMPARE(CsvNumber(-0.04, 1), std::string("0,0"));
    }

    // A small export, byte for byte.
    void csvGolden() {
        const std::string csv = CsvDocument({"Datum", "Level", "VO2max", "Bewertung"},
                                            {{"01.12.2026", "8", CsvNumber(43.3, 1), "gut"},
                                             {"02.12.2026", "21", CsvNumber(88.2, 1), "überragend"}});
        QFile golden(QStringLiteral(VEXO_EVALUATION_FIXTURES "/export_golden.csv"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(QByteArray::fromStdString(csv), golden.readAll());
    }
};

QTEST_APPLESS_MAIN(TestResultsAnalysis)
#include "test_results_analysis.moc"
