#include "vexo_multistage_form.h"

#include "My_std.h"
#include "data/DModule.h"
#include "evaluation/global.h"
#include "main_window_layout.h"
#include "platform/dialogs.h"
#include "ui/widgets/fixed_layout.h"
#include "ui/widgets/guard.h"
#include "ui/widgets/panel.h"
#include "vexo_application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>

using namespace main_layout;

TMultistage_frm::TMultistage_frm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Multistage_frm"));
    setWindowTitle(QStringLiteral("Vexo-Rizidevizi freie Version"));
    setFont(ui::UiFont(11));
    // The restored (not maximised) window has its design size, and its frame, title bar
    // included, sits at the top-left corner of the screen (move() places the frame;
    // setGeometry() would put the inside there and the title bar above the screen).
    resize(Design);
    move(0, 0);
    BuildLayout();
    m_timer1 = platform::Timers().CreateTimer();
    m_timer2 = platform::Timers().CreateTimer();
    m_controller = std::make_unique<TestRunController>(*this, *m_timer1, *m_timer2);
    FormCreate();
}

TMultistage_frm::~TMultistage_frm() {
    // A test still running is abandoned without a sound or a question.
    m_timer1->SetEnabled(false);
    m_timer2->SetEnabled(false);
}

void TMultistage_frm::BuildLayout() {
    const QFont bar = ui::UiFont(BarFontPx);
    const QFont barBold = ui::UiFont(BarFontPx, true);
    const QColor blue(MenuBlue);

    Panel1 = new ui::Panel(this, QStringLiteral("Panel1"));
    Panel1->SetColor(blue);
    btn_start = ui::MakeButton(Panel1, "btn_start", QStringLiteral("START"), Start, barBold);
    Label2 = ui::MakeLabel(Panel1, "Label2", QStringLiteral("Zeit:"), TimeCaption, bar);
    l_time = ui::MakeLabel(Panel1, "l_time", QStringLiteral("0:00"), TimeValue, bar);
    l_time->resize(300, l_time->height());
    btn_stop = ui::MakeButton(Panel1, "btn_stop", QStringLiteral("STOP"), Stop, barBold);

    Panel2 = new ui::Panel(this, QStringLiteral("Panel2"));
    Panel2->SetColor(blue);
    QPushButton* menu[4] = {};
    for (std::size_t i = 0; i < std::size(MenuButtons); ++i)
        menu[i] = ui::MakeButton(Panel2, MenuButtons[i].name, QString::fromUtf8(MenuButtons[i].caption),
                                 MenuButtons[i].geometry, ui::UiFont(MenuFontPx));
    btn_sportler = menu[0];
    btn_werte = menu[1];
    Button4 = menu[2];
    btn_info = menu[3];
    Panel4 = new ui::Panel(Panel2, QStringLiteral("Panel4"));
    Panel4->SetColor(QColor(EndRed));
    Panel4->setFont(barBold);
    Panel4->SetCaption(QStringLiteral("ENDE"));
    Panel4->setCursor(Qt::PointingHandCursor);
    StatusBar1 = new ui::Panel(Panel2, QStringLiteral("StatusBar1"));
    StatusBar1->SetColor(QColor(StatusYellow));
    StatusBar1->setFrameShape(QFrame::Panel);
    StatusBar1->setFrameShadow(QFrame::Sunken);
    StatusBar1->SetCaptionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StatusBar1->SetCaption(QStringLiteral("© 2008 Vexo-Rizidevizi"));
    StatusBar1->setCursor(Qt::PointingHandCursor);
    StatusBar1->setToolTip(QStringLiteral("Über das Programm"));

    Panel3 = new ui::Panel(this, QStringLiteral("Panel3"));
    Anzeige = new ui::Panel(Panel3, QStringLiteral("Anzeige"));
    Anzeige->SetColor(blue);
    Anzeige->setFont(ui::UiFont(LevelFontPx));
    Anzeige->SetAccessiblePrefix(QStringLiteral("Level "));
    Anzeige->SetCaption(QStringLiteral("0"));
    Label3 = ui::MakeLabel(Anzeige, "Label3", QStringLiteral("Level:"), LevelCaption,
                           ui::UiFont(LevelCaptionFontPx));
    p_durchgang = new ui::Panel(Panel3, QStringLiteral("p_durchgang"));
    p_durchgang->SetColor(blue);
    p_durchgang->setFont(ui::UiFont(ShuttleFontPx));
    p_durchgang->SetAccessiblePrefix(QStringLiteral("Durchgang "));
    p_durchgang->SetCaption(QStringLiteral("0"));
    Label1 = ui::MakeLabel(p_durchgang, "Label1", QStringLiteral("Durchgang:"), ShuttleCaption,
                           ui::UiFont(ShuttleCaptionFontPx));

    connect(btn_start, &QPushButton::clicked, this, ui::GuardedSlot([this] { btn_startClick(); }));
    connect(btn_stop, &QPushButton::clicked, this, ui::GuardedSlot([this] { btn_stopClick(); }));
    connect(btn_sportler, &QPushButton::clicked, this, ui::GuardedSlot([this] { btn_sportlerClick(); }));
    connect(btn_werte, &QPushButton::clicked, this, ui::GuardedSlot([this] { btn_werteClick(); }));
    connect(Button4, &QPushButton::clicked, this, ui::GuardedSlot([this] { Button4Click(); }));
    connect(btn_info, &QPushButton::clicked, this, ui::GuardedSlot([this] { btn_infoClick(); }));
    connect(Panel4, &ui::Panel::clicked, this, ui::GuardedSlot([this] { Panel4Click(); }));
    connect(StatusBar1, &ui::Panel::clicked, this, ui::GuardedSlot([this] { StatusBar1Click(); }));

    setTabOrder(btn_start, btn_stop);
    setTabOrder(btn_stop, btn_sportler);
    setTabOrder(btn_sportler, btn_werte);
    setTabOrder(btn_werte, Button4);
    setTabOrder(Button4, btn_info);
    btn_start->setFocus();
    PlaceChildren();
}

