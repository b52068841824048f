#include "management_window.h"

#include "fixed_layout.h"
#include "guard.h"
#include "panel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace ui {

ManagementWindow::ManagementWindow(const ManagementLayout& layout, data::DataSource* source,
                                   std::vector<GridColumn> columns, const QString& memoField, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QString::fromLatin1(layout.objectName));
    setWindowTitle(layout.caption);
    setFont(UiFont(11));
    setFixedSize(layout.client);
    // A fixed dialog frame: no resizing, no minimising or maximising.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = MakeLabel(this, "Label1", layout.title, {16, 8}, UiFont(21));
    Label1->resize(std::max(Label1->width(), layout.titleSize.width()), layout.titleSize.height());

    DBGrid1 = new DBGrid(this);
    DBGrid1->setGeometry(8, 63, layout.width, layout.gridHeight);
    DBGrid1->SetColumns(std::move(columns));
    DBGrid1->SetDataSource(source);

    // The navigator over the grid's top edge, as drawn; it never takes the focus here.
    VexoDBNav1 = new TVexoDBNav(this);
    VexoDBNav1->setGeometry(8, 39, layout.width, 25);
    VexoDBNav1->SetDataSource(source);
    VexoDBNav1->Loaded();

    DBMemo1 = new DBMemo(this);
    DBMemo1->setGeometry(8, layout.memoTop, layout.width, 89);
    DBMemo1->SetField(source, memoField);

    Button2 = MakeButton(this, "Button2", QStringLiteral("Änderungen speichern"),
                         {8, layout.buttonsTop, 153, 25}, UiFont(13));
    Button1 = MakeButton(this, "Button1", layout.leaveCaption, {layout.leaveLeft, layout.buttonsTop, 291, 25},
                         UiFont(16, true));
    // "Änderungen speichern" and the leave button: Enter presses the one that has the focus;
    // neither is pressed by Enter elsewhere.
    Button1->setDefault(false);
    Button2->setDefault(false);
    connect(Button2, &QPushButton::clicked, this, GuardedSlot([this] { Button2Click(); }));
    connect(Button1, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });

    setTabOrder(DBGrid1, Button1);
    setTabOrder(Button1, DBMemo1);
    setTabOrder(DBMemo1, Button2);
    setTabOrder(Button2, DBGrid1);
    Label1->setFocusPolicy(Qt::NoFocus);
}

QList<QWidget*> ManagementWindow::TabStops() const {
    return {DBGrid1, Button1, DBMemo1, Button2};
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
    Guarded([&] { consumed = KeyPreview(static_cast<QKeyEvent*>(event)); });
    return consumed;
}

void ManagementWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    qApp->installEventFilter(this);
    Guarded([this] { FormActivate(); });
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
    // Escape does not close these windows; only their leave button and the frame do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace ui
