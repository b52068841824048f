#include "f_werte.h"

#include "data/DModule.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

std::vector<ui::GridColumn> WerteColumns() {
    return {{.field = QStringLiteral("Sportler Vorname"), .width = 124},
            {.field = QStringLiteral("Sportler Name"), .width = 124},
            {.field = QStringLiteral("werteid"), .visible = false},
            {.field = QStringLiteral("sportlerid"), .visible = false},
            {.field = QStringLiteral("Datum"), .width = 76},
            {.field = QStringLiteral("Level"), .width = 52},
            {.field = QStringLiteral("Runde"), .width = 52},
            {.field = QStringLiteral("VO2-wert"), .width = 64},
            {.field = QStringLiteral("Infoswerte"), .visible = false},
            {.field = QStringLiteral("Bewertung"), .width = 100}};
}

const ui::ManagementLayout WerteLayout{.objectName = "frm_Werte",
                                       .caption = QStringLiteral("frm_Werte"),
                                       .client = {711, 519},
                                       .title = QStringLiteral("Rizidevizi Werte:"),
                                       .titleSize = {165, 25},
                                       .width = 692,
                                       .gridHeight = 324,
                                       .memoTop = 393,
                                       .buttonsTop = 488,
                                       .leaveLeft = 409,
                                       .leaveCaption = QStringLiteral("Multistagewerte verlassen")};

} // namespace

Tfrm_Werte::Tfrm_Werte(TDM1& dataModule, QWidget* parent)
    : ManagementWindow(WerteLayout, dataModule.d_Multiwert, WerteColumns(), QStringLiteral("Infoswerte"),
                       parent),
      m_dataModule(dataModule) {
    DBMemo1->setReadOnly(true);
    VexoDBNav1->BeforeAction = [this](TVexoDBNav* sender, TMNavigateBtn button) {
        VexoDBNav1BeforeAction(sender, button);
    };
}

// Each showing: the results table closed under the close rule (posted results are written
// first) and read again; made new when that fails.
void Tfrm_Werte::FormActivate() {
    m_dataModule.LoadOrCreateMultiwert();
}

// The next showing reloads the table and would drop a result still being typed: it is
// taken over now, or given up, as the user says.
bool Tfrm_Werte::MayLeave() {
    data::Table& table = m_dataModule.cdsMultiwert;
    if (!CommitPendingInput())
        return false;
    if (table.Editing() && !table.Modified()) {
        VexoDBNav1->BtnClick(nbvexoCancel); // "ändern" or "neu" without a keystroke
        return true;
    }
    if (!table.Editing())
        return true;
    switch (platform::Dialogs().AskYesNoCancel("Das begonnene Ergebnis ist noch nicht gespeichert. Soll es "
                                               "übernommen werden?\n(Nein verwirft es, Abbrechen führt "
                                               "zurück ins Fenster.)")) {
    case platform::Answer::Yes:
        VexoDBNav1->BtnClick(nbvexoPost);
        return !table.Editing();
    case platform::Answer::No:
        VexoDBNav1->BtnClick(nbvexoCancel);
        return true;
    default:
        return false; // Escape or the box closed: back to the window, the result as typed
    }
}

void Tfrm_Werte::ShowBrowsing() {
    SetEditing(false);
}

void Tfrm_Werte::VexoDBNav1BeforeAction(TVexoDBNav*, TMNavigateBtn button) {
    SetEditing(button == nbvexoEdit || button == nbvexoInsert);
}

void Tfrm_Werte::SetEditing(bool editing) {
    DBGrid1->SetReadOnly(!editing);
    DBMemo1->setReadOnly(!editing);
    DBGrid1->SetColumnVisible(VO2Column, !editing);
    DBGrid1->SetColumnVisible(RatingColumn, !editing);
    if (editing)
        DBGrid1->setFocus(Qt::OtherFocusReason);
}

void Tfrm_Werte::Button2Click() {
    if (CommitPendingInput())
        m_dataModule.cdsMultiwert.SaveToFile();
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
