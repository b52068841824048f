// The results window as a user meets it: the hidden computed columns while editing, the
// athlete chosen by name, Tab, the reload at every opening, and the whole road of a result
// from the main window's buttons through both windows to the files.
#include "app/program.h"
#include "app/vexo_multistage_form.h"
#include "data/text_encoding.h"
#include "fake_sound.h"
#include "ui/windows/f_sportler.h"
#include "ui/windows/f_werte.h"
#include "window_rig.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

using namespace data;

namespace {
using Rig = WindowRig<Tfrm_Werte>;
constexpr int Vorname = 0, Name = 1, Datum = 4, Level = 5, Runde = 6, VO2 = 7, Bewertung = 9;

// Chooses an entry of the open lookup drop-down, as a user does with the arrow keys.
void Choose(QWidget* editor, int entry) {
    auto* combo = qobject_cast<QComboBox*>(editor);
    QVERIFY(combo);
    combo->setCurrentIndex(entry);
}
// The whole program on a temporary folder with its main window shown and active; the
// windows its buttons open are shown without a modal loop, and the last one is noted.
struct ProgramRig {
    VirtualClock clock{DataRig::Start()};
    FakeSound sound{&clock};
    FakeDialogs dialogs;
    QTemporaryDir dir;
    // The VO2max table is made before the program that computes with it.
    std::unique_ptr<Program> program{
        (global::InitVO2Table(), std::make_unique<Program>(dir.path().toStdString() + "/"))};
    QDialog* open = nullptr;
    ProgramRig() {
        TMultistage_frm& main = program->MainWindow();
        main.SetModalRunner([this](QDialog& window) {
            open = &window;
            window.show();
            QApplication::setActiveWindow(&window);
            QVERIFY(QTest::qWaitForWindowActive(&window));
        });
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
    }
};

} // namespace

