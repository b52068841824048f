// The record navigator: its layout, the enabling of its buttons in every table state, the
// order of BeforeAction, the action and OnClick, the delete question, the shown post
// failures, the hints, the auto-repeat on the virtual clock and the keyboard.
#include "data/table_errors.h"
#include "data_rig.h"
#include "ui/widgets/Vexodbctr.h"
#include "ui/widgets/navigator_layout.h"

#include <QtTest>

using namespace data;

namespace {

struct NavRig : DataRig {
    TVexoDBNav nav;
    QStringList events; // "before N", "click N"
    NavRig() {
        Module().FirstActivation();
        nav.SetDataSource(&dm->d_Sportler);
        nav.BeforeAction = [this](TVexoDBNav*, TMNavigateBtn b) {
            events << QStringLiteral("before %1").arg(b);
        };
        nav.OnClick = [this](TVexoDBNav*, TMNavigateBtn b) { events << QStringLiteral("click %1").arg(b); };
    }
    Table& Athletes() { return dm->cdsSportler; }
    void Add(int count) {
        for (int i = 0; i < count; ++i)
            PostAthlete(Athletes(), "V", ("N" + std::to_string(100 + i)).c_str(), "W", 1990);
        Athletes().First();
    }
    // The enabled buttons as a string of ten digits.
    QString Enabled() const {
        QString s;
        for (int v = 0; v < 10; ++v)
            s += nav.Button(static_cast<TMNavigateBtn>(v))->isEnabled() ? '1' : '0';
        return s;
    }
    void Click(TMNavigateBtn b) { QTest::mouseClick(nav.Button(b), Qt::LeftButton); }
};

} // namespace

