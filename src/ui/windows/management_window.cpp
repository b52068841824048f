#include "management_window.h"

#include "ui/widgets/fixed_layout.h"
#include "ui/widgets/guard.h"
#include "ui/widgets/panel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace ui {

ManagementWindow::ManagementWindow(const ManagementLayout& layout, data::DataSource& source,
                                   std::vector<GridColumn> columns, const QString& memoField, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QString::fromLatin1(layout.objectName));
    setWindowTitle(layout.caption);
    setFont(UiFont(11));
    setFixedSize(layout.client);
    // A fixed dialog frame: no resizing, no minimising or maximising.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = MakeLabel(this, "Label1", layout.title, {16, 8}, UiFont(21));
    Label1->resize(std::max(Label1->width(), layout.titleSize.width()), layout.titleSize.height());

    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(8, 63, layout.width, layout.gridHeight);
    DBGrid1->SetColumns(std::move(columns));
    DBGrid1->SetDataSource(&source);

    // The navigator over the grid's top edge, as drawn; it never takes the focus here.
    VexoDBNav1 = new TVexoDBNav(this);
    VexoDBNav1->setObjectName(QStringLiteral("VexoDBNav1"));
    VexoDBNav1->setGeometry(8, 39, layout.width, 25);
    VexoDBNav1->SetDataSource(&source);
    VexoDBNav1->Loaded();

    DBMemo1 = new DBMemo(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setGeometry(8, layout.memoTop, layout.width, 89);
    DBMemo1->SetField(&source, memoField);
    VexoDBNav1->SetInputHolders({DBGrid1, DBMemo1});
    DBGrid1->setAccessibleName(QStringLiteral("Datensätze"));
    DBMemo1->setAccessibleName(QStringLiteral("Notizen zum Datensatz"));
    // After "neu" and "ändern", however chosen, the typing goes into the record's cells.
    VexoDBNav1->OnClick = [this](TVexoDBNav*, TMNavigateBtn button) {
        if (button == nbvexoInsert || button == nbvexoEdit)
            FocusRecordForTyping(button == nbvexoInsert);
    };
    for (const auto& [button, key] : {std::pair{nbvexoInsert, "Einfg"}, std::pair{nbvexoDelete, "Strg+Entf"},
                                      std::pair{nbvexoPost, "Strg+Eingabe"}}) {
        TMNavButton* b = VexoDBNav1->Button(button);
        b->setToolTip(b->toolTip() + QStringLiteral(" (") + QString::fromUtf8(key) + QLatin1Char(')'));
    }

    Button2 = MakeButton(this, "Button2", QStringLiteral("Änderungen speichern"),
                         {8, layout.buttonsTop, 153, 25}, UiFont(13));
    Button1 = MakeButton(this, "Button1", layout.leaveCaption, {layout.leaveLeft, layout.buttonsTop, 291, 25},
                         UiFont(16, true));
    // No default button: Enter anywhere else must not press one and close the window.
    for (QPushButton* button : {Button1, Button2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(Button2, &QPushButton::clicked, this, GuardedSlot([this] { SaveClicked(); }));
    connect(Button1, &QPushButton::clicked, this, [this] { Leave(); });

    setTabOrder(DBGrid1, Button1);
    setTabOrder(Button1, DBMemo1);
    setTabOrder(DBMemo1, Button2);
    setTabOrder(Button2, DBGrid1);
    Label1->setFocusPolicy(Qt::NoFocus);
}

QList<QWidget*> ManagementWindow::TabStops() const {
    return {DBGrid1, Button1, DBMemo1, Button2};
}

bool ManagementWindow::CommitPendingInput() {
    return DBGrid1->CommitInput() && DBMemo1->CommitInput();
}

std::string ManagementWindow::UncommittedText() const {
    auto* editor = qobject_cast<QLineEdit*>(DBGrid1->OpenEditor());
    if (!editor || editor->text().isEmpty())
        return {};
    const QString field =
        DBGrid1->model()->headerData(DBGrid1->currentIndex().column(), Qt::Horizontal).toString();
    return (field + QStringLiteral(": ") + editor->text()).toStdString();
}

void ManagementWindow::Leave() {
    bool mayLeave = false;
    Guarded([&] { mayLeave = MayLeave(); });
    if (mayLeave)
        done(QDialog::Accepted);
}

ManagementWindow::KeyTarget ManagementWindow::TargetOf(QWidget* focused) const {
    if (focused == DBGrid1)
        return KeyTarget::Grid;
    if (focused && DBGrid1->isAncestorOf(focused))
        return KeyTarget::CellEditor;
    return KeyTarget::Other;
}

void ManagementWindow::AdvanceColumn() {
    const int columns = DBGrid1->model()->columnCount();
    const int index = DBGrid1->SelectedIndex();
    DBGrid1->SetSelectedIndex(index >= columns - 1 ? 0 : index + 1);
}

void ManagementWindow::FocusTabStop(QWidget* from, int direction) {
    const QList<QWidget*> stops = TabStops();
    // A cell editor stands at the grid's place.
    int at = stops.indexOf(TargetOf(from) == KeyTarget::CellEditor ? DBGrid1 : from);
    if (at < 0)
        at = 0;
    for (int step = 1; step <= stops.size(); ++step) {
        QWidget* next = stops[(at + direction * step + stops.size() * 2) % stops.size()];
        if (next->isEnabled() && next->isVisible()) {
            next->setFocus(direction > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool ManagementWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !isActiveWindow())
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget != QApplication::focusWidget() || !(widget == this || isAncestorOf(widget)))
        return false;
    bool consumed = false;
    Guarded([&] {
        auto* key = static_cast<QKeyEvent*>(event);
        consumed = LeaveByCtrlTab(key) || NavigatorKey(key) || KeyPreview(key);
    });
    return consumed;
}

bool ManagementWindow::LeaveByCtrlTab(QKeyEvent* event) {
    // The grid and a cell editor keep Tab for the columns: Ctrl+Tab (Ctrl+Shift+Tab back)
    // moves on to the next control from anywhere, as in any window whose controls take Tab.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!tab || !(event->modifiers() & Qt::ControlModifier))
        return false;
    const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    FocusTabStop(QApplication::focusWidget(), back ? -1 : +1);
    return true;
}

bool ManagementWindow::NavigatorKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    TMNavigateBtn button;
    if (event->key() == Qt::Key_Insert && mods == Qt::NoModifier)
        button = nbvexoInsert;
    else if (event->key() == Qt::Key_Delete && mods == Qt::ControlModifier)
        button = nbvexoDelete;
    else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && mods == Qt::ControlModifier)
        button = nbvexoPost;
    else
        return false;
    TMNavButton* b = VexoDBNav1->Button(button);
    if (b->isEnabled() && b->isVisible())
        VexoDBNav1->BtnClick(button);
    return true;
}

void ManagementWindow::FocusRecordForTyping(bool fromFirstCell) {
    if (DBGrid1->ReadOnly())
        return;
    // A new record from its first cell; a changed one where the grid stands, unless that
    // column is hidden.
    const int current = DBGrid1->SelectedIndex();
    if (fromFirstCell || current < 0 || DBGrid1->isColumnHidden(current))
        for (int column = 0; column < DBGrid1->model()->columnCount(); ++column)
            if (!DBGrid1->isColumnHidden(column)) {
                DBGrid1->SetSelectedIndex(column);
                break;
            }
    DBGrid1->setFocus(Qt::ShortcutFocusReason);
}

void ManagementWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !m_shownBefore) {
        CentreOnScreen(*this);
        // Once the window manager has framed the window, its own frame is known.
        QTimer::singleShot(0, this, [this] { CentreOnScreen(*this); });
    }
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    qApp->installEventFilter(this);
    Guarded([this] {
        ShowBrowsing();
        Activated();
    });
    if (!m_shownBefore) {
        m_shownBefore = true;
        DBGrid1->setFocus(Qt::OtherFocusReason);
    }
}

void ManagementWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

void ManagementWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the button that has the focus, and nothing else; it never falls
        // through to the dialog, which would press a default button or close the window.
        if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            button && isAncestorOf(button) && button->isEnabled())
            button->click();
        event->accept();
        return;
    case Qt::Key_Escape:
        // Escape does not close these windows; only their leave button and the frame do.
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void ManagementWindow::closeEvent(QCloseEvent* event) {
    bool mayLeave = false;
    Guarded([&] { mayLeave = MayLeave(); });
    if (mayLeave)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

// These windows offer no minimising (a window manager may still draw the button): minimised,
// the modal window would vanish with the program behind it blocked, a screen with nothing to
// click until the task bar restores it. It comes back at once.
void ManagementWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            show();
            raise();
            activateWindow();
        });
}

void CentreOnScreen(QWidget& window) {
    const QWidget* owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    QScreen* screen = owner ? owner->screen() : window.screen();
    if (!screen)
        return;
    // The frame the window manager puts around the window; before the window is shown, the
    // one around the main window (the same window manager draws both).
    QMargins frame;
    const QWidget* framed = window.isVisible() ? &window : owner && owner->isVisible() ? owner : nullptr;
    if (framed) {
        const QRect outer = framed->frameGeometry(), inner = framed->geometry();
        frame = {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                 outer.bottom() - inner.bottom()};
    }
    const QRect desk = screen->availableGeometry();
    const QSize outerSize = window.size().grownBy(frame);
    const QPoint topLeft(desk.x() + (desk.width() - outerSize.width()) / 2,
                         desk.y() + (desk.height() - outerSize.height()) / 2);
    window.move(topLeft); // move() places the frame
}

} // namespace ui
