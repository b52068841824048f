#pragma once
// The 8-bit characters of rich text: the document's ANSI code page (\ansicpg), a font's
// character set (\fcharset) and the symbol fonts whose bytes are pictures rather than
// letters. The tables cover the Windows code pages 1250 to 1257 and 874; their upper halves
// were generated with Python's codecs:
//   bytes([b]).decode("cp1250") for b in range(0x80, 0x100)
#include <string>

namespace ui {

enum class FontKind { Text, Symbol, Wingdings };

// The code page a font's \fcharset selects; ANSI (0), the default (1) and anything unknown
// keep the document's code page.
int CodePageOfCharset(int charset, int documentCodePage);

// The character a byte stands for in a code page, or in a symbol font.
char32_t ByteToCodePoint(unsigned char byte, int codePage, FontKind kind);

} // namespace ui
