#include "f_sportler.h"

#include "data/DModule.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace {

std::vector<ui::GridColumn> SportlerColumns() {
    return {{QStringLiteral("sportlerid"), false, 64, {}},
            {QStringLiteral("Vorname"), true, 124, {}},
            {QStringLiteral("Name"), true, 64, {}},
            {QStringLiteral("Geschlecht"), true, 70, {QStringLiteral("W"), QStringLiteral("M")}},
            {QStringLiteral("Geburtsjahr"), true, 76, {}},
            {QStringLiteral("Infos"), false, 64, {}}};
}

const ui::ManagementLayout SportlerLayout{"frm_Sportler",
                                          QStringLiteral("Sportlerverwaltung"),
                                          {595, 549},
                                          QStringLiteral("Sportler:"),
                                          {81, 25},
                                          580,
                                          355,
                                          424,
                                          519,
                                          297,
                                          QStringLiteral("Sportlerverwaltung verlassen")};

} // namespace

Tfrm_Sportler::Tfrm_Sportler(QWidget* parent)
    : ManagementWindow(SportlerLayout, &DM1->d_Sportler, SportlerColumns(), QStringLiteral("Infos"), parent) {
    VexoDBNav1->BeforeAction = [this](TVexoDBNav* sender, TMNavigateBtn button) {
        VexoDBNav1BeforeAction(sender, button);
    };
}

// Each showing: the athlete table opened, or made new when it cannot be opened.
void Tfrm_Sportler::FormActivate() {
    DM1->OpenOrCreateSportler();
}

// Editable only for "ändern" and "neu"; every other button makes the grid read-only before
// its action, whatever the outcome.
void Tfrm_Sportler::VexoDBNav1BeforeAction(TVexoDBNav*, TMNavigateBtn button) {
    DBGrid1->SetReadOnly(!(button == nbvexoEdit || button == nbvexoInsert));
}

void Tfrm_Sportler::Button2Click() {
    DBGrid1->SetReadOnly(true);
    DM1->cdsSportler.SaveToFile();
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
        if (target == KeyTarget::Grid)
            AdvanceColumn();
        else
            FocusTabStop(focused, +1); // no line break into the memo
        return true;
    case Qt::Key_B:
        if (event->modifiers() & Qt::ControlModifier)
            FocusTabStop(focused, -1); // Ctrl+B: back; the control still sees the key
        return false;
    default:
        return false;
    }
}
