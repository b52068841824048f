#pragma once
// An evaluation table in a model for a view: each cell as it is shown, numbers to the right,
// a rating that today's athlete data would give differently in italics with its note as a
// tooltip, and each cell's sort key (numbers by value, texts by German collation, no value
// none).
#include "evaluation/export_table.h"

class QStandardItemModel;

namespace ui {

void FillModel(QStandardItemModel& model, const evaluation::ExportTable& table);

} // namespace ui
