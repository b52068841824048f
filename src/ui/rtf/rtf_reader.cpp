#include "rtf_reader.h"

#include "data/text_encoding.h"
#include "platform/errors.h"
#include "rtf_codepages.h"
#include "rtf_tables.h"

#include <QFontMetricsF>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <algorithm>
#include <map>
#include <vector>

namespace ui {
namespace {

constexpr std::size_t MaxGroupDepth = 200; // deeper groups share their parent's state
constexpr std::size_t MaxFonts = 1000;
constexpr std::size_t MaxFootnotes = 10000;
constexpr double PixelsPerTwip = 96.0 / 1440.0;

enum class Vertical { Normal, Super, Sub };

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;  // \v: written for the author, not shown
    bool deleted = false; // the text of a deleted revision
    Vertical vertical = Vertical::Normal;
    int halfPoints = 24; // \fs: 12 pt unless the document says otherwise
    int colour = 0;      // index into the colour table; 0 is the automatic colour
    int font = -1;       // \f; -1: the document's default font
};

// A legacy list definition (\pn): how the paragraphs that carry it are numbered.
struct ListDef {
    enum Kind { None, Numbers, UpperLetters, LowerLetters, UpperRoman, LowerRoman, Bullet } kind = None;
    int start = 1;
    int font = -1;  // \pnf: the font of the texts before and after
    QString before; // \pntxtb
    QString after;  // \pntxta
};

struct ParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0;
    int firstTwips = 0;
    int spaceBeforeTwips = 0;
    int spaceAfterTwips = 0;
    int tableDepth = 0; // \intbl is 1, \itapN is N
    ListDef list;
};

enum class Destination {
    Text,
    Skip,
    ColourTable,
    FontTable,
    Footnote,
    ListDefinition,
    ListTextBefore,
    ListTextAfter
};

struct GroupState {
    CharState chars;
    ParaState para;
    Destination destination = Destination::Text;
    int unicodeSkip = 1; // \uc
};

struct Font {
    int charset = 0;
    QString name;
};

// Destinations whose content is not part of the text. Tables of fonts and colours, lists
// and footnotes have destinations of their own.
bool IsSkippedDestination(std::string_view word) {
    static const char* const skipped[] = {"stylesheet",
                                          "info",
                                          "pict",
                                          "header",
                                          "headerl",
                                          "headerr",
                                          "headerf",
                                          "footer",
                                          "footerl",
                                          "footerr",
                                          "footerf",
                                          "listtable",
                                          "listoverridetable",
                                          "rsidtbl",
                                          "generator",
                                          "xmlnstbl",
                                          "themedata",
                                          "colorschememapping",
                                          "datastore",
                                          "latentstyles",
                                          "pgdsctbl",
                                          "object",
                                          "fldinst",
                                          "filetbl",
                                          "revtbl",
                                          "bkmkstart",
                                          "bkmkend",
                                          "ftnsep",
                                          "ftnsepc",
                                          "aftnsep",
                                          "aftnsepc",
                                          "template",
                                          "userprops",
                                          "mmathPr",
                                          "wgrffmtfilter",
                                          "docvar",
                                          "nonshppict",
                                          "shp",
                                          "shpinst",
                                          "sp",
                                          "sn",
                                          "sv",
                                          "objdata",
                                          "comment",
                                          "annotation",
                                          "atnid",
                                          "atnauthor",
                                          "atrfstart",
                                          "atrfend",
                                          "passwordhash",
                                          "nonesttables"};
    for (const char* s : skipped)
        if (word == s)
            return true;
    return false;
}

QString RomanNumber(int n, bool upper) {
    static const std::pair<int, const char*> parts[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString text;
    n = std::clamp(n, 1, 3999);
    for (const auto& [value, letters] : parts)
        while (n >= value) {
            text += QString::fromLatin1(letters);
            n -= value;
        }
    return upper ? text.toUpper() : text;
}

QString LetterNumber(int n, bool upper) {
    n = std::max(n, 1);
    QString text;
    while (n > 0) {
        --n;
        text.prepend(QChar(static_cast<char16_t>((upper ? 'A' : 'a') + n % 26)));
        n /= 26;
    }
    return text;
}

class RtfParser {
public:
    RtfParser(std::string_view bytes, QTextDocument& document)
        : m_in(bytes), m_document(document), m_cursor(&document), m_tables(m_cursor) {
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
                if (m_optionalPending) // "\*" followed by text: a destination nobody knows
                    State().destination = Destination::Skip;
                m_optionalPending = false;
                TextBytes(m_in.substr(start, m_pos - start));
                m_groupStart = false; // a destination word only counts first in its group
            }
        }
        Flush();
        m_tables.CloseAll();
        AppendFootnotes();
    }

