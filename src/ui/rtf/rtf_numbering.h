#pragma once
// The numbers of legacy lists (\pn): decimal, letters and Roman numerals, and the marker a
// list item shows (its text before, the number, its text after; a bullet for bullet lists).
#include "rtf_state.h"

#include <QString>

namespace ui {

QString RomanNumber(int n, bool upper);
QString LetterNumber(int n, bool upper);
// The marker of item `counter` of `list`, without the tab that follows it.
QString ListMarker(const ListDef& list, int counter);

} // namespace ui
