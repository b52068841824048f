// The athlete window as a user meets it: its layout, the read-only switch, typing into the
// grid, Tab, Enter and Ctrl+B, the refused record, the insert that survives leaving, and
// the save.
#include "data/text_encoding.h"
#include "ui/windows/f_sportler.h"
#include "window_rig.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>

using namespace data;

namespace {
using Rig = WindowRig<Tfrm_Sportler>;
constexpr int Vorname = 1, Name = 2, Geschlecht = 3, Geburtsjahr = 4, Infos = 5;
} // namespace

class TestAthleteWindow : public QObject {
    Q_OBJECT
private slots:
    void layout() {
        Rig rig;
        Tfrm_Sportler& w = *rig.window;
        QCOMPARE(w.objectName(), QStringLiteral("frm_Sportler"));
        QCOMPARE(w.size(), QSize(595, 549));
        QCOMPARE(rig.Child<QLabel>("Label1")->text(), QStringLiteral("Sportler:"));
        QCOMPARE(rig.Child<QLabel>("Label1")->pos(), QPoint(16, 8));
        QCOMPARE(w.Navigator()->geometry(), QRect(8, 39, 580, 25));
        QCOMPARE(rig.Grid()->geometry(), QRect(8, 63, 580, 355));
        QCOMPARE(w.Memo()->geometry(), QRect(8, 424, 580, 89));
        QCOMPARE(rig.Child<QPushButton>("Button2")->geometry(), QRect(8, 519, 153, 25));
        QCOMPARE(rig.Child<QPushButton>("Button2")->text(), QStringLiteral("Änderungen speichern"));
        QCOMPARE(rig.Child<QPushButton>("Button1")->geometry(), QRect(297, 519, 291, 25));
        QCOMPARE(rig.Child<QPushButton>("Button1")->text(), QStringLiteral("Sportlerverwaltung verlassen"));
        QVERIFY(rig.Child<QPushButton>("Button1")->font().bold());
        QCOMPARE(rig.Child<QPushButton>("Button1")->font().pixelSize(), 16);
        const QStringList titles{"sportlerid", "Vorname", "Name", "Geschlecht", "Geburtsjahr", "Infos"};
        for (int c = 0; c < 6; ++c)
            QCOMPARE(rig.Grid()->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                     titles[c]);
        QVERIFY(rig.Grid()->isColumnHidden(0) && rig.Grid()->isColumnHidden(Infos));
        QVERIFY(!rig.Grid()->isColumnHidden(Vorname));
        QCOMPARE(rig.Grid()->columnWidth(Name), 64);
        QCOMPARE(w.Navigator()->focusPolicy(), Qt::NoFocus);
        QVERIFY(rig.Grid()->ReadOnly());
        rig.Open();
        QCOMPARE(rig.Focused(), static_cast<QWidget*>(rig.Grid()));
    }

    // "neu", typing into the cells, "speichern" and "Änderungen speichern": the athlete is
    // in the file, with the bytes the data store writes for him.
    void enteringAnAthlete() {
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        QVERIFY(!rig.Grid()->ReadOnly());
        QCOMPARE(rig.Grid()->model()->rowCount(), 1);
        rig.ClickCell(0, Vorname);
        rig.Type(QStringLiteral("Jürgen"));
        rig.ClickCell(0, Name);

        rig.Type(QStringLiteral("Groß"));
        rig.ClickCell(0, Geschlecht);
        rig.Type(QStringLiteral("M"));
        rig.ClickCell(0, Geburtsjahr);
        rig.Type(QStringLiteral("1990")); // still in its editor when "speichern" posts
        rig.Nav(nbvexoPost);
        QVERIFY(rig.dialogs.Shown().empty());
        QVERIFY(rig.Grid()->ReadOnly());
        Table& t = rig.dm->cdsSportler;
        QCOMPARE(t.State(), TableState::Browse);
        QCOMPARE(QString::fromStdString(Cp1252ToUtf8(t.AsString("Vorname"))), QStringLiteral("Jürgen"));
        QCOMPARE(t.AsInteger("Geburtsjahr"), std::int64_t(1990));
        QTest::mouseClick(rig.Child<QPushButton>("Button2"), Qt::LeftButton);

        // The same athlete stored through the table alone.
        DataRig reference;
        reference.Module().FirstActivation();
        PostAthlete(reference.dm->cdsSportler, Utf8ToCp1252("Jürgen").c_str(), Utf8ToCp1252("Groß").c_str(),
                    "M", 1990);
        reference.dm->cdsSportler.SaveToFile();
        QCOMPARE(rig.Read(global::SportlerPath), reference.Read(global::SportlerPath));
    }

