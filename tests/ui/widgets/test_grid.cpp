// The grid's model over a table: checked by Qt's own model tester through a day of edits,
// and the exact signals a view receives for an insert, a post, a move by the view order,
// a deletion and a cursor step. The model never resets but on opening and closing.
#include "data_rig.h"
#include "ui/widgets/table_model.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace data;

namespace {

std::vector<ui::GridColumn> AthleteColumns() {
    return {{"sportlerid", false, 64, {}},        {"Vorname", true, 120, {}},    {"Name", true, 64, {}},
            {"Geschlecht", true, 64, {"W", "M"}}, {"Geburtsjahr", true, 64, {}}, {"Infos", false, 64, {}}};
}

// Records the model's signals as short words.
struct SignalLog : QObject {
    QStringList heard;
    explicit SignalLog(QAbstractItemModel& m) {
        connect(&m, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int a, int b) {
            heard << QStringLiteral("inserted %1-%2").arg(a).arg(b);
        });
        connect(&m, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex&, int a, int b) {
            heard << QStringLiteral("removed %1-%2").arg(a).arg(b);
        });
        connect(&m, &QAbstractItemModel::rowsMoved, this,
                [this](const QModelIndex&, int a, int, const QModelIndex&, int to) {
                    heard << QStringLiteral("moved %1 before %2").arg(a).arg(to);
                });
        connect(&m, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& a, const QModelIndex&) {
            heard << QStringLiteral("changed %1").arg(a.row());
        });
        connect(&m, &QAbstractItemModel::modelReset, this, [this] { heard << QStringLiteral("reset"); });
    }
    QStringList Take() { return std::exchange(heard, {}); }
};

void Fill(Table& t, const char* name, int year) {
    t.SetAsString("Name", name);
    t.SetAsString("Geschlecht", "W");
    t.SetAsInteger("Geburtsjahr", year);
}

} // namespace

class TestGrid : public QObject {
    Q_OBJECT
private slots:
    void modelPassesTheTester() {
        DataRig rig;
        rig.Module().FirstActivation();
        Table& t = rig.dm->cdsSportler;
        ui::TableModel model(AthleteColumns());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.Bind(&rig.dm->d_Sportler);
        for (const char* name : {"Meier", "Albers", "Zander", "Becker"}) {
            t.Insert();
            Fill(t, name, 1990);
            t.Post();
        }
        t.First();
        t.Next();
        t.Edit();
        t.SetAsString("Name", "Yilmaz");
        t.Post();
        t.Insert();
        t.Cancel();
        t.Last();
        t.Delete();
        t.Close();
        t.Open();
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.data(model.index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("Albers"));
    }

    void exactSignals() {
        DataRig rig;
        rig.Module().FirstActivation();
        Table& t = rig.dm->cdsSportler;
        ui::TableModel model(AthleteColumns());
        model.Bind(&rig.dm->d_Sportler);
        SignalLog log(model);
        QStringList current;
        connect(&model, &ui::TableModel::currentRowChanged, &log,
                [&](int row) { current << QString::number(row); });

        t.Insert(); // the new record is a row of the grid at once
        QCOMPARE(log.Take(), QStringList{"inserted 0-0"});
        QCOMPARE(model.rowCount(), 1);
        Fill(t, "Meier", 1990);
        QCOMPARE(log.Take(), (QStringList{"changed 0", "changed 0", "changed 0"}));
        t.Post();
        QCOMPARE(log.Take(), QStringList{"changed 0"});

        // While a change is announced, a view still reads the rows as they were.
        QStringList namesAnnounced;
        auto names = [&] {
            QStringList list;
            for (int row = 0; row < model.rowCount(); ++row)
                list << model.data(model.index(row, 2), Qt::DisplayRole).toString();
            return list.join(',');
        };
        connect(&model, &QAbstractItemModel::rowsAboutToBeMoved, &log, [&] { namesAnnounced << names(); });
        connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, &log, [&] { namesAnnounced << names(); });
        connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, &log, [&] { namesAnnounced << names(); });

        t.Insert(); // before "Meier", sorted after him: one move
        Fill(t, "Zander", 1991);
        log.Take();
        t.Post();
        QCOMPARE(log.Take(), (QStringList{"moved 0 before 2", "changed 1"}));
        QCOMPARE(namesAnnounced, (QStringList{"Meier", "Zander,Meier"}));
        namesAnnounced.clear();
        t.Edit(); // renamed to the front: a move up
        t.SetAsString("Name", "Albers");
        log.Take();
        t.Post();
        QCOMPARE(log.Take(), (QStringList{"moved 1 before 0", "changed 0"}));
        QCOMPARE(namesAnnounced, QStringList{"Meier,Albers"});
        t.Edit();
        t.SetAsString("Name", "Zander");
        t.Post();
        log.Take();
        QCOMPARE(model.data(model.index(1, 2), Qt::DisplayRole).toString(), QStringLiteral("Zander"));

        current.clear();
        t.First(); // a cursor step: no row signal at all
        QCOMPARE(log.Take(), QStringList{});
        QCOMPARE(current.first(), QStringLiteral("0"));

        t.Last();
        namesAnnounced.clear();
        t.Delete();
        QCOMPARE(log.Take(), QStringList{"removed 1-1"});
        QCOMPARE(namesAnnounced, QStringList{"Meier,Zander"}); // the deleted row, still there
        QCOMPARE(model.rowCount(), 1);

        t.Close();
        QCOMPARE(log.Take(), QStringList{"reset"});
        QCOMPARE(model.rowCount(), 0);
    }

    // What the cells show and take: dates as dd.MM.yyyy, floats with a decimal comma, text
    // converted at the edge; a refused value is told and changes nothing.
    void cellTexts() {
        DataRig rig;
        rig.Module().FirstActivation();
        Table& r = rig.dm->cdsMultiwert;
        ui::TableModel model({{"Datum", true, 64, {}},
                              {"VO2-wert", true, 64, {}},
                              {"Level", true, 64, {}},
                              {"Infoswerte", false, 64, {}},
                              {"Sportler Name", true, 64, {}}});
        model.Bind(&rig.dm->d_Multiwert);
        PostResult(r, 1, 2026, 5, 1, 8, 11);
        QCOMPARE(model.Text(0, 0), QStringLiteral("01.05.2026"));
        QCOMPARE(model.Text(0, 1), QStringLiteral("43,3"));
        QCOMPARE(model.Text(0, 2), QStringLiteral("8"));
        QVERIFY(model.setData(model.index(0, 3), QStringLiteral("Knie € → zu spät"), Qt::EditRole));
        QCOMPARE(r.AsString("Infoswerte"), std::string("Knie \x80 ? zu sp\xe4t")); // no "→" in Windows-1252
        QVERIFY(model.setData(model.index(0, 0), QStringLiteral("2.3.2025"), Qt::EditRole));
        QCOMPARE(r.AsDate("Datum"), DaysFromCivil(2025, 3, 2));
        QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("31.02.2026"), Qt::EditRole));
        QVERIFY(!model.setData(model.index(0, 2), QStringLiteral("99999999999"), Qt::EditRole));
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(2));
        QVERIFY(rig.dialogs.Shown()[0].text.find("kein gültiges Datum") != std::string::npos);
        QVERIFY(rig.dialogs.Shown()[1].text.find("außerhalb des gültigen Bereichs") != std::string::npos);
        QCOMPARE(r.AsInteger("Level"), std::int64_t(8));
        QCOMPARE(r.State(), TableState::Edit);
        QVERIFY(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);
    }
};

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
