// The VO2max table with its look-up, and the fitness rating's norm table.
#include "evaluation/fitness_rating.h"
#include "evaluation/global.h"
#include "fake_dialogs.h"

#include <QtTest>

class TestEvaluation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { global::InitVO2Table(); }

    void lookupVO2_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("shuttle");
        QTest::addColumn<double>("expected");
        QTest::addColumn<bool>("message");
        QTest::newRow("first value") << 4 << 1 << 26.8 << false;
        QTest::newRow("last value") << 21 << 16 << 88.2 << false;
        QTest::newRow("level 5 shuttle 2") << 5 << 2 << 30.2 << false;
        QTest::newRow("level 3 has no values") << 3 << 5 << 0.0 << false;
        QTest::newRow("level 1 shuttle 1") << 1 << 1 << 0.0 << false;
        QTest::newRow("one beyond level 4") << 4 << 10 << 0.0 << false;
        QTest::newRow("shuttle 18 of level 21") << 21 << 18 << 0.0 << false;
        QTest::newRow("level 9 starts where 8 ends") << 9 << 1 << 43.3 << false;
        QTest::newRow("level 8 last") << 8 << 11 << 43.3 << false;
        QTest::newRow("level 0") << 0 << 1 << 0.0 << true;
        QTest::newRow("level 22") << 22 << 1 << 0.0 << true;
        QTest::newRow("shuttle 0") << 5 << 0 << 0.0 << true;
        QTest::newRow("shuttle 19") << 5 << 19 << 0.0 << true;
        QTest::newRow("negative level") << -3 << 2 << 0.0 << true;
    }
    void lookupVO2() {
        QFETCH(int, level);
        QFETCH(int, shuttle);
        QFETCH(double, expected);
        QFETCH(bool, message);
        FakeDialogs dialogs;
        QCOMPARE(global::LookupVO2(level, shuttle), expected);
        if (message) {
            QCOMPARE(dialogs.Shown().size(), std::size_t(1));
            QCOMPARE(dialogs.Shown()[0].kind, ShownBox::Message);
            QCOMPARE(dialogs.Shown()[0].text, std::string("Werte nicht definiert"));
        } else {
            QVERIFY(dialogs.Shown().empty());
        }
    }

    // All 378 cells against the table as published, read from a fixture: a single wrong
    // value anywhere is caught.
    void wholeTableAgainstTheFixture() {
        QFile file(QStringLiteral(VEXO_EVALUATION_FIXTURES "/vo2max_table.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        double expected[22][19] = {};
        int levels = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const int colon = line.indexOf(':');
            const int level = line.left(colon).toInt();
            QVERIFY(level >= 1 && level <= 21);
            int shuttle = 0;
            for (const QString& value : line.mid(colon + 1).split(',', Qt::SkipEmptyParts))
                expected[level][++shuttle] = value.trimmed().toDouble();
            ++levels;
        }
        QCOMPARE(levels, 21);
        FakeDialogs dialogs;
        for (int level = 1; level <= 21; ++level)
            for (int shuttle = 1; shuttle <= 18; ++shuttle)
                QVERIFY2(global::LookupVO2(level, shuttle) == expected[level][shuttle],
                         qPrintable(QString("level %1, shuttle %2").arg(level).arg(shuttle)));
        QVERIFY(dialogs.Shown().empty());
    }

    // From level 4 to 20 each level's last value opens the next level, and the values
    // stop exactly at the level's shuttle count.
    void tableShape() {
        const int shuttles[22] = {0,  7,  8,  8,  9,  9,  10, 10, 11, 11, 11,
                                  12, 12, 13, 13, 13, 14, 14, 15, 15, 16, 16};
        FakeDialogs dialogs;
        for (int level = 4; level <= 21; ++level) {
            for (int s = 1; s <= 18; ++s)
                QCOMPARE(global::LookupVO2(level, s) > 0, s <= shuttles[level]);
            if (level < 21)
                QCOMPARE(global::LookupVO2(level, shuttles[level]), global::LookupVO2(level + 1, 1));
        }
    }

    void rating_data() {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<int>("age");
        QTest::addColumn<double>("vo2");
        QTest::addColumn<QString>("word"); // empty: no word
        QTest::newRow("woman 45 at bound") << "W" << 45 << 32.9 << "sehr gut";
        QTest::newRow("woman 45 below") << "W" << 45 << 32.8 << "gut";
        QTest::newRow("man 45 at bound") << "M" << 45 << 30.2 << "schlecht";
        QTest::newRow("man 45 below") << "M" << 45 << 30.1 << "sehr schlecht";
        QTest::newRow("man 45 top") << "M" << 45 << 48.1 << "überragend";
        QTest::newRow("woman 55 below") << "W" << 55 << 22.7 << "schlecht";
        QTest::newRow("woman 55 at") << "W" << 55 << 22.8 << "ok";
        QTest::newRow("age 12") << "M" << 12 << 80.0 << "";
        QTest::newRow("age 0") << "W" << 0 << 40.0 << "";
        QTest::newRow("negative age") << "M" << -20 << 40.0 << "";
        QTest::newRow("age 13 row 13-19") << "M" << 13 << 35.0 << "schlecht";
        QTest::newRow("age 19 row 13-19") << "M" << 19 << 34.9 << "sehr schlecht";
        QTest::newRow("age 20 row 20-29") << "M" << 20 << 33.0 << "schlecht";
        QTest::newRow("age 59 row 50-59") << "M" << 59 << 45.4 << "überragend";
        QTest::newRow("age 60 row 60+") << "M" << 60 << 44.3 << "überragend";
        QTest::newRow("age 150 row 60+") << "M" << 150 << 20.4 << "sehr schlecht";
        QTest::newRow("women 60+ narrow band") << "W" << 61 << 30.3 << "sehr gut";
        QTest::newRow("women 60+ top") << "W" << 61 << 31.5 << "überragend";
        QTest::newRow("lower-case w") << "w" << 25 << 42.5 << "überragend";
        QTest::newRow("lower-case m") << "m" << 25 << 42.5 << "gut";
        QTest::newRow("empty sex is male") << "" << 25 << 42.5 << "gut";
        QTest::newRow("longer text is male") << "W " << 25 << 42.5 << "gut";
        QTest::newRow("zero is worst") << "W" << 30 << 0.0 << "sehr schlecht";
        QTest::newRow("table value 30.2") << "M" << 45 << 30.2 << "schlecht";
    }
    void rating() {
        QFETCH(QString, sex);
        QFETCH(int, age);
        QFETCH(double, vo2);
        QFETCH(QString, word);
        const auto result = evaluation::RateFitness(sex.toStdString(), age, vo2);
        QCOMPARE(QString::fromStdString(result.value_or("")), word);
        QCOMPARE(result.has_value(), !word.isEmpty());
    }

    // Every bound of both tables sits exactly at a table value's double where they meet:
    // comparing against the same decimal literal puts equality into the upper band.
    void everyBoundStartsItsBand() {
        const double women[6][5] = {{25.0, 31.0, 35.0, 39.0, 42.0}, {23.6, 29.0, 33.0, 37.0, 41.1},
                                    {22.8, 27.0, 31.5, 35.7, 40.1}, {21.0, 24.5, 29.0, 32.9, 37.0},
                                    {20.2, 22.8, 27.0, 31.5, 35.8}, {17.5, 20.2, 24.5, 30.3, 31.5}};
        const double men[6][5] = {{35.0, 38.4, 45.2, 51.0, 56.0}, {33.0, 36.5, 42.5, 46.5, 52.5},
                                  {31.5, 35.5, 41.0, 45.0, 49.5}, {30.2, 33.6, 39.0, 43.8, 48.1},
                                  {26.1, 31.0, 35.8, 41.0, 45.4}, {20.5, 26.1, 32.3, 36.5, 44.3}};
        const char* words[] = {"sehr schlecht", "schlecht", "ok", "gut", "sehr gut", "überragend"};
        const int ages[] = {15, 25, 35, 45, 55, 65};
        for (int g = 0; g < 6; ++g)
            for (int k = 0; k < 5; ++k) {
                QCOMPARE(*evaluation::RateFitness("W", ages[g], women[g][k]), std::string(words[k + 1]));
                QCOMPARE(*evaluation::RateFitness("W", ages[g], women[g][k] - 0.1), std::string(words[k]));
                QCOMPARE(*evaluation::RateFitness("M", ages[g], men[g][k]), std::string(words[k + 1]));
                QCOMPARE(*evaluation::RateFitness("M", ages[g], men[g][k] - 0.1), std::string(words[k]));
            }
    }
};

QTEST_APPLESS_MAIN(TestEvaluation)
#include "test_evaluation.moc"
