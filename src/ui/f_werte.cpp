#include "f_werte.h"

#include "data/DModule.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

std::vector<ui::GridColumn> WerteColumns() {
    return {{QStringLiteral("Sportler Vorname"), true, 124, {}},
            {QStringLiteral("Sportler Name"), true, 124, {}},
            {QStringLiteral("werteid"), false, 64, {}},
            {QStringLiteral("sportlerid"), false, 64, {}},
            {QStringLiteral("Datum"), true, 76, {}},
            {QStringLiteral("Level"), true, 52, {}},
            {QStringLiteral("Runde"), true, 52, {}},
            {QStringLiteral("VO2-wert"), true, 64, {}},
            {QStringLiteral("Infoswerte"), false, 64, {}},
            {QStringLiteral("Bewertung"), true, 100, {}}};
}

const ui::ManagementLayout WerteLayout{"frm_Werte",
                                       QStringLiteral("frm_Werte"),
                                       {711, 519},
                                       QStringLiteral("Rizidevizi Werte:"),
                                       {165, 25},
                                       692,
                                       324,
                                       393,
                                       488,
                                       409,
                                       QStringLiteral("Multistagewerte verlassen")};

} // namespace

Tfrm_Werte::Tfrm_Werte(QWidget* parent)
    : ManagementWindow(WerteLayout, &DM1->d_Multiwert, WerteColumns(), QStringLiteral("Infoswerte"), parent) {
    DBMemo1->setReadOnly(true);
    VexoDBNav1->BeforeAction = [this](TVexoDBNav* sender, TMNavigateBtn button) {
        VexoDBNav1BeforeAction(sender, button);
    };
}

// Each showing: the results table closed under the close rule (posted results are written
// first) and read again; made new when that fails.
void Tfrm_Werte::FormActivate() {
    DM1->LoadOrCreateMultiwert();
}

void Tfrm_Werte::VexoDBNav1BeforeAction(TVexoDBNav*, TMNavigateBtn button) {
    const bool editing = button == nbvexoEdit || button == nbvexoInsert;
    DBGrid1->SetReadOnly(!editing);
    DBMemo1->setReadOnly(!editing);
    DBGrid1->SetColumnVisible(VO2Column, !editing);
    DBGrid1->SetColumnVisible(RatingColumn, !editing);
    if (editing)
        DBGrid1->setFocus(Qt::OtherFocusReason);
}

void Tfrm_Werte::Button2Click() {
    DM1->cdsMultiwert.SaveToFile();
}

// Tab only: the grid advances its column, an open cell editor hands the focus on.
bool Tfrm_Werte::KeyPreview(QKeyEvent* event) {
    if (event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab)
        return false;
    QWidget* focused = QApplication::focusWidget();
    switch (TargetOf(focused)) {
    case KeyTarget::Grid:
        AdvanceColumn();
        return true;
    case KeyTarget::CellEditor:
        FocusTabStop(focused, +1);
        return true;
    case KeyTarget::Other:
        return false;
    }
    return false;
}
