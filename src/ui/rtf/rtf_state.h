#pragma once
// What a group of rich text carries: the character formatting, the paragraph formatting
// with its legacy list definition, and where its text goes (the destination). Every group
// starts with a copy of its parent's and drops its own at its end.
#include <QString>
#include <Qt>

namespace ui {

enum class Vertical { Normal, Super, Sub };

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool caps = false;      // \caps: shown in capitals, whatever was typed
    bool smallCaps = false; // \scaps: small capitals
    bool hidden = false;    // \v: written for the author, not shown
    bool deleted = false;   // the text of a deleted revision
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
    ListTextAfter,
    ListText, // the number a writer put before a list item ({\listtext} or {\pntext})
    Object    // an embedded object: only its {\result} is text
};

struct GroupState {
    CharState chars;
    ParaState para;
    Destination destination = Destination::Text;
    int unicodeSkip = 1; // \uc
};

} // namespace ui
