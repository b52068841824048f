#include "f_info.h"

#include "data/data_file.h"
#include "platform/errors.h"
#include "ui/rtf/rtf_reader.h"
#include "ui/widgets/guard.h"
#include "ui/widgets/panel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

Tfrm_info::Tfrm_info(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_info"));
    setWindowTitle(QStringLiteral("Informationen zum Rizidevizi Fitness-Test"));
    setFont(ui::UiFont(11));
    resize(743, 515);
    setSizeGripEnabled(true);

    Panel1 = new ui::Panel(this, QStringLiteral("Panel1"));
    RichEdit1 = new QTextEdit(Panel1);
    RichEdit1->setAccessibleName(QStringLiteral("Informationstext"));
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setPlainText(QString());
    auto* inner = new QVBoxLayout(Panel1);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(RichEdit1);

    Panel3 = new ui::Panel(this, QStringLiteral("Panel3"));
    Panel3->SetColor(QColor(192, 192, 192));
    Panel3->setFont(ui::UiFont(16, true));
    Panel3->SetCaption(QStringLiteral("Fenster schließen"));
    Panel3->setFixedHeight(41);
    Panel3->setCursor(Qt::PointingHandCursor);
    Panel3->setFrameShape(QFrame::Panel);
    Panel3->setFrameShadow(QFrame::Raised);
    connect(Panel3, &ui::Panel::clicked, this, ui::GuardedSlot([this] { Panel2Click(); }));

    m_readTimer = new QTimer(this);
    m_readTimer->setInterval(0);
    connect(m_readTimer, &QTimer::timeout, this, ui::GuardedSlot([this] { ReadStep(); }));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1, 1);
    layout->addWidget(Panel3);
}

Tfrm_info::~Tfrm_info() {
    StopReading();
}

// Each opening reads the file once, just after the window has appeared, so that an error
// box shows over the open window; closing that box does not read the file again.
bool Tfrm_info::event(QEvent* event) {
    if (event->type() == QEvent::Show && !event->spontaneous())
        QMetaObject::invokeMethod(this, ui::GuardedSlot([this] { FormActivate(); }), Qt::QueuedConnection);
    if (event->type() == QEvent::Hide && !event->spontaneous())
        StopReading(); // closed before the text was read: nobody waits for it
    return QDialog::event(event);
}

void Tfrm_info::FormActivate() {
    StopReading();
    // Looked up by its bare name in the working directory, as the sounds are. On failure the
    // viewer keeps what it showed before and the error reaches the default error display.
    const std::string path =
        QDir::current().absoluteFilePath(QString::fromLatin1(InfoFileName)).toStdString();
    std::string bytes = data::ReadWholeFile(path);
    if (bytes.size() <= ReadAtOnceBytes) {
        ui::LoadRichText(bytes, *RichEdit1->document());
        return;
    }
    // Read apart, a step at a time between the window's events, and shown when complete.
    auto document = std::make_unique<QTextDocument>();
    m_reading = std::make_unique<ui::RichTextReading>(std::move(bytes), *document);
    m_readDocument = std::move(document);
    RichEdit1->setPlainText(QStringLiteral("Der Text wird gelesen \u2026"));
    m_readTimer->start();
}

void Tfrm_info::ReadStep() {
    if (!m_reading)
        return;
    // About a frame's time of reading, then the window's turn.
    QElapsedTimer slice;
    slice.start();
    bool done = false;
    while (!done && slice.elapsed() < 30)
        done = m_reading->Step(64 * 1024);
    if (!done)
        return;
    m_readTimer->stop();
    m_reading.reset();
    // The viewer owns the document from now on, and lets go of the one it showed (a child
    // of its own) itself.
    m_readDocument->setParent(RichEdit1);
    RichEdit1->setDocument(m_readDocument.release());
}

void Tfrm_info::StopReading() {
    m_readTimer->stop();
    m_reading.reset(); // before the document it reads into
    m_readDocument.reset();
}
