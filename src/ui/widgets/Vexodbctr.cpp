#include "Vexodbctr.h"

#include "data/table.h"
#include "data/table_errors.h"
#include "guard.h"
#include "navigator_layout.h"
#include "platform/dialogs.h"
#include "platform/timer.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

const char* const Glyphs[4] = {"FIRST", "PRIOR", "NEXT", "LAST"};
// What assistive tools read for the glyph buttons.
const char* const GlyphNames[4] = {"erster Datensatz", "vorheriger Datensatz", "nächster Datensatz",
                                   "letzter Datensatz"};
const char* const Captions[10] = {"",        "",       "",          "",          "neu",
                                  "löschen", "ändern", "speichern", "abbrechen", "akt"};

// A glyph strip "mdbn_<name>" from the resources (names match without regard to case):
// the left half is the normal picture, the right half the disabled one; the bottom-left
// pixel's colour is transparent.
QIcon LoadGlyph(const char* name) {
    const QImage strip(QStringLiteral(":/glyphs/mdbn_%1.bmp").arg(QString::fromLatin1(name).toLower()));
    if (strip.isNull())
        return {};
    const int half = strip.width() / 2;
    auto picture = [&](int x) {
        const QImage image = strip.copy(x, 0, half, strip.height());
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setMask(QBitmap::fromImage(image.createMaskFromColor(strip.pixel(0, strip.height() - 1))));
        return pixmap;
    };
    QIcon icon;
    icon.addPixmap(picture(0), QIcon::Normal);
    icon.addPixmap(picture(half), QIcon::Disabled);
    return icon;
}

} // namespace

// ----- the buttons -----

TMNavButton::TMNavButton(TVexoDBNav* navigator, TMNavigateBtn index)
    : QToolButton(navigator), m_navigator(navigator), m_index(index) {
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("nav%1").arg(int(index)));
}

TMNavButton::~TMNavButton() = default;

void TMNavButton::mousePressEvent(QMouseEvent* event) {
    QToolButton::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    m_navigator->ButtonPressed(this);
    if (!m_autoRepeat)
        return;
    ui::Guarded([this] {
        if (!m_repeatTimer) {
            m_repeatTimer = platform::Timers().CreateTimer();
            m_repeatTimer->SetOnTimer([this] { RepeatTick(); });
        }
        m_repeatTimer->SetInterval(400);
        m_repeatTimer->SetEnabled(true);
    });
}

void TMNavButton::mouseReleaseEvent(QMouseEvent* event) {
    if (m_repeatTimer)
        m_repeatTimer->SetEnabled(false);
    QToolButton::mouseReleaseEvent(event);
}

void TMNavButton::RepeatTick() {
    m_repeatTimer->SetInterval(100);
    if (!isDown() || !isEnabled())
        return;
    if (!ui::Guarded([this] { m_navigator->BtnClick(m_index); }))
        m_repeatTimer->SetEnabled(false);
}

void TMNavButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    if (!m_navigator->ShowsFocusOn(this))
        return;
    // A dotted focus rectangle 3 pixels inside the edges, shifted while pressed.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
    QRect r = rect().adjusted(3, 3, -4, -4);
    if (isDown())
        r.translate(1, 1);
    painter.drawRect(r);
}

// ----- the data link -----

void TMNavDataLink::ActiveChanged() {
    if (m_navigator)
        m_navigator->ActiveChanged();
}
void TMNavDataLink::DataChanged() {
    if (m_navigator)
        m_navigator->DataChanged();
}
void TMNavDataLink::EditingChanged() {
    if (m_navigator)
        m_navigator->EditingChanged();
}

// ----- the navigator -----

