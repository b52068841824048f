#include "rtf_parser.h"

#include "rtf_destinations.h"

#include <algorithm>
#include <optional>

namespace ui {
namespace {

// The document's numbering of footnotes (\ftnn...) and endnotes (\aftnn...).
struct NoteNumberingWord {
    bool endnotes;
    RtfBuilder::NoteNumbers numbers;
};
std::optional<NoteNumberingWord> NoteNumbering(std::string_view w) {
    const bool endnotes = w.starts_with("aftnn");
    if (!endnotes && !w.starts_with("ftnn"))
        return std::nullopt;
    const std::string_view kind = w.substr(endnotes ? 5 : 4);
    using N = RtfBuilder::NoteNumbers;
    if (kind == "ar")
        return NoteNumberingWord{endnotes, N::Arabic};
    if (kind == "rlc")
        return NoteNumberingWord{endnotes, N::LowerRoman};
    if (kind == "ruc")
        return NoteNumberingWord{endnotes, N::UpperRoman};
    if (kind == "alc")
        return NoteNumberingWord{endnotes, N::LowerLetter};
    if (kind == "auc")
        return NoteNumberingWord{endnotes, N::UpperLetter};
    return std::nullopt;
}

} // namespace

RtfParser::RtfParser(std::string_view bytes, QTextDocument& document)
    : m_in(bytes), m_builder(document), m_editBlock(&document) {
    m_state.push_back(GroupState{});
    // No undo of a text being read, and no layout of each piece as it arrives: both would
    // make the work grow with the square of a paragraph's length.
    document.setUndoRedoEnabled(false);
    m_editBlock.beginEditBlock();
}

RtfParser::~RtfParser() {
    if (!m_finished)
        m_editBlock.endEditBlock();
}

bool RtfParser::Step(std::size_t bytes) {
    if (m_finished)
        return true;
    const std::size_t until = m_pos + std::min(bytes, m_in.size() - m_pos);
    while (m_pos < until) {
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
            while (m_pos < m_in.size() && m_in[m_pos] != '{' && m_in[m_pos] != '}' && m_in[m_pos] != '\\' &&
                   m_in[m_pos] != '\r' && m_in[m_pos] != '\n' && m_in[m_pos] != '\0')
                ++m_pos;
            if (m_optionalPending) // "\*" followed by text: a destination nobody knows
                State().destination = Destination::Skip;
            m_optionalPending = false;
            TextBytes(m_in.substr(start, m_pos - start));
            m_groupStart = false; // a destination word only counts first in its group
        }
    }
    if (m_pos < m_in.size())
        return false;
    m_builder.Finish();
    m_finished = true;
    m_editBlock.endEditBlock();
    return true;
}

// ----- groups -----

void RtfParser::OpenGroup() {
    ++m_depth;
    if (m_state.size() < MaxGroupDepth)
        m_state.push_back(State());
    m_groupStart = true;
    m_optionalPending = false;
    m_skipFallback = 0; // a brace ends the fallback of \uN
    m_doubleByte.Reset();
}

void RtfParser::CloseGroup() {
    m_doubleByte.Reset();
    if (m_depth == 0)
        return; // an unbalanced closing brace changes nothing
    if (State().destination == Destination::FontTable)
        EndFontEntry();
    const bool endsListDefinition = m_listGroupDepth == m_depth;
    if (m_listTextDepth == m_depth) {
        // A marker of blanks and tabs only (a heading's empty number) shows nothing.
        m_listTextDepth = 0;
        GroupState state = State();
        state.destination = Destination::Text;
        // The marker is the paragraph's around the group: a \pard inside it (as Word and
        // LibreOffice write) does not take the marker out of the table cell it stands in.
        if (m_state.size() > m_depth)
            state.para = m_state[m_state.size() - 2].para;
        m_builder.ListTextGiven();
        qsizetype lead = 0; // blanks before the marker are the writer's, not the list's
        while (lead < m_listText.size() && m_listText[lead] == QLatin1Char(' '))
            ++lead;
        if (!m_listText.trimmed().isEmpty())
            m_builder.Text(m_listText.mid(lead), state);
        m_listText.clear();
    }
    --m_depth;
    m_builder.Flush();
    if (m_depth == 0) {
        // The document's own group has ended: whatever follows is not part of it (a writer's
        // trailing bytes, a second document pasted behind).
        m_pos = m_in.size();
    }
    if (m_state.size() > m_depth + 1) // this group had a state of its own
        m_state.pop_back();
    if (endsListDefinition) {
        // A list definition is a property of the paragraph around it.
        m_listGroupDepth = 0;
        State().para.list = m_listDef;
        m_builder.ListDefined(m_listDef);
    }
    m_groupStart = false;
    m_optionalPending = false;
    m_skipFallback = 0;
}

// ----- control words and symbols -----

