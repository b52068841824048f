#pragma once
// What the athlete window and the results window share: a fixed dialog frame with a title
// label, the record navigator, the data grid, a memo and two buttons ("Änderungen
// speichern" and the leave button) at the positions their descriptions give; the tab stops
// grid, leave button, memo, save button; a key preview that sees every key before the
// focused control; and the activation that opens the table each time the window is shown.
#include "DBGrid.h"
#include "DBMemo.h"
#include "Vexodbctr.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace ui {

// The fixed data of one window; positions and sizes in pixels.
struct ManagementLayout {
    const char* objectName;
    QString caption;
    QSize client;
    QString title; // Label1
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

    // Handlers both windows have.
    virtual void FormActivate() = 0;
    virtual void Button2Click() = 0;

    TVexoDBNav* Navigator() const { return VexoDBNav1; }
    DBGrid* Grid() const { return DBGrid1; }
    DBMemo* Memo() const { return DBMemo1; }

protected:
    ManagementWindow(const ManagementLayout& layout, data::DataSource* source,
                     std::vector<GridColumn> columns, const QString& memoField, QWidget* parent);

    // A key reaching the window before the focused control; true when it is consumed.
    virtual bool KeyPreview(QKeyEvent* event) = 0;

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

    QLabel* Label1 = nullptr;
    TVexoDBNav* VexoDBNav1 = nullptr;
    DBGrid* DBGrid1 = nullptr;
    DBMemo* DBMemo1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button1 = nullptr;

private:
    bool m_shownBefore = false;
};

} // namespace ui
