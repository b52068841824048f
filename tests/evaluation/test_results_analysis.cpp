// The computations of the evaluation window, each as a table of cases: distances, ages by
// the rating's rule, the norm bands at the age-group edges, an athlete's history, a test
// day with ties, the dates, the search key; and the CSV export, read back by a parser of
// its own and compared with a golden file byte for byte.
#include "data/date_value.h"
#include "evaluation/chart_ticks.h"
#include "evaluation/csv_export.h"
#include "evaluation/decimal_rounding.h"
#include "evaluation/fitness_rating.h"
#include "evaluation/result_tables.h"
#include "evaluation/results_analysis.h"

#include <chrono>

#include <QFile>
#include <QtTest>

using namespace evaluation;

namespace {

Result R(int id, int athlete, int date, int year, int level, int shuttle, double vo2,
         const char* rating = "") {
    Result r;
    r.storedRating = rating;
    r.id = id;
    r.athleteId = athlete;
    r.date = date;
    r.year = year;
    r.level = level;
    r.shuttle = shuttle;
    r.vo2max = vo2;
    return r;
}

int Day(int year, unsigned month, unsigned day) {
    using namespace std::chrono;
    return static_cast<int>(sys_days{std::chrono::year{year} / month / day}.time_since_epoch().count()) +
           25569;
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
        const auto history = AthleteHistory(eva, {R(5, 1, 46000, 2025, 6, 1, 32.9, "sehr gut")});
        QCOMPARE(history.size(), std::size_t(1));
        QCOMPARE(history[0].age, 44);
        QCOMPARE(history[0].distance, DistanceMetres(6, 1));
        QCOMPARE(*history[0].rating.stored, std::string("sehr gut"));
        QVERIFY(!history[0].rating.today && !history[0].zone);
        QVERIFY(!history[0].vo2Change && !history[0].shuttleChange);
        QVERIFY(!LatestChange(history));
    }

    // Oldest first whatever the order they come in; a change only between two results that
    // both have a date and a VO2max value: a level-2 result and an undated one in between
    // are passed over, not compared with.
    void changesOnlyBetweenComparableResults() {
        const Athlete ben{2, "Ben", "Bauer", "M", 2000};
        const auto history = AthleteHistory(
            ben, {R(4, 2, 46300, 2026, 8, 11, 43.3, "gut"), R(1, 2, 45000, 2023, 6, 1, 32.9, "schlecht"),
                  R(2, 2, 45500, 2024, 2, 3, 0.0, "sehr schlecht"), R(3, 2, 0, 1899, 7, 1, 35.0)});
        QList<int> order;
        for (const HistoryEntry& h : history)
            order << h.result.id;
        QCOMPARE(order, (QList<int>{3, 1, 2, 4})); // undated first
        QVERIFY(!history[0].vo2Change && !history[1].vo2Change && !history[2].vo2Change);
        QVERIFY(qFuzzyCompare(*history[3].vo2Change, 43.3 - 32.9));
        QCOMPARE(*history[3].shuttleChange, ShuttlesRun(8, 11) - ShuttlesRun(6, 1));
        const auto latest = LatestChange(history);
        QVERIFY(latest && qFuzzyCompare(latest->vo2, 43.3 - 32.9));
        // A level-2 result after them: still the change between the last two with values.
        auto longer = history;
        longer.push_back(AthleteHistory(ben, {R(5, 2, 46400, 2027, 2, 1, 0.0)})[0]);
        QVERIFY(qFuzzyCompare(LatestChange(longer)->vo2, 43.3 - 32.9));
    }

