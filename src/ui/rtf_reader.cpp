#include "rtf_reader.h"

#include "data/text_encoding.h"
#include "platform/errors.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <array>
#include <vector>

namespace ui {
namespace {

constexpr std::size_t MaxGroupDepth = 200; // deeper groups share their parent's state

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24; // \fs: 12 pt unless the document says otherwise
    int colour = 0;      // index into the colour table; 0 is the automatic colour
};

struct ParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0;
    int firstTwips = 0;
    int spaceBeforeTwips = 0;
    int spaceAfterTwips = 0;
};

enum class Destination { Text, Skip, ColourTable };

struct GroupState {
    CharState chars;
    ParaState para;
    Destination destination = Destination::Text;
    int unicodeSkip = 1; // \uc
};

// Destinations whose content is not part of the text.
bool IsSkippedDestination(std::string_view word) {
    static const char* const skipped[] = {
        "fonttbl",   "stylesheet",   "info",      "pict",      "header",
        "headerl",   "headerr",      "headerf",   "footer",    "footerl",
        "footerr",   "footerf",      "footnote",  "listtable", "listoverridetable",
        "rsidtbl",   "generator",    "xmlnstbl",  "themedata", "colorschememapping",
        "datastore", "latentstyles", "pgdsctbl",  "object",    "fldinst",
        "filetbl",   "revtbl",       "bkmkstart", "bkmkend",   "pn",
        "pntxta",    "pntxtb",       "ftnsep",    "ftnsepc",   "aftnsep",
        "aftnsepc",  "template",     "userprops", "mmathPr",   "wgrffmtfilter",
        "docvar",    "nonshppict",   "shp",       "shpinst",   "sp",
        "sn",        "sv",           "objdata",   "comment",   "annotation",
        "atnid",     "atnauthor",    "atrfstart", "atrfend",   "passwordhash"};
    for (const char* s : skipped)
        if (word == s)
            return true;
    return false;
}

class RtfParser {
public:
    RtfParser(std::string_view bytes, QTextDocument& document) : m_in(bytes), m_cursor(&document) {
        m_state.push_back(GroupState{});
    }

    void Run() {
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos];
            if (c == '{') {
                ++m_pos;
                OpenGroup();
            } else if (c == '}') {
                ++m_pos;
                CloseGroup();
            } else if (c == '\\') {
                ++m_pos;
                ControlSymbolOrWord();
            } else if (c == '\r' || c == '\n' || c == '\0') {
                ++m_pos; // line breaks in the file mean nothing
            } else {
                const std::size_t start = m_pos;
                while (m_pos < m_in.size() && m_in[m_pos] != '{' && m_in[m_pos] != '}' &&
                       m_in[m_pos] != '\\' && m_in[m_pos] != '\r' && m_in[m_pos] != '\n' &&
                       m_in[m_pos] != '\0')
                    ++m_pos;
                TextBytes(m_in.substr(start, m_pos - start));
                m_groupStart = false; // a destination word only counts first in its group
            }
        }
        Flush();
    }

