// The parser's characters: bytes in the code page of their font, \uN with its fallback, and
// where the text of each destination goes.
#include "rtf_parser.h"

namespace ui {

// ----- characters -----

// How the bytes of the current font read: its character set, or a symbol font.
std::pair<int, FontKind> RtfParser::EncodingOf(int fontNumber) const {
    const int number = fontNumber >= 0 ? fontNumber : m_defaultFont;
    const auto found = m_fonts.find(number);
    if (found == m_fonts.end())
        return {m_codePage, FontKind::Text};
    const Font& font = found->second;
    if (font.name.contains(QLatin1String("Wingdings"), Qt::CaseInsensitive))
        return {m_codePage, FontKind::Wingdings};
    if (font.charset == 2 || font.name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
        return {m_codePage, FontKind::Symbol};
    return {CodePageOfCharset(font.charset, m_codePage), FontKind::Text};
}

void RtfParser::Unicode(int n) {
    // \uN is a signed 16-bit number; anything outside that range is no character.
    char32_t code = 0xFFFD;
    if (n >= -32768 && n <= 65535)
        code = static_cast<char32_t>(n < 0 ? n + 65536 : n);
    if (code >= 0xD800 && code <= 0xDBFF) {
        m_highSurrogate = static_cast<char16_t>(code);
    } else if (code >= 0xDC00 && code <= 0xDFFF) {
        if (m_highSurrogate) {
            const char16_t pair[2] = {m_highSurrogate, static_cast<char16_t>(code)};
            Text(QString(reinterpret_cast<const QChar*>(pair), 2));
        }
        m_highSurrogate = 0;
    } else {
        m_highSurrogate = 0;
        // Characters of a font by their byte, as writers put list bullets, in the private-use
        // area at F020 to F0FF (Word's Symbol bullet is F0B7, LibreOffice's F095): the
        // character that byte stands for in the font.
        if (code == 0xF0B7) {
            code = 0x2022; // Word's bullet, whatever font it is set in
        } else if (code >= 0xF020 && code <= 0xF0FF) {
            const auto [codePage, kind] = EncodingOf(State().chars.font);
            code = ByteToCodePoint(static_cast<unsigned char>(code - 0xF000), codePage, kind);
        }
        Text(QString::fromUcs4(&code, 1));
    }
    m_skipFallback = State().unicodeSkip;
}

void RtfParser::TextBytes(std::string_view bytes) {
    switch (State().destination) {
    case Destination::ColourTable:
        for (char c : bytes)
            if (c == ';') {
                m_builder.Colours().push_back(m_pendingColour); // invalid: the automatic colour
                m_pendingColour = QColor();
            }
        return;
    case Destination::FontTable:
        if (m_fontNumber != NoFont && m_fontEntry.name.size() < 200)
            m_fontEntry.name += QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
        return;
    case Destination::ListTextBefore:
    case Destination::ListTextAfter: {
        QString& text =
            State().destination == Destination::ListTextBefore ? m_listDef.before : m_listDef.after;
        if (text.size() < 20)
            text += Decode(bytes, m_listDef.font);
        return;
    }
    case Destination::Skip:
    case Destination::Object:
    case Destination::ListDefinition:
        return;
    case Destination::Text:
    case Destination::Footnote:
    case Destination::ListText:
        break;
    }
    Text(Decode(bytes));
}

// The bytes in the encoding of a font (by default the current one); bytes standing in for
// the character of \uN are left out.
QString RtfParser::Decode(std::string_view bytes, int fontNumber) {
    const auto [codePage, kind] = EncodingOf(fontNumber >= 0 ? fontNumber : State().chars.font);
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        if (m_skipFallback > 0) {
            --m_skipFallback;
            continue;
        }
        if (kind == FontKind::Text && IsDoubleByteCodePage(codePage)) {
            if (const std::optional<char32_t> code =
                    m_doubleByte.Byte(static_cast<unsigned char>(c), codePage))
                text += QString::fromUcs4(&*code, 1);
            continue;
        }
        const char32_t code = ByteToCodePoint(static_cast<unsigned char>(c), codePage, kind);
        text += QChar(static_cast<char16_t>(code));
    }
    return text;
}

// ----- text -----

void RtfParser::Text(const QString& text) {
    GroupState& s = State();
    if (text.isEmpty())
        return;
    m_skipFallback = 0;
    if (s.destination == Destination::ListText) {
        if (m_listText.size() < 100)
            m_listText += text;
        return;
    }
    if (s.destination == Destination::Text || s.destination == Destination::Footnote)
        m_builder.Text(text, s);
}

void RtfParser::Paragraph() {
    const GroupState& s = State();
    if (s.destination == Destination::Text || s.destination == Destination::Footnote)
        m_builder.Paragraph(s);
}

} // namespace ui