    // The rating shown is the word stored with the result, as the results window shows it;
    // today's athlete data only mark it when they would give another word.
    void ratingShown_data() {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<int>("born");
        QTest::addColumn<double>("vo2");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("today"); // "-": no mark; "": no word today
        // clang-format off
        QTest::newRow("agrees") << "W" << 2010 << 32.9 << "ok" << "ok" << "-";
        QTest::newRow("birth year corrected since") << "M" << 1996 << 32.9 << "ok" << "ok" << "schlecht";
        QTest::newRow("VO2max 0: stored sehr schlecht") << "W" << 2010 << 0.0 << "sehr schlecht" << "sehr schlecht" << "-";
        QTest::newRow("under 13: no word at all") << "W" << 2015 << 32.9 << "" << "" << "-";
        QTest::newRow("now under 13") << "W" << 2015 << 32.9 << "gut" << "gut" << "";
        // clang-format on
    }
    void ratingShown() {
        QFETCH(QString, sex);
        QFETCH(int, born);
        QFETCH(double, vo2);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, today);
        const Athlete a{1, "A", "B", sex.toStdString(), born};
        const ShownRating rating =
            RatingShown(&a, R(1, 1, 46300, 2026, 6, 1, vo2, stored.toUtf8().constData()));
        QCOMPARE(QString::fromStdString(rating.stored.value_or("")), shown);
        QCOMPARE(rating.today.has_value(), today != QLatin1String("-"));
        if (rating.today)
            QCOMPARE(QString::fromStdString(*rating.today), today);
        QVERIFY(!RatingShown(nullptr, R(1, 1, 46300, 2026, 6, 1, vo2, "gut")).today);
    }

    void ratingRanks() {
        QStringList words{"überragend", "gut", "", "sehr schlecht", "ok", "sehr gut", "schlecht"};
        std::stable_sort(words.begin(), words.end(), [](const QString& a, const QString& b) {
            return RatingRank(a.toStdString()) < RatingRank(b.toStdString());
        });
        QCOMPARE(words,
                 (QStringList{"", "sehr schlecht", "schlecht", "ok", "gut", "sehr gut", "überragend"}));
    }

    // The norms change on the first of January of the year the athlete enters the next age
    // group: a woman born 2008 has none up to 12 (2020), the 13–19 group from 2021, the
    // next from 2028.
    void normsOverTheYears() {
        const auto years = NormsOverYears("W", 2008, 2019, 2029);
        QCOMPARE(years.size(), std::size_t(3));
        QCOMPARE(years[0].fromYear, 2019);
        QVERIFY(!years[0].bounds);
        QCOMPARE(years[1].fromYear, 2021);
        QCOMPARE(*years[1].bounds, *NormBounds("W", 13));
        QCOMPARE(years[2].fromYear, 2028);
        QCOMPARE(*years[2].bounds, *NormBounds("W", 20));
    }

    // A test day: ranking with ties sharing a rank, the athlete that is gone, a result
    // without a value, the statistics overall and by sex, the stored ratings counted, the
    // pupils in each health zone.
    void testDayWithTies() {
        Athletes athletes;
        athletes[1] = {1, "Anna", "Adler", "W", 2010};
        athletes[2] = {2, "Berta", "Bach", "W", 2010};
        athletes[3] = {3, "Carl", "Cord", "M", 2010};
        athletes[4] = {4, "Dora", "Dorn", "W", 2010};
        const int day = 46366;
        const DayReport report =
            TestDay(day,
                    {R(1, 1, day, 2026, 8, 11, 43.3, "überragend"),
                     R(2, 2, day, 2026, 8, 11, 43.3, "überragend"), R(3, 3, day, 2026, 10, 1, 46.8, "gut"),
                     R(4, 4, day, 2026, 2, 3, 0.0, "sehr schlecht"), R(5, 77, day, 2026, 5, 2, 30.2, "ok")},
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
        QVERIFY(!report.ranking[3].age && !report.ranking[3].zone);
        QCOMPARE(*report.ranking[3].rating.stored, std::string("ok"));
        QCOMPARE(*report.ranking[4].rating.stored, std::string("sehr schlecht"));
        QCOMPARE(report.all.count, 5);
        QCOMPARE(report.all.withoutValue, 1);
        QCOMPARE(*report.all.best, 46.8);
        QCOMPARE(*report.all.median, (43.3 + 43.3) / 2);
        QCOMPARE(*report.all.mean, (43.3 + 43.3 + 46.8 + 30.2) / 4);
        QCOMPARE(report.women.count, 3);
        QCOMPARE(*report.women.mean, 43.3);
        QCOMPARE(report.men.count, 1);
        QCOMPARE(report.ratingCounts[0][5], 2);
        QCOMPARE(report.ratingCounts[0][0], 1);
        QCOMPARE(report.ratingCounts[1][3], 1);
        QCOMPARE(std::accumulate(report.ratingCounts[0].begin(), report.ratingCounts[0].end(), 0), 3);
        // 16-year-olds: Anna, Berta and Carl in the health zone, Dora (level 1 completed) at risk.
        QCOMPARE(report.zoned, 4);
        QCOMPARE(report.zoneCounts, (std::array<int, 3>{3, 0, 1}));
    }

    // Each dated day oldest first with its mean VO2max (values only) and health-zone share.
    void trendOverDays() {
        Athletes athletes;
        athletes[1] = {1, "Anna", "Adler", "W", 2010};
        athletes[2] = {2, "Ben", "Bauer", "M", 1980};
        const auto trend = TrendOverDays({R(1, 1, 46400, 2027, 8, 11, 43.3), R(2, 2, 46400, 2027, 6, 1, 33.0),
                                          R(3, 1, 46000, 2025, 2, 3, 0.0), R(4, 2, 0, 1899, 6, 1, 33.0)},
                                         athletes);
        QCOMPARE(trend.size(), std::size_t(2));
        QCOMPARE(trend[0].date, 46000);
        QVERIFY(!trend[0].meanVo2);
        QCOMPARE(*trend[0].healthyShare, 0.0); // Anna at 15 with level 1 completed
        QCOMPARE(trend[1].date, 46400);
        QCOMPARE(*trend[1].meanVo2, (43.3 + 33.0) / 2);
        QCOMPARE(*trend[1].healthyShare, 1.0); // Ben at 47 has no zone
    }

    // A class's test day against its previous one: the last earlier day among the class's
    // results (an undated result is none), each pupil's furthest run of a day, the distance
    // deciding, the VO2max change only where both runs have a value; the counts and the line.
    void classAgainstItsPreviousDay() {
        Athletes athletes;
        athletes[1] = {1, "Anna", "Adler", "W", 2013};
        athletes[2] = {2, "Ben", "Bauer", "M", 2013};
        athletes[3] = {3, "Cem", "Celik", "M", 2013};
        athletes[4] = {4, "Dora", "Dorn", "W", 2013};
        athletes[5] = {5, "Emil", "Ebert", "M", 2013};
        const int june = Day(2026, 6, 3), march = Day(2026, 3, 2), december = Day(2026, 12, 1);
        const std::vector<Result> results{
            R(1, 1, march, 2026, 3, 1, 0), // the class's first day: not the one compared with
            R(2, 1, june, 2026, 5, 2, 30.2),
            R(3, 1, december, 2026, 6, 1, 32.3), // further
            R(4, 2, june, 2026, 6, 4, 33.0),
            R(5, 2, december, 2026, 6, 4, 33.0), // as far
            R(6, 3, june, 2026, 7, 2, 35.6),
            R(7, 3, december, 2026, 4, 9, 0),              // less far, no VO2
            R(8, 3, december, 2026, 6, 1, 32.3),           // his better run of the day counts
            R(9, 4, december, 2026, 5, 5, 31.0),           // no run in June
            R(10, 5, 0, 1899, 9, 9, 44.0),                 // undated: no test day
            R(11, 5, Day(2027, 1, 10), 2027, 9, 1, 42.0)}; // a later day is not the previous
        const ClassComparison c = CompareWithPreviousDay(december, results, athletes);
        QCOMPARE(c.previousDate, june);
        QCOMPARE(c.pupils.size(), std::size_t(4));
        QStringList names;
        for (const PupilComparison& p : c.pupils)
            names << QString::fromStdString(p.displayName);
        QCOMPARE(names, (QStringList{"Anna Adler", "Ben Bauer", "Cem Celik", "Dora Dorn"}));
        QCOMPARE(int(c.pupils[0].development), int(Development::Improved));
        QCOMPARE(*c.pupils[0].metresChange, 160); // 5/2 is 680 m, 6/1 is 840 m
        QVERIFY(qFuzzyCompare(*c.pupils[0].vo2Change, 2.1));
        QCOMPARE(int(c.pupils[1].development), int(Development::Held));
        QCOMPARE(*c.pupils[1].vo2Change, 0.0);
        QCOMPARE(c.pupils[2].now.id, 8);
        QCOMPARE(int(c.pupils[2].development), int(Development::FellBack));
        QVERIFY(c.pupils[2].vo2Change.has_value());
        QCOMPARE(int(c.pupils[3].development), int(Development::NoComparison));
        QVERIFY(!c.pupils[3].metresChange);
        QCOMPARE((std::array{c.improved, c.held, c.fellBack, c.withoutComparison}), (std::array{1, 1, 1, 1}));
        QCOMPARE(DevelopmentLine(c), std::string("Seit dem 03.06.2026: 1 weiter gelaufen, 1 gleich weit, 1 "
                                                 "weniger weit, 1 ohne Ergebnis damals."));
        // The class's first day has nothing to compare with; the table says "–" then.
        const ClassComparison first = CompareWithPreviousDay(march, results, athletes);
        QCOMPARE(first.previousDate, 0);
        QVERIFY(DevelopmentLine(first).empty());
        const ExportTable table = ComparisonTable(c);
        QCOMPARE(table.rows[0][2].text, std::string("5/2"));
        QCOMPARE(CsvCellText(table.rows[0][6]), std::string("160"));
        QVERIFY(table.rows[0][6].withSign);
        QCOMPARE(table.rows[3][2].kind, ExportCell::Kind::Empty);
    }

    // Axis steps that label every gridline exactly: whole steps of 1, 2 or 5 times ten.
    void valueTicks_data() {
        QTest::addColumn<double>("most");
        QTest::addColumn<int>("maxTicks");
        QTest::addColumn<double>("smallest");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("top");
        QTest::newRow("VO2max to 70 in 8") << 70.0 << 8 << 5.0 << 10.0 << 70.0;
        QTest::newRow("VO2max to 66 in 4") << 66.0 << 4 << 5.0 << 20.0 << 80.0;
        QTest::newRow("counts to 3 in 2") << 3.0 << 2 << 1.0 << 2.0 << 4.0;
        QTest::newRow("one count") << 1.0 << 5 << 1.0 << 1.0 << 1.0;
        QTest::newRow("counts to 37 in 5") << 37.0 << 5 << 1.0 << 10.0 << 40.0;
    }
    void valueTicks() {
        QFETCH(double, most);
        QFETCH(int, maxTicks);
        QFETCH(double, smallest);
        QFETCH(double, step);
        QFETCH(double, top);
        const ValueTicks ticks = NiceTicks(most, maxTicks, smallest);
        QCOMPARE(ticks.step, step);
        QCOMPARE(ticks.top, top);
    }

    // Date ticks on month starts, on year starts for long spans, on the tests for short ones.
    void dateTicks_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("maxTicks");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("days");
        QTest::newRow("15 months: every third month")
            << Day(2025, 2, 14) << Day(2026, 5, 16) << 7
            << QStringList{"Apr. 2025", "Juli 2025", "Okt. 2025", "Jan. 2026", "Apr. 2026"}
            << QStringList{"01.04.2025", "01.07.2025", "01.10.2025", "01.01.2026", "01.04.2026"};
        QTest::newRow("three months: every month") << Day(2026, 8, 17) << Day(2026, 11, 15) << 7
                                                   << QStringList{"Sept. 2026", "Okt. 2026", "Nov. 2026"}
                                                   << QStringList{"01.09.2026", "01.10.2026", "01.11.2026"};
        QTest::newRow("six years: every year")
            << Day(2019, 12, 17) << Day(2026, 1, 15) << 7
            << QStringList{"2020", "2021", "2022", "2023", "2024", "2025", "2026"}
            << QStringList{"01.01.2020", "01.01.2021", "01.01.2022", "01.01.2023",
                           "01.01.2024", "01.01.2025", "01.01.2026"};
        QTest::newRow("one test: its date") << Day(2026, 11, 16) << Day(2026, 12, 16) << 7
                                            << QStringList{"01.12.2026"} << QStringList{"01.12.2026"};
    }
    void dateTicks() {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, maxTicks);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, days);
        QStringList gotLabels, gotDays;
        for (const DateTick& tick : DateTicks(first, last, maxTicks, {Day(2026, 12, 1)})) {
            gotLabels << QString::fromStdString(tick.label);
            gotDays << QString::fromStdString(data::FormatGermanDate(tick.day));
        }
        QCOMPARE(gotLabels, labels);
        QCOMPARE(gotDays, days);
    }

    // The tables as they go out: an undated result has no age, a change carries its sign on
    // screen only, a marked rating keeps its word, the day's table carries its date.
    void exportTables() {
        const Athlete ben{2, "Ben", "Bauer", "M", 1996};
        const auto history = HistoryTable(AthleteHistory(
            ben, {R(1, 2, 0, 1899, 6, 1, 32.9, "ok"), R(2, 2, Day(2025, 5, 1), 2025, 6, 1, 32.9, "ok"),
                  R(3, 2, Day(2026, 5, 1), 2026, 8, 11, 43.3, "gut")}));
        QCOMPARE(history.header[7], std::string("Gesundheitszone"));
        QCOMPARE(CsvCellText(history.rows[0][0]), std::string());
        QCOMPARE(history.rows[0][0].text, std::string("(ohne Datum)"));
        QCOMPARE(history.rows[0][1].kind, ExportCell::Kind::Empty); // no "-1873"
        QCOMPARE(history.rows[0][1].text, std::string("–"));
        QCOMPARE(history.rows[1][6].text, std::string("ok"));
        QVERIFY(!history.rows[1][6].note.empty()); // today: "schlecht" for a man of 29
        QVERIFY(history.rows[2][9].withSign);
        QCOMPARE(CsvCellText(history.rows[2][9]), std::string("10,4"));
        QCOMPARE(CsvCellText(history.rows[0][9]), std::string());
        // An adult has no zone, and its cell says why.
        QCOMPARE(
            history.rows[2][7].hint,
            std::string("Keine Gesundheitszone: Die Gesundheitszone gilt für 10- bis 19-Jährige (Alter beim "
                        "Test: 30)."));
        QCOMPARE(history.header[8], std::string("VO2max (Zone)"));
        QCOMPARE(CsvCellText(history.rows[2][8]), std::string());

        Athletes athletes;
        athletes[2] = ben;
        const DayReport report =
            TestDay(Day(2026, 5, 1), {R(3, 2, Day(2026, 5, 1), 2026, 8, 11, 43.3, "gut")}, athletes);
        const ExportTable day = DayTable(report, true);
        QCOMPARE(day.header.front(), std::string("Datum"));
        QCOMPARE(CsvCellText(day.rows[0][0]), std::string("01.05.2026"));
        QCOMPARE(DayTable(report, false).header.front(), std::string("Platz"));
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
        QTest::newRow("diaeresis") << "Zoë"
                                   << "zoe";
        QTest::newRow("ligature") << "Œuvre Weiß"
                                  << "oeuvre weiss";
        QTest::newRow("letters beyond Western Europe stay") << "Łukasz é"
                                                            << "Łukasz e";
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
        // A spreadsheet's default import splits at commas too: every field with one is quoted.
        QVERIFY(QByteArray::fromStdString(csv).contains(";\"43,3\";"));
        QVERIFY(!QByteArray::fromStdString(csv).contains(";43,3;"));
        QCOMPARE(CsvNumber(-0.04, 1), std::string("0,0"));
    }

    // Ties round half away from zero on the decimal value the statistics stand for, the
    // same in the window, the CSV and the spreadsheet: a mean of exactly 36.85 is 36,9 and a
    // median of 36.05 is 36,1, though their binary fractions lie just below.
    void roundingAtTies_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("mean");
        QTest::addColumn<QString>("median");
        QTest::newRow("mean 36.85") << QList<double>{36.8, 36.9} << "36,9"
                                    << "36,9";
        QTest::newRow("median 36.05") << QList<double>{36.0, 36.1, 20.0, 50.0} << "35,5"
                                      << "36,1";
        QTest::newRow("mean 36.55") << QList<double>{36.5, 36.6} << "36,6"
                                    << "36,6";
        QTest::newRow("mean 29.45 of three") << QList<double>{29.4, 29.5, 29.45} << "29,5"
                                             << "29,5";
        QTest::newRow("below the half") << QList<double>{36.8, 36.8, 36.9} << "36,8"
                                        << "36,8";
        QTest::newRow("carried over") << QList<double>{99.9, 100.0} << "100,0"
                                      << "100,0";
    }
    void roundingAtTies() {
        QFETCH(QList<double>, values);
        QFETCH(QString, mean);
        QFETCH(QString, median);
        const Stats stats = StatsOf(std::vector<double>(values.begin(), values.end()));
        QCOMPARE(QString::fromStdString(CsvNumber(*stats.mean, 1)), mean);
        QCOMPARE(QString::fromStdString(CsvNumber(*stats.median, 1)), median);
        QCOMPARE(RoundedDecimal(*stats.mean, 1), mean.replace(',', '.').toDouble());
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