class TestNavigator : public QObject {
    Q_OBJECT
private slots:
    void layouts_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("visible"); // ten digits
        QTest::addColumn<int>("unit");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<QList<int>>("xs");
        QTest::addColumn<int>("controlWidth");
        // clang-format off
        QTest::newRow("580, all") << 580 << "1111111111" << 36 << QList<int>{36, 36, 36, 36, 54, 72, 72, 79, 79, 79} << QList<int>{0, 36, 72, 108, 144, 198, 270, 342, 421, 500} << 580;
        QTest::newRow("692, all") << 692 << "1111111111" << 43 << QList<int>{43, 43, 43, 43, 64, 86, 86, 95, 95, 95} << QList<int>{0, 43, 86, 129, 172, 236, 322, 408, 503, 598} << 692;
        QTest::newRow("241 widens to 322") << 241 << "1111111111" << 20 << QList<int>{20, 20, 20, 20, 30, 40, 40, 44, 44, 44} << QList<int>{0, 20, 40, 60, 80, 110, 150, 190, 234, 278} << 322;
        QTest::newRow("580, pictures only") << 580 << "1111000000" << 145 << QList<int>{145, 145, 145, 145, 218, 290, 290, 319, 319, 319} << QList<int>{0, 145, 290, 435, 581, 581, 581, 581, 581, 581} << 580;
        // clang-format on
    }
    void layouts() {
        QFETCH(int, width);
        QFETCH(QString, visible);
        QFETCH(int, unit);
        QFETCH(QList<int>, widths);
        QFETCH(QList<int>, xs);
        QFETCH(int, controlWidth);
        VirtualClock clock;
        TVexoDBNav nav;
        TMButtonSet set;
        for (int v = 0; v < 10; ++v)
            set[static_cast<std::size_t>(v)] = visible[v] == '1';
        nav.resize(width, 25);
        nav.SetVisibleButtons(set);
        nav.Loaded();
        QCOMPARE(nav.width(), controlWidth);
        QCOMPARE(nav.height(), 25);
        QCOMPARE(nav.UnitWidth(), unit);
        for (int v = 0; v < 10; ++v) {
            QCOMPARE(nav.Button(static_cast<TMNavigateBtn>(v))->width(), widths[v]);
            QCOMPARE(nav.Button(static_cast<TMNavigateBtn>(v))->x(), xs[v]);
        }
    }

    void creation() {
        VirtualClock clock;
        TVexoDBNav nav;
        QCOMPARE(nav.size(), QSize(322, 25));
        QCOMPARE(nav.UnitWidth(), 0);
        QCOMPARE(nav.FocusedButton(), nbvexoFirst);
        QVERIFY(nav.ConfirmDelete());
        QVERIFY(!nav.TabStop());
        QCOMPARE(nav.Button(nbvexoInsert)->text(), QStringLiteral("neu"));
        QCOMPARE(nav.Button(nbvexoDelete)->text(), QStringLiteral("löschen"));
        QCOMPARE(nav.Button(nbvexoEdit)->text(), QStringLiteral("ändern"));
        QCOMPARE(nav.Button(nbvexoPost)->text(), QStringLiteral("speichern"));
        QCOMPARE(nav.Button(nbvexoCancel)->text(), QStringLiteral("abbrechen"));
        QCOMPARE(nav.Button(nbvexoRefresh)->text(), QStringLiteral("akt"));
        for (int v = 0; v < 4; ++v) {
            const QIcon icon = nav.Button(static_cast<TMNavigateBtn>(v))->icon();
            QVERIFY(!icon.isNull());
            const int w = v == nbvexoFirst || v == nbvexoLast ? 14 : 10;
            QCOMPARE(icon.pixmap(QSize(w, 13), QIcon::Normal).size(), QSize(w, 13));
            QVERIFY(icon.pixmap(QSize(w, 13), QIcon::Normal).toImage() !=
                    icon.pixmap(QSize(w, 13), QIcon::Disabled).toImage());
        }
        for (int v = 0; v < 10; ++v)
            QCOMPARE(nav.Button(static_cast<TMNavigateBtn>(v))->focusPolicy(), Qt::NoFocus);
        QVERIFY(nav.Button(nbvexoPrior)->AutoRepeat() && nav.Button(nbvexoNext)->AutoRepeat());
        QVERIFY(!nav.Button(nbvexoFirst)->AutoRepeat());
        QVERIFY(!nav.Flat());
        nav.SetFlat(true);
        for (int v = 0; v < 10; ++v)
            QVERIFY(nav.Button(static_cast<TMNavigateBtn>(v))->autoRaise());
    }

    void enabling_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("enabled");
        // clang-format off
        QTest::newRow("closed table") << "closed" << "0000000000";
        QTest::newRow("no data source") << "none" << "0000000000";
        QTest::newRow("control disabled") << "disabled" << "0000000000";
        QTest::newRow("open, empty") << "empty" << "0000100011";
        QTest::newRow("inserting") << "inserting" << "0000000111";
        QTest::newRow("editing") << "editing" << "0000000111";
        QTest::newRow("three records, at the first") << "first" << "0011111011";
        QTest::newRow("three records, in the middle") << "middle" << "1111111011";
        QTest::newRow("three records, at the last") << "last" << "1100111011";
        // clang-format on
    }
    void enabling() {
        QFETCH(QString, state);
        QFETCH(QString, enabled);
        NavRig rig;
        if (state == "closed")
            rig.Athletes().Close();
        else if (state == "none")
            rig.nav.SetDataSource(nullptr);
        else if (state == "disabled")
            rig.nav.setEnabled(false);
        else if (state == "inserting")
            rig.Athletes().Insert();
        else if (state != "empty")
            rig.Add(3);
        if (state == "editing")
            rig.Athletes().Edit();
        else if (state == "middle")
            rig.Athletes().Next();
        else if (state == "last")
            rig.Athletes().Last();
        QCOMPARE(rig.Enabled(), enabled);
    }

    // Back from the second to the first record, first and prior stay enabled; one more
    // press of prior does not move and disables both.
    void priorAtTheFirstRecord() {
        NavRig rig;
        rig.Add(2);
        rig.Click(nbvexoNext);
        rig.Click(nbvexoPrior);
        QCOMPARE(rig.Athletes().RecNo(), 0);
        QCOMPARE(rig.Enabled().left(4), QStringLiteral("1111"));
        rig.Click(nbvexoPrior);
        QCOMPARE(rig.Athletes().RecNo(), 0);
        QCOMPARE(rig.Enabled().left(4), QStringLiteral("0011"));
    }

    // BeforeAction first, whatever follows; OnClick last; a failed action other than a post
    // reaches the default error display and OnClick is not called.
    void actionOrder() {
        NavRig rig;
        rig.Click(nbvexoCancel); // browsing: the cancel changes nothing
        QCOMPARE(rig.events, (QStringList{"before 8", "click 8"}));
        rig.events.clear();
        rig.Click(nbvexoRefresh); // fails: no source to refresh from
        QCOMPARE(rig.events, (QStringList{"before 9"}));
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
        QCOMPARE(rig.dialogs.Shown()[0].kind, ShownBox::Error);
        rig.events.clear();
        rig.nav.SetDataSource(nullptr); // no table: only OnClick
        rig.nav.BtnClick(nbvexoInsert);
        QCOMPARE(rig.events, (QStringList{"click 4"}));
    }

    void deleteAsks_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Ja deletes") << true;
        QTest::newRow("Abbrechen keeps") << false;
    }
    void deleteAsks() {
        QFETCH(bool, yes);
        NavRig rig;
        rig.Add(2);
        rig.dialogs.ScriptAnswer(yes ? platform::Answer::Yes : platform::Answer::Abort);
        rig.Click(nbvexoDelete);
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
        QCOMPARE(rig.dialogs.Shown()[0].kind, ShownBox::YesAbort);
        QCOMPARE(rig.dialogs.Shown()[0].text, std::string("Datensatz wirklich löschen"));
        QCOMPARE(rig.Athletes().RecordCount(), yes ? 1 : 2);
        QCOMPARE(rig.events, (QStringList{"before 5", "click 5"}));
    }

    // A refused athlete: the validation's message, then the navigator's own box with the
    // abort's text; the record stays in editing and "speichern" can be pressed again.
    void refusedPost() {
        NavRig rig;
        rig.Click(nbvexoInsert);
        rig.Athletes().SetAsString("Name", "Ohne Jahr");
        rig.Click(nbvexoPost);
        QCOMPARE(rig.dialogs.Texts(),
                 (std::vector<std::string>{"das Geburtsjahr sollte zwischen 1920 und heute liegen!",
                                           "Operation abgebrochen"}));
        QCOMPARE(rig.dialogs.Shown()[1].kind, ShownBox::Message);
        QCOMPARE(rig.Athletes().State(), TableState::Insert);
        QCOMPARE(rig.Enabled(), QStringLiteral("0000000111"));
        QCOMPARE(rig.events.last(), QStringLiteral("click 7"));
    }

    // A key violation reads as a duplicate, told by its type; another failure with the same
    // words is shown as it is.
    void indexErrorReadsAsDuplicate() {
        NavRig rig;
        rig.Athletes().BeforePost = [](Table&) { throw data::KeyViolation(); };
        rig.Click(nbvexoInsert);
        rig.Athletes().SetAsString("Name", "Neu"); // typed into: posted, and refused
        rig.Click(nbvexoPost);
        rig.Athletes().BeforePost = [](Table&) { throw vexo::Error("Indexfehler"); };
        rig.Click(nbvexoPost);
        QCOMPARE(rig.dialogs.Texts(),
                 (std::vector<std::string>{"Datensatz bereits vorhanden", "Indexfehler"}));
    }

    // Twelve lines set the hints of all ten buttons and ignore the last two; an empty line
    // leaves a hint as it was.
    void hints() {
        VirtualClock clock;
        TVexoDBNav nav;
        QStringList lines;
        for (int i = 0; i < 12; ++i)
            lines << QStringLiteral("Hinweis %1").arg(i);
        nav.SetHints(lines);
        for (int v = 0; v < 10; ++v)
            QCOMPARE(nav.Button(static_cast<TMNavigateBtn>(v))->toolTip(),
                     QStringLiteral("Hinweis %1").arg(v));
        lines[2] = QString();
        lines[1] = QStringLiteral("zurück");
        nav.SetHints(lines);
        QCOMPARE(nav.Button(nbvexoPrior)->toolTip(), QStringLiteral("zurück"));
        QCOMPARE(nav.Button(nbvexoNext)->toolTip(), QStringLiteral("Hinweis 2"));
    }

    // Held down, "weiter" repeats after 400 ms, then every 100 ms, until released.
    void autoRepeat() {
        NavRig rig;
        rig.Add(10);
        TMNavButton* next = rig.nav.Button(nbvexoNext);
        rig.nav.show();
        QTest::mousePress(next, Qt::LeftButton);
        rig.clock.Advance(399);
        QCOMPARE(rig.Athletes().RecNo(), 0);
        rig.clock.Advance(1); // 400 ms
        QCOMPARE(rig.Athletes().RecNo(), 1);
        rig.clock.Advance(99);
        QCOMPARE(rig.Athletes().RecNo(), 1);
        rig.clock.Advance(1); // 500 ms
        QCOMPARE(rig.Athletes().RecNo(), 2);
        rig.clock.Advance(200); // 600, 700
        QCOMPARE(rig.Athletes().RecNo(), 4);
        QTest::mouseRelease(next, Qt::LeftButton); // the release is a click of its own
        QCOMPARE(rig.Athletes().RecNo(), 5);
        rig.clock.Advance(1000);
        QCOMPARE(rig.Athletes().RecNo(), 5);
        QVERIFY(!next->RepeatTimer()->Enabled());
        // A picture button without repeat: a long press is one step.
        QTest::mousePress(rig.nav.Button(nbvexoLast), Qt::LeftButton);
        rig.clock.Advance(1000);
        QCOMPARE(rig.Athletes().RecNo(), 5);
    }

    // With the focus on the bar: the arrows move the focused button over the visible ones,
    // Space presses it.
    void keyboard() {
        NavRig rig;
        rig.Add(3);
        rig.nav.SetTabStop(true);
        TMButtonSet visible;
        visible.set();
        visible[nbvexoNext] = false;
        rig.nav.SetVisibleButtons(visible);
        rig.nav.show();
        QApplication::setActiveWindow(&rig.nav);
        rig.nav.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&rig.nav));
        QTest::keyClick(&rig.nav, Qt::Key_Right);
        QCOMPARE(rig.nav.FocusedButton(), nbvexoPrior);
        QTest::keyClick(&rig.nav, Qt::Key_Right); // skips the hidden "next"
        QCOMPARE(rig.nav.FocusedButton(), nbvexoLast);
        QTest::keyClick(&rig.nav, Qt::Key_Space);
        QCOMPARE(rig.Athletes().RecNo(), 2);
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(&rig.nav, Qt::Key_Right);
        QCOMPARE(rig.nav.FocusedButton(), nbvexoRefresh);
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(&rig.nav, Qt::Key_Left);
        QCOMPARE(rig.nav.FocusedButton(), nbvexoFirst);
        QTest::keyClick(&rig.nav, Qt::Key_Space);
        QCOMPARE(rig.Athletes().RecNo(), 0);
        // A mouse press makes a button the focused one.
        QTest::mousePress(rig.nav.Button(nbvexoInsert), Qt::LeftButton);
        QCOMPARE(rig.nav.FocusedButton(), nbvexoInsert);
        QTest::mouseRelease(rig.nav.Button(nbvexoInsert), Qt::LeftButton);
    }
};

QTEST_MAIN(TestNavigator)
#include "test_navigator.moc"
