#pragma once
// Which destinations of rich text hold no text for the reader: tables of styles, document
// information, pictures, headers, and whatever a writer marks with "\*" that this reader
// does not know. Tables of fonts and colours, lists, footnotes and objects have
// destinations of their own.
#include <string_view>

namespace ui {

bool IsSkippedDestination(std::string_view word);
// "\*" destinations this reader reads; every other one a reader may ignore, and this one does.
bool IsKnownOptionalDestination(std::string_view word);

} // namespace ui
