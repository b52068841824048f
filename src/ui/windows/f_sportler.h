#pragma once
// The athlete window: the athletes in a grid, added, changed, deleted and saved. It lives
// from start-up to program end and is only shown and hidden, so its grid, its switches and
// the athlete table keep their state between showings. The grid is read-only except while
// a record is inserted or edited through the navigator; the memo is always editable.
// Enter moves on like Tab, Ctrl+B goes back.
#include "ui/windows/management_window.h"

class TDM1;

class Tfrm_Sportler : public ui::ManagementWindow {
    Q_OBJECT
public:
    explicit Tfrm_Sportler(TDM1& dataModule, QWidget* parent = nullptr);

    void FormActivate();
    void VexoDBNav1BeforeAction(TVexoDBNav* sender, TMNavigateBtn button);
    void Button2Click();

protected:
    void Activated() override { FormActivate(); }
    void SaveClicked() override { Button2Click(); }
    bool KeyPreview(QKeyEvent* event) override;
    // A record still being inserted or changed stays editable (the athlete table is not read
    // again at a showing); otherwise read-only.
    void ShowBrowsing() override;

private:
    TDM1& m_dataModule;
};
