#pragma once
// The reading side of the RTF reader: one pass over the bytes, group by group and control
// word by control word, handing text, paragraphs, tables and footnotes to the builder. The
// group stack is bounded and nothing recurses on the input; the work is linear in it, and
// it can be done in steps (a large document is read without stopping the window).
#include "rtf_builder.h"
#include "rtf_codepages.h"
#include "rtf_double_byte.h"
#include "rtf_state.h"

#include <map>
#include <string_view>
#include <vector>

class QTextDocument;

namespace ui {

class RtfParser {
public:
    RtfParser(std::string_view bytes, QTextDocument& document);
    ~RtfParser();
    RtfParser(const RtfParser&) = delete;
    RtfParser& operator=(const RtfParser&) = delete;

    // Reads on for about `bytes` more bytes; true when the document is complete.
    bool Step(std::size_t bytes);
    // Reads everything.
    void Run() { Step(m_in.size()); }
    // How far the reading got, 0 to 1.
    double Progress() const { return m_in.empty() ? 1.0 : double(m_pos) / double(m_in.size()); }

private:
    struct Font {
        int charset = 0;
        QString name;
    };
    static constexpr int NoFont = -2147483647 - 1;
    static constexpr std::size_t MaxGroupDepth = 200; // deeper groups share their parent's state
    static constexpr std::size_t MaxFonts = 1000;

    GroupState& State() { return m_state.back(); }

    void OpenGroup();
    void CloseGroup();
    int ReadNumber(bool& present);
    void ControlSymbolOrWord();
    void ControlSymbol(char c);
    void ControlWord(std::string_view w, bool hasNumber, int n, bool groupStart);
    void FormattingWord(GroupState& s, std::string_view w, bool hasNumber, int n);
    void ColourWord(std::string_view w, int n);
    void FontWord(std::string_view w, bool hasNumber, int n);
    void EndFontEntry();
    void ListWord(std::string_view w, bool hasNumber, int n);
    std::pair<int, FontKind> EncodingOf(int fontNumber) const;
    void Unicode(int n);
    void TextBytes(std::string_view bytes);
    QString Decode(std::string_view bytes, int fontNumber = -1);
    void Text(const QString& text);
    void Paragraph();

    std::string_view m_in;
    std::size_t m_pos = 0;
    RtfBuilder m_builder;
    std::vector<GroupState> m_state;
    std::size_t m_depth = 0;
    bool m_groupStart = false;
    bool m_optionalPending = false;
    QColor m_pendingColour;
    std::map<int, Font> m_fonts;
    int m_fontNumber = NoFont;
    Font m_fontEntry;
    int m_defaultFont = 0;
    int m_codePage = 1252;
    ListDef m_listDef;
    std::size_t m_listGroupDepth = 0;
    // A list item's own marker ({\listtext}, {\pntext}): gathered, and written only when it
    // holds more than blanks and tabs.
    std::size_t m_listTextDepth = 0;
    QString m_listText;
    GroupState m_listTextState;
    int m_skipFallback = 0;
    DoubleByteDecoder m_doubleByte; // a lead byte waiting for its trail
    char16_t m_highSurrogate = 0;
    QTextCursor m_editBlock; // holds the document in one edit while it is read
    bool m_finished = false;
};

} // namespace ui
