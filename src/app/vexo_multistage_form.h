#pragma once
// The main window: the bottom bar with START, the elapsed time and STOP; the left menu
// column with the four window buttons, the "ENDE" panel and the status bar; the huge level
// display and the shuttle display. It owns the two timers and hands the pacing to the
// TestRunController; the secondary windows are shown modally from its buttons.
#include "pacing/run_controller.h"
#include "pacing/run_display.h"
#include "platform/timer.h"

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <memory>

class TDM1;

namespace ui {
class Panel;
}

class TMultistage_frm : public QWidget, public RunDisplay {
    Q_OBJECT
public:
    explicit TMultistage_frm(QWidget* parent = nullptr);
    ~TMultistage_frm() override;

    // The windows that exist from start-up on; a button whose window is not given does nothing.
    void SetSecondaryWindows(QDialog* sportler, QDialog* werte, QDialog* info, QDialog* about);
    // The data module, created right after this window; its first activation opens the data
    // files, its end saves them.
    void SetDataModule(TDM1* dataModule) { m_dataModule = dataModule; }
    // How a window is shown modally: exec() unless replaced (tests record the window instead
    // of waiting in a modal loop).
    // The evaluation window behind "Auswertung".
    void SetEvaluationWindow(QDialog* evaluation) { m_evaluation = evaluation; }
    void SetModalRunner(std::function<void(QDialog&)> runner) { m_modalRunner = std::move(runner); }
    // Keys pressed here while a test runs go there first (a group test's tile keys); true
    // when taken.
    std::function<bool(QKeyEvent*)> onKeyDuringRun;

    TestRunController& Controller() { return *m_controller; }
    platform::Timer& Timer1() { return *m_timer1; }
    platform::Timer& Timer2() { return *m_timer2; }

    // Handlers, named after their components and events.
    void FormCreate();
    void FormActivate();
    void FormDestroy();
    void btn_startClick() { m_controller->btn_startClick(); }
    void btn_stopClick() { m_controller->btn_stopClick(); }
    void btn_sportlerClick() { ShowModal(m_sportler); }
    void btn_werteClick() { ShowModal(m_werte); }
    void btn_infoClick() { ShowModal(m_info); }
    void Button4Click();
    void Panel4Click();
    void StatusBar1Click() { ShowModal(m_about); }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildLayout();
    void PlaceChildren();
    void ShowModal(QDialog* window);

    void SetMenuEnabled(bool enabled) override;
    void SetLevelText(const std::string& text) override;
    void SetShuttleText(const std::string& text) override;
    void SetElapsedText(const std::string& text) override;

    ui::Panel* Panel1 = nullptr;
    ui::Panel* Panel2 = nullptr;
    ui::Panel* Panel3 = nullptr;
    ui::Panel* Panel4 = nullptr;
    ui::Panel* Anzeige = nullptr;
    ui::Panel* p_durchgang = nullptr;
    ui::Panel* StatusBar1 = nullptr;
    QPushButton* btn_start = nullptr;
    QPushButton* btn_stop = nullptr;
    QPushButton* btn_sportler = nullptr;
    QPushButton* btn_werte = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* btn_info = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* l_time = nullptr;

    TDM1* m_dataModule = nullptr;
    std::unique_ptr<platform::Timer> m_timer1;
    std::unique_ptr<platform::Timer> m_timer2;
    std::unique_ptr<TestRunController> m_controller;
    QPointer<QDialog> m_sportler;
    QPointer<QDialog> m_werte;
    QPointer<QDialog> m_info;
    QPointer<QDialog> m_about;
    QPointer<QDialog> m_evaluation;
    std::function<void(QDialog&)> m_modalRunner;
};
