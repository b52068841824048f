#include "f_info.h"

#include "data/data_file.h"
#include "platform/errors.h"
#include "ui/rtf/rtf_reader.h"
#include "ui/widgets/guard.h"
#include "ui/widgets/panel.h"

#include <QDir>
#include <QEvent>
#include <QTextEdit>
#include <QVBoxLayout>

Tfrm_info::Tfrm_info(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frm_info"));
    setWindowTitle(QStringLiteral("Informationen zum Rizidevizi Fitness-Test"));
    setFont(ui::UiFont(11));
    resize(743, 515);
    setSizeGripEnabled(true);

    Panel1 = new ui::Panel(this, QStringLiteral("Panel1"));
    RichEdit1 = new QTextEdit(Panel1);
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

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1, 1);
    layout->addWidget(Panel3);
}

// Each opening reads the file once, just after the window has appeared, so that an error
// box shows over the open window; closing that box does not read the file again.
bool Tfrm_info::event(QEvent* event) {
    if (event->type() == QEvent::Show && !event->spontaneous())
        QMetaObject::invokeMethod(this, ui::GuardedSlot([this] { FormActivate(); }), Qt::QueuedConnection);
    return QDialog::event(event);
}

void Tfrm_info::FormActivate() {
    // Looked up by its bare name in the working directory, as the sounds are. On failure the
    // viewer keeps what it showed before and the error reaches the default error display.
    const std::string path =
        QDir::current().absoluteFilePath(QString::fromLatin1(InfoFileName)).toStdString();
    const std::string bytes = data::ReadWholeFile(path);
    ui::LoadRichText(bytes, *RichEdit1->document());
}