TVexoDBNav::TVexoDBNav(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFocusPolicy(Qt::NoFocus);
    m_visibleButtons.set();
    int x = 0;
    for (int v = 0; v < 10; ++v) {
        auto* button = new TMNavButton(this, static_cast<TMNavigateBtn>(v));
        button->setMinimumSize(20, 18);
        button->setGeometry(x, 0, 20, 18);
        button->setAutoRaise(m_flat);
        if (v <= 3) {
            button->setIcon(LoadGlyph(Glyphs[v]));
            button->setIconSize(QSize(v == nbvexoFirst || v == nbvexoLast ? 14 : 10, 13));
            button->setAccessibleName(QString::fromUtf8(GlyphNames[v]));
        } else {
            button->setText(QString::fromUtf8(Captions[v]));
        }
        connect(button, &QToolButton::clicked, this,
                ui::GuardedSlot([this, v] { BtnClick(static_cast<TMNavigateBtn>(v)); }));
        m_buttons[static_cast<std::size_t>(v)] = button;
        x += 20;
    }
    Button(nbvexoPrior)->SetAutoRepeat(true);
    Button(nbvexoNext)->SetAutoRepeat(true);
    ApplyHints();
    resize(241, 25);
    ApplyLayout(241, 25);
    m_unitWidth = 0;
    ActiveChanged();
}

TVexoDBNav::~TVexoDBNav() = default;

void TVexoDBNav::SetDataSource(data::DataSource* source) {
    m_dataLink.SetDataSource(source);
    ActiveChanged();
}

void TVexoDBNav::SetVisibleButtons(const TMButtonSet& buttons) {
    m_visibleButtons = buttons;
    for (int v = 0; v < 10; ++v)
        m_buttons[static_cast<std::size_t>(v)]->setVisible(buttons[static_cast<std::size_t>(v)]);
    ApplyLayout(width(), height());
    update();
}

void TVexoDBNav::SetFlat(bool flat) {
    if (flat == m_flat)
        return;
    m_flat = flat;
    for (TMNavButton* button : m_buttons)
        button->setAutoRaise(flat);
}

void TVexoDBNav::SetHints(const QStringList& hints) {
    m_hints = hints;
    ApplyHints();
}

// Line i gives button i its hint; empty lines and lines after the tenth change nothing.
void TVexoDBNav::ApplyHints() {
    for (int i = 0; i < m_hints.size() && i <= 9; ++i)
        if (!m_hints[i].isEmpty())
            m_buttons[static_cast<std::size_t>(i)]->setToolTip(m_hints[i]);
}

void TVexoDBNav::SetTabStop(bool tabStop) {
    m_tabStop = tabStop;
    setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus);
}

void TVexoDBNav::Loaded() {
    ApplyLayout(width(), height());
    ApplyHints();
    ActiveChanged();
}

// ----- layout -----

void TVexoDBNav::ApplyLayout(int w, int h) {
    if (m_inLayout)
        return;
    m_inLayout = true;
    const ui::NavLayout layout = ui::LayOutNavigator(w, h, m_visibleButtons, m_aligned, width());
    m_unitWidth = layout.unitWidth;
    if (layout.width != width() || layout.height != height())
        resize(layout.width, layout.height);
    for (int v = 0; v < 10; ++v)
        m_buttons[static_cast<std::size_t>(v)]->setGeometry(layout.buttons[static_cast<std::size_t>(v)].x, 0,
                                                            layout.buttons[static_cast<std::size_t>(v)].width,
                                                            layout.height);
    m_inLayout = false;
}

void TVexoDBNav::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyLayout(width(), height());
}

bool TVexoDBNav::event(QEvent* event) {
    if (event->type() == QEvent::Show)
        ApplyLayout(width(), height());
    return QWidget::event(event);
}

// ----- enabling -----

bool TVexoDBNav::Open() const {
    return isEnabled() && m_dataLink.Active();
}

void TVexoDBNav::DataChanged() {
    const bool open = Open();
    const data::Table* table = open ? m_dataLink.Source()->DataSet() : nullptr;
    const bool editing = table && table->Editing();
    const bool bof = table && table->Bof();
    const bool eof = table && table->Eof();
    const bool canModify = table && table->CanModify();
    Button(nbvexoFirst)->setEnabled(open && !bof && !editing);
    Button(nbvexoPrior)->setEnabled(open && !bof && !editing);
    Button(nbvexoNext)->setEnabled(open && !eof && !editing);
    Button(nbvexoLast)->setEnabled(open && !eof && !editing);
    Button(nbvexoDelete)->setEnabled(open && !editing && canModify && !(bof && eof));
    Button(nbvexoEdit)->setEnabled(open && !editing && canModify && !(bof && eof));
}

