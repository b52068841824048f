// Class lists as administrations and spreadsheets export them: separators, encodings, the
// byte-order mark, German and English headers in any order, bad rows with their reasons,
// duplicates; and the import, which lands whole or not at all.
#include "data/DModule.h"
#include "data/groups.h"
#include "data/text_encoding.h"
#include "data_rig.h"
#include "evaluation/global.h"
#include "grouptest/class_import.h"

#include <QtTest>

using namespace grouptest;

namespace {

// A row as "Vorname Name sex year | problem".
QStringList Rows(const ClassList& list) {
    QStringList rows;
    for (const ClassListRow& r : list.rows)
        rows << QString::fromStdString(r.firstName + " " + r.name + " " + (r.sex.empty() ? "?" : r.sex) +
                                       " " + std::to_string(r.birthYear) +
                                       (r.birthYear > 0 ? "" : " (" + r.birthAsWritten + ")") +
                                       (r.problem.empty() ? "" : " | " + r.problem));
    return rows;
}

} // namespace

class TestClassList : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("semicolons, UTF-8 with BOM, CR LF")
            << QByteArray(
                   "\xEF\xBB\xBFName;Vorname;Geschlecht;Geburtsjahr\r\nGro\xC3\x9F;J\xC3\xBCrgen;m;2012\r\n")
            << "UTF-8"
            << ";" << QStringList{"Jürgen Groß M 2012"};
        QTest::newRow("commas, English headers in another order")
            << QByteArray("First name,Last name,Year of birth,Sex\nZo\xC3\xAB,Wei\xC3\x9F,2013,f\n")
            << "UTF-8"
            << "," << QStringList{"Zoë Weiß W 2013"};
        QTest::newRow("tabs, Windows-1252, birth date, sex d")
            << QByteArray("Vorname\tNachname\tGeburtsdatum\tm/w/d\nJ\xFCrgen\tM\xFCller\t03.05.2012\td\n")
            << "Windows-1252"
            << "\t" << QStringList{"Jürgen Müller ? 2012"};
        QTest::newRow("quoted field holding the separator, no sex column")
            << QByteArray("Name;Vorname;Jahrgang\n\"Meyer; Dr.\";Anna;2011\n\n") << "UTF-8"
            << ";" << QStringList{"Anna Meyer; Dr. ? 2011"};
        QTest::newRow("ISO date, empty sex")
            << QByteArray("Familienname;Vorname;Geb.-Datum;Geschlecht\nKlein;Kim;2013-02-28;\n") << "UTF-8"
            << ";" << QStringList{"Kim Klein ? 2013"};
        QTest::newRow("bad rows and a duplicate")
            << QByteArray("Name;Vorname;Geschlecht;Geburtsjahr\n"
                          "Alt;Otto;m;1900\n"
                          ";Leer;w;2012\n"
                          "Sehrsehrsehrlangername;Lara;w;2012\n"
                          "Nowak;\xC5\x81ukasz;m;2012\n"
                          "Ott;Anna;w;2012\n"
                          "Ott;Anna;w;2012\n"
                          "Ott;Anna;w;2013\n"
                          "Ott;Ina;w;20l3\n")
            << "UTF-8"
            << ";"
            << QStringList{"Otto Alt M 1900 | das Geburtsjahr sollte zwischen 1920 und heute liegen",
                           "Leer  W 2012 | Der Name fehlt",
                           "Lara Sehrsehrsehrlangername W 2012 | Der Name ist länger als 20 Zeichen",
                           "Łukasz Nowak M 2012 | Der Vorname enthält das Zeichen \"Ł\", das die Datei nicht "
                           "speichern kann",
                           "Anna Ott W 2012",
                           "Anna Ott W 2012 | doppelt (wie Zeile 6)",
                           "Anna Ott W 2013",
                           "Ina Ott W -1 (20l3) | das Geburtsjahr sollte zwischen 1920 und heute liegen"};
    }
    void parse() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, encoding);
        QFETCH(QString, separator);
        QFETCH(QStringList, rows);
        const ClassList list = ParseClassList(bytes.toStdString(), 2026);
        QCOMPARE(QString::fromStdString(list.encoding), encoding);
        QCOMPARE(QString(QChar::fromLatin1(list.separator)), separator);
        QCOMPARE(Rows(list), rows);
    }

    void noClassList_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << "Die Datei ist leer.";
        QTest::newRow("no header") << QByteArray("Groß;Jürgen;m;2012\n") << "Die erste Zeile nennt nicht";
        QTest::newRow("no birth year") << QByteArray("Name;Vorname\nA;B\n") << "Die erste Zeile nennt nicht";
        QTest::newRow("too large") << QByteArray(int(MaxClassListBytes) + 1, 'x') << "zu groß";
    }
    void noClassList() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QVERIFY(FailureOf([&] { ParseClassList(bytes.toStdString(), 2026); }).contains(message));
    }

    // New athletes through the athlete table, known ones found again, a group of all of them;
    // refused rows and those without a sex stay out.
    void importCreatesAthletesAndGroup() {
        DataRig rig;
        rig.Module().FirstActivation();
        const auto known = PostAthlete(rig.dm->cdsSportler, "Anna", "Ott", "W", 2012);
        ClassList list = ParseClassList("Name;Vorname;Geschlecht;Geburtsjahr\n"
                                        "Ott;Anna;w;2012\n"
                                        "Groß;Ben;m;2012\n"
                                        "Klein;Kim;d;2013\n"
                                        "Alt;Otto;m;1900\n",
                                        2026);
        auto plan = PlanImport(*rig.dm, list.rows);
        QCOMPARE(int(plan[0].fate), int(RowFate::Known));
        QCOMPARE(plan[0].athleteId, known);
        QCOMPARE(int(plan[1].fate), int(RowFate::New));
        QCOMPARE(int(plan[2].fate), int(RowFate::Refused)); // the sex is asked for
        QCOMPARE(int(plan[3].fate), int(RowFate::Refused));
        list.rows[2].sex = "W"; // as the user chose
        const ImportOutcome outcome = ImportClassList(*rig.dm, "Klasse 7b", list.rows);
        QCOMPARE(outcome.created, 2);
        QCOMPARE(outcome.known, 1);
        QCOMPARE(rig.dm->cdsSportler.RecordCount(), 3);
        const data::Group group = data::GroupStore(*rig.dm).Get(outcome.groupId);
        QCOMPARE(group.name, std::string("Klasse 7b"));
        QCOMPARE(group.members.size(), std::size_t(3));
        QVERIFY(rig.Read(global::SportlerPath).contains("Kim"));
    }

    // The athlete table refuses a row on the way (a birth year after this year): nothing of
    // the list lands, neither athletes nor group; a name already taken stops it at once.
    void importLandsWholeOrNotAtAll() {
        DataRig rig;
        rig.Module().FirstActivation();
        const ClassList list = ParseClassList("Name;Vorname;Geschlecht;Geburtsjahr\n"
                                              "Groß;Ben;m;2012\n"
                                              "Neu;Nina;w;2028\n",
                                              2030);
        QVERIFY(!FailureOf([&] { ImportClassList(*rig.dm, "Klasse 7b", list.rows); }).isEmpty());
        QCOMPARE(rig.dialogs.Texts(),
                 std::vector<std::string>{"das Geburtsjahr sollte zwischen 1920 und heute liegen!"});
        QCOMPARE(rig.dm->cdsSportler.RecordCount(), 0);
        QVERIFY(data::GroupStore(*rig.dm).All().empty());
        QVERIFY(!rig.dm->cdsSportler.Editing());

        data::GroupStore(*rig.dm).Create("Klasse 7b");
        const ClassList good = ParseClassList("Name;Vorname;Geschlecht;Geburtsjahr\nGroß;Ben;m;2012\n", 2026);
        QCOMPARE(FailureOf([&] { ImportClassList(*rig.dm, "Klasse 7b", good.rows); }),
                 QStringLiteral("Eine Gruppe \"Klasse 7b\" gibt es schon."));
        QCOMPARE(rig.dm->cdsSportler.RecordCount(), 0);
    }
};

QTEST_APPLESS_MAIN(TestClassList)
#include "test_class_list.moc"
