#include "f_sportler.h"

#include "data/DModule.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace {

std::vector<ui::GridColumn> SportlerColumns() {
    return {{.field = QStringLiteral("sportlerid"), .visible = false},
            {.field = QStringLiteral("Vorname"), .width = 124},
            {.field = QStringLiteral("Name"), .width = 64},
            {.field = QStringLiteral("Geschlecht"),
             .width = 70,
             .pickList = {QStringLiteral("W"), QStringLiteral("M")}},
            {.field = QStringLiteral("Geburtsjahr"), .width = 76},
            {.field = QStringLiteral("Infos"), .visible = false}};
}

const ui::ManagementLayout SportlerLayout{.objectName = "frm_Sportler",
                                          .caption = QStringLiteral("Sportlerverwaltung"),
                                          .client = {595, 549},
                                          .title = QStringLiteral("Sportler:"),
                                          .titleSize = {81, 25},
                                          .width = 580,
                                          .gridHeight = 355,
                                          .memoTop = 424,
                                          .buttonsTop = 519,
                                          .leaveLeft = 297,
                                          .leaveCaption = QStringLiteral("Sportlerverwaltung verlassen")};

} // namespace

Tfrm_Sportler::Tfrm_Sportler(TDM1& dataModule, QWidget* parent)
    : ManagementWindow(SportlerLayout, dataModule.d_Sportler, SportlerColumns(), QStringLiteral("Infos"),
                       parent),
      m_dataModule(dataModule) {
    VexoDBNav1->BeforeAction = [this](TVexoDBNav* sender, TMNavigateBtn button) {
        VexoDBNav1BeforeAction(sender, button);
    };
}

// Each showing: the athlete table opened, or made new when it cannot be opened.
void Tfrm_Sportler::FormActivate() {
    m_dataModule.OpenOrCreateSportler();
}

// Editable only for "ändern" and "neu"; every other button makes the grid read-only before
// its action, whatever the outcome.
void Tfrm_Sportler::VexoDBNav1BeforeAction(TVexoDBNav*, TMNavigateBtn button) {
    DBGrid1->SetReadOnly(!(button == nbvexoEdit || button == nbvexoInsert));
}

void Tfrm_Sportler::ShowBrowsing() {
    DBGrid1->SetReadOnly(!m_dataModule.cdsSportler.Editing());
}

void Tfrm_Sportler::Button2Click() {
    DBGrid1->SetReadOnly(true);
    if (CommitPendingInput())
        m_dataModule.cdsSportler.SaveToFile();
}

bool Tfrm_Sportler::KeyPreview(QKeyEvent* event) {
    QWidget* focused = QApplication::focusWidget();
    const KeyTarget target = TargetOf(focused);
    const bool onButton = qobject_cast<QPushButton*>(focused) != nullptr;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // Only the grid and an open cell editor take Tab themselves.
        if (target == KeyTarget::Grid)
            AdvanceColumn();
        else if (target == KeyTarget::CellEditor)
            FocusTabStop(focused, +1);
        else
            return false;
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (onButton)
            return false; // a focused button takes Enter as its own press
        if (target == KeyTarget::CellEditor) {
            // Along the grid's cells: the typed value goes in (or is refused and stays), and
            // the next cell is chosen; never onto the leave button.
            if (DBGrid1->CommitInput()) {
                DBGrid1->setFocus(Qt::OtherFocusReason);
                AdvanceColumn();
            }
        } else if (target == KeyTarget::Grid) {
            AdvanceColumn();
        } else {
            FocusTabStop(focused, +1); // no line break into the memo
        }
        return true;
    case Qt::Key_B:
        if (event->modifiers() & Qt::ControlModifier)
            FocusTabStop(focused, -1); // Ctrl+B: back; the control still sees the key
        return false;
    default:
        return false;
    }
}
