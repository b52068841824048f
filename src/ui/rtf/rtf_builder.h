#pragma once
// The writing side of the RTF reader: text, paragraphs, list markers, tables and footnotes
// go into a QTextDocument as the parser finds them. Runs of text with the same formatting
// are gathered and written at once; a paragraph's format is set once, when its first text
// is written, and again only if it changed by the paragraph's end, so that the work stays
// linear in the text however many runs a paragraph has.
#include "rtf_state.h"
#include "rtf_tables.h"

#include <QColor>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>

#include <vector>

class QTextDocument;

namespace ui {

class RtfBuilder {
public:
    explicit RtfBuilder(QTextDocument& document) : m_cursor(&document), m_tables(m_cursor) {}

    RtfTables& Tables() { return m_tables; }
    std::vector<QColor>& Colours() { return m_colours; }

    // Text in the state of its group (the group's destination is Text or Footnote).
    void Text(const QString& text, const GroupState& s);
    // The end of a paragraph (\par).
    void Paragraph(const GroupState& s);
    // Writes the gathered run.
    void Flush();
    // A cell ends (\cell, \nestcell): its last paragraph ends with it, without a paragraph
    // mark of its own.
    void EndParagraphInCell();
    // A paragraph that carries its own list marker ({\listtext}, {\pntext}): the number is
    // the writer's, the count goes on.
    void ListTextGiven() { m_paragraphHasListText = true; }
    // A list definition (\pn) for the paragraph under way: an item that brought its own
    // marker before it starts the count.
    void ListDefined(const ListDef& list) {
        if (m_paragraphHasListText && m_listCounter == 0 && list.kind != ListDef::None)
            m_listCounter = list.start;
    }

    // Footnotes: a new one begins (\footnote); its mark in the text (\chftn); the note is an
    // endnote (\ftnalt), counted apart and shown after the footnotes.
    void BeginFootnote();
    void FootnoteMark(GroupState& s);
    void MarkEndnote();
    // How footnotes and endnotes are numbered (\ftnnar, \aftnnrlc ...).
    enum class NoteNumbers { Arabic, LowerRoman, UpperRoman, LowerLetter, UpperLetter };
    void SetNoteNumbers(bool endnotes, NoteNumbers numbers) {
        (endnotes ? m_endnoteNumbers : m_footnoteNumbers) = numbers;
    }

    // \intbl or \itap after a paragraph's first words: the paragraph belongs to the table,
    // words and all, as long as none of them has been written yet.
    void TableDepthChanged(const GroupState& s);

    // The end of the document: tables closed, footnotes below a rule.
    void Finish();

    static constexpr std::size_t MaxFootnotes = 10000;

private:
    void StartParagraphText(const GroupState& s);
    QString MarkerTab(const GroupState& s, QString text);
    QTextCharFormat FormatOf(const CharState& chars) const;
    void ApplyParagraph(const ParaState& p);
    void ResetParagraph();
    void AppendFootnotes();

    QTextCursor m_cursor;
    RtfTables m_tables;
    std::vector<QColor> m_colours;
    QString m_pending;
    CharState m_pendingChars;
    ParaState m_para;           // the paragraph's format as its text was written
    bool m_paraApplied = false; // the block format has been set for this paragraph
    ParaState m_appliedPara;    // ... to this
    bool m_paragraphHasText = false;
    bool m_paragraphWritten = false; // some of the paragraph's text is in the document
    bool m_paragraphHasListText = false;
    int m_listCounter = 0;
    QString m_marker;
    bool m_markerDone = false;
    struct Note {
        QStringList paragraphs;
        bool endnote = false;
        QString number;
    };
    QString NoteNumber(bool endnote, int n) const;
    std::vector<Note> m_footnotes; // each note's paragraphs, in the order of the text
    int m_footnoteCount = 0, m_endnoteCount = 0;
    NoteNumbers m_footnoteNumbers = NoteNumbers::Arabic, m_endnoteNumbers = NoteNumbers::Arabic;
    int m_markStart = -1, m_markEnd = -1; // the last mark in the document
};

bool operator==(const ListDef& a, const ListDef& b);
bool operator==(const ParaState& a, const ParaState& b);

} // namespace ui
