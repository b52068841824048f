// The athlete and result tables: the checks on posting an athlete, the computed values of
// a result, the look-ups, the cursor flags and the field rules.
#include "data/data_source.h"
#include "data/date_value.h"
#include "data/text_encoding.h"
#include "data_rig.h"

#include <QtTest>

using namespace data;

namespace {

// A data module whose files were just created in an empty folder, both tables open.
struct OpenRig : DataRig {
    OpenRig() { Module().FirstActivation(); }
    Table& Athletes() { return dm->cdsSportler; }
    Table& Results() { return dm->cdsMultiwert; }

    std::int64_t AddAthlete(const char* first, const char* last, const char* sex, int year) {
        return PostAthlete(Athletes(), first, last, sex, year);
    }
    void AddResult(std::int64_t athlete, int y, int m, int d, int level, int shuttle) {
        PostResult(Results(), athlete, y, m, d, level, shuttle);
    }
    QString Rating() { return QString::fromStdString(Cp1252ToUtf8(Results().AsString("Bewertung"))); }
};

// Records every notice a link hears, in order, as short words; a structural change told
// before it happens as "before ...", with the number of rows the table shows then.
struct LinkRecorder : DataLink {
    QStringList heard;
    void ActiveChanged() override { heard << "active"; }
    void DataChanged() override { heard << "data"; }
    void EditingChanged() override { heard << "editing"; }
    void RowsAboutToChange(const RowChange& c) override {
        const Table* table = Source()->DataSet();
        heard << QStringLiteral("before %1 (%2 rows)")
                     .arg(Word(c))
                     .arg(table->Active() ? table->RowCount() : 0);
    }
    void RowsChanged(const RowChange& c) override { heard << Word(c); }
    static QString Word(const RowChange& c) {
        static const char* const kinds[] = {"reset", "inserted", "moved",  "removed",
                                            "field", "row",      "current"};
        QString word = QString::fromLatin1(kinds[c.kind]);
        if (c.kind != RowChange::Reset)
            word += QStringLiteral(" %1").arg(c.row);
        if (c.kind == RowChange::RowMoved || c.kind == RowChange::CurrentMoved)
            word += QStringLiteral(">%1").arg(c.to);
        if (c.kind == RowChange::FieldChanged)
            word += QStringLiteral(".%1").arg(c.field);
        return word;
    }
    QStringList Take() { return std::exchange(heard, {}); }
};

} // namespace

