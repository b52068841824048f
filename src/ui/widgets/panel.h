#pragma once
// A coloured panel with an optional caption, the building block of the fixed window
// layouts: children sit at fixed positions, the caption is drawn centred (or left, for a
// status bar) under them, and a click on the free area raises clicked().
#include <QColor>
#include <QFrame>
#include <QLineEdit>
#include <QString>

namespace ui {

class Panel : public QFrame {
    Q_OBJECT
public:
    explicit Panel(QWidget* parent = nullptr, const QString& objectName = {});

    void SetColor(const QColor& color);
    void SetCaption(const QString& caption);
    QString Caption() const { return m_caption; }
    void SetCaptionAlignment(Qt::Alignment alignment);
    // What assistive tools read: the caption after this prefix ("Level " before the digits).
    void SetAccessiblePrefix(const QString& prefix);

signals:
    void clicked();
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_caption;
    QString m_accessiblePrefix;
    Qt::Alignment m_captionAlignment = Qt::AlignCenter;
};

// The clear button of a search field, named for assistive tools (Qt leaves it unnamed).
void NameClearButton(QLineEdit& field);

// Font helper: the family the layouts were drawn for, or its metric-compatible stand-in,
// else the nearest sans serif, with the character height in pixels as the window
// descriptions give it.
QFont UiFont(int pixelHeight, bool bold = false, const QString& family = QStringLiteral("Tahoma"));
// Makes the Tahoma of Debian's fonts-wine known to the program (once; needs the application).
void RegisterFonts();

} // namespace ui