class TestResultsWindow : public QObject {
    Q_OBJECT
private slots:
    void layout() {
        Rig rig;
        Tfrm_Werte& w = *rig.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("frm_Werte"));
        QCOMPARE(w.size(), QSize(711, 519));
        QCOMPARE(rig.Child<QLabel>("Label1")->text(), QStringLiteral("Rizidevizi Werte:"));
        QCOMPARE(w.Navigator()->geometry(), QRect(8, 39, 692, 25));
        QCOMPARE(rig.Grid()->geometry(), QRect(8, 63, 692, 324));
        QCOMPARE(w.Memo()->geometry(), QRect(8, 393, 692, 89));
        QCOMPARE(rig.Child<QPushButton>("Button1")->geometry(), QRect(409, 488, 291, 25));
        QCOMPARE(rig.Child<QPushButton>("Button1")->text(), QStringLiteral("Multistagewerte verlassen"));
        const QStringList titles{
            "Sportler Vorname", "Sportler Name", "werteid",  "sportlerid", "Datum", "Level", "Runde",
            "VO2-wert",         "Infoswerte",    "Bewertung"};
        for (int c = 0; c < 10; ++c) {
            QCOMPARE(rig.Grid()->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                     titles[c]);
            QCOMPARE(rig.Grid()->isColumnHidden(c), c == 2 || c == 3 || c == 8);
        }
        QVERIFY(w.Memo()->isReadOnly());
    }

    // "neu": the computed columns go, grid and memo become editable, the grid has the focus;
    // "speichern": they come back with the computed values.
    void insertingAResult() {
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Eva", "Engel", "W", 1981);
        rig.Open();
        rig.Child<QPushButton>("Button1")->setFocus();
        rig.Nav(nbvexoInsert);
        QVERIFY(rig.Grid()->isColumnHidden(VO2) && rig.Grid()->isColumnHidden(Bewertung));
        QVERIFY(!rig.Grid()->ReadOnly() && !rig.window->Memo()->isReadOnly());
        QCOMPARE(rig.Focused(), static_cast<QWidget*>(rig.Grid()));
        rig.ClickCell(0, Name);
        rig.Key(Qt::Key_F2);
        Choose(rig.Grid()->OpenEditor(), 0);
        rig.ClickCell(0, Datum);
        rig.Type(QStringLiteral("1.3.2026"));
        rig.ClickCell(0, Level);
        rig.Type(QStringLiteral("6"));
        rig.ClickCell(0, Runde);
        rig.Type(QStringLiteral("1"));
        rig.window->Memo()->setFocus();
        rig.Type(QStringLiteral("Halle nass"));
        rig.Key(Qt::Key_Return); // a line break in this memo
        rig.Type(QStringLiteral("kalt"));
        rig.Nav(nbvexoPost);
        QVERIFY(rig.dialogs.Shown().empty());
        QVERIFY(!rig.Grid()->isColumnHidden(VO2) && !rig.Grid()->isColumnHidden(Bewertung));
        QCOMPARE(rig.Cell(0, Vorname), QStringLiteral("Eva"));
        QCOMPARE(rig.Cell(0, VO2), QStringLiteral("32,9"));
        QCOMPARE(rig.Cell(0, Bewertung), QStringLiteral("sehr gut"));
        QCOMPARE(rig.dm->cdsMultiwert.AsString("Infoswerte"), std::string("Halle nass\r\nkalt"));
    }

    // Tab on the grid walks over all ten columns, hidden ones included; in a cell editor it
    // hands the focus to the leave button.
    void tab() {
        Rig rig;
        PostResult(rig.dm->cdsMultiwert, 1, 2026, 1, 1, 5, 2);
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.Grid()->SetSelectedIndex(Runde);
        QStringList walked;
        for (int i = 0; i < 4; ++i) {
            rig.Key(Qt::Key_Tab);
            walked << QString::number(rig.Grid()->SelectedIndex());
        }
        QCOMPARE(walked, (QStringList{"7", "8", "9", "0"}));
        rig.ClickCell(0, Level);
        rig.Type(QStringLiteral("7"));
        rig.Key(Qt::Key_Tab);
        QCOMPARE(rig.FocusedName(), QStringLiteral("Button1"));
        QCOMPARE(rig.dm->cdsMultiwert.AsInteger("Level"), std::int64_t(7));
    }

    // Leaving without "Änderungen speichern" and opening again: a posted result is still
    // there (the reload wrote it first); one still being inserted is gone.
    void reloadAtEveryOpening() {
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Level);
        rig.Type(QStringLiteral("9"));
        rig.Nav(nbvexoPost);
        rig.Nav(nbvexoInsert);
        rig.Leave();
        rig.Open();
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Browse);
        QCOMPARE(rig.Grid()->model()->rowCount(), 1);
        QCOMPARE(rig.Cell(0, Level), QStringLiteral("9"));
        QVERIFY(rig.Read(global::MultiwertPath).contains("Level=\"9\""));
    }

    // A result of no known athlete shows empty names; choosing a name ties it to one, by
    // its place in the list even when names repeat.
    void choosingTheAthlete() {
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Anna", "Meier", "W", 1990);
        PostAthlete(rig.dm->cdsSportler, "Berta", "Meier", "W", 1980);
        PostResult(rig.dm->cdsMultiwert, 77, 2026, 1, 1, 5, 2);
        rig.Open();
        QCOMPARE(rig.Cell(0, Name), QString());
        rig.Nav(nbvexoEdit);
        rig.ClickCell(0, Name);
        rig.Key(Qt::Key_F2);
        auto* combo = qobject_cast<QComboBox*>(rig.Grid()->OpenEditor());
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        Choose(combo, 1); // the second "Meier"
        rig.Nav(nbvexoPost);
        QCOMPARE(rig.dm->cdsMultiwert.AsInteger("sportlerid"), std::int64_t(2));
        QCOMPARE(rig.Cell(0, Vorname), QStringLiteral("Berta"));
    }

    // Wrong input: letters never reach a number cell; an impossible or half-typed date is
    // refused at the cell with the record still in editing; a level outside the table gives
    // its message and 0.
    void badInput_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("letters in Level") << Level << "1a2" << "" << "12";
        QTest::newRow("31 February") << Datum << "31.02.2026" << "kein gültiges Datum" << "";
        QTest::newRow("half-typed date") << Datum << "1.1." << "kein gültiges Datum" << "";
        QTest::newRow("overlong shuttle") << Runde << "999999999999" << "außerhalb des gültigen Bereichs" << "";
        // clang-format on
    }
    void badInput() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, column);
        rig.Type(typed);
        rig.Key(Qt::Key_Return);
        if (message.isEmpty()) {
            QVERIFY(rig.dialogs.Shown().empty());
        } else {
            QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
            QVERIFY(QString::fromStdString(rig.dialogs.Shown()[0].text).contains(message));
        }
        QCOMPARE(rig.Cell(0, column), shown);
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Insert);
    }

    void levelOutsideTheTable() {
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Level);
        rig.Type(QStringLiteral("25"));
        rig.Nav(nbvexoPost);
        QCOMPARE(rig.dialogs.Texts(), std::vector<std::string>{"Werte nicht definiert"});
        QCOMPARE(rig.Cell(0, VO2), QStringLiteral("0"));
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Browse);
    }

    // Enter on any control never closes the window nor drops the result being typed: no
    // button is a default button, and only a focused button is pressed by Enter.
    void enterNeverClosesTheWindow_data() {
        QTest::addColumn<QString>("on");
        QTest::newRow("the grid") << "grid";
        QTest::newRow("a cell editor") << "editor";
        QTest::newRow("the memo") << "memo";
        QTest::newRow("the memo, read-only") << "read-only memo";
        QTest::newRow("the save button") << "Button2";
    }
    void enterNeverClosesTheWindow() {
        QFETCH(QString, on);
        Rig rig;
        PostAthlete(rig.dm->cdsSportler, "Ida", "Iser", "W", 2008);
        rig.Open();
        for (auto* button : rig.window->findChildren<QPushButton*>())
            QVERIFY(!button->isDefault() && !button->autoDefault());
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Name);
        rig.Key(Qt::Key_F2);
        Choose(rig.Grid()->OpenEditor(), 0);
        rig.Key(Qt::Key_Return);
        for (auto [column, text] : {std::pair{Datum, "16.03.2026"}, {Level, "7"}, {Runde, "3"}}) {
            rig.ClickCell(0, column);
            rig.Type(QString::fromLatin1(text));
            rig.Key(Qt::Key_Return); // each cell committed with Enter
        }
        if (on == "editor") {
            rig.ClickCell(0, Level);
            rig.Type(QStringLiteral("8"));
        } else if (on == "memo") {
            rig.window->Memo()->setFocus();
        } else if (on == "read-only memo") {
            rig.window->Memo()->setReadOnly(true);
            rig.window->Memo()->setFocus();
        } else if (on == "Button2") {
            rig.Child<QPushButton>("Button2")->setFocus();
        }
        rig.Key(Qt::Key_Return);
        rig.Key(Qt::Key_Enter);
        QVERIFY(rig.window->isVisible());
        if (on == "Button2") { // pressed by Enter: the result is posted and saved
            QVERIFY(rig.Read(global::MultiwertPath).contains("Level=\"7\" Runde=\"3\""));
            return;
        }
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Insert);
        rig.Nav(nbvexoPost);
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Browse);
        QCOMPARE(rig.dm->cdsMultiwert.AsInteger("Level"), std::int64_t(on == "editor" ? 8 : 7));
        QCOMPARE(rig.dm->cdsMultiwert.AsString("Bewertung"),
                 std::string(on == "editor" ? "sehr gut" : "gut"));
    }

    // Leaving with a result typed but not posted asks: "Ja" posts it, "Nein" drops it, and
    // Escape (or the box's close button) goes back to the window with the result as typed;
    // the next showing has nothing left to drop unasked.
    void leavingWithAPendingResult_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("rows");
        QTest::newRow("taken over") << int(platform::Answer::Yes) << 1;
        QTest::newRow("given up") << int(platform::Answer::No) << 0;
        QTest::newRow("Escape: back to the window") << int(platform::Answer::Abort) << -1;
    }
    void leavingWithAPendingResult() {
        QFETCH(int, answer);
        QFETCH(int, rows);
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Level);
        rig.Type(QStringLiteral("9")); // still in its editor
        rig.dialogs.ScriptAnswer(platform::Answer(answer));
        rig.Child<QPushButton>("Button1")->setFocus(); // Enter presses the focused button
        rig.Key(Qt::Key_Return);
        QCOMPARE(rig.dialogs.Shown().front().kind, ShownBox::YesNoCancel);
        if (rows < 0) {
            QVERIFY(rig.window->isVisible());
            QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Insert);
            QCOMPARE(rig.dm->cdsMultiwert.AsInteger("Level"), std::int64_t(9));
            return;
        }
        QVERIFY(!rig.window->isVisible());
        rig.Open();
        QCOMPARE(rig.Grid()->model()->rowCount(), rows);
    }

    // However the window was left ("ändern" and "verlassen" without typing, "neu" and the
    // close button), it opens again read-only with every column shown, and typing starts no
    // edit of a stored result.
    void reopensInBrowsing_data() {
        QTest::addColumn<int>("button");
        QTest::newRow("ändern, verlassen") << int(nbvexoEdit);
        QTest::newRow("neu, verlassen") << int(nbvexoInsert);
    }
    void reopensInBrowsing() {
        QFETCH(int, button);
        Rig rig;
        PostResult(rig.dm->cdsMultiwert, 1, 2026, 3, 16, 7, 3);
        rig.Open();
        rig.Nav(TMNavigateBtn(button));
        QVERIFY(!rig.Grid()->ReadOnly());
        rig.Leave();
        QVERIFY(!rig.window->isVisible());
        QVERIFY(rig.dialogs.Shown().empty()); // nothing typed, nothing asked
        rig.Open();
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Browse);
        QVERIFY(rig.Grid()->ReadOnly());
        QVERIFY(!rig.Grid()->isColumnHidden(Tfrm_Werte::VO2Column));
        QVERIFY(!rig.Grid()->isColumnHidden(Tfrm_Werte::RatingColumn));
        rig.Grid()->setFocus();
        rig.Type(QStringLiteral("9"));
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Browse);
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 1);
    }

    // A value the field cannot hold stops the post: told, and the record stays in editing
    // with the typed text in its open cell, to be corrected.
    void refusedValueStopsThePost() {
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Level);
        rig.Type(QStringLiteral("8"));
        rig.ClickCell(0, Runde);
        rig.Type(QStringLiteral("99999999999"));
        rig.Nav(nbvexoPost);
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
        QVERIFY(rig.dialogs.Shown()[0].text.find("außerhalb des gültigen Bereichs") != std::string::npos);
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Insert);
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 0);
        auto* editor = qobject_cast<QLineEdit*>(rig.Grid()->OpenEditor());
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("99999999999"));
        editor->setText(QStringLiteral("11"));
        rig.Nav(nbvexoPost);
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Browse);
        QCOMPARE(rig.dm->cdsMultiwert.AsFloat("VO2-wert"), 43.3);
    }

    // A date the calendar does not have is told, and its text stays in the editor, so that
    // one digit can be corrected.
    void invalidDateKeepsItsText() {
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Datum);
        rig.Type(QStringLiteral("31.02.2026"));
        rig.Key(Qt::Key_Return);
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
        auto* editor = qobject_cast<QLineEdit*>(rig.Grid()->OpenEditor());
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("31.02.2026"));
        editor->setText(QStringLiteral("28.02.2026"));
        rig.Key(Qt::Key_Return);
        QVERIFY(!rig.Grid()->OpenEditor());
        QCOMPARE(rig.dm->cdsMultiwert.AsDate("Datum"), DaysFromCivil(2026, 2, 28));
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
    }

    // Minimised (the window manager's button), the window comes back at once: a modal window
    // gone from the screen would leave nothing to click.
    void noMinimising() {
        Rig rig;
        rig.Open();
        rig.window->showMinimized();
        QTRY_VERIFY(!rig.window->isMinimized());
        QVERIFY(rig.window->isVisible());
    }

    // With a refused value still in its cell, leaving and moving to another row are refused
    // with a word on why and what to do, never silently.
    void refusedValueSaysWhyLeavingWaits() {
        Rig rig;
        PostResult(rig.dm->cdsMultiwert, 1, 2026, 3, 16, 7, 3);
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.ClickCell(0, Datum);
        rig.Type(QStringLiteral("31.02.2026"));
        rig.Key(Qt::Key_Return);
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1)); // the date is told
        rig.Leave();
        QVERIFY(rig.window->isVisible());
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(2));
        const std::string why = rig.dialogs.Shown().back().text;
        QVERIFY2(why.find("31.02.2026") != std::string::npos && why.find("Esc") != std::string::npos,
                 why.c_str());
        rig.window->close();
        QVERIFY(rig.window->isVisible());
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(3));
    }

    // "neu" and then "akt" on a record nobody typed into gives the record up: nothing is
    // stored, nothing is asked.
    void untouchedInsertIsNotStored() {
        Rig rig;
        rig.Open();
        rig.Nav(nbvexoInsert);
        rig.Nav(nbvexoPost);
        QVERIFY(rig.dialogs.Shown().empty());
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Browse);
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 0);
        rig.Nav(nbvexoInsert);
        rig.dm->cdsMultiwert.SaveToFile(); // the program's end saves the same way
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 0);
    }

    // After a deletion the record that followed the deleted one is current.
    void deletionLeavesTheNextRecordCurrent() {
        Rig rig;
        const auto ida = PostAthlete(rig.dm->cdsSportler, "Ida", "Iser", "W", 2008);
        for (int day : {16, 17, 18})
            PostResult(rig.dm->cdsMultiwert, ida, 2026, 3, day, 7, 3);
        rig.Open();
        rig.ClickCell(1, Datum); // "17.03." first, then back up to "16.03."
        rig.ClickCell(0, Datum);
        rig.dialogs.ScriptAnswer(platform::Answer::Yes);
        rig.Nav(nbvexoDelete);
        QCOMPARE(rig.Grid()->model()->rowCount(), 2);
        QCOMPARE(rig.dm->cdsMultiwert.AsDate("Datum"), DaysFromCivil(2026, 3, 17));
        QCOMPARE(rig.Grid()->currentIndex().row(), rig.dm->cdsMultiwert.RecNo());
        QCOMPARE(rig.Cell(rig.Grid()->currentIndex().row(), Datum), QStringLiteral("17.03.2026"));
        rig.ClickCell(1, Datum); // the last one deleted: the one before it is current
        rig.dialogs.ScriptAnswer(platform::Answer::Yes);
        rig.Nav(nbvexoDelete);
        QCOMPARE(rig.dm->cdsMultiwert.AsDate("Datum"), DaysFromCivil(2026, 3, 17));
        QCOMPARE(rig.Grid()->currentIndex().row(), 0);
    }

    // Typing into the read-only grid moves no row (no search by the letters typed).
    void typingInTheReadOnlyGridMovesNothing() {
        Rig rig;
        for (const char* name : {"Anna", "Bert", "Carl", "Dora"})
            PostResult(rig.dm->cdsMultiwert, PostAthlete(rig.dm->cdsSportler, name, name, "W", 1990), 2026, 1,
                       1, 5, 2);
        rig.Open();
        rig.ClickCell(1, Vorname);
        rig.Type(QStringLiteral("dora"));
        QCOMPARE(rig.dm->cdsMultiwert.RecNo(), 1);
        QCOMPARE(rig.Grid()->currentIndex().row(), 1);
        QVERIFY(rig.dialogs.Shown().empty());
    }

    // Every navigator button but "neu" and "ändern" makes grid and memo read-only and shows
    // the computed columns again, before its action.
    void editingEndsWithEveryOtherButton_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::newRow("neu, speichern") << int(nbvexoInsert) << int(nbvexoPost);
        QTest::newRow("neu, abbrechen") << int(nbvexoInsert) << int(nbvexoCancel);
        QTest::newRow("neu, akt") << int(nbvexoInsert) << int(nbvexoRefresh);
        QTest::newRow("ändern, speichern") << int(nbvexoEdit) << int(nbvexoPost);
        QTest::newRow("ändern, abbrechen") << int(nbvexoEdit) << int(nbvexoCancel);
        QTest::newRow("ändern, akt") << int(nbvexoEdit) << int(nbvexoRefresh);
    }
    void editingEndsWithEveryOtherButton() {
        QFETCH(int, start);
        QFETCH(int, end);
        Rig rig;
        PostResult(rig.dm->cdsMultiwert, 1, 2026, 1, 1, 5, 2);
        rig.Open();
        rig.Nav(static_cast<TMNavigateBtn>(start));
        QVERIFY(!rig.Grid()->ReadOnly() && !rig.window->Memo()->isReadOnly());
        QVERIFY(rig.Grid()->isColumnHidden(VO2) && rig.Grid()->isColumnHidden(Bewertung));
        rig.Nav(static_cast<TMNavigateBtn>(end));
        QVERIFY(rig.Grid()->ReadOnly());
        QVERIFY(rig.window->Memo()->isReadOnly());
        QVERIFY(!rig.Grid()->isColumnHidden(VO2) && !rig.Grid()->isColumnHidden(Bewertung));
    }

    // The window has a fixed frame without minimise and maximise, and opens centred.
    void fixedFrameCentred() {
        Rig rig;
        const Qt::WindowFlags flags = rig.window->windowFlags();
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QCOMPARE(rig.window->minimumSize(), rig.window->maximumSize());
        rig.Open();
        QCoreApplication::processEvents();
        const QRect desk = rig.window->screen()->availableGeometry();
        QVERIFY(qAbs(rig.window->frameGeometry().center().x() - desk.center().x()) <= 1);
        QVERIFY(qAbs(rig.window->frameGeometry().center().y() - desk.center().y()) <= 1);
    }

    // The program's end takes what is still being typed: a result with its last cell still
    // in the editor is posted and saved; an athlete the checks refuse is dropped, and the
    // user is told which.
    void pendingInputAtProgramEnd() {
        ProgramRig rig;
        std::unique_ptr<Program>& program = rig.program;
        FakeDialogs& dialogs = rig.dialogs;
        QTemporaryDir& dir = rig.dir;
        TMultistage_frm& main = program->MainWindow();
        PostAthlete(program->DataModule().cdsSportler, "Ida", "Iser", "W", 2008);

        main.btn_sportlerClick();
        Tfrm_Sportler& athletes = program->SportlerWindow();
        QTest::mouseClick(athletes.Navigator()->Button(nbvexoInsert), Qt::LeftButton);
        ClickCellOf(athletes.Grid(), 0, 2);
        TypeText(QStringLiteral("Ohne Jahr"));
        athletes.hide();

        main.btn_werteClick();
        Tfrm_Werte& results = program->WerteWindow();
        QTest::mouseClick(results.Navigator()->Button(nbvexoInsert), Qt::LeftButton);
        ClickCellOf(results.Grid(), 0, Name);
        QTest::keyClick(results.Grid(), Qt::Key_F2);
        Choose(results.Grid()->OpenEditor(), 0);
        ClickCellOf(results.Grid(), 0, Level);
        TypeText(QStringLiteral("7"));
        ClickCellOf(results.Grid(), 0, Runde);
        TypeText(QStringLiteral("3")); // still in its editor
        QVERIFY(dialogs.Shown().empty());

        program->End();
        const std::vector<std::string> shown = dialogs.Texts();
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[0], std::string("das Geburtsjahr sollte zwischen 1920 und heute liegen!"));
        QVERIFY(shown[1].find("\" Ohne Jahr\" nicht gespeichert werden. Die Eingaben stehen in") !=
                std::string::npos);
        program.reset();
        QFile file(dir.filePath(QStringLiteral("multiwert.xml")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        QVERIFY(saved.contains("sportlerid=\"1\" Level=\"7\" Runde=\"3\" VO2-wert=\"37.1\""));
    }

    // The whole road of endToEnd below with the keyboard alone: Tab to a button and Enter,
    // Einfg for "neu", the typing into the cells, Strg+Eingabe to store, Strg+Tab out of the
    // grid to the leave button; "ändern" puts the typing into the grid too.
    void keyboardOnlyRoad() {
        ProgramRig rig;
        Program& program = *rig.program;
        FakeDialogs& dialogs = rig.dialogs;
        QTemporaryDir& dir = rig.dir;
        TMultistage_frm& main = program.MainWindow();
        const QDialog* const& open = rig.open;
        const auto key = [](Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), k, mods);
            QCoreApplication::processEvents();
        };
        const auto focused = [] {
            return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        };
        // Tab until `name` has the focus (at most a round of the window's controls); out of
        // the grid, which takes Tab for its columns, with Ctrl+Tab.
        const auto tabTo = [&](const char* name) {
            for (int i = 0; i < 12 && focused() != QLatin1String(name); ++i)
                key(Qt::Key_Tab,
                    focused() == QLatin1String("DBGrid1") ? Qt::ControlModifier : Qt::NoModifier);
            QCOMPARE(focused(), QString::fromLatin1(name));
        };

        tabTo("btn_sportler");
        key(Qt::Key_Return);
        Tfrm_Sportler& athletes = program.SportlerWindow();
        QCOMPARE(open, &athletes);
        key(Qt::Key_Insert);
        QCOMPARE(focused(), QStringLiteral("DBGrid1"));
        for (const char* text : {"Jürgen", "Groß", "M", "1990"}) {
            TypeText(QString::fromUtf8(text));
            key(Qt::Key_Return);
        }
        key(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(program.DataModule().cdsSportler.State(), TableState::Browse);
        QCOMPARE(program.DataModule().cdsSportler.RecordCount(), 1);
        // "ändern" by its button, from anywhere: the typing goes into the grid.
        tabTo("DBMemo1");
        athletes.Navigator()->BtnClick(nbvexoEdit);
        QCOMPARE(focused(), QStringLiteral("DBGrid1"));
        tabTo("Button1");
        key(Qt::Key_Return);
        QVERIFY(!athletes.isVisible());

        QApplication::setActiveWindow(&main);
        main.findChild<QPushButton*>(QStringLiteral("btn_werte"))->setFocus();
        key(Qt::Key_Return);
        Tfrm_Werte& results = program.WerteWindow();
        QCOMPARE(open, &results);
        key(Qt::Key_Insert);
        QCOMPARE(focused(), QStringLiteral("DBGrid1"));
        // The athlete's first name chooses from the list (F2 opens it, Down picks); Enter puts
        // a value in, Tab goes on to the next column.
        key(Qt::Key_F2);
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        for (int i = 0; i < 4; ++i) // on to the date
            key(Qt::Key_Tab);
        for (const char* text : {"10.12.2026", "8", "11"}) {
            TypeText(QString::fromUtf8(text));
            key(Qt::Key_Return);
            key(Qt::Key_Tab);
        }
        key(Qt::Key_Return, Qt::ControlModifier);
        QVERIFY2(dialogs.Shown().empty(), dialogs.Texts().empty() ? "" : dialogs.Texts().front().c_str());
        QCOMPARE(program.DataModule().cdsMultiwert.RecordCount(), 1);
        QCOMPARE(program.DataModule().cdsMultiwert.AsInteger("Level"), 8);
        QCOMPARE(program.DataModule().cdsMultiwert.AsInteger("Runde"), 11);
        tabTo("Button2");
        key(Qt::Key_Return);
        tabTo("Button1");
        key(Qt::Key_Return);
        QVERIFY(!results.isVisible());
        QFile file(dir.filePath(QStringLiteral("multiwert.xml")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("Datum=\"20261210\" Level=\"8\" Runde=\"11\""));
    }

    // The whole road: "Sportler", an athlete typed in and saved; "Werte", a result for him;
    // the files hold both. Through the main window's buttons and the real windows.
    void endToEnd() {
        ProgramRig rig;
        Program& program = *rig.program;
        FakeDialogs& dialogs = rig.dialogs;
        QTemporaryDir& dir = rig.dir;
        TMultistage_frm& main = program.MainWindow();

        QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("btn_sportler")), Qt::LeftButton);
        Tfrm_Sportler& athletes = program.SportlerWindow();
        QVERIFY(athletes.isVisible());
        const auto type = TypeText;
        const auto clickCell = ClickCellOf;
        QTest::mouseClick(athletes.Navigator()->Button(nbvexoInsert), Qt::LeftButton);
        clickCell(athletes.Grid(), 0, 1);
        type(QStringLiteral("Jürgen"));
        clickCell(athletes.Grid(), 0, 2);
        type(QStringLiteral("Groß"));
        clickCell(athletes.Grid(), 0, 3);
        type(QStringLiteral("M"));
        clickCell(athletes.Grid(), 0, 4);
        type(QStringLiteral("1990"));
        QTest::mouseClick(athletes.Navigator()->Button(nbvexoPost), Qt::LeftButton);
        QTest::mouseClick(athletes.findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
        QTest::mouseClick(athletes.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
        QVERIFY(!athletes.isVisible());

        QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("btn_werte")), Qt::LeftButton);
        Tfrm_Werte& results = program.WerteWindow();
        QTest::mouseClick(results.Navigator()->Button(nbvexoInsert), Qt::LeftButton);
        clickCell(results.Grid(), 0, Name);
        QTest::keyClick(results.Grid(), Qt::Key_F2);
        Choose(results.Grid()->OpenEditor(), 0);
        clickCell(results.Grid(), 0, Datum);
        type(QStringLiteral("10.12.2026"));
        clickCell(results.Grid(), 0, Level);
        type(QStringLiteral("8"));
        clickCell(results.Grid(), 0, Runde);
        type(QStringLiteral("11"));
        QTest::mouseClick(results.Navigator()->Button(nbvexoPost), Qt::LeftButton);
        auto* model = results.Grid()->model();
        QCOMPARE(model->data(model->index(0, VO2), Qt::DisplayRole).toString(), QStringLiteral("43,3"));
        QCOMPARE(model->data(model->index(0, Bewertung), Qt::DisplayRole).toString(), QStringLiteral("gut"));
        QCOMPARE(model->data(model->index(0, Vorname), Qt::DisplayRole).toString(), QStringLiteral("Jürgen"));
        QVERIFY(dialogs.Shown().empty());
        QTest::mouseClick(results.findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);

        QFile file(dir.filePath(QStringLiteral("multiwert.xml")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(
            bytes.contains("sportlerid=\"1\" Datum=\"20261210\" Level=\"8\" Runde=\"11\" VO2-wert=\"43.3\" "
                           "Bewertung=\"gut\""));
    }
};

QTEST_MAIN(TestResultsWindow)
#include "test_results_window.moc"