    // Tab in the grid advances the column over all columns, hidden ones included; Shift+Tab
    // goes forward too; Enter does the same on the grid.
    void tabAndEnterOnTheGrid() {
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Anna", "Adler", "W", 1990);
        rig.Open();
        rig.Grid()->SetSelectedIndex(Geburtsjahr);
        rig.Key(Qt::Key_Tab);
        QCOMPARE(rig.Grid()->SelectedIndex(), Infos);
        rig.Key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(rig.Grid()->SelectedIndex(), 0);
        rig.Key(Qt::Key_Return);
        QCOMPARE(rig.Grid()->SelectedIndex(), Vorname);
        QCOMPARE(rig.Grid()->currentIndex().column(), Vorname);
        QCOMPARE(rig.Grid()->currentIndex().row(), 0);
        QCOMPARE(rig.Focused(), static_cast<QWidget*>(rig.Grid()));
    }

    // In an open cell editor Tab and Enter move the focus on to the leave button; Enter in
    // the memo moves on to "Änderungen speichern" without a line break; Ctrl+B goes back.
    void focusMovesOn_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("to");
        // clang-format off
        QTest::newRow("Tab in a cell editor") << "editor" << int(Qt::Key_Tab) << "Button1";
        QTest::newRow("Enter in a cell editor: along the cells") << "editor" << int(Qt::Key_Return) << "DBGrid1";
        QTest::newRow("Enter in the memo") << "memo" << int(Qt::Key_Return) << "Button2";
        QTest::newRow("Ctrl+B on the grid") << "grid" << int(Qt::Key_B) << "Button2";
        QTest::newRow("Ctrl+B on the leave button") << "Button1" << int(Qt::Key_B) << "DBGrid1";
        // clang-format on
    }
    void focusMovesOn() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, to);
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Anna", "Adler", "W", 1990);
        rig.Open();
        if (from == "editor") {
            rig.Nav(nbvexoEdit);
            rig.ClickCell(0, Name);
            rig.Type(QStringLiteral("Albers"));
            QCOMPARE(rig.FocusedName(), QStringLiteral("GridEditor"));
        } else if (from == "memo") {
            rig.window->Memo()->setFocus();
            rig.Type(QStringLiteral("Notiz"));
        } else if (from == "Button1") {
            rig.Child<QPushButton>("Button1")->setFocus();
        }
        rig.Key(static_cast<Qt::Key>(key), key == Qt::Key_B ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(rig.FocusedName(), to);
        if (from == "editor")
            QCOMPARE(rig.dm->cdsSportler.AsString("Name"), std::string("Albers"));
        if (from == "memo") {
            QCOMPARE(rig.window->Memo()->toPlainText(), QStringLiteral("Notiz"));
            QCOMPARE(rig.dm->cdsSportler.AsString("Infos"), std::string("Notiz"));
        }
    }

    // A record refused on posting by "speichern": its message, then the navigator's; the
    // grid already read-only, the record still in editing. Posted by moving to another row:
    // only the message, and the record stays current.
    void refusedRecord() {
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Anna", "Adler", "W", 1990);
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Name);
        rig.Type(QStringLiteral("Ohne"));
        rig.ClickCell(1, Name); // another row: the post is refused
        QCOMPARE(rig.dialogs.Texts(),
                 std::vector<std::string>{"das Geburtsjahr sollte zwischen 1920 und heute liegen!"});
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Insert);
        QCOMPARE(rig.Grid()->currentIndex().row(), 0);
        QVERIFY(!rig.Grid()->ReadOnly());
        rig.dialogs.Clear();
        rig.Nav(nbvexoPost);
        QCOMPARE(rig.dialogs.Texts(),
                 (std::vector<std::string>{"das Geburtsjahr sollte zwischen 1920 und heute liegen!",
                                           "Operation abgebrochen"}));
        QVERIFY(rig.Grid()->ReadOnly());
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Insert);
        rig.Nav(nbvexoCancel);
        QCOMPARE(rig.Grid()->model()->rowCount(), 1);
    }

    // A record posted by moving to another row: the grid stays editable until a navigator
    // button other than "neu" and "ändern".
    void postedByMovingStaysEditable() {
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Anna", "Adler", "W", 1990);
        PostAthlete(rig.dm->cdsSportler, "Bert", "Bauer", "M", 1980);
        rig.Open();
        rig.Nav(nbvexoEdit);
        rig.ClickCell(0, Vorname);
        rig.Type(QStringLiteral("Antje"));
        rig.ClickCell(1, Vorname);
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Browse);
        QCOMPARE(rig.Cell(0, Vorname), QStringLiteral("Antje"));
        QVERIFY(!rig.Grid()->ReadOnly());
        rig.Nav(nbvexoFirst);
        QVERIFY(rig.Grid()->ReadOnly());
    }

    // The navigator by keyboard: Einfg "neu" with the typing in the first cell, Strg+Eingabe
    // "speichern" (refused here, and said), Strg+Entf "löschen" after its question; the
    // tooltips name the keys.
    void navigatorByKeyboard() {
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Anna", "Adler", "W", 1990);
        rig.Open();
        QVERIFY(rig.window->Navigator()->Button(nbvexoInsert)->toolTip().endsWith(QStringLiteral("(Einfg)")));
        rig.Key(Qt::Key_Insert);
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Insert);
        QCOMPARE(rig.FocusedName(), QStringLiteral("DBGrid1"));
        rig.Type(QStringLiteral("Ida"));
        rig.Key(Qt::Key_Return);
        rig.Type(QStringLiteral("Iser"));
        rig.Key(Qt::Key_Return);
        QCOMPARE(rig.dm->cdsSportler.AsString("Vorname"), std::string("Ida"));
        QCOMPARE(rig.dm->cdsSportler.AsString("Name"), std::string("Iser"));
        rig.Key(Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!rig.dialogs.Texts().empty());
        QCOMPARE(rig.dialogs.Texts().front(),
                 std::string("das Geburtsjahr sollte zwischen 1920 und heute liegen!"));
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Insert);
        rig.Nav(nbvexoCancel);
        rig.dialogs.Clear();
        rig.dialogs.ScriptAnswer(platform::Answer::Yes);
        rig.Grid()->setFocus();
        rig.Key(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
        QCOMPARE(rig.dm->cdsSportler.RecordCount(), 0);
    }

    // "neu", leaving, opening again: the record is still being inserted, the grid editable.
    void insertSurvivesLeaving() {
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.Leave();
        QVERIFY(!rig.window->isVisible());
        rig.Open();
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Insert);
        QVERIFY(!rig.Grid()->ReadOnly());
    }

    // "löschen" makes the grid read-only before its question, also when the answer is
    // "Abbrechen"; the last record can be deleted; an empty table offers no "löschen".
    void deleting() {
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Anna", "Adler", "W", 1990);
        rig.Open();
        rig.Nav(nbvexoEdit);
        rig.Nav(nbvexoCancel);
        rig.Grid()->SetReadOnly(false);
        rig.dialogs.ScriptAnswer(platform::Answer::Abort);
        rig.Nav(nbvexoDelete);
        QVERIFY(rig.Grid()->ReadOnly());
        QCOMPARE(rig.Grid()->model()->rowCount(), 1);
        rig.dialogs.ScriptAnswer(platform::Answer::Yes);
        rig.Nav(nbvexoDelete);
        QCOMPARE(rig.Grid()->model()->rowCount(), 0);
        QVERIFY(!rig.window->Navigator()->Button(nbvexoDelete)->isEnabled());
        rig.Nav(nbvexoDelete); // a click on the disabled button does nothing
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(2));
    }

    // "Änderungen speichern" makes the grid read-only even when the save fails.
    void saveSwitchesReadOnlyFirst() {
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Vorname);
        rig.Type(QStringLiteral("Anna")); // no birth year: the save's post is refused
        QTest::mouseClick(rig.Child<QPushButton>("Button2"), Qt::LeftButton);
        QVERIFY(rig.Grid()->ReadOnly());
        QCOMPARE(rig.dialogs.Texts(),
                 std::vector<std::string>{"das Geburtsjahr sollte zwischen 1920 und heute liegen!"});
    }

    // While a refused insert waits, the grid is read-only: typing into it neither searches
    // nor posts; Enter on the focused leave button presses it, and the record waits on.
    void typingDuringARefusedInsert() {
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Anna", "Adler", "W", 1990);
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Name);
        rig.Type(QStringLiteral("Ohne"));
        rig.Nav(nbvexoPost); // refused: two boxes
        rig.dialogs.Clear();
        rig.Grid()->setFocus();
        rig.Type(QStringLiteral("adler"));
        QVERIFY(rig.dialogs.Shown().empty());
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Insert);
        QCOMPARE(rig.Grid()->currentIndex().row(), 0);
        for (auto* button : rig.window->findChildren<QPushButton*>())
            QVERIFY(!button->isDefault() && !button->autoDefault());
        rig.Child<QPushButton>("Button1")->setFocus();
        rig.Key(Qt::Key_Return);
        QVERIFY(!rig.window->isVisible());
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Insert);
    }

    // A cell takes no more than its field holds; a character the files cannot store is
    // refused as it is typed into the memo, and said.
    void overlongAndUnstorable() {
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Name);
        rig.Type(QString(300, QLatin1Char('n')));
        QCOMPARE(qobject_cast<QLineEdit*>(rig.Grid()->OpenEditor())->text().size(), 20);
        rig.Key(Qt::Key_Return);
        QCOMPARE(rig.dm->cdsSportler.AsString("Name"), std::string(20, 'n'));
        rig.window->Memo()->setFocus();
        rig.Type(QStringLiteral("Knie ") + QString::fromUcs4(U"\U0001F3C3") + QStringLiteral("ok"));
        QCOMPARE(rig.window->Memo()->toPlainText(), QStringLiteral("Knie ok"));
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
        QVERIFY(rig.dialogs.Shown()[0].text.find("kann nicht gespeichert werden") != std::string::npos);
    }

    // What is typed into the memo belongs to the record: "speichern" takes it (the memo
    // keeps the focus, the navigator asks for it), "abbrechen" drops it.
    void memoTextGoesWithItsRecord() {
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Anna", "Adler", "W", 1990);
        rig.Open();
        rig.window->Memo()->setFocus();
        rig.Type(QStringLiteral("verworfen"));
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Edit);
        rig.Nav(nbvexoCancel);
        QCOMPARE(rig.window->Memo()->toPlainText(), QString());
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Browse);
        rig.Type(QStringLiteral("Knie"));
        QCOMPARE(rig.Focused(), static_cast<QWidget*>(rig.window->Memo()));
        rig.Nav(nbvexoPost);
        QCOMPARE(rig.dm->cdsSportler.AsString("Infos"), std::string("Knie"));
        QCOMPARE(rig.dm->cdsSportler.State(), TableState::Browse);
        QVERIFY(rig.dialogs.Shown().empty());
    }

    // What the cells refuse, cut or replace; the memo takes a long text.
    void badInput() {
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Geburtsjahr);
        rig.Type(QStringLiteral("19x9-0")); // letters and a late sign never arrive
        rig.Key(Qt::Key_Return);
        QCOMPARE(rig.dm->cdsSportler.AsInteger("Geburtsjahr"), std::int64_t(1990));
        rig.ClickCell(0, Vorname);
        rig.Type(QStringLiteral("Maximilian-Alexander Graf von Ł"));
        rig.Key(Qt::Key_Return);
        QCOMPARE(rig.dm->cdsSportler.AsString("Vorname"), std::string("Maximilian-Alexander")); // cut to 20
        rig.ClickCell(0, Name);
        rig.Type(QStringLiteral("Łukasz")); // no "Ł" in the files' code page: refused, and said
        rig.Key(Qt::Key_Return);
        QCOMPARE(rig.dm->cdsSportler.AsString("Name"), std::string("ukasz"));
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
        QVERIFY(rig.dialogs.Shown()[0].text.find("\u201E\u0141\u201C kann nicht gespeichert werden") == 0);
        rig.dialogs.Clear();
        rig.ClickCell(0, Geschlecht);
        rig.Type(QStringLiteral("W"));
        rig.Key(Qt::Key_Return);
        const QString longText(10000, QLatin1Char('x'));
        rig.window->Memo()->setFocus();
        QApplication::clipboard()->setText(longText);
        rig.Key(Qt::Key_V, Qt::ControlModifier);
        rig.Nav(nbvexoPost);
        rig.Nav(nbvexoPost); // twice: the second has nothing to post
        QVERIFY(rig.dialogs.Shown().empty());
        QCOMPARE(rig.dm->cdsSportler.AsString("Infos").size(), std::size_t(10000));
        QCOMPARE(rig.dm->cdsSportler.RecordCount(), 1);
    }
};

QTEST_MAIN(TestAthleteWindow)
#include "test_athlete_window.moc"
