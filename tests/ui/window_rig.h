#pragma once
// A management window over a data module in a temporary folder, shown without a modal loop
// and driven with real keys and clicks.
#include "data_rig.h"
#include "ui/management_window.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

#include <memory>

template <typename Window> struct WindowRig : DataRig {
    std::unique_ptr<Window> window;

    WindowRig() {
        Module().FirstActivation();
        window = std::make_unique<Window>();
    }
    ~WindowRig() { window.reset(); }

    // Shows the window as the main window's button does, and waits until it is active.
    void Open() {
        window->show();
        QApplication::setActiveWindow(window.get());
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void Leave() { Child<QPushButton>("Button1")->click(); }

    template <typename T = QWidget> T* Child(const char* name) const {
        return window->template findChild<T*>(QString::fromLatin1(name));
    }
    ui::DBGrid* Grid() const { return window->Grid(); }
    QWidget* Focused() const { return QApplication::focusWidget(); }
    QString FocusedName() const { return Focused() ? Focused()->objectName() : QString(); }

    void Nav(TMNavigateBtn button) { QTest::mouseClick(window->Navigator()->Button(button), Qt::LeftButton); }
    // A key to the focused control; what it sets off later (an editor commits Enter through
    // the event loop) happens before this returns.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Focused(), key, modifiers);
        QCoreApplication::processEvents();
    }
    // Types into the focused control, as a user does (the first key opens a cell editor).
    void Type(const QString& text) {
        for (QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClicks(Focused(), QString(c));
                continue;
            }
            // Beyond ASCII the key is a keyboard's own; the character is what counts.
            QTest::sendKeyEvent(QTest::Press, Focused(), Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, Focused(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    // Makes a cell current by a click, as a user does.
    void ClickCell(int row, int column) {
        const QRect cell = Grid()->visualRect(Grid()->model()->index(row, column));
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QString Cell(int row, int column) const {
        return Grid()->model()->data(Grid()->model()->index(row, column), Qt::DisplayRole).toString();
    }
};
