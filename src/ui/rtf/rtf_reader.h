#pragma once
// Reads rich text (RTF) into a QTextDocument, as word processors write it: groups with
// their formatting, the destinations that hold no text (font, colour and style tables,
// document information, pictures, "\*" destinations, list tables ...), paragraphs and line
// breaks, bold, italic, underline, font sizes, colours from the colour table, alignment,
// indented list paragraphs with their bullets or numbers, tabs, "\'hh" escapes in
// Windows-1252, "\uN" with its fallback characters and "\ucN", and escaped braces and
// backslashes; tables placed on their grid of cell edges, footnotes, embedded objects'
// shown results. One pass over the bytes, linear in them; the group stack is bounded,
// nothing recurses on the input, and a truncated or unbalanced document shows what it holds.
#include <QTextDocument>

#include <memory>
#include <string>
#include <string_view>

namespace ui {

// False, with the document untouched, when the bytes are no RTF document.
bool ReadRtf(std::string_view bytes, QTextDocument& document);

// What the information window shows: RTF as rich text, anything else that is text as
// plain text (UTF-8 when it is valid UTF-8, else Windows-1252). Content that is neither
// fails with "Stream konnte nicht geladen werden" and leaves the document untouched.
void LoadRichText(std::string_view bytes, QTextDocument& document);

class RtfParser;

// The same, in steps, so that a large document is read without stopping the window. The
// document should be one no view shows yet (a view lays out every piece as it arrives).
// The constructor fails as LoadRichText does; plain text is read at once.
class RichTextReading {
public:
    RichTextReading(std::string bytes, QTextDocument& document);
    ~RichTextReading();
    RichTextReading(const RichTextReading&) = delete;
    RichTextReading& operator=(const RichTextReading&) = delete;

    // Reads on for about `bytes` more bytes; true when the document is complete.
    bool Step(std::size_t bytes);
    double Progress() const;

private:
    std::string m_bytes;
    QTextDocument& m_document;
    std::unique_ptr<RtfParser> m_parser;
};

} // namespace ui
