#include "panel.h"

#include <QAction>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>

namespace ui {

void NameClearButton(QLineEdit& field) {
    for (QAction* action : field.actions())
        if (action->objectName() == QLatin1String("_q_qlineeditclearaction"))
            action->setText(QStringLiteral("Suchfeld leeren"));
    for (QWidget* child : field.findChildren<QWidget*>())
        if (QByteArray(child->metaObject()->className()) == "QLineEditIconButton")
            child->setAccessibleName(QStringLiteral("Suchfeld leeren"));
}

Panel::Panel(QWidget* parent, const QString& objectName) : QFrame(parent) {
    setObjectName(objectName);
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

void Panel::SetColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

void Panel::SetCaption(const QString& caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    setAccessibleName(m_accessiblePrefix + caption);
    update();
}

void Panel::SetAccessiblePrefix(const QString& prefix) {
    m_accessiblePrefix = prefix;
    setAccessibleName(m_accessiblePrefix + m_caption);
}

void Panel::SetCaptionAlignment(Qt::Alignment alignment) {
    m_captionAlignment = alignment;
    update();
}

void Panel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (m_caption.isEmpty())
        return;
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const int margin = m_captionAlignment & Qt::AlignLeft ? 4 : 0;
    painter.drawText(rect().adjusted(margin, 0, -margin, 0), static_cast<int>(m_captionAlignment), m_caption);
}

void Panel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}

void Panel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    emit resized();
}

namespace {
// The families the fixed layouts were drawn for, each with the metric-compatible stand-ins
// Debian offers first (Liberation Sans has Arial's widths) and a plain sans serif last.
QStringList FamiliesFor(const QString& family) {
    if (family == QLatin1String("Arial"))
        return {family, QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                QStringLiteral("DejaVu Sans")};
    if (family == QLatin1String("Tahoma"))
        return {family, QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")};
    return {family, QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
            QStringLiteral("Liberation Sans")};
}
} // namespace

void RegisterFonts() {
    // Debian's fonts-wine puts a Tahoma with the original metrics (and MS Sans Serif) into
    // Wine's own folder, where the system's font configuration does not look. Its bold
    // Tahoma draws a regular, letter-spaced face: bold captions are emboldened from the
    // regular face instead, which looks bold at every size and keeps Tahoma's shapes.
    static bool done = false;
    if (done)
        return;
    done = true;
    const QString folder = QStringLiteral("/usr/share/wine/fonts/");
    for (const char* file : {"tahoma.ttf", "ms_sans_serif.ttf"})
        if (QFile::exists(folder + QLatin1String(file)))
            QFontDatabase::addApplicationFont(folder + QLatin1String(file));
    // The self-contained release folder carries its fonts beside the program.
    const QDir own(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& file : own.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(own.filePath(file));
}

QFont UiFont(int pixelHeight, bool bold, const QString& family) {
    QFont font;
    font.setFamilies(FamiliesFor(family));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

} // namespace ui
