#include "About.h"

#include "ui/widgets/fixed_layout.h"
#include "ui/widgets/panel.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QUrl>

namespace {

const QString ContactAddress = QStringLiteral("kontakt@vexo-rizidevizi.de");

// A label that reports clicks, for the contact address.
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
            onClick();
        QLabel::mouseReleaseEvent(event);
    }
};

} // namespace

QImage MakeProgramPicture() {
    QImage image(320, 240, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A gym floor seen from above: two end lines 20 m apart, lanes, and a runner's path.
    p.fillRect(image.rect(), QColor(214, 164, 98));
    p.setPen(QPen(QColor(190, 140, 80), 1));
    for (int y = 8; y < 240; y += 16)
        p.drawLine(0, y, 320, y);
    p.setPen(QPen(Qt::white, 6));
    p.drawLine(40, 20, 40, 220);
    p.drawLine(280, 20, 280, 220);
    p.setPen(QPen(QColor(128, 128, 255), 3, Qt::DashLine));
    p.drawLine(40, 120, 280, 120);
    p.setBrush(QColor(255, 128, 128));
    p.setPen(Qt::NoPen);
    for (int x : {40, 280})
        p.drawPolygon(QPolygon({QPoint(x - 12, 70), QPoint(x + 12, 70), QPoint(x, 44)}));
    p.setBrush(QColor(40, 40, 120));
    p.drawEllipse(QPoint(200, 120), 14, 14);
    p.setPen(Qt::black);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(40);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(40, 150, 240, 60), Qt::AlignCenter, QStringLiteral("20 m"));
    p.end();
    return image.convertToFormat(QImage::Format_Indexed8);
}

TAboutBox::TAboutBox(std::function<std::string()> versionText, QWidget* parent)
    : QDialog(parent), m_versionText(std::move(versionText)) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Infos"));
    setFont(ui::UiFont(13, false, QStringLiteral("System")));
    setFixedSize(413, 470);
    // A fixed dialog frame: no resizing, no minimising or maximising.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(7, 4, 399, 431);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(2);

    const QFont arial11 = ui::UiFont(11, false, QStringLiteral("Arial"));
    ProgramIcon = new QLabel(panel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(14, 12, 114, 85);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(QPixmap::fromImage(MakeProgramPicture()));

    ProductName = ui::MakeLabel(panel, "ProductName", QStringLiteral("Rizidevizi"), {144, 24},
                                ui::UiFont(24, true, QStringLiteral("Arial")));
    Label4 = ui::MakeLabel(panel, "Label4", QStringLiteral("17.09.2008"), {144, 82}, arial11);
    Version = ui::MakeLabel(panel, "Version", QStringLiteral("Version 0.7"), {321, 82}, arial11);
    Version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_versionRight = Version->geometry().right();

    Memo1 = new QTextEdit(panel);
    Memo1->setAccessibleName(QStringLiteral("Programminformation"));
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(9, 104, 376, 201);
    Memo1->setReadOnly(true);
    Memo1->setFont(arial11);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setBackgroundRole(QPalette::Button);
    QPalette memoPalette = Memo1->palette();
    memoPalette.setColor(QPalette::Base, palette().color(QPalette::Button));
    Memo1->setPalette(memoPalette);
    Memo1->setPlainText(QStringLiteral("Rizidevizi Fitnesstest\n"
                                       "\n"
                                       "Der 20-m-Pendellauf mit stufenweise steigendem Tempo\n"
                                       "wurde 1982 von Léger und Lambert veröffentlicht\n"
                                       "und 1988 von Léger und Kollegen überarbeitet;\n"
                                       "seitdem wird er weltweit in Schule und Verein gelaufen.\n"
                                       "\n"
                                       "Der Test dient zur Ermittlung der Maximalen Sauerstoffaufnahme\n"
                                       "(VO max) eines Menschen.\n"
                                       "\n"
                                       "Das Programm wurde geschrieben um den Test durchzuführen,\n"
                                       "die Ergebnisse zu verwalten und sie zu bewerten."));
    // Every line centred.
    QTextCursor cursor(Memo1->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);

    auto* bevel = new QFrame(panel);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setGeometry(9, 311, 376, 103);
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);

    const QFont captionFont = ui::UiFont(13, true, QStringLiteral("Arial"));
    const QColor maroon(128, 0, 0);
    ui::MakeLabel(panel, "Label1", QStringLiteral("Datum"), {16, 317}, captionFont);
    ui::MakeLabel(panel, "Label6", QStringLiteral("September 2008"), {160, 317}, arial11, maroon);
    ui::MakeLabel(panel, "Label2", QStringLiteral("Testprotokoll"), {16, 336}, captionFont);
    ui::MakeLabel(panel, "Label7", QStringLiteral("nach Léger und Lambert (1982),\nüberarbeitet 1988"),
                  {160, 336}, arial11, maroon);
    ui::MakeLabel(panel, "Label3", QStringLiteral("Programm"), {16, 370}, captionFont);
    ui::MakeLabel(panel, "Label8", QStringLiteral("Vexo-Rizidevizi, freie Version"), {160, 370}, arial11,
                  maroon);
    ui::MakeLabel(panel, "Label9", QStringLiteral("Kontakt"), {16, 389}, captionFont);

    auto* contact = new ClickLabel(ContactAddress, panel);
    Label5 = contact;
    Label5->setObjectName(QStringLiteral("Label5"));
    QFont linkFont = arial11;
    linkFont.setUnderline(true);
    Label5->setFont(linkFont);
    QPalette linkPalette = Label5->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Label5->setPalette(linkPalette);
    Label5->setCursor(Qt::PointingHandCursor);
    Label5->move(160, 391);
    Label5->adjustSize();
    contact->onClick = [this] { Label5Click(Label5); };

    OKButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(160, 439, 96, 28);
    OKButton->setFont(ui::UiFont(15, true, QStringLiteral("MS Sans Serif")));
    OKButton->setDefault(true);
    OKButton->setFocus();
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void TAboutBox::FormCreate() {
    // The label keeps its right edge and grows to the left with its text.
    Version->setText(QString::fromStdString(m_versionText ? m_versionText() : std::string()));
    const int width = Version->fontMetrics().horizontalAdvance(Version->text());
    Version->setGeometry(m_versionRight - width + 1, Version->y(), width, Version->height());
}

void TAboutBox::Label5Click(QLabel* sender) {
    // The desktop opens the user's mail program; without one nothing happens and nothing is said.
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + sender->text()));
}
