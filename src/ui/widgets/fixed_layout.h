#pragma once
// The controls of the fixed window layouts, placed as the window descriptions give them:
// a name, a position (and size) in pixels, a caption, a font given by its character
// height, a colour. One helper for every window, so that each layout reads as its table.
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace ui {

// A label at `at`, as large as its text.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at, const QFont& font,
                  const QColor& colour = QColor());
// A push button; Enter presses it when it has the focus, as the space bar does.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                        const QFont& font);

} // namespace ui
