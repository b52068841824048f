#pragma once
// The record navigator: a one-row bar of ten buttons that browses and edits the records of
// one table through its data source. Four picture buttons move, six text buttons insert,
// delete, edit, post, cancel and refresh. The buttons follow the table's state (moving,
// inserting, editing and deleting are locked while a record is edited; "abbrechen" stays
// available while the table is open); a press is announced to the owner before the action
// (BeforeAction) and after it (OnClick); deleting asks first; a failed post is shown, not
// passed on. The buttons never take the keyboard focus; the bar itself may.
#include "data/data_source.h"
#include "input_holder.h"

#include <QStringList>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <bitset>
#include <functional>
#include <memory>
#include <vector>

namespace platform {
class Timer;
}

enum TMNavigateBtn {
    nbvexoFirst,
    nbvexoPrior,
    nbvexoNext,
    nbvexoLast,
    nbvexoInsert,
    nbvexoDelete,
    nbvexoEdit,
    nbvexoPost,
    nbvexoCancel,
    nbvexoRefresh
};

// A set of buttons: bit i stands for the button of value i.
using TMButtonSet = std::bitset<10>;

class TVexoDBNav;
using EMNavClick = std::function<void(TVexoDBNav* sender, TMNavigateBtn button)>;

// One button of the bar: a glyph or a caption, up, down or disabled, optionally flat. The
// two moving buttons repeat while held down: after 400 ms, then every 100 ms, on the timer
// seam (so that the repeat runs on a virtual clock in tests).
class TMNavButton : public QToolButton {
    Q_OBJECT
public:
    TMNavButton(TVexoDBNav* navigator, TMNavigateBtn index);
    ~TMNavButton() override;

    TMNavigateBtn Index() const { return m_index; }
    bool AutoRepeat() const { return m_autoRepeat; }
    void SetAutoRepeat(bool on) { m_autoRepeat = on; }
    platform::Timer* RepeatTimer() const { return m_repeatTimer.get(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void RepeatTick();

    TVexoDBNav* m_navigator;
    TMNavigateBtn m_index;
    bool m_autoRepeat = false;
    std::unique_ptr<platform::Timer> m_repeatTimer;
};

// The navigator's observer of its data source: passes the three notices on.
class TMNavDataLink : public data::DataLink {
public:
    explicit TMNavDataLink(TVexoDBNav* navigator) : m_navigator(navigator) {}
    ~TMNavDataLink() override { m_navigator = nullptr; }

    void ActiveChanged() override;
    void DataChanged() override;
    void EditingChanged() override;

private:
    TVexoDBNav* m_navigator;
};

class TVexoDBNav : public QWidget {
    Q_OBJECT
public:
    explicit TVexoDBNav(QWidget* parent = nullptr);
    ~TVexoDBNav() override;

    // --- properties ---
    void SetDataSource(data::DataSource* source);
    data::DataSource* DataSource() const { return m_dataLink.Source(); }
    void SetVisibleButtons(const TMButtonSet& buttons);
    const TMButtonSet& VisibleButtons() const { return m_visibleButtons; }
    void SetFlat(bool flat);
    bool Flat() const { return m_flat; }
    void SetHints(const QStringList& hints);
    const QStringList& Hints() const { return m_hints; }
    void SetConfirmDelete(bool confirm) { m_confirmDelete = confirm; }
    bool ConfirmDelete() const { return m_confirmDelete; }
    // The bar takes the keyboard focus (arrows move the focused button, Space presses it).
    void SetTabStop(bool tabStop);
    bool TabStop() const { return m_tabStop; }
    // Aligned to an edge of its parent: keeps the width it is given.
    void SetAligned(bool aligned) { m_aligned = aligned; }
    // The controls that may hold typed input for the table (a grid's cell editor, a memo):
    // before an action they hand it over (a refused value stops the action), and
    // "abbrechen" makes them forget it.
    void SetInputHolders(std::vector<ui::InputHolder*> holders) { m_inputHolders = std::move(holders); }

    EMNavClick BeforeAction;
    EMNavClick OnClick;

    // --- state ---
    TMNavButton* Button(TMNavigateBtn index) const { return m_buttons[static_cast<std::size_t>(index)]; }
    int UnitWidth() const { return m_unitWidth; }
    TMNavigateBtn FocusedButton() const { return m_focusedButton; }

    // Presses a button: what a click, the auto-repeat or Space does.
    void BtnClick(TMNavigateBtn index);
    // The window description has been applied: lay out, apply the hints, follow the table.
    void Loaded();

    // The three enabling updates.
    void ActiveChanged();
    void DataChanged();
    void EditingChanged();

    // From the buttons.
    void ButtonPressed(TMNavButton* button);
    bool ShowsFocusOn(const TMNavButton* button) const {
        return hasFocus() && button->Index() == m_focusedButton;
    }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ApplyLayout(int width, int height);
    void ApplyHints();
    bool Open() const;

    TMNavDataLink m_dataLink{this};
    TMButtonSet m_visibleButtons;
    QStringList m_hints;
    int m_unitWidth = 0;
    TMNavigateBtn m_focusedButton = nbvexoFirst;
    bool m_confirmDelete = true;
    bool m_flat = false;
    bool m_tabStop = false;
    bool m_aligned = false;
    bool m_inLayout = false;
    std::array<TMNavButton*, 10> m_buttons{};
    std::vector<ui::InputHolder*> m_inputHolders;
};
