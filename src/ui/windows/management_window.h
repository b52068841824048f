#pragma once
// What the athlete window and the results window share: a fixed dialog frame with a title
// label, the record navigator, the data grid, a memo and two buttons ("Änderungen
// speichern" and the leave button) at the positions their layouts give; the tab stops
// grid, leave button, memo, save button; a key preview that sees every key before the
// focused control; and the activation that opens the table each time the window is shown.
// No button is a default button and Enter never closes the window: Enter presses a button
// only when that button has the focus.
#include "ui/widgets/DBGrid.h"
#include "ui/widgets/DBMemo.h"
#include "ui/widgets/Vexodbctr.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace ui {

// The fixed data of one window; positions and sizes in pixels.
struct ManagementLayout {
    const char* objectName;
    QString caption;
    QSize client;
    QString title; // the title label's text
    QSize titleSize;
    int width; // of navigator, grid and memo
    int gridHeight;
    int memoTop;
    int buttonsTop;
    int leaveLeft;
    QString leaveCaption;
};

class ManagementWindow : public QDialog {
    Q_OBJECT
public:
    // The four tab stops in tab order: grid, leave button, memo, save button.
    QList<QWidget*> TabStops() const;

    TVexoDBNav* Navigator() const { return VexoDBNav1; }
    DBGrid* Grid() const { return DBGrid1; }
    DBMemo* Memo() const { return DBMemo1; }

    // What is still being typed (a cell editor, the memo) goes into the record now; false
    // when the table refused it (the user has been told).
    bool CommitPendingInput();
    // The navigator's actions by keyboard, as database programs have them: Einfg "neu",
    // Strg+Entf "löschen" (it asks first), Strg+Eingabe "speichern"; shown in the tooltips.
    // True when the key was one of them.
    bool NavigatorKey(QKeyEvent* event);
    bool LeaveByCtrlTab(QKeyEvent* event);
    // The grid takes the keys for the record being inserted or changed.
    void FocusRecordForTyping(bool fromFirstCell);
    // What an open cell editor holds that the table did not take, as "Feld: Text" (UTF-8);
    // empty when there is none.
    std::string UncommittedText() const;

protected:
    ManagementWindow(const ManagementLayout& layout, data::DataSource& source,
                     std::vector<GridColumn> columns, const QString& memoField, QWidget* parent);

    // Each showing of the window, and "Änderungen speichern".
    virtual void Activated() = 0;
    virtual void SaveClicked() = 0;
    // The leave button or the frame's close button; false keeps the window open.
    virtual bool MayLeave() { return true; }
    // A key reaching the window before the focused control; true when it is consumed.
    virtual bool KeyPreview(QKeyEvent* event) = 0;
    // Each showing begins in browsing: read-only, every column shown, however the window
    // was left last time.
    virtual void ShowBrowsing() {}

    // The control the key is on: the grid itself, an open cell editor (a control of its
    // own), or another control.
    enum class KeyTarget { Grid, CellEditor, Other };
    KeyTarget TargetOf(QWidget* focused) const;
    // The column advance of the grid: the next column over all columns, after the last
    // the first; the row stays.
    void AdvanceColumn();
    // Moves the focus to the next (or previous) tab stop after the focused control, round.
    void FocusTabStop(QWidget* from, int direction);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

    QLabel* Label1 = nullptr;
    TVexoDBNav* VexoDBNav1 = nullptr;
    DBGrid* DBGrid1 = nullptr;
    DBMemo* DBMemo1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button1 = nullptr;

private:
    void Leave();

    bool m_shownBefore = false;
};

// A fixed dialog centred on the screen it opens on (its frame, title bar included, as the
// window manager draws it around the main window).
void CentreOnScreen(QWidget& window);

} // namespace ui
