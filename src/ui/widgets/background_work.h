#pragma once
// Work that takes a while (a spreadsheet of every result), done on a thread of its own while
// the windows keep painting. The user's clicks and keys wait until it is done, so nothing
// starts twice; after a moment a small box says what is being done. A failure of the work
// is thrown again here, on the window's thread. The work must not touch widgets or tables.
#include <QString>

#include <functional>

class QWidget;

namespace ui {

void RunOffTheWindow(QWidget* parent, const QString& whatIsDone, const std::function<void()>& work);

} // namespace ui
