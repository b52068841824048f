// The health zone of children and young people: the standards at every age from 10 to 19
// and each of their bounds for boys and girls, none outside those ages; the children's
// equation at points worked out by hand; the zone of a result from its level and shuttle.
#include "evaluation/health_zone.h"

#include <QtTest>

using namespace evaluation;

namespace {

// The standards as published (risk at or below, healthy at or above), typed apart from the
// program's table: ages 10 .. 17, then "over 17" for 18 and 19.
struct Standard {
    int age;
    double boysRisk, boysHealthy, girlsRisk, girlsHealthy;
};
const Standard Standards[] = {{10, 37.3, 40.2, 37.3, 40.2}, {11, 37.3, 40.2, 37.3, 40.2},
                              {12, 37.6, 40.3, 37.0, 40.1}, {13, 38.6, 41.1, 36.6, 39.7},
                              {14, 39.6, 42.5, 36.3, 39.4}, {15, 40.6, 43.6, 36.0, 39.1},
                              {16, 41.0, 44.1, 35.8, 38.9}, {17, 41.2, 44.2, 35.7, 38.8},
                              {18, 41.2, 44.3, 35.3, 38.6}, {19, 41.2, 44.3, 35.3, 38.6}};

QString Zone(const std::optional<HealthZone>& zone) {
    return zone ? QString::fromStdString(ZoneText(*zone)) : QStringLiteral("–");
}

} // namespace

class TestHealthZone : public QObject {
    Q_OBJECT
private slots:
    void zones_data() {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<int>("age");
        QTest::addColumn<double>("vo2");
        QTest::addColumn<QString>("zone");
        const QString risk = QStringLiteral("Verbesserung nötig – Risiko");
        const QString improve = QStringLiteral("Verbesserung nötig");
        const QString healthy = QStringLiteral("Gesundheitszone");
        for (const Standard& s : Standards)
            for (const QString& sex : {QStringLiteral("M"), QStringLiteral("W")}) {
                const bool boy = sex == QLatin1String("M");
                const double low = boy ? s.boysRisk : s.girlsRisk,
                             high = boy ? s.boysHealthy : s.girlsHealthy;
                const QByteArray name = QStringLiteral("%1 %2: ").arg(sex).arg(s.age).toUtf8();
                QTest::newRow(name + "at the risk bound") << sex << s.age << low << risk;
                QTest::newRow(name + "just above it") << sex << s.age << low + 0.1 << improve;
                QTest::newRow(name + "just below healthy") << sex << s.age << high - 0.1 << improve;
                QTest::newRow(name + "at the healthy bound") << sex << s.age << high << healthy;
            }
        // Rounded to one decimal before the comparison.
        QTest::newRow("37.34 is 37.3: risk at 10") << "m" << 10 << 37.34 << risk;
        QTest::newRow("37.35 is 37.4") << "M" << 10 << 37.35 << improve;
        QTest::newRow("40.05 is 40.1: healthy girl of 12") << "w" << 12 << 40.05 << healthy;
        for (const QString& sex : {QStringLiteral("M"), QStringLiteral("W")}) {
            QTest::newRow(QStringLiteral("%1 9: none").arg(sex).toUtf8()) << sex << 9 << 50.0 << "–";
            QTest::newRow(QStringLiteral("%1 20: none").arg(sex).toUtf8()) << sex << 20 << 50.0 << "–";
        }
        QTest::newRow("no sex: none") << "" << 14 << 50.0 << "–";
    }
    void zones() {
        QFETCH(QString, sex);
        QFETCH(int, age);
        QFETCH(double, vo2);
        QFETCH(QString, zone);
        QCOMPARE(Zone(ZoneOf(sex.toStdString(), age, vo2)), zone);
    }

    // VO2max = 31.025 + 3.238 v − 3.248 A + 0.1536 v A, as Léger et al. (1988) publish it:
    // v is the speed of the last stage announced, the level the runner stopped in, exactly
    // 8 + 0.5 · level km/h. Worked out by hand.
    void childrensEquation_data() {
        QTest::addColumn<int>("age");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("shuttle");
        QTest::addColumn<double>("vo2");
        QTest::newRow("12, stopped in level 5") << 12 << 5 << 3 << 45.4016;            // v 10.5
        QTest::newRow("10, stopped in level 1") << 10 << 1 << 2 << 39.124;             // v 8.5
        QTest::newRow("10, level 1 complete: stopped in 2") << 10 << 1 << 7 << 41.511; // v 9.0
        QTest::newRow("15, stopped in level 9") << 15 << 9 << 3 << 51.58;              // v 12.5
        QTest::newRow("16, stopped in level 6") << 16 << 6 << 4 << 41.7086;            // v 11.0
        QTest::newRow("18, stopped in level 12") << 18 << 12 << 1 << 56.6002;          // v 14.0
        QTest::newRow("19, the whole test") << 19 << 21 << 16 << 83.2064;              // v 18.5
    }
    void childrensEquation() {
        QFETCH(int, age);
        QFETCH(int, level);
        QFETCH(int, shuttle);
        QFETCH(double, vo2);
        const auto computed = ChildVo2max(age, level, shuttle);
        QVERIFY(computed);
        QVERIFY2(std::abs(*computed - vo2) < 1e-9, qPrintable(QString::number(*computed, 'f', 6)));
    }

    // The speed is the published one, not 20 m over the shuttle time rounded to the
    // millisecond (which is up to 0.01 km/h off and can move a value across a zone's bound).
    void exactSpeed() {
        for (int level = 1; level <= 21; ++level)
            QCOMPARE(LevelSpeedKmh(level), 8.0 + 0.5 * level);
    }

    // Nothing outside the schedule; a drop-out in level 1 has its zone.
    void outsideTheSchedule() {
        QCOMPARE(LevelReached(1, 6), 1);
        QCOMPARE(LevelReached(1, 7), 2);
        QCOMPARE(LevelReached(21, 16), 21);
        QCOMPARE(LevelReached(5, 10), 0); // level 5 has 9 shuttles
        QVERIFY(!ChildVo2max(12, 0, 1));
        QVERIFY(!ChildVo2max(12, 22, 1));
        QVERIFY(ChildZone("W", 12, 1, 3));
    }
};

QTEST_APPLESS_MAIN(TestHealthZone)
#include "test_health_zone.moc"