int RtfParser::ReadNumber(bool& present) {
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

void RtfParser::ControlSymbolOrWord() {
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
    if (m_skipFallback > 0 && word != "u") {
        --m_skipFallback; // a control word standing in for the character of \uN
        return;
    }
    if (optional && !IsKnownOptionalDestination(word)) {
        State().destination = Destination::Skip;
        return;
    }
    ControlWord(word, hasNumber, number, groupStart);
}

void RtfParser::ControlSymbol(char c) {
    if (m_skipFallback > 0 && c != '*' && c != '\r' && c != '\n') {
        --m_skipFallback; // "\'hh" or a symbol standing in for the character of \uN
        if (c == '\'' && m_pos + 2 <= m_in.size())
            m_pos += 2;
        return;
    }
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

void RtfParser::ControlWord(std::string_view w, bool hasNumber, int n, bool groupStart) {
    GroupState& s = State();
    if (w == "colortbl") {
        s.destination = Destination::ColourTable;
        m_builder.Colours().clear();
        m_pendingColour = QColor();
        return;
    }
    if (w == "fonttbl") {
        s.destination = Destination::FontTable;
        return;
    }
    if (w == "footnote" && s.destination == Destination::Text) {
        m_builder.BeginFootnote();
        s.destination = Destination::Footnote;
        return;
    }
    if (w == "pn" && s.destination == Destination::Text) {
        s.destination = Destination::ListDefinition;
        m_listDef = ListDef{};
        m_listDef.kind = ListDef::Numbers;
        m_listGroupDepth = m_depth;
        return;
    }
    if ((w == "listtext" || w == "pntext") && groupStart && s.destination == Destination::Text &&
        m_listTextDepth == 0) {
        s.destination = Destination::ListText; // the writer put the item's marker in itself
        m_listTextDepth = m_depth;
        m_listText.clear();
        return;
    }
    if (w == "object" && groupStart && s.destination == Destination::Text) {
        s.destination = Destination::Object; // the object's data is no text, its result is
        return;
    }
    if (w == "result" && groupStart && s.destination == Destination::Object) {
        s.destination = Destination::Text;
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
    case Destination::Object:
    case Destination::ListTextBefore:
    case Destination::ListTextAfter:
        return;
    case Destination::Text:
    case Destination::Footnote:
    case Destination::ListText:
        break;
    }
    FormattingWord(s, w, hasNumber, n);
}

void RtfParser::FormattingWord(GroupState& s, std::string_view w, bool hasNumber, int n) {
    const bool on = !hasNumber || n != 0;
    RtfTables& tables = m_builder.Tables();
    const bool inText = s.destination == Destination::Text;
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
    } else if (w == "caps") {
        s.chars.caps = on;
    } else if (w == "scaps") {
        s.chars.smallCaps = on;
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
        if (inText)
            m_builder.TableDepthChanged(s);
    } else if (w == "itap") {
        s.para.tableDepth = std::clamp(n, 0, RtfTables::MaxDepth);
        if (inText)
            m_builder.TableDepthChanged(s);
    } else if (w == "trowd") {
        tables.BeginRowDefinition();
    } else if (w == "clvmrg") {
        tables.CellContinuesAbove();
    } else if (w == "clmrg") {
        tables.CellContinuesLeft();
    } else if (w == "cellx") {
        tables.CellEdge(n);
    } else if (w == "cell") {
        if (inText) {
            m_builder.EndParagraphInCell();
            tables.EndCell(1);
        } else {
            Text(QStringLiteral(" "));
        }
    } else if (w == "nestcell") {
        if (inText) {
            m_builder.EndParagraphInCell();
            tables.EndCell(std::max(s.para.tableDepth, 2));
        }
    } else if (w == "row") {
        if (inText) {
            m_builder.Flush();
            tables.EndRow(1);
        }
    } else if (w == "nestrow") {
        if (inText) {
            m_builder.Flush();
            tables.EndRow(std::max(s.para.tableDepth, 2));
        }
    } else if (w == "chftn") {
        m_builder.FootnoteMark(s);
    } else if (w == "ftnalt") {
        if (s.destination == Destination::Footnote)
            m_builder.MarkEndnote();
    } else if (const auto numbering = NoteNumbering(w)) {
        m_builder.SetNoteNumbers(numbering->endnotes, numbering->numbers);
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

void RtfParser::ColourWord(std::string_view w, int n) {
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

void RtfParser::FontWord(std::string_view w, bool hasNumber, int n) {
    if (w == "f" && hasNumber) {
        EndFontEntry();
        m_fontNumber = n;
        m_fontEntry = Font{};
    } else if (w == "fcharset") {
        m_fontEntry.charset = n;
    }
}

void RtfParser::EndFontEntry() {
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

void RtfParser::ListWord(std::string_view w, bool hasNumber, int n) {
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

} // namespace ui
