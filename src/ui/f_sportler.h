#pragma once
// The athlete window: the athletes in a grid, added, changed, deleted and saved. It lives
// from start-up to program end and is only shown and hidden, so its grid, its switches and
// the athlete table keep their state between showings. The grid is read-only except while
// a record is inserted or edited through the navigator; the memo is always editable.
// Enter moves on like Tab, Ctrl+B goes back.
#include "management_window.h"

class Tfrm_Sportler : public ui::ManagementWindow {
    Q_OBJECT
public:
    explicit Tfrm_Sportler(QWidget* parent = nullptr);

    void FormActivate() override;
    void VexoDBNav1BeforeAction(TVexoDBNav* sender, TMNavigateBtn button);
    void Button2Click() override;

protected:
    bool KeyPreview(QKeyEvent* event) override;
};
