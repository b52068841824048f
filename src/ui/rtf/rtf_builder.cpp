#include "rtf_builder.h"

#include "rtf_numbering.h"

#include <QFontMetricsF>
#include <QTextBlockFormat>
#include <QTextDocument>

#include <algorithm>

namespace ui {
namespace {

constexpr double PixelsPerTwip = 96.0 / 1440.0;

bool SameChars(const CharState& a, const CharState& b) {
    return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline && a.strike == b.strike &&
           a.smallCaps == b.smallCaps && a.vertical == b.vertical && a.halfPoints == b.halfPoints &&
           a.colour == b.colour;
}

} // namespace

bool operator==(const ListDef& a, const ListDef& b) {
    return a.kind == b.kind && a.start == b.start && a.font == b.font && a.before == b.before &&
           a.after == b.after;
}

bool operator==(const ParaState& a, const ParaState& b) {
    return a.alignment == b.alignment && a.leftTwips == b.leftTwips && a.firstTwips == b.firstTwips &&
           a.spaceBeforeTwips == b.spaceBeforeTwips && a.spaceAfterTwips == b.spaceAfterTwips &&
           a.tableDepth == b.tableDepth && a.list == b.list;
}

void RtfBuilder::Text(const QString& typed, const GroupState& s) {
    if (typed.isEmpty() || s.chars.hidden || s.chars.deleted)
        return;
    const QString text = s.chars.caps ? typed.toUpper() : typed;
    if (s.destination == Destination::Footnote) {
        if (!m_footnotes.empty() && m_footnotes.back().paragraphs.size() < 1000 &&
            m_footnotes.back().paragraphs.back().size() < 100000)
            m_footnotes.back().paragraphs.back() += text;
        return;
    }
    const int depth = m_tables.EffectiveDepth(s.para.tableDepth);
    if (depth != m_tables.Depth() || (!m_pending.isEmpty() && !SameChars(s.chars, m_pendingChars))) {
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

// A paragraph of a legacy list: the number (or bullet) the list definition gives, counted
// on from the paragraph before; a paragraph that brought its own marker counts too.
void RtfBuilder::StartParagraphText(const GroupState& s) {
    const ListDef& list = s.para.list;
    if (list.kind == ListDef::None) {
        m_listCounter = 0;
        return;
    }
    m_listCounter = m_listCounter > 0 ? m_listCounter + 1 : list.start;
    if (m_paragraphHasListText)
        return;
    m_pendingChars = s.chars;
    m_pending += MarkerTab(s, ListMarker(list, m_listCounter) + QLatin1Char('\t'));
    m_paragraphHasText = true;
}

// The tab after a list item's marker goes to the hanging indent; a marker wider than that
// indent is followed by a blank instead, not by a jump to the next tab stop.
QString RtfBuilder::MarkerTab(const GroupState& s, QString text) {
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

QTextCharFormat RtfBuilder::FormatOf(const CharState& chars) const {
    QTextCharFormat format;
    format.setFontWeight(chars.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(chars.italic);
    format.setFontUnderline(chars.underline);
    format.setFontStrikeOut(chars.strike);
    format.setFontCapitalization(chars.smallCaps ? QFont::SmallCaps : QFont::MixedCase);
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

void RtfBuilder::Flush() {
    if (m_pending.isEmpty())
        return;
    if (!m_paraApplied)
        ApplyParagraph(m_para);
    m_cursor.insertText(m_pending, FormatOf(m_pendingChars));
    m_pending.clear();
    m_paragraphWritten = true;
}

void RtfBuilder::TableDepthChanged(const GroupState& s) {
    // Only words waiting to be written move; without any, the paragraph's first text finds
    // its table itself (\intbl is often followed by \itapN, which must not close a table).
    if (m_pending.isEmpty() || m_paragraphWritten || s.destination != Destination::Text ||
        m_tables.EffectiveDepth(s.para.tableDepth) == m_tables.Depth())
        return;
    m_tables.EnterDepth(s.para.tableDepth);
}

void RtfBuilder::EndParagraphInCell() {
    Flush();
    if (m_paragraphHasText && m_paraApplied && !(m_appliedPara == m_para))
        ApplyParagraph(m_para);
    ResetParagraph();
}

void RtfBuilder::ResetParagraph() {
    m_paraApplied = false;
    m_paragraphHasText = false;
    m_paragraphWritten = false;
    m_paragraphHasListText = false;
    m_marker.clear();
    m_markerDone = false;
}

void RtfBuilder::ApplyParagraph(const ParaState& p) {
    QTextBlockFormat block;
    block.setAlignment(p.alignment);
    block.setLeftMargin(std::max(0, p.leftTwips) * PixelsPerTwip);
    block.setTextIndent(p.firstTwips * PixelsPerTwip);
    block.setTopMargin(p.spaceBeforeTwips * PixelsPerTwip);
    block.setBottomMargin(p.spaceAfterTwips * PixelsPerTwip);
    // A hanging indent (a list item): the tab after the bullet or number goes to the left
    // indent, where the wrapped lines begin.
    if (p.firstTwips < 0)
        block.setTabPositions({QTextOption::Tab(-p.firstTwips * PixelsPerTwip, QTextOption::LeftTab)});
    m_cursor.setBlockFormat(block);
    m_paraApplied = true;
    m_appliedPara = p;
}

void RtfBuilder::Paragraph(const GroupState& s) {
    if (s.chars.hidden || s.chars.deleted)
        return;
    if (s.destination == Destination::Footnote) {
        if (!m_footnotes.empty() && m_footnotes.back().paragraphs.size() < 1000)
            m_footnotes.back().paragraphs << QString();
        return;
    }
    if (m_tables.EffectiveDepth(s.para.tableDepth) != m_tables.Depth() || m_pending.isEmpty()) {
        Flush();
        m_tables.EnterDepth(s.para.tableDepth);
    }
    Flush();
    // The paragraph's format is the one in force at its end.
    if (!m_paragraphHasText)
        m_para = s.para;
    if (!m_paraApplied || !(m_appliedPara == m_para))
        ApplyParagraph(m_para);
    m_cursor.insertBlock();
    ResetParagraph();
    if (s.para.list.kind == ListDef::None)
        m_listCounter = 0;
}

void RtfBuilder::BeginFootnote() {
    Flush();
    if (m_footnotes.size() < MaxFootnotes) {
        ++m_footnoteCount;
        m_footnotes.push_back({QStringList{QString()}, false, NoteNumber(false, m_footnoteCount)});
    }
}

QString RtfBuilder::NoteNumber(bool endnote, int n) const {
    switch (endnote ? m_endnoteNumbers : m_footnoteNumbers) {
    case NoteNumbers::LowerRoman:
        return RomanNumber(n, false);
    case NoteNumbers::UpperRoman:
        return RomanNumber(n, true);
    case NoteNumbers::LowerLetter:
        return LetterNumber(n, false);
    case NoteNumbers::UpperLetter:
        return LetterNumber(n, true);
    case NoteNumbers::Arabic:
        break;
    }
    return QString::number(n);
}

// The note's number, raised, where the text refers to it; inside the note the number is
// given at the end of the document. The mark is written as a footnote's; an endnote's
// (\ftnalt, which comes after the mark) is put in its place.
void RtfBuilder::FootnoteMark(GroupState& s) {
    if (s.destination != Destination::Text)
        return;
    const CharState saved = s.chars;
    s.chars.vertical = Vertical::Super;
    Flush();
    m_markStart = m_cursor.position();
    Text(NoteNumber(false, m_footnoteCount + 1), s);
    Flush();
    m_markEnd = m_cursor.position();
    s.chars = saved;
}

void RtfBuilder::MarkEndnote() {
    if (m_footnotes.empty() || m_footnotes.back().endnote)
        return;
    Note& note = m_footnotes.back();
    note.endnote = true;
    --m_footnoteCount;
    note.number = NoteNumber(true, ++m_endnoteCount);
    if (m_markStart >= 0 && m_markEnd > m_markStart) {
        QTextCursor mark(m_cursor.document());
        mark.setPosition(m_markStart + 1);
        const QTextCharFormat raised = mark.charFormat();
        mark.setPosition(m_markStart);
        mark.setPosition(m_markEnd, QTextCursor::KeepAnchor);
        mark.insertText(note.number, raised);
    }
    m_markStart = m_markEnd = -1;
}

void RtfBuilder::Finish() {
    Flush();
    m_tables.CloseAll();
    AppendFootnotes();
}

void RtfBuilder::AppendFootnotes() {
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
    // The footnotes, then the endnotes, each with its number before its first paragraph.
    for (const bool endnotes : {false, true})
        for (const Note& note : m_footnotes) {
            if (note.endnote != endnotes)
                continue;
            bool first = true;
            for (const QString& paragraph : note.paragraphs) {
                const QString text = paragraph.trimmed();
                if (text.isEmpty())
                    continue;
                m_cursor.insertBlock(QTextBlockFormat());
                if (first)
                    m_cursor.insertText(note.number, raised);
                m_cursor.insertText((first ? QStringLiteral(" ") : QString()) + text, plain);
                first = false;
            }
        }
}

} // namespace ui