void TVexoDBNav::EditingChanged() {
    DataChanged();
    const bool open = Open();
    const data::Table* table = open ? m_dataLink.Source()->DataSet() : nullptr;
    const bool editing = table && table->Editing();
    const bool canModify = table && table->CanModify();
    Button(nbvexoInsert)->setEnabled(open && canModify && !editing);
    Button(nbvexoPost)->setEnabled(open && canModify && editing);
    Button(nbvexoCancel)->setEnabled(true);
    Button(nbvexoRefresh)->setEnabled(open && canModify);
}

void TVexoDBNav::ActiveChanged() {
    if (!Open()) {
        for (TMNavButton* button : m_buttons)
            button->setEnabled(false);
        return;
    }
    EditingChanged();
}

void TVexoDBNav::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        ActiveChanged();
}

// ----- pressing -----

void TVexoDBNav::BtnClick(TMNavigateBtn index) {
    data::DataSource* source = m_dataLink.Source();
    data::Table* table = source ? source->DataSet() : nullptr;
    if (table && table->Active()) {
        if (BeforeAction)
            BeforeAction(this, index);
        // What is still being typed belongs to the record the action is about: handed over
        // first, or forgotten when the record is cancelled. A value the table refuses (it
        // has said why) stops the action; the record stays in editing with the typed text.
        for (ui::InputHolder* holder : m_inputHolders) {
            if (index == nbvexoCancel) {
                holder->DiscardInput();
            } else if (!holder->CommitInput()) {
                if (index == nbvexoPost && OnClick)
                    OnClick(this, index);
                return;
            }
        }
        switch (index) {
        case nbvexoFirst:
            table->First();
            break;
        case nbvexoPrior:
            table->Prior();
            break;
        case nbvexoNext:
            table->Next();
            break;
        case nbvexoLast:
            table->Last();
            break;
        case nbvexoInsert:
            table->Insert();
            break;
        case nbvexoDelete:
            if (!m_confirmDelete ||
                platform::Dialogs().AskYesAbort("Datensatz wirklich löschen") == platform::Answer::Yes)
                table->Delete();
            break;
        case nbvexoEdit:
            table->Edit();
            break;
        case nbvexoPost:
            // A record inserted and never typed into is given up, not stored empty.
            if (table->State() == data::TableState::Insert && !table->Modified()) {
                table->Cancel();
                break;
            }
            // A failed post is shown here and goes no further; the record stays in editing.
            // The silent abort of a refused record shows its text too.
            try {
                table->Post();
            } catch (const data::KeyViolation&) {
                platform::Dialogs().ShowMessage("Datensatz bereits vorhanden");
            } catch (const std::exception& e) {
                platform::Dialogs().ShowMessage(e.what());
            }
            break;
        case nbvexoCancel:
            table->Cancel();
            break;
        case nbvexoRefresh:
            table->Refresh();
            break;
        }
    }
    if (OnClick)
        OnClick(this, index);
}

// ----- focus and keyboard -----

void TVexoDBNav::ButtonPressed(TMNavButton* button) {
    const TMNavigateBtn previous = m_focusedButton;
    m_focusedButton = button->Index();
    if (m_tabStop && !hasFocus()) {
        setFocus(Qt::MouseFocusReason);
    } else if (hasFocus() && previous != m_focusedButton) {
        Button(previous)->update();
        Button(m_focusedButton)->update();
    }
}

void TVexoDBNav::keyPressEvent(QKeyEvent* event) {
    const TMNavigateBtn old = m_focusedButton;
    int next = old;
    switch (event->key()) {
    case Qt::Key_Right:
        do
            ++next;
        while (next < nbvexoRefresh && !m_visibleButtons[static_cast<std::size_t>(next)]);
        if (next > nbvexoRefresh)
            next = nbvexoRefresh;
        break;
    case Qt::Key_Left:
        do
            --next;
        while (next > nbvexoFirst && !m_visibleButtons[static_cast<std::size_t>(next)]);
        if (next < nbvexoFirst)
            next = nbvexoFirst;
        break;
    case Qt::Key_Space:
        if (Button(m_focusedButton)->isEnabled())
            ui::Guarded([this] { BtnClick(m_focusedButton); });
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (next != old) {
        m_focusedButton = static_cast<TMNavigateBtn>(next);
        Button(old)->update();
        Button(m_focusedButton)->update();
    }
}

void TVexoDBNav::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    Button(m_focusedButton)->update();
}

void TVexoDBNav::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    Button(m_focusedButton)->update();
}
