// The main window as a user meets it: captions, colours and geometry, the focus order,
// the menu column locked during a test, and the "ENDE" question.
#include "../ui/window_rig.h"
#include "app/My_std.h"
#include "app/main_window_layout.h"
#include "app/program.h"
#include "app/termination_signals.h"
#include "app/vexo_multistage_form.h"
#include "data/DModule.h"
#include "data/groups.h"
#include "data/instance_lock.h"
#include "evaluation/global.h"
#include "fake_dialogs.h"
#include "fake_sound.h"
#include "ui/evaluation/evaluation_window.h"
#include "ui/grouptest/roster_window.h"
#include "ui/grouptest/runner_tile.h"
#include "ui/widgets/panel.h"
#include "ui/windows/f_sportler.h"
#include "ui/windows/f_werte.h"
#include "virtual_clock.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

template <typename T = QWidget> T* Child(QWidget& window, const char* name) {
    auto* child = window.findChild<T*>(QString::fromLatin1(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

QColor Colour(QWidget* w) {
    return w->palette().color(QPalette::Window);
}

struct Rig {
    VirtualClock clock;
    FakeSound sound{&clock};
    FakeDialogs dialogs;
    TMultistage_frm window;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void captionsColoursAndFonts() {
        Rig rig;
        QWidget& w = rig.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Vexo-Rizidevizi freie Version"));
        QCOMPARE(w.size(), main_layout::Design);
        const QColor blue(128, 128, 255);
        for (const char* name : {"Panel1", "Panel2", "Anzeige", "p_durchgang"})
            QCOMPARE(Colour(Child(w, name)), blue);
        QCOMPARE(Colour(Child(w, "Panel4")), QColor(255, 128, 128));
        QCOMPARE(Colour(Child(w, "StatusBar1")), QColor(255, 255, 0));
        const std::pair<const char*, const char*> captions[] = {
            {"btn_start", "START"}, {"btn_stop", "STOP"},      {"btn_sportler", "Sportler"},
            {"btn_werte", "Werte"}, {"Button4", "Auswertung"}, {"btn_info", "Informationen"}};
        for (const auto& [name, caption] : captions)
            QCOMPARE(Child<QPushButton>(w, name)->text(), QString::fromLatin1(caption));
        QCOMPARE(Child<QPushButton>(w, "btn_start")->font().pixelSize(), 21);
        QVERIFY(Child<QPushButton>(w, "btn_start")->font().bold());
        QCOMPARE(Child<QPushButton>(w, "btn_sportler")->font().pixelSize(), 19);
        QCOMPARE(Child<ui::Panel>(w, "Panel4")->Caption(), QStringLiteral("ENDE"));
        QVERIFY(!Child<ui::Panel>(w, "StatusBar1")->Caption().isEmpty());
        QCOMPARE(Child<ui::Panel>(w, "Anzeige")->Caption(), QStringLiteral("0"));
        QCOMPARE(Child<ui::Panel>(w, "Anzeige")->font().pixelSize(), 400);
        QCOMPARE(Child<QLabel>(w, "Label3")->text(), QStringLiteral("Level:"));
        QCOMPARE(Child<QLabel>(w, "Label1")->text(), QStringLiteral("Durchgang:"));
        QCOMPARE(Child<QLabel>(w, "Label2")->text(), QStringLiteral("Zeit:"));
        QCOMPARE(Child<QLabel>(w, "l_time")->text(), QStringLiteral("0:00"));
    }

    // At its design size and at the sizes of screens it is maximised on, the window keeps
    // its parts where the layout anchors them: the bottom bar across the bottom with STOP at
    // the right edge, the menu column at the left with its buttons whole and the "ENDE"
    // panel right above the status bar at its bottom, the displays filling the rest, and
    // nothing covering anything else.
    void layoutFollowsTheWindow_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("design size") << main_layout::Design;
        QTest::newRow("school laptop") << QSize(1366, 768);
        QTest::newRow("full HD") << QSize(1920, 1080);
    }
    void layoutFollowsTheWindow() {
        QFETCH(QSize, size);
        Rig rig;
        QWidget& w = rig.window;
        w.resize(size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto in = [&](const char* name) { // a control's rectangle in the window
            QWidget* child = Child(w, name);
            return QRect(child->mapTo(&w, QPoint(0, 0)), child->size());
        };
        const QRect all = w.rect();
        const QRect bar = in("Panel1"), menu = in("Panel2"), displays = in("Panel3");
        QCOMPARE(bar.bottom(), all.bottom());
        QCOMPARE(bar.width(), all.width());
        QCOMPARE(bar.height(), main_layout::BottomBarHeight);
        QCOMPARE(in("btn_start").left(), 0);
        QCOMPARE(in("btn_stop").right(), all.right()); // kept to the right edge
        QCOMPARE(menu.left(), 0);
        QCOMPARE(menu.bottom() + 1, bar.top());
        QCOMPARE(displays.left(), menu.right() + 1);
        QCOMPARE(displays.right(), all.right());
        QCOMPARE(displays.bottom() + 1, bar.top());
        QCOMPARE(in("StatusBar1").bottom(), menu.bottom());
        QCOMPARE(in("Panel4").bottom() + 1, in("StatusBar1").top());
        QCOMPARE(in("p_durchgang").bottom(), displays.bottom());
        QCOMPARE(in("Anzeige").bottom() + 1, in("p_durchgang").top());
        for (const auto& button : main_layout::MenuButtons) {
            QVERIFY2(menu.contains(in(button.name).adjusted(0, 0, -1, 0)),
                     button.name); // whole in the column
            QVERIFY2(!in(button.name).intersects(in("Panel4")), button.name);
        }
        QVERIFY(!in("btn_start").intersects(in("btn_stop")));
        QVERIFY(!in("l_time").intersects(in("btn_stop")));
    }

    void pathsAndFirstActivation() {
        Rig rig;
        QVERIFY(global::FirstActivation);
        const std::string dir = GetAppDir();
        QVERIFY(!dir.empty() && dir.back() == '/' && dir.find("//") == std::string::npos);
        QCOMPARE(global::SportlerPath, dir + "sportler.xml");
        QCOMPARE(global::MultiwertPath, dir + "multiwert.xml");
        QCOMPARE(global::LookupVO2(4, 1), 26.8);
        rig.window.FormActivate();
        QVERIFY(!global::FirstActivation);
    }

    void focusOrder() {
        Rig rig;
        rig.window.show();
        QApplication::setActiveWindow(&rig.window);
        QVERIFY(QTest::qWaitForWindowActive(&rig.window));
        const char* order[] = {"btn_start", "btn_stop", "btn_sportler", "btn_werte", "Button4", "btn_info"};
        for (const char* name : order) {
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btn_start"));
        // Enter on the focused START begins a test.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(rig.window.Controller().Running());
    }

    void runLocksTheMenuColumn() {
        Rig rig;
        QWidget& w = rig.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(Child(w, "btn_start"), Qt::LeftButton);
        QVERIFY(rig.window.Controller().Running());
        QCOMPARE(Child<ui::Panel>(w, "Anzeige")->Caption(), QStringLiteral("1"));
        QCOMPARE(rig.sound.Played(), std::vector<std::string>{"tada.wav"});
        for (const char* name :
             {"Panel2", "btn_sportler", "btn_werte", "Button4", "btn_info", "Panel4", "StatusBar1"})
            QVERIFY2(!Child(w, name)->isEnabled(), name);
        QVERIFY(Child(w, "btn_start")->isEnabled());
        QVERIFY(Child(w, "btn_stop")->isEnabled());

        // "ENDE" during a test: nothing, not even a question.
        QTest::mouseClick(Child(w, "Panel4"), Qt::LeftButton);
        rig.window.Panel4Click();
        QVERIFY(rig.dialogs.Shown().empty());

        rig.clock.Advance(8470 + 500);
        QCOMPARE(Child<ui::Panel>(w, "p_durchgang")->Caption(), QStringLiteral("2"));
        QCOMPARE(Child<QLabel>(w, "l_time")->text(), QStringLiteral("00:00:08"));

        QTest::mouseClick(Child(w, "btn_stop"), Qt::LeftButton);
        QVERIFY(!rig.window.Controller().Running());
        QVERIFY(Child(w, "Panel2")->isEnabled());
        QVERIFY(Child(w, "btn_werte")->isEnabled());
        QCOMPARE(Child<ui::Panel>(w, "Anzeige")->Caption(), QStringLiteral("0"));
    }

    // The first activation opens the data files, later ones do not; closing the window by
    // its frame during a test is said once and the test goes on, after STOP it closes; the end of the
    // program, as main() runs it, saves both tables: a pending result goes in through the main window's save
    // (the release of the data module alone would drop it).
    void dataFilesOverTheProgramsLife() {
        VirtualClock clock;
        FakeSound sound{&clock};
        FakeDialogs dialogs;
        QTemporaryDir dir;
        const QString results = dir.filePath(QStringLiteral("multiwert.xml"));
        auto program = std::make_unique<Program>(dir.path().toStdString() + "/");
        TMultistage_frm& w = program->MainWindow();
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(QFile::exists(results));
        TDM1& dm = program->DataModule();
        QVERIFY(dm.cdsMultiwert.Active());
        QFile::remove(dir.filePath(QStringLiteral("sportler.xml")));
        w.FormActivate(); // a later activation touches no file
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("sportler.xml"))));

        dm.cdsMultiwert.Insert(); // typed, not yet posted
        dm.cdsMultiwert.SetAsInteger("Level", 6);
        dm.cdsMultiwert.SetAsInteger("Runde", 1);
        w.btn_startClick();
        QVERIFY(!w.close());
        QCOMPARE(dialogs.Texts(), std::vector<std::string>{"Der Test läuft noch. Bitte erst STOP drücken."});
        QVERIFY(w.Controller().Running() && w.isVisible());
        w.btn_stopClick();
        QVERIFY(w.close());
        program->End(); // as main() does when the event loop has ended
        program.reset();
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("sportler.xml"))));
        QFile file(results);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("Level=\"6\""));
        QVERIFY(DM1 == nullptr);
    }

    // The buttons open their windows (shown modally in the program; recorded here).
    void buttonsOpenTheirWindows() {
        VirtualClock clock;
        FakeSound sound{&clock};
        FakeDialogs dialogs;
        QTemporaryDir dir;
        Program program(dir.path().toStdString() + "/");
        TMultistage_frm& w = program.MainWindow();
        QStringList opened;
        w.SetModalRunner([&](QDialog& window) { opened << window.objectName(); });
        w.show();
        QTest::mouseClick(Child(w, "btn_info"), Qt::LeftButton);
        QTest::mouseClick(Child(w, "StatusBar1"), Qt::LeftButton);
        QTest::mouseClick(Child(w, "Button4"), Qt::LeftButton);
        QTest::mouseClick(Child(w, "btn_sportler"), Qt::LeftButton);
        QTest::mouseClick(Child(w, "btn_werte"), Qt::LeftButton);
        QCOMPARE(opened,
                 (QStringList{"frm_info", "AboutBox", "EvaluationWindow", "frm_Sportler", "frm_Werte"}));
    }

    // What assistive tools read: every control a user can reach (by keyboard or pointer) in
    // every window of the program has a name, in German, glyph buttons, the huge digits and
    // the roster's tiles included; the digits' names follow what they show.
    void everyControlHasAnAccessibleName() {
        VirtualClock clock{DataRig::Start()};
        FakeSound sound{&clock};
        FakeDialogs dialogs;
        QTemporaryDir dir;
        Program program(dir.path().toStdString() + "/");
        program.MainWindow().FormActivate();
        const auto ben = PostAthlete(program.DataModule().cdsSportler, "Ben", "Bauer", "M", 2010);
        program.OpenGroupTest(data::GroupStore(program.DataModule()).Create("Klasse 7b", {ben}));
        QStringList unnamed;
        // The main window and every window it owns: the athletes, the results, the
        // evaluation, the information text, "Über", the roster.
        QList<QWidget*> windows{&program.MainWindow()};
        for (QWidget* w : program.MainWindow().findChildren<QWidget*>())
            if (w->isWindow() && !qobject_cast<QMenu*>(w) &&
                w->objectName() != QLatin1String("qt_scrollarea_viewport"))
                windows << w;
        QVERIFY(windows.size() >= 7);
        for (QWidget* window : windows)
            for (QWidget* w : window->findChildren<QWidget*>()) {
                // Qt's own parts of a control (a table's corner, a search field's clear
                // button, a list's popup, a chart's canvas) are named by the control.
                const QString type = QString::fromLatin1(w->metaObject()->className());
                if (w->window() != window || !w->isEnabled() ||
                    QStringList{"QTableCornerButton", "QLineEditIconButton", "QComboBoxListView"}.contains(
                        type) ||
                    qobject_cast<QAbstractScrollArea*>(w->parentWidget()))
                    continue;
                auto* panel = qobject_cast<ui::Panel*>(w);
                const bool reachable = w->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(w) ||
                                       (panel && !panel->Caption().isEmpty()) ||
                                       qobject_cast<ui::RunnerTile*>(w);
                if (!reachable)
                    continue;
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
                    unnamed << window->objectName() + "/" + w->metaObject()->className() + " " +
                                   w->objectName();
            }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("\n"))));
        auto* level = Child<ui::Panel>(program.MainWindow(), "Anzeige");
        static_cast<RunDisplay&>(program.MainWindow()).SetLevelText("7");
        QCOMPARE(QAccessible::queryAccessibleInterface(level)->text(QAccessible::Name),
                 QStringLiteral("Level 7"));
        program.End();
    }

    // The program's icon comes in every size the release folder ships.
    void programIcon() {
        const QIcon icon = ProgramIcon();
        QVERIFY(!icon.isNull());
        for (int size : {16, 32, 48, 128, 256})
            QCOMPARE(icon.pixmap(QSize(size, size)).size(), QSize(size, size));
        QCOMPARE(icon.availableSizes().size(), 5);
    }

    // Bold captions look bold: as much ink again as the regular face, at the sizes the
    // layouts use.
    void boldCaptionsAreBold() {
        ui::RegisterFonts();
        auto ink = [](const QFont& font) {
            QImage image(320, 48, QImage::Format_Grayscale8);
            image.fill(255);
            QPainter painter(&image);
            painter.setFont(font);
            painter.drawText(4, 36, QStringLiteral("START STOP ENDE"));
            painter.end();
            long sum = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    sum += 255 - qGray(image.pixel(x, y));
            return double(sum);
        };
        for (int size : {16, 21}) {
            const double ratio = ink(ui::UiFont(size, true)) / ink(ui::UiFont(size));
            QVERIFY2(ratio > 1.25, qPrintable(QStringLiteral("%1 px: %2").arg(size).arg(ratio)));
        }
    }

    // A copy that cannot take the data folder's lock is told and ends; one that holds it
    // starts without a word.
    void secondCopyIsRefused() {
        FakeDialogs dialogs;
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        const data::InstanceLock first(folder);
        QVERIFY(!StartRefused(first, folder));
        QVERIFY(dialogs.Shown().empty());
        const data::InstanceLock second(folder); // a lock of its own, as another process has
        QVERIFY(StartRefused(second, folder));
        QCOMPARE(dialogs.Shown().size(), std::size_t(1));
        QVERIFY(dialogs.Shown()[0].text.find("läuft bereits") != std::string::npos);
        QVERIFY(dialogs.Shown()[0].text.find(folder) != std::string::npos);
    }

    // A lock file left by another user account (mode 0600) refuses the start with whose it
    // is and how to remove it, in one sentence without a doubled full stop.
    void lockOfAnotherUserSaysWhoseAndHow() {
        if (getuid() != 0)
            QSKIP("needs a second user account (run as root)");
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
        { const data::InstanceLock made(folder); } // root's lock file, left behind
        QFile::setPermissions(QString::fromStdString(folder + data::InstanceLock::FileName),
                              QFile::ReadOwner | QFile::WriteOwner);
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(2);
            FakeDialogs dialogs;
            const data::InstanceLock lock(folder);
            if (!StartRefused(lock, folder) || dialogs.Shown().size() != 1)
                _exit(3);
            const std::string& text = dialogs.Shown()[0].text;
            const bool ok =
                text.find("Benutzerkonto \"root\"") != std::string::npos &&
                text.find("rm '" + folder + data::InstanceLock::FileName + "'") != std::string::npos &&
                text.find(".).") == std::string::npos &&
                text.find("(Zugriff verweigert).") != std::string::npos;
            _exit(ok ? 0 : 4);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    // The system's request to end (logout, shutdown) ends the event loop like "ENDE", so
    // that the program end saves the tables; it does not kill the program on the spot.
    void terminationSignalEndsTheLoop() {
        const TerminationSignals endWhenAsked;
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        QTimer::singleShot(2000, [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    // Logout or shutdown with input pending: nothing is shown or asked and the program ends;
    // a result being typed that passes its checks is posted and saved; an athlete its checks
    // refuse and a date the calendar does not have are kept in the recovery file, which the
    // next start shows once.
    void terminationKeepsEverythingTyped() {
        VirtualClock clock(DataRig::Start());
        FakeSound sound{&clock};
        FakeDialogs dialogs;
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        {
            Program program(folder);
            program.MainWindow().FormActivate();
            TDM1& dm = program.DataModule();
            const auto ben = PostAthlete(dm.cdsSportler, "Ben", "Bauer", "M", 2010);
            dm.cdsSportler.SaveToFile();
            dm.cdsSportler.Insert(); // refused at the post: no birth year
            dm.cdsSportler.SetAsString("Vorname", "Anna");
            Tfrm_Werte& werte = program.WerteWindow();
            werte.show();
            QApplication::setActiveWindow(&werte);
            QVERIFY(QTest::qWaitForWindowActive(&werte));
            QTest::mouseClick(werte.Navigator()->Button(nbvexoInsert), Qt::LeftButton);
            dm.cdsMultiwert.SetAsInteger("sportlerid", ben);
            dm.cdsMultiwert.SetAsInteger("Level", 9);
            dm.cdsMultiwert.SetAsInteger("Runde", 1);
            ClickCellOf(werte.Grid(), 0, 4); // the date
            TypeText(QStringLiteral("31.02.2026"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCoreApplication::processEvents(); // the date is refused and told
            QCOMPARE(dialogs.Shown().size(), std::size_t(1));
            dialogs.Clear();
            const TerminationSignals endWhenAsked;
            QTimer::singleShot(0, [] { std::raise(SIGTERM); });
            QTimer::singleShot(3000, [] { QCoreApplication::exit(7); });
            QCOMPARE(QCoreApplication::exec(), 0);
            QVERIFY(TerminationSignals::Requested());
            program.End(true);
            QVERIFY2(dialogs.Shown().empty(), dialogs.Shown().empty() ? "" : dialogs.Shown()[0].text.c_str());
        }
        QFile results(QString::fromStdString(folder + "multiwert.xml"));
        QVERIFY(results.open(QIODevice::ReadOnly));
        QVERIFY(results.readAll().contains("Level=\"9\""));
        QFile recovery(QString::fromStdString(folder + "wiederherstellung.txt"));
        QVERIFY(recovery.open(QIODevice::ReadOnly));
        const QString kept = QString::fromUtf8(recovery.readAll());
        recovery.close();
        QVERIFY2(kept.contains(QStringLiteral("31.02.2026")), qPrintable(kept));
        QVERIFY2(kept.contains(QStringLiteral("Vorname: Anna")), qPrintable(kept));

        Program next(folder);
        next.MainWindow().FormActivate();
        next.OfferRecoveredInput();
        QCOMPARE(dialogs.Shown().size(), std::size_t(1));
        QVERIFY(QString::fromStdString(dialogs.Shown()[0].text).contains(QStringLiteral("31.02.2026")));
        QVERIFY(!QFile::exists(QString::fromStdString(folder + "wiederherstellung.txt")));
        next.OfferRecoveredInput(); // shown once
        QCOMPARE(dialogs.Shown().size(), std::size_t(1));
        next.End();
    }

    void endAsksBeforeQuitting_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Nein keeps running") << false;
        QTest::newRow("Ja ends the program") << true;
    }
    void endAsksBeforeQuitting() {
        QFETCH(bool, yes);
        Rig rig;
        rig.window.show();
        rig.dialogs.ScriptAnswer(yes ? platform::Answer::Yes : platform::Answer::No);
        bool quitAsked = false;
        QTimer::singleShot(0, [&] { QTest::mouseClick(Child(rig.window, "Panel4"), Qt::LeftButton); });
        // If nothing ends the loop, this does; the loop's result tells who ended it.
        QTimer::singleShot(300, [] { QCoreApplication::exit(7); });
        const int result = QCoreApplication::exec();
        quitAsked = result == 0;
        QCOMPARE(quitAsked, yes);
        QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
        QCOMPARE(rig.dialogs.Shown()[0].kind, ShownBox::YesNo);
        QCOMPARE(rig.dialogs.Shown()[0].text, std::string("Programm beenden?"));
        // Ending the program closes the main window; "Nein" leaves it as it was.
        QCOMPARE(rig.window.isVisible(), !yes);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
