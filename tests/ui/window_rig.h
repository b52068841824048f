#pragma once
// A management window over a data module in a temporary folder, shown without a modal loop
// and driven with real keys and clicks.
#include "data_rig.h"
#include "ui/windows/management_window.h"

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <memory>

// Types into the focused control, as a user does (the first key opens a cell editor).
// Beyond ASCII the key is a keyboard's own; the character is what counts.
inline void TypeText(const QString& text) {
    for (char32_t c : text.toUcs4()) { // a character beyond 16 bits is one key, not two
        QWidget* focused = QApplication::focusWidget();
        const QString character = QString::fromUcs4(&c, 1);
        if (c < 128) {
            QTest::keyClicks(focused, character);
            continue;
        }
        QTest::sendKeyEvent(QTest::Press, focused, Qt::Key_unknown, character, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, focused, Qt::Key_unknown, character, Qt::NoModifier);
    }
}

// Makes a cell of a grid current by a click, as a user does.
inline void ClickCellOf(QTableView* grid, int row, int column) {
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

template <typename Window> struct WindowRig : DataRig {
    std::unique_ptr<Window> window;

    WindowRig() {
        Module().FirstActivation();
        window = std::make_unique<Window>(*dm);
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
    void Type(const QString& text) { TypeText(text); }
    void ClickCell(int row, int column) { ClickCellOf(Grid(), row, column); }
    QString Cell(int row, int column) const {
        return Grid()->model()->data(Grid()->model()->index(row, column), Qt::DisplayRole).toString();
    }
};
