#pragma once
// The results window: the stored results, and where they are entered. The athlete is
// chosen by name in the grid; on posting, the results table computes the VO2max value and
// the rating, whose columns are hidden while a record is inserted or edited. Every showing
// reloads the results table (posted results are written first), so the window always
// shows the file; a result still being typed when the window is left is therefore asked
// about there, not dropped at the next showing.
#include "ui/windows/management_window.h"

class TDM1;

class Tfrm_Werte : public ui::ManagementWindow {
    Q_OBJECT
public:
    // The grid's columns: VO2max value and rating, hidden while editing.
    static constexpr int VO2Column = 7;
    static constexpr int RatingColumn = 9;

    explicit Tfrm_Werte(TDM1& dataModule, QWidget* parent = nullptr);

    void FormActivate();
    void VexoDBNav1BeforeAction(TVexoDBNav* sender, TMNavigateBtn button);
    void Button2Click();

protected:
    void Activated() override { FormActivate(); }
    void SaveClicked() override { Button2Click(); }
    bool MayLeave() override;
    bool KeyPreview(QKeyEvent* event) override;
    void ShowBrowsing() override;

private:
    // Editable with the computed columns hidden, or read-only with every column shown.
    void SetEditing(bool editing);

    TDM1& m_dataModule;
};