private:
    GroupState& State() { return m_state.back(); }

    void OpenGroup() {
        ++m_depth;
        if (m_state.size() < MaxGroupDepth)
            m_state.push_back(State());
        m_groupStart = true;
    }

    void CloseGroup() {
        if (m_depth == 0)
            return; // an unbalanced closing brace changes nothing
        --m_depth;
        Flush();
        if (m_state.size() > m_depth + 1) // this group had a state of its own
            m_state.pop_back();
        m_groupStart = false;
    }

    int ReadNumber(bool& present) {
        bool negative = false;
        if (m_pos < m_in.size() && m_in[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        long long value = 0;
        present = false;
        while (m_pos < m_in.size() && m_in[m_pos] >= '0' && m_in[m_pos] <= '9') {
            present = true;
            value = std::min(value * 10 + (m_in[m_pos] - '0'), 10000000000LL); // saturate, no overflow
            ++m_pos;
        }
        if (negative)
            value = -value;
        return static_cast<int>(std::clamp<long long>(value, -2147483647LL, 2147483647LL));
    }

    void ControlSymbolOrWord() {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter) {
            ++m_pos;
            ControlSymbol(c);
            m_groupStart = false;
            return;
        }
        const std::size_t start = m_pos;
        while (m_pos < m_in.size() && m_pos - start < 32 &&
               ((m_in[m_pos] >= 'a' && m_in[m_pos] <= 'z') || (m_in[m_pos] >= 'A' && m_in[m_pos] <= 'Z')))
            ++m_pos;
        const std::string_view word = m_in.substr(start, m_pos - start);
        bool hasNumber = false;
        const int number = ReadNumber(hasNumber);
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos; // the delimiting blank belongs to the control word
        const bool groupStart = m_groupStart;
        m_groupStart = false;
        ControlWord(word, hasNumber, number, groupStart);
    }

    void ControlSymbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            Text(QString(QChar(c)));
            break;
        case '~':
            Text(QString(QChar(0x00A0)));
            break;
        case '_':
            Text(QString(QChar(0x2011)));
            break;
        case '-':
            break; // optional hyphen
        case '*':
            State().destination = Destination::Skip; // an optional destination: none is of use here
            break;
        case '\'': {
            if (m_pos + 2 <= m_in.size()) {
                const auto hex = [](char h) {
                    return h >= '0' && h <= '9'   ? h - '0'
                           : h >= 'a' && h <= 'f' ? h - 'a' + 10
                           : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                  : -1;
                };
                const int hi = hex(m_in[m_pos]);
                const int lo = hex(m_in[m_pos + 1]);
                if (hi >= 0 && lo >= 0) {
                    m_pos += 2;
                    if (m_skipFallback > 0) {
                        --m_skipFallback;
                        break;
                    }
                    Text(QString(QChar(static_cast<char16_t>(
                        data::Cp1252ToCodePoint(static_cast<unsigned char>(hi * 16 + lo))))));
                }
            }
            break;
        }
        case '\r':
        case '\n':
            Paragraph(); // a backslash before a line break is a paragraph mark
            break;
        default:
            break;
        }
    }

    void ControlWord(std::string_view w, bool hasNumber, int n, bool groupStart) {
        GroupState& s = State();
        if (w == "colortbl") {
            s.destination = Destination::ColourTable;
            m_colours.clear();
            m_pendingColour = QColor();
            return;
        }
        if (groupStart && IsSkippedDestination(w)) {
            s.destination = Destination::Skip;
            return;
        }
        if (s.destination == Destination::ColourTable) {
            if (!m_pendingColour.isValid())
                m_pendingColour = QColor(0, 0, 0);
            const int v = std::clamp(n, 0, 255);
            if (w == "red")
                m_pendingColour.setRed(v);
            else if (w == "green")
                m_pendingColour.setGreen(v);
            else if (w == "blue")
                m_pendingColour.setBlue(v);
            return;
        }
        if (s.destination == Destination::Skip)
            return;

        const bool on = !hasNumber || n != 0;
        if (w == "par" || w == "sect" || w == "page") {
            Paragraph();
        } else if (w == "line") {
            Text(QString(QChar::LineSeparator));
        } else if (w == "tab") {
            Text(QStringLiteral("\t"));
        } else if (w == "b") {
            s.chars.bold = on;
        } else if (w == "i") {
            s.chars.italic = on;
        } else if (w == "ul") {
            s.chars.underline = on;
        } else if (w == "ulnone") {
            s.chars.underline = false;
        } else if (w == "fs") {
            s.chars.halfPoints = hasNumber ? std::clamp(n, 2, 3200) : 24;
        } else if (w == "cf") {
            s.chars.colour = std::max(0, n);
        } else if (w == "plain") {
            s.chars = CharState{};
        } else if (w == "pard") {
            s.para = ParaState{};
        } else if (w == "ql") {
            s.para.alignment = Qt::AlignLeft;
        } else if (w == "qc") {
            s.para.alignment = Qt::AlignHCenter;
        } else if (w == "qr") {
            s.para.alignment = Qt::AlignRight;
        } else if (w == "qj") {
            s.para.alignment = Qt::AlignJustify;
        } else if (w == "li") {
            s.para.leftTwips = std::clamp(n, -100000, 100000);
        } else if (w == "fi") {
            s.para.firstTwips = std::clamp(n, -100000, 100000);
        } else if (w == "sb") {
            s.para.spaceBeforeTwips = std::clamp(n, 0, 100000);
        } else if (w == "sa") {
            s.para.spaceAfterTwips = std::clamp(n, 0, 100000);
        } else if (w == "uc") {
            s.unicodeSkip = std::clamp(n, 0, 10);
        } else if (w == "u") {
            Unicode(n);
        } else if (w == "bullet") {
            Text(QString(QChar(0x2022)));
        } else if (w == "emdash") {
            Text(QString(QChar(0x2014)));
        } else if (w == "endash") {
            Text(QString(QChar(0x2013)));
        } else if (w == "lquote") {
            Text(QString(QChar(0x2018)));
        } else if (w == "rquote") {
            Text(QString(QChar(0x2019)));
        } else if (w == "ldblquote") {
            Text(QString(QChar(0x201C)));
        } else if (w == "rdblquote") {
            Text(QString(QChar(0x201D)));
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            Text(QStringLiteral(" "));
        }
    }

    void Unicode(int n) {
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
            Text(QString(QChar(static_cast<char16_t>(code))));
        }
        m_skipFallback = State().unicodeSkip;
    }

    void TextBytes(std::string_view bytes) {
        if (State().destination == Destination::ColourTable) {
            for (char c : bytes)
                if (c == ';') {
                    m_colours.push_back(m_pendingColour); // invalid: the automatic colour
                    m_pendingColour = QColor();
                }
            return;
        }
        if (State().destination == Destination::Skip)
            return;
        QString text;
        text.reserve(static_cast<qsizetype>(bytes.size()));
        for (char c : bytes) {
            if (m_skipFallback > 0) {
                --m_skipFallback;
                continue;
            }
            text += QChar(static_cast<char16_t>(data::Cp1252ToCodePoint(static_cast<unsigned char>(c))));
        }
        Text(text);
    }

    void Text(const QString& text) {
        const GroupState& s = State();
        if (s.destination != Destination::Text || text.isEmpty())
            return;
        m_skipFallback = 0;
        if (!m_pending.isEmpty() && !SameChars(s.chars, m_pendingChars))
            Flush();
        if (m_pending.isEmpty())
            m_pendingChars = s.chars;
        m_pending += text;
        m_para = s.para;
        m_paragraphHasText = true;
    }

    static bool SameChars(const CharState& a, const CharState& b) {
        return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
               a.halfPoints == b.halfPoints && a.colour == b.colour;
    }

    void Flush() {
        if (m_pending.isEmpty())
            return;
        QTextCharFormat format;
        format.setFontWeight(m_pendingChars.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(m_pendingChars.italic);
        format.setFontUnderline(m_pendingChars.underline);
        format.setFontPointSize(m_pendingChars.halfPoints / 2.0);
        const int colour = m_pendingChars.colour;
        if (colour > 0 && colour < static_cast<int>(m_colours.size()) &&
            m_colours[static_cast<std::size_t>(colour)].isValid())
            format.setForeground(m_colours[static_cast<std::size_t>(colour)]);
        ApplyParagraph(m_para);
        m_cursor.insertText(m_pending, format);
        m_pending.clear();
    }

    void ApplyParagraph(const ParaState& p) {
        // Twips (1/1440 inch) to pixels at 96 dpi.
        constexpr double PixelsPerTwip = 96.0 / 1440.0;
        QTextBlockFormat block;
        block.setAlignment(p.alignment);
        block.setLeftMargin(std::max(0, p.leftTwips) * PixelsPerTwip);
        block.setTextIndent(p.firstTwips * PixelsPerTwip);
        block.setTopMargin(p.spaceBeforeTwips * PixelsPerTwip);
        block.setBottomMargin(p.spaceAfterTwips * PixelsPerTwip);
        // A hanging indent (a list item): the tab after the bullet or number goes to the
        // left indent, where the wrapped lines begin.
        if (p.firstTwips < 0)
            block.setTabPositions({QTextOption::Tab(-p.firstTwips * PixelsPerTwip, QTextOption::LeftTab)});
        m_cursor.setBlockFormat(block);
    }

    void Paragraph() {
        if (State().destination != Destination::Text)
            return;
        Flush();
        if (!m_paragraphHasText)
            ApplyParagraph(State().para);
        m_cursor.insertBlock();
        m_paragraphHasText = false;
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    QTextCursor m_cursor;
    std::vector<GroupState> m_state;
    std::size_t m_depth = 0;
    bool m_groupStart = false;
    std::vector<QColor> m_colours;
    QColor m_pendingColour;
    QString m_pending;
    CharState m_pendingChars;
    ParaState m_para;
    bool m_paragraphHasText = false;
    int m_skipFallback = 0;
    char16_t m_highSurrogate = 0;
};

bool LooksLikeRtf(std::string_view bytes) {
    std::size_t i = 0;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\t'))
        ++i;
    return bytes.substr(i).starts_with("{\\rtf");
}

// Text a person could read: no NUL bytes and no control characters but tabs, line breaks
// and form feeds.
bool IsPlainText(std::string_view bytes) {
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 && c != '\t' && c != '\n' && c != '\r' && c != '\f')
            return false;
    }
    return true;
}

} // namespace

bool ReadRtf(std::string_view bytes, QTextDocument& document) {
    if (!LooksLikeRtf(bytes))
        return false;
    document.clear();
    RtfParser(bytes, document).Run();
    return true;
}

void LoadRichText(std::string_view bytes, QTextDocument& document) {
    if (ReadRtf(bytes, document))
        return;
    if (!IsPlainText(bytes))
        throw vexo::Error("Stream konnte nicht geladen werden");
    const std::string utf8 = data::IsValidUtf8(bytes) ? std::string(bytes) : data::Cp1252ToUtf8(bytes);
    document.setPlainText(QString::fromStdString(utf8));
}

} // namespace ui