class TestTables : public QObject {
    Q_OBJECT
private slots:
    // The German date, read as typed and written as shown, in the one place that does both:
    // one or two digits for day and month, four for the year, blanks around; a real day only.
    void germanDates_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // empty: no date
        QTest::newRow("full") << "10.12.2026"
                              << "10.12.2026";
        QTest::newRow("short day and month") << "1.2.2026"
                                             << "01.02.2026";
        QTest::newRow("blanks around") << " \t03.06.2026  "
                                       << "03.06.2026";
        QTest::newRow("leap day") << "29.02.2024"
                                  << "29.02.2024";
        QTest::newRow("no leap day") << "29.02.2026"
                                     << "";
        QTest::newRow("31 February") << "31.02.2026"
                                     << "";
        QTest::newRow("month 13") << "01.13.2026"
                                  << "";
        QTest::newRow("two-digit year") << "01.02.26"
                                        << "";
        QTest::newRow("five-digit year") << "01.02.20260"
                                         << "";
        QTest::newRow("three-digit day") << "001.02.2026"
                                         << "";
        QTest::newRow("text after") << "01.02.2026x"
                                    << "";
        QTest::newRow("blank inside") << "01. 02.2026"
                                      << "";
        QTest::newRow("day 0") << "0.1.2026"
                               << "";
        QTest::newRow("year 0") << "01.01.0000"
                                << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("the day counter's start") << "30.12.1899"
                                                 << "30.12.1899";
    }
    void germanDates() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        const std::optional<int> day = ParseGermanDate(typed.toStdString());
        QCOMPARE(day.has_value(), !shown.isEmpty());
        if (day)
            QCOMPARE(QString::fromStdString(FormatGermanDate(*day)), shown);
        QCOMPARE(*ParseGermanDate("30.12.1899"), 0);
        QCOMPARE(FormatGermanDate(DaysFromCivil(2026, 12, 10)), std::string("10.12.2026"));
    }

    void athleteChecks_data() {
        QTest::addColumn<QString>("year"); // empty: the field stays empty
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("message"); // empty: accepted
        const QString yearMessage = QStringLiteral("das Geburtsjahr sollte zwischen 1920 und heute liegen!");
        const QString sexMessage = QStringLiteral("das Geschlecht sollte \"W\" oder \"M\" sein");
        QTest::newRow("1919") << "1919"
                              << "W" << yearMessage;
        QTest::newRow("1920") << "1920"
                              << "W"
                              << "";
        QTest::newRow("this year") << "2026"
                                   << "M"
                                   << "";
        QTest::newRow("next year") << "2027"
                                   << "M" << yearMessage;
        QTest::newRow("empty year") << ""
                                    << "W" << yearMessage;
        QTest::newRow("lower-case w stays") << "1990"
                                            << "w"
                                            << "";
        QTest::newRow("x") << "1990"
                           << "x" << sexMessage;
        QTest::newRow("F") << "1990"
                           << "F" << sexMessage;
        QTest::newRow("empty sex") << "1990"
                                   << "" << sexMessage;
        QTest::newRow("W with blanks is W") << "1990"
                                            << "W  "
                                            << "";
        QTest::newRow("both wrong: only the year") << "1800"
                                                   << "x" << yearMessage;
    }
    void athleteChecks() {
        QFETCH(QString, year);
        QFETCH(QString, sex);
        QFETCH(QString, message);
        OpenRig rig;
        Table& t = rig.Athletes();
        t.Insert();
        t.SetAsString("Name", "Test");
        t.SetAsString("Geschlecht", sex.toStdString());
        if (!year.isEmpty())
            t.SetAsInteger("Geburtsjahr", year.toInt());
        const bool aborted = FailureOf([&] { t.Post(); }) == QStringLiteral("Operation abgebrochen");
        QCOMPARE(aborted, !message.isEmpty());
        if (message.isEmpty()) {
            QVERIFY(rig.dialogs.Shown().empty());
            QCOMPARE(t.State(), TableState::Browse);
            QCOMPARE(QString::fromStdString(t.AsString("Geschlecht")), sex.trimmed());
            QCOMPARE(t.RecordCount(), 1);
        } else {
            QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
            QCOMPARE(rig.dialogs.Shown()[0].kind, ShownBox::Message);
            QCOMPARE(QString::fromStdString(rig.dialogs.Shown()[0].text), message);
            // Nothing stored; the input stays for correcting or cancelling.
            QCOMPARE(t.State(), TableState::Insert);
            QCOMPARE(t.AsString("Name"), std::string("Test"));
            QCOMPARE(t.RecordCount(), 0);
            QCOMPARE(t.Store().Count(), 0u);
        }
    }

    void resultSteps_data() {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<int>("born");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("shuttle");
        QTest::addColumn<double>("vo2");
        QTest::addColumn<QString>("rating");
        QTest::addColumn<bool>("message");
        QTest::newRow("level 5 shuttle 2") << "M" << 1981 << 5 << 2 << 30.2 << "schlecht" << false;
        QTest::newRow("woman 45 sehr gut") << "W" << 1981 << 6 << 1 << 32.9 << "sehr gut" << false;
        QTest::newRow("lower-case w") << "w" << 1981 << 6 << 1 << 32.9 << "sehr gut" << false;
        QTest::newRow("top rating umlaut") << "M" << 2000 << 12 << 1 << 53.7 << "überragend" << false;
        QTest::newRow("level 3: no value") << "M" << 2000 << 3 << 5 << 0.0 << "sehr schlecht" << false;
        QTest::newRow("outside the table") << "M" << 2000 << 0 << 1 << 0.0 << "sehr schlecht" << true;
        QTest::newRow("aged 12: no word") << "M" << 2014 << 10 << 1 << 46.8 << "" << false;
    }
    void resultSteps() {
        QFETCH(QString, sex);
        QFETCH(int, born);
        QFETCH(int, level);
        QFETCH(int, shuttle);
        QFETCH(double, vo2);
        QFETCH(QString, rating);
        QFETCH(bool, message);
        OpenRig rig;
        const auto id = rig.AddAthlete("Eva", "Engel", sex.toLatin1().constData(), born);
        rig.Athletes().SaveToFile();
        rig.AddResult(id, 2026, 6, 1, level, shuttle);
        QCOMPARE(rig.Results().AsFloat("VO2-wert"), vo2);
        QCOMPARE(rig.Rating(), rating);
        QVERIFY(!rig.Results().IsNull("Bewertung"));
        QCOMPARE(rig.dialogs.Texts(),
                 message ? std::vector<std::string>{"Werte nicht definiert"} : std::vector<std::string>{});
        QCOMPARE(rig.Results().AsString("Sportler Vorname"), std::string("Eva"));
        QCOMPARE(rig.Results().AsString("Sportler Name"), std::string("Engel"));
    }

    void editedDateRecomputesRating() {
        OpenRig rig;
        const auto id = rig.AddAthlete("Ute", "Ulm", "W", 1960);
        rig.Athletes().SaveToFile();
        rig.AddResult(id, 2019, 5, 1, 6, 1); // 59 years: 32.9 is "sehr gut"
        QCOMPARE(rig.Rating(), QStringLiteral("sehr gut"));
        rig.Results().Edit();
        rig.Results().SetAsDate("Datum", DaysFromCivil(2021, 1, 1)); // 61 years
        rig.Results().Post();
        QCOMPARE(rig.Rating(), QStringLiteral("überragend"));
    }

    // A stored athlete counts for the rating as soon as it is posted, saved or not; the
    // look-up copy answers for what the file holds.
    void storedAthleteCountsForTheRating() {
        OpenRig rig;
        const auto id = rig.AddAthlete("Tina", "Tal", "W", 1981); // stored, not saved
        rig.AddResult(id, 2026, 3, 1, 6, 1);
        QCOMPARE(rig.Rating(), QStringLiteral("sehr gut")); // a woman aged 45 with 32.9
        // Saved, then deleted in the table only: the file still knows her (another athlete's
        // post makes the look-up copy read the file again).
        rig.Athletes().SaveToFile();
        rig.AddAthlete("Udo", "Ufer", "M", 1990);
        QVERIFY(rig.Athletes().FindKey({Value{std::string("Tal")}}));
        rig.Athletes().Delete();
        rig.AddResult(id, 2026, 3, 2, 6, 1);
        QCOMPARE(rig.Rating(), QStringLiteral("sehr gut"));
        // Unknown to both: a man aged 2026 (birth year 0), row 60 and over.
        rig.AddResult(id + 5, 2026, 3, 3, 6, 1);
        QCOMPARE(rig.Rating(), QStringLiteral("gut"));
    }

    // Results at the edges of the rating rule.
    void ratingEdges_data() {
        QTest::addColumn<bool>("known");
        QTest::addColumn<int>("born");
        QTest::addColumn<int>("year"); // 0: no date
        QTest::addColumn<QString>("rating");
        // clang-format off
        QTest::newRow("no date: the year 1899, negative age") << true << 1990 << 0 << "";
        QTest::newRow("no date, unknown athlete: row 60 and over") << false << 1990 << 0 << "gut";
        QTest::newRow("in the birth year: age 0") << true << 2010 << 2010 << "";
        QTest::newRow("born 1990, tested 2009: 19") << true << 1990 << 2009 << "sehr schlecht";
        // clang-format on
    }
    void ratingEdges() {
        QFETCH(bool, known);
        QFETCH(int, born);
        QFETCH(int, year);
        QFETCH(QString, rating);
        OpenRig rig;
        const auto id = rig.AddAthlete("Eva", "Engel", "M", born);
        Table& r = rig.Results();
        r.Insert();
        r.SetAsInteger("sportlerid", known ? id : id + 50);
        if (year)
            r.SetAsDate("Datum", DaysFromCivil(year, 1, 1));
        r.SetAsInteger("Level", 6);
        r.SetAsInteger("Runde", 1); // 32.9
        r.Post();
        QCOMPARE(rig.Rating(), rating);
    }

    // The look-up copy cannot be opened when the athlete file has gone: the result's post
    // fails with the table's message and nothing is stored.
    void missingAthleteFileDuringAResultPost() {
        OpenRig rig;
        const auto id = rig.AddAthlete("Xaver", "Xylo", "M", 1990); // closes the look-up copy
        QFile::remove(QString::fromStdString(global::SportlerPath));
        QCOMPARE(FailureOf([&] { rig.AddResult(id, 2026, 3, 1, 6, 1); }),
                 QStringLiteral("Fehlender Daten-Provider oder Datenpaket"));
        QCOMPARE(rig.Results().RecordCount(), 0);
        QCOMPARE(rig.Results().State(), TableState::Insert);
    }

    void resultWithoutAthleteIsStored() {
        OpenRig rig;
        rig.AddResult(77, 2026, 3, 1, 15, 13); // 67.5
        QCOMPARE(rig.Rating(), QStringLiteral("überragend"));
        QCOMPARE(rig.Results().RecordCount(), 1);
        QVERIFY(rig.Results().IsNull("Sportler Name"));
    }

    void lookupFailsOnAnUnreadableAthleteFile() {
        OpenRig rig;
        rig.AddAthlete("Xaver", "Xylo", "M", 1990); // closes the look-up copy
        rig.Write(global::SportlerPath, "kaputt");
        QCOMPARE(FailureOf([&] { rig.AddResult(1, 2026, 3, 1, 6, 1); }),
                 QStringLiteral("Mismatch in datapacket."));
        QCOMPARE(rig.Results().RecordCount(), 0);
        QCOMPARE(rig.Results().State(), TableState::Insert);
    }

    void refresh_data() {
        QTest::addColumn<bool>("history");
        QTest::addColumn<QString>("message");
        QTest::newRow("with a change log")
            << true << "Die Änderungen müssen vor der Aktualisierung der Daten übernommen werden";
        QTest::newRow("without") << false << "Fehlender Daten-Provider oder Datenpaket";
    }
    void refresh() {
        QFETCH(bool, history);
        QFETCH(QString, message);
        OpenRig rig;
        if (history) {
            rig.AddAthlete("Rita", "Rot", "W", 1990);
            rig.Athletes().SaveToFile();
            rig.Athletes().LoadFromFile(global::SportlerPath);
        }
        const int count = rig.Athletes().RecordCount();
        QCOMPARE(FailureOf([&] { rig.Athletes().Refresh(); }), message);
        QCOMPARE(rig.Athletes().RecordCount(), count);
        QVERIFY(rig.Athletes().Active());
    }

    // Refresh posts a pending record first, with its checks.
    void refreshPostsThePendingRecord() {
        OpenRig rig;
        Table& t = rig.Athletes();
        t.Insert();
        t.SetAsString("Name", "Ohne Jahr");
        QVERIFY_THROWS_EXCEPTION(vexo::Abort, t.Refresh());
        QCOMPARE(t.State(), TableState::Insert);
        t.SetAsInteger("Geburtsjahr", 2000);
        t.SetAsString("Geschlecht", "M");
        QCOMPARE(FailureOf([&] { t.Refresh(); }),
                 QStringLiteral("Die Änderungen müssen vor der Aktualisierung der Daten übernommen werden"));
        QCOMPARE(t.State(), TableState::Browse);
        QCOMPARE(t.RecordCount(), 1);
    }

    // A value outside its field's type is refused with a clear message, whichever setter
    // is used; the record keeps what it held.
    void valuesOutsideTheirType_data() {
        QTest::addColumn<QString>("setter");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("außerhalb des gültigen Bereichs");
        const QString invalid = QStringLiteral("ist kein gültiger Wert");
        // clang-format off
        QTest::newRow("integer beyond 32 bits") << "integer" << "Level" << "4294967301" << range;
        QTest::newRow("integer below 32 bits") << "integer" << "Runde" << "-2147483649" << range;
        QTest::newRow("float into an integer field") << "float" << "Level" << "1e12" << range;
        QTest::newRow("text: overlong number") << "text" << "Level" << "99999999999" << range;
        QTest::newRow("text: far too long a number") << "text" << "Level" << "123456789012345678901234567890" << range;
        QTest::newRow("text: letters") << "text" << "Runde" << "12abc" << invalid;
        QTest::newRow("text: a date that cannot be") << "text" << "Datum" << "20260230" << invalid;
        QTest::newRow("date after 9999") << "date" << "Datum" << "10000" << range;
        QTest::newRow("date before the year 1") << "date" << "Datum" << "0" << range;
        QTest::newRow("float not a number") << "float" << "VO2-wert" << "nan" << range;
        QTest::newRow("float infinite") << "float" << "VO2-wert" << "inf" << range;
        // clang-format on
    }
    void valuesOutsideTheirType() {
        QFETCH(QString, setter);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        OpenRig rig;
        Table& r = rig.Results();
        r.Insert();
        r.SetAsInteger("Level", 5);
        r.SetAsInteger("Runde", 2);
        r.SetAsDate("Datum", DaysFromCivil(2026, 5, 1));
        r.SetAsFloat("VO2-wert", 1.5);
        const Value before = r.GetValue(field.toStdString());
        const std::string name = field.toStdString();
        const QString failure = FailureOf([&] {
            if (setter == "integer")
                r.SetAsInteger(name, value.toLongLong());
            else if (setter == "float")
                r.SetAsFloat(name, value.toDouble());
            else if (setter == "date")
                r.SetAsDate(name, value == "0" ? DaysFromCivil(1, 1, 1) - 1 : DaysFromCivil(10000, 1, 1));
            else
                r.SetAsString(name, value.toStdString());
        });
        QVERIFY2(failure.contains(message), qPrintable(failure));
        QVERIFY(failure.contains(field));
        QVERIFY(r.GetValue(name) == before);
        QCOMPARE(r.State(), TableState::Insert);
    }

    void resultsFieldList() {
        OpenRig rig;
        QStringList names;
        for (int f = 0; f < rig.Results().FieldCount(); ++f)
            names << QString::fromStdString(rig.Results().FieldName(f));
        QCOMPARE(names, (QStringList{"werteid", "sportlerid", "Datum", "Level", "Runde", "VO2-wert",
                                     "Infoswerte", "Sportler Vorname", "Sportler Name", "Bewertung"}));
    }

    void viewOrders() {
        OpenRig rig;
        rig.AddAthlete("A", "meier", "W", 1990);
        rig.AddAthlete("B", "Albers", "W", 1990);
        rig.AddAthlete("C", Utf8ToCp1252("Özdemir").c_str(), "M", 1990);
        rig.AddAthlete("D", "Zander", "M", 1990);
        std::vector<std::string> names;
        for (rig.Athletes().First(); !rig.Athletes().Eof(); rig.Athletes().Next())
            names.push_back(rig.Athletes().AsString("Vorname"));
        QCOMPARE(names, (std::vector<std::string>{"B", "A", "C", "D"}));

        rig.Athletes().SaveToFile();
        rig.AddResult(2, 2020, 1, 1, 5, 1);
        rig.AddResult(1, 2021, 1, 1, 5, 1);
        rig.AddResult(1, 2019, 1, 1, 5, 1);
        std::vector<std::pair<std::int64_t, int>> order;
        for (rig.Results().First(); !rig.Results().Eof(); rig.Results().Next())
            order.emplace_back(rig.Results().AsInteger("sportlerid"),
                               CivilFromDays(rig.Results().AsDate("Datum")).year);
        QCOMPARE(order, (std::vector<std::pair<std::int64_t, int>>{{1, 2019}, {1, 2021}, {2, 2020}}));
    }

    void cursorFlags() {
        OpenRig rig;
        Table& t = rig.Athletes();
        QVERIFY(t.Bof() && t.Eof());
        rig.AddAthlete("A", "A", "W", 1990);
        rig.AddAthlete("B", "B", "W", 1990);
        t.First();
        QVERIFY(t.Bof() && !t.Eof());
        t.Next();
        QVERIFY(!t.Bof() && !t.Eof());
        t.Next(); // no further record
        QVERIFY(t.Eof());
        QCOMPARE(t.AsString("Name"), std::string("B"));
        t.Prior(); // back to the first: not yet at the beginning
        QCOMPARE(t.AsString("Name"), std::string("A"));
        QVERIFY(!t.Bof() && !t.Eof());
        t.Prior(); // no move, now at the beginning
        QVERIFY(t.Bof());
        QCOMPARE(t.AsString("Name"), std::string("A"));
        t.Last();
        QVERIFY(t.Eof() && !t.Bof());
    }

    void fieldRules() {
        OpenRig rig;
        Table& t = rig.Athletes();
        t.Insert();
        t.SetAsString("Vorname", "Maximilian-Alexander Graf  ");
        QCOMPARE(t.AsString("Vorname"), std::string("Maximilian-Alexander"));
        t.SetAsString("Name", "Kurz   ");
        QCOMPARE(t.AsString("Name"), std::string("Kurz"));
        QCOMPARE(t.AsInteger("Geburtsjahr"), std::int64_t(0));
        QCOMPARE(t.AsInteger("GEBURTSJAHR"), std::int64_t(0)); // names match without regard to case
        t.Cancel();
        rig.Results().Insert();
        QCOMPARE(CivilFromDays(rig.Results().AsDate("Datum")).year, 1899);
        rig.Results().Cancel();
        QVERIFY_THROWS_EXCEPTION(vexo::Error, t.SetAsString("Name", "x")); // while browsing
        QCOMPARE(FailureOf([&] { t.AsString("Nachname"); }),
                 QStringLiteral("Feld 'Nachname' nicht gefunden"));
    }

    void lookupFields() {
        OpenRig rig;
        rig.AddAthlete("Anna", "Adler", "W", 1990);
        rig.AddAthlete("Ben", "Bauer", "M", 1990);
        Table& r = rig.Results();
        QCOMPARE(r.LookupValues("Sportler Name"), (std::vector<std::string>{"Adler", "Bauer"}));
        r.Insert();
        r.SetLookupValue("Sportler Name", "Bauer");
        QCOMPARE(r.AsInteger("sportlerid"), std::int64_t(2));
        QCOMPARE(r.AsString("Sportler Vorname"), std::string("Ben"));
        r.Cancel();
        // An athlete being inserted is no choice yet, and does not shift the others.
        rig.Athletes().First();
        rig.Athletes().Insert();
        rig.Athletes().SetAsString("Name", "Neu");
        QCOMPARE(r.LookupValues("Sportler Name"), (std::vector<std::string>{"Adler", "Bauer"}));
        r.Insert();
        r.SetLookupRow("Sportler Name", 0);
        QCOMPARE(r.AsInteger("sportlerid"), std::int64_t(1));
        r.Cancel();
        rig.Athletes().Cancel();
        // Closed athlete table: the names are empty.
        rig.Athletes().SaveToFile();
        rig.AddResult(1, 2020, 1, 1, 5, 1);
        QCOMPARE(r.AsString("Sportler Name"), std::string("Adler"));
        rig.Athletes().Close();
        QCOMPARE(r.AsString("Sportler Name"), std::string());
    }

    // What a view hears, exactly and in order: the row notices first (the view is
    // consistent by then), then the three general ones. The record being inserted is a row.
    void notifications() {
        OpenRig rig;
        Table& t = rig.Athletes();
        LinkRecorder link;
        link.SetDataSource(&rig.dm->d_Sportler);
        QVERIFY(link.Active());
        t.Insert(); // empty table: the new record is row 0
        QCOMPARE(link.Take(), (QStringList{"before inserted 0 (0 rows)", "inserted 0", "editing", "data"}));
        QCOMPARE(t.RowCount(), 1);
        QCOMPARE(t.RecordCount(), 0);
        t.SetAsString("Name", "Mann");
        QCOMPARE(link.Take(), (QStringList{"field 0.2", "data"}));
        t.SetAsString("Geschlecht", "M");
        t.SetAsInteger("Geburtsjahr", 1990);
        link.Take();
        t.Post(); // stays row 0; the post's edits as one change of the row
        QCOMPARE(link.Take(), (QStringList{"row 0", "editing", "data"}));

        // A second athlete inserted before "Mann" and sorted after him by name.
        t.Insert();
        QCOMPARE(link.Take(), (QStringList{"before inserted 0 (1 rows)", "inserted 0", "editing", "data"}));
        QCOMPARE(t.RowCount(), 2);
        t.SetAsString("Name", "Zander");
        t.SetAsString("Geschlecht", "W");
        t.SetAsInteger("Geburtsjahr", 1991);
        link.Take();
        t.Post();
        QCOMPARE(link.Take(),
                 (QStringList{"before moved 0>1 (2 rows)", "moved 0>1", "row 1", "editing", "data"}));
        QCOMPARE(t.RecNo(), 1);

        t.First();
        QCOMPARE(link.Take(), (QStringList{"current 1>0", "data"}));
        t.Next();
        QCOMPARE(link.Take(), (QStringList{"current 0>1", "data"}));
        t.Next(); // no further record: only the flag
        QCOMPARE(link.Take(), (QStringList{"data"}));

        // Renamed so that the view order moves it.
        t.Edit();
        t.SetAsString("Name", "Albers");
        link.Take();
        t.Post();
        QCOMPARE(link.Take(),
                 (QStringList{"before moved 1>0 (2 rows)", "moved 1>0", "row 0", "editing", "data"}));

        // An insert cancelled; a deletion.
        t.Last();
        t.Insert();
        link.Take();
        t.Cancel();
        QCOMPARE(link.Take(), (QStringList{"before removed 1 (3 rows)", "removed 1", "editing", "data"}));
        QCOMPARE(t.RecNo(), 1);
        t.Delete();
        QCOMPARE(link.Take(), (QStringList{"before removed 1 (2 rows)", "removed 1", "data"}));
        QCOMPARE(t.RecNo(), 0);

        t.Close();
        QCOMPARE(link.Take(), (QStringList{"before reset (1 rows)", "reset", "active"}));
        QVERIFY(!link.Active());
    }

    // The rows of a view while inserting: the record being inserted between the others.
    void insertedRowAmongTheOthers() {
        OpenRig rig;
        Table& t = rig.Athletes();
        rig.AddAthlete("A", "Adler", "W", 1990);
        rig.AddAthlete("B", "Bauer", "W", 1990);
        t.Last();
        t.Insert(); // before "Bauer"
        t.SetAsString("Name", "Neu");
        const int name = t.FieldIndex("Name");
        QCOMPARE(t.ValueAt(0, name), Value{std::string("Adler")});
        QCOMPARE(t.ValueAt(1, name), Value{std::string("Neu")});
        QCOMPARE(t.ValueAt(2, name), Value{std::string("Bauer")});
        QCOMPARE(t.ValueAt(3, name), Value{});
    }

    void postsAndCancels() {
        OpenRig rig;
        Table& t = rig.Athletes();
        rig.AddAthlete("A", "A", "W", 1990);
        t.Edit();
        t.SetAsString("Name", "Z");
        t.Cancel();
        QCOMPARE(t.AsString("Name"), std::string("A"));
        QCOMPARE(t.Store().Count(), 1u);
        // Edit on an empty table inserts; delete while inserting cancels.
        rig.Results().Edit();
        QCOMPARE(rig.Results().State(), TableState::Insert);
        rig.Results().Delete();
        QCOMPARE(rig.Results().State(), TableState::Browse);
        QVERIFY_THROWS_EXCEPTION(vexo::Error, rig.Results().Delete()); // an empty table
    }
};

QTEST_APPLESS_MAIN(TestTables)
#include "test_tables.moc"