// The panels are aligned as in the window description: the bottom bar across the
// bottom, the menu column on the left above it, the displays in the rest; inside the
// column the status bar sits at the bottom with the "ENDE" panel on top of it.
void TMultistage_frm::PlaceChildren() {
    const int w = width();
    const int h = height();
    const int upper = std::max(0, h - BottomBarHeight);
    Panel1->setGeometry(0, upper, w, BottomBarHeight);
    btn_stop->move(w - btn_stop->width(), btn_stop->y()); // anchored to the right edge
    Panel2->setGeometry(0, 0, MenuWidth, upper);
    StatusBar1->setGeometry(0, upper - StatusBarHeight, MenuWidth, StatusBarHeight);
    Panel4->setGeometry(0, upper - StatusBarHeight - EndPanelHeight, MenuWidth, EndPanelHeight);
    Panel3->setGeometry(MenuWidth, 0, std::max(0, w - MenuWidth), upper);
    const int displayWidth = Panel3->width();
    Anzeige->setGeometry(0, 0, displayWidth, std::max(0, upper - ShuttleDisplayHeight));
    p_durchgang->setGeometry(0, std::max(0, upper - ShuttleDisplayHeight), displayWidth,
                             ShuttleDisplayHeight);
}

void TMultistage_frm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceChildren();
}

bool TMultistage_frm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        ui::Guarded([this] { FormActivate(); });
    return QWidget::event(event);
}

// Closing the window (its close button, Alt+F4) while a test runs is said once and the test
// goes on: STOP ends it. (The program's end by a signal does not come here.)
void TMultistage_frm::closeEvent(QCloseEvent* event) {
    if (m_controller->Running()) {
        event->ignore();
        ui::Guarded([] { platform::Dialogs().ShowMessage("Der Test läuft noch. Bitte erst STOP drücken."); });
        return;
    }
    QWidget::closeEvent(event);
}

void TMultistage_frm::keyPressEvent(QKeyEvent* event) {
    bool taken = false;
    if (m_controller->Running() && onKeyDuringRun)
        ui::Guarded([&] { taken = onKeyDuringRun(event); });
    if (!taken)
        QWidget::keyPressEvent(event);
}

void TMultistage_frm::SetSecondaryWindows(QDialog* sportler, QDialog* werte, QDialog* info, QDialog* about) {
    m_sportler = sportler;
    m_werte = werte;
    m_info = info;
    m_about = about;
}

void TMultistage_frm::FormCreate() {
    global::InitVO2Table();
    global::FirstActivation = true;
    const std::string folder = GetDataDir();
    global::SportlerPath = folder + "sportler.xml";
    global::MultiwertPath = folder + "multiwert.xml";
    global::GruppenPath = folder + "gruppen.xml";
    global::GruppentestPath = folder + "gruppentest.journal";
}

void TMultistage_frm::FormActivate() {
    if (!global::FirstActivation)
        return;
    // Cleared before the work, so a failure in it is not retried at a later activation.
    global::FirstActivation = false;
    if (m_dataModule)
        m_dataModule->FirstActivation();
}

// The program's end, while the data module still exists: both tables saved, each with the
// record still being typed (or a word on what is dropped).
void TMultistage_frm::FormDestroy() {
    // A test still running is abandoned without a sound or a question.
    m_timer1->SetEnabled(false);
    if (m_dataModule)
        m_dataModule->SaveAtProgramEnd();
}

// "Auswertung": the evaluation window, over the results and athletes as they stand.
void TMultistage_frm::Button4Click() {
    ShowModal(m_evaluation);
}

void TMultistage_frm::Panel4Click() {
    if (m_controller->Running())
        return;
    if (platform::Dialogs().AskYesNo("Programm beenden?") == platform::Answer::Yes)
        QApplication::quit();
}

void TMultistage_frm::ShowModal(QDialog* window) {
    if (!window)
        return;
    if (m_modalRunner)
        m_modalRunner(*window);
    else
        window->exec();
}

void TMultistage_frm::SetMenuEnabled(bool enabled) {
    Panel2->setEnabled(enabled);
}

void TMultistage_frm::SetLevelText(const std::string& text) {
    Anzeige->SetCaption(QString::fromStdString(text));
}

void TMultistage_frm::SetShuttleText(const std::string& text) {
    p_durchgang->SetCaption(QString::fromStdString(text));
}

void TMultistage_frm::SetElapsedText(const std::string& text) {
    l_time->setText(QString::fromStdString(text));
}
