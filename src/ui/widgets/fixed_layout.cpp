#include "fixed_layout.h"

#include <QLabel>
#include <QPushButton>

namespace ui {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at, const QFont& font,
                  const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    if (colour.isValid()) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, colour);
        label->setPalette(p);
    }
    label->move(at);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                        const QFont& font) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setFont(font);
    button->setAutoDefault(true);
    return button;
}

} // namespace ui