private:
    GroupState& State() { return m_state.back(); }

    // ----- groups -----

    void OpenGroup() {
        ++m_depth;
        if (m_state.size() < MaxGroupDepth)
            m_state.push_back(State());
        m_groupStart = true;
        m_optionalPending = false;
    }

    void CloseGroup() {
        if (m_depth == 0)
            return; // an unbalanced closing brace changes nothing
        if (State().destination == Destination::FontTable)
            EndFontEntry();
        const bool endsListDefinition = m_listGroupDepth == m_depth;
        --m_depth;
        Flush();
        if (m_state.size() > m_depth + 1) // this group had a state of its own
            m_state.pop_back();
        if (endsListDefinition) {
            // A list definition is a property of the paragraph around it.
            m_listGroupDepth = 0;
            State().para.list = m_listDef;
        }
        m_groupStart = false;
        m_optionalPending = false;
    }

    // ----- control words and symbols -----

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
            if (m_optionalPending && c != '*')
                State().destination = Destination::Skip;
            m_optionalPending = false;
            ControlSymbol(c);
            if (c != '*')
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
        const bool optional = m_optionalPending;
        m_groupStart = false;
        m_optionalPending = false;
        if (word == "bin") {
            // Binary data: the next N bytes are no text, whatever they hold (braces too).
            if (hasNumber && number > 0)
                m_pos += std::min<std::size_t>(static_cast<std::size_t>(number), m_in.size() - m_pos);
            return;
        }
        if (optional && !OptionalDestinationKnown(word)) {
            State().destination = Destination::Skip;
            return;
        }
        ControlWord(word, hasNumber, number, groupStart);
    }

    // "\*" destinations read here; every other one a reader may ignore, and this one does.
    static bool OptionalDestinationKnown(std::string_view word) {
        return word == "nesttableprops" || word == "pn" || word == "footnote";
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
            m_optionalPending = true; // the next word decides whether the group is read
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
                    const char byte = static_cast<char>(hi * 16 + lo);
                    TextBytes(std::string_view(&byte, 1));
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
        if (w == "fonttbl") {
            s.destination = Destination::FontTable;
            return;
        }
        if (w == "footnote" && s.destination == Destination::Text) {
            Flush();
            s.destination = Destination::Footnote;
            if (m_footnotes.size() < MaxFootnotes)
                m_footnotes.emplace_back();
            return;
        }
        if (w == "pn" && s.destination == Destination::Text) {
            s.destination = Destination::ListDefinition;
            m_listDef = ListDef{};
            m_listDef.kind = ListDef::Numbers;
            m_listGroupDepth = m_depth;
            return;
        }
        if (groupStart && IsSkippedDestination(w)) {
            s.destination = Destination::Skip;
            return;
        }
        switch (s.destination) {
        case Destination::ColourTable:
            ColourWord(w, n);
            return;
        case Destination::FontTable:
            FontWord(w, hasNumber, n);
            return;
        case Destination::ListDefinition:
            ListWord(w, hasNumber, n);
            return;
        case Destination::Skip:
        case Destination::ListTextBefore:
        case Destination::ListTextAfter:
            return;
        case Destination::Text:
        case Destination::Footnote:
            break;
        }
        if ((w == "pntext" || w == "listtext") && groupStart)
            m_paragraphHasListText = true; // the writer put the item's number in itself
        FormattingWord(s, w, hasNumber, n);
    }

    void FormattingWord(GroupState& s, std::string_view w, bool hasNumber, int n) {
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
        } else if (w == "strike" || w == "striked") {
            s.chars.strike = on;
        } else if (w == "v") {
            s.chars.hidden = on;
        } else if (w == "deleted") {
            s.chars.deleted = on;
        } else if (w == "super") {
            s.chars.vertical = on ? Vertical::Super : Vertical::Normal;
        } else if (w == "sub") {
            s.chars.vertical = on ? Vertical::Sub : Vertical::Normal;
        } else if (w == "nosupersub") {
            s.chars.vertical = Vertical::Normal;
        } else if (w == "up") {
            s.chars.vertical = !hasNumber || n > 0 ? Vertical::Super : Vertical::Normal;
        } else if (w == "dn") {
            s.chars.vertical = !hasNumber || n > 0 ? Vertical::Sub : Vertical::Normal;
        } else if (w == "fs") {
            s.chars.halfPoints = hasNumber ? std::clamp(n, 2, 3200) : 24;
        } else if (w == "cf") {
            s.chars.colour = std::max(0, n);
        } else if (w == "f") {
            s.chars.font = hasNumber ? n : -1;
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
        } else if (w == "intbl") {
            s.para.tableDepth = std::max(s.para.tableDepth, 1);
        } else if (w == "itap") {
            s.para.tableDepth = std::clamp(n, 0, 16);
        } else if (w == "trowd") {
            m_tables.BeginRowDefinition();
        } else if (w == "cellx") {
            m_tables.CellEdge(n);
        } else if (w == "cell") {
            if (s.destination == Destination::Text) {
                Flush();
                m_tables.EndCell(1);
                m_paragraphHasText = false;
            } else {
                Text(QStringLiteral(" "));
            }
        } else if (w == "nestcell") {
            if (s.destination == Destination::Text) {
                Flush();
                m_tables.EndCell(std::max(s.para.tableDepth, 2));
                m_paragraphHasText = false;
            }
        } else if (w == "row") {
            if (s.destination == Destination::Text) {
                Flush();
                m_tables.EndRow(1);
            }
        } else if (w == "nestrow") {
            if (s.destination == Destination::Text) {
                Flush();
                m_tables.EndRow(std::max(s.para.tableDepth, 2));
            }
        } else if (w == "chftn") {
            FootnoteMark();
        } else if (w == "uc") {
            s.unicodeSkip = std::clamp(n, 0, 10);
        } else if (w == "u") {
            Unicode(n);
        } else if (w == "ansicpg") {
            m_codePage = n;
        } else if (w == "deff") {
            m_defaultFont = n;
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

    // ----- tables of colours and fonts, list definitions -----

    void ColourWord(std::string_view w, int n) {
        if (!m_pendingColour.isValid())
            m_pendingColour = QColor(0, 0, 0);
        const int v = std::clamp(n, 0, 255);
        if (w == "red")
            m_pendingColour.setRed(v);
        else if (w == "green")
            m_pendingColour.setGreen(v);
        else if (w == "blue")
            m_pendingColour.setBlue(v);
    }

    void FontWord(std::string_view w, bool hasNumber, int n) {
        if (w == "f" && hasNumber) {
            EndFontEntry();
            m_fontNumber = n;
            m_fontEntry = Font{};
        } else if (w == "fcharset") {
            m_fontEntry.charset = n;
        }
    }

    void EndFontEntry() {
        if (m_fontNumber == NoFont)
            return;
        QString name = m_fontEntry.name.trimmed();
        if (name.endsWith(QLatin1Char(';')))
            name.chop(1);
        m_fontEntry.name = name;
        if (m_fonts.size() < MaxFonts || m_fonts.count(m_fontNumber))
            m_fonts[m_fontNumber] = m_fontEntry;
        m_fontNumber = NoFont;
    }

    void ListWord(std::string_view w, bool hasNumber, int n) {
        if (w == "pndec")
            m_listDef.kind = ListDef::Numbers;
        else if (w == "pnucltr")
            m_listDef.kind = ListDef::UpperLetters;
        else if (w == "pnlcltr")
            m_listDef.kind = ListDef::LowerLetters;
        else if (w == "pnucrm")
            m_listDef.kind = ListDef::UpperRoman;
        else if (w == "pnlcrm")
            m_listDef.kind = ListDef::LowerRoman;
        else if (w == "pnlvlblt")
            m_listDef.kind = ListDef::Bullet;
        else if (w == "pnlvlcont")
            m_listDef.kind = ListDef::None; // continues an item: no number of its own
        else if (w == "pnf" && hasNumber)
            m_listDef.font = n;
        else if (w == "pnstart" && hasNumber)
            m_listDef.start = std::clamp(n, 0, 1000000);
        else if (w == "pntxtb")
            State().destination = Destination::ListTextBefore;
        else if (w == "pntxta")
            State().destination = Destination::ListTextAfter;
    }

    // ----- characters -----

    // How the bytes of the current font read: its character set, or a symbol font.
    std::pair<int, FontKind> EncodingOf(int fontNumber) const {
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
        switch (State().destination) {
        case Destination::ColourTable:
            for (char c : bytes)
                if (c == ';') {
                    m_colours.push_back(m_pendingColour); // invalid: the automatic colour
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
        case Destination::ListDefinition:
            return;
        case Destination::Text:
        case Destination::Footnote:
            break;
        }
        Text(Decode(bytes));
    }

    // The bytes in the encoding of a font (by default the current one).
    QString Decode(std::string_view bytes, int fontNumber = -1) {
        const auto [codePage, kind] = EncodingOf(fontNumber >= 0 ? fontNumber : State().chars.font);
        QString text;
        text.reserve(static_cast<qsizetype>(bytes.size()));
        for (char c : bytes) {
            if (m_skipFallback > 0) {
                --m_skipFallback;
                continue;
            }
            const char32_t code = ByteToCodePoint(static_cast<unsigned char>(c), codePage, kind);
            text += QChar(static_cast<char16_t>(code));
        }
        return text;
    }

    // ----- text -----

    void Text(const QString& text) {
        GroupState& s = State();
        if (text.isEmpty())
            return;
        m_skipFallback = 0;
        if (s.destination == Destination::Footnote) {
            if (!m_footnotes.empty() && m_footnotes.back().size() < 100000 && !s.chars.hidden &&
                !s.chars.deleted)
                m_footnotes.back() += text;
            return;
        }
        if (s.destination != Destination::Text || s.chars.hidden || s.chars.deleted)
            return;
        if (s.para.tableDepth != m_tables.Depth() ||
            (!m_pending.isEmpty() && !SameChars(s.chars, m_pendingChars))) {
            Flush();
            m_tables.EnterDepth(s.para.tableDepth);
        } else if (m_pending.isEmpty()) {
            m_tables.EnterDepth(s.para.tableDepth);
        }
        if (!m_paragraphHasText)
            StartParagraphText(s);
        if (m_pending.isEmpty())
            m_pendingChars = s.chars;
        m_pending += MarkerTab(s, text);
        m_para = s.para;
        m_paragraphHasText = true;
    }

    // A paragraph of a legacy list whose writer did not put the number in: the number (or
    // bullet) the list definition gives, counted on from the paragraph before.
    void StartParagraphText(const GroupState& s) {
        const ListDef& list = s.para.list;
        if (list.kind == ListDef::None || m_paragraphHasListText) {
            m_listCounter = list.kind == ListDef::None ? 0 : m_listCounter;
            return;
        }
        m_listCounter = m_listCounter > 0 ? m_listCounter + 1 : list.start;
        QString number;
        switch (list.kind) {
        case ListDef::Numbers:
            number = QString::number(m_listCounter);
            break;
        case ListDef::UpperLetters:
        case ListDef::LowerLetters:
            number = LetterNumber(m_listCounter, list.kind == ListDef::UpperLetters);
            break;
        case ListDef::UpperRoman:
        case ListDef::LowerRoman:
            number = RomanNumber(m_listCounter, list.kind == ListDef::UpperRoman);
            break;
        case ListDef::Bullet:
        case ListDef::None:
            break;
        }
        const QString marker = list.before + number + list.after;
        m_pendingChars = s.chars;
        m_pending += MarkerTab(s, (marker.isEmpty() ? QString(QChar(0x2022)) : marker) + QLatin1Char('\t'));
        m_paragraphHasText = true;
    }

    // The tab after a list item's marker goes to the hanging indent; a marker wider than
    // that indent is followed by a blank instead, not by a jump to the next tab stop.
    QString MarkerTab(const GroupState& s, QString text) {
        if (m_markerDone || s.para.firstTwips >= 0) {
            m_markerDone = true;
            return text;
        }
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        if (tab < 0) {
            if (m_marker.size() < 100)
                m_marker += text;
            return text;
        }
        m_markerDone = true;
        QFont font;
        font.setPointSizeF(s.chars.halfPoints / 2.0);
        font.setBold(s.chars.bold);
        const double width = QFontMetricsF(font).horizontalAdvance(m_marker + text.left(tab));
        if (width >= -s.para.firstTwips * PixelsPerTwip)
            text[tab] = QLatin1Char(' ');
        return text;
    }

    static bool SameChars(const CharState& a, const CharState& b) {
        return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
               a.strike == b.strike && a.vertical == b.vertical && a.halfPoints == b.halfPoints &&
               a.colour == b.colour;
    }

    QTextCharFormat FormatOf(const CharState& chars) const {
        QTextCharFormat format;
        format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(chars.italic);
        format.setFontUnderline(chars.underline);
        format.setFontStrikeOut(chars.strike);
        format.setVerticalAlignment(chars.vertical == Vertical::Super ? QTextCharFormat::AlignSuperScript
                                    : chars.vertical == Vertical::Sub ? QTextCharFormat::AlignSubScript
                                                                      : QTextCharFormat::AlignNormal);
        format.setFontPointSize(chars.halfPoints / 2.0);
        const int colour = chars.colour;
        if (colour > 0 && colour < static_cast<int>(m_colours.size()) &&
            m_colours[static_cast<std::size_t>(colour)].isValid())
            format.setForeground(m_colours[static_cast<std::size_t>(colour)]);
        return format;
    }

    void Flush() {
        if (m_pending.isEmpty())
            return;
        ApplyParagraph(m_para);
        m_cursor.insertText(m_pending, FormatOf(m_pendingChars));
        m_pending.clear();
    }

    void ApplyParagraph(const ParaState& p) {
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
        GroupState& s = State();
        if (s.destination == Destination::Footnote) {
            if (!m_footnotes.empty() && !m_footnotes.back().isEmpty() &&
                !m_footnotes.back().endsWith(QLatin1Char(' ')))
                m_footnotes.back() += QLatin1Char(' ');
            return;
        }
        if (s.destination != Destination::Text || s.chars.hidden || s.chars.deleted)
            return;
        if (s.para.tableDepth != m_tables.Depth() || m_pending.isEmpty()) {
            Flush();
            m_tables.EnterDepth(s.para.tableDepth);
        }
        Flush();
        if (!m_paragraphHasText)
            ApplyParagraph(s.para);
        m_cursor.insertBlock();
        m_paragraphHasText = false;
        m_paragraphHasListText = false;
        m_marker.clear();
        m_markerDone = false;
        if (s.para.list.kind == ListDef::None)
            m_listCounter = 0;
    }

    // ----- footnotes -----

    // The footnote's number, raised, where the text refers to it; inside the footnote the
    // number is given at the end of the document.
    void FootnoteMark() {
        GroupState& s = State();
        if (s.destination != Destination::Text)
            return;
        const CharState saved = s.chars;
        s.chars.vertical = Vertical::Super;
        Text(QString::number(m_footnotes.size() + 1));
        s.chars = saved;
    }

    void AppendFootnotes() {
        if (m_footnotes.empty())
            return;
        m_cursor.movePosition(QTextCursor::End);
        QTextBlockFormat rule;
        rule.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                         QTextLength(QTextLength::PercentageLength, 30));
        rule.setTopMargin(12);
        m_cursor.insertBlock(rule);
        QTextCharFormat plain;
        plain.setFontPointSize(10);
        QTextCharFormat raised = plain;
        raised.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        for (std::size_t i = 0; i < m_footnotes.size(); ++i) {
            m_cursor.insertBlock(QTextBlockFormat());
            m_cursor.insertText(QString::number(i + 1), raised);
            m_cursor.insertText(QLatin1Char(' ') + m_footnotes[i].trimmed(), plain);
        }
    }

    static constexpr int NoFont = -2147483647 - 1;

    std::string_view m_in;
    std::size_t m_pos = 0;
    QTextDocument& m_document;
    QTextCursor m_cursor;
    RtfTables m_tables;
    std::vector<GroupState> m_state;
    std::size_t m_depth = 0;
    bool m_groupStart = false;
    bool m_optionalPending = false;
    std::vector<QColor> m_colours;
    QColor m_pendingColour;
    std::map<int, Font> m_fonts;
    int m_fontNumber = NoFont;
    Font m_fontEntry;
    int m_defaultFont = 0;
    int m_codePage = 1252;
    ListDef m_listDef;
    std::size_t m_listGroupDepth = 0;
    int m_listCounter = 0;
    bool m_paragraphHasListText = false;
    QString m_marker;
    bool m_markerDone = false;
    std::vector<QString> m_footnotes;
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
