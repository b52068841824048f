// The RTF reader on small fixtures, on documents written by LibreOffice and pandoc, and on
// input that is broken, binary, truncated or hostile.
#include "platform/errors.h"
#include "ui/rtf/rtf_reader.h"
#include "ui/rtf/rtf_tables.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtTest>

namespace {

QByteArray Fixture(const char* name) {
    QFile f(QStringLiteral(VEXO_FIXTURES "/%1").arg(QLatin1String(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string_view View(const QByteArray& b) {
    return {b.constData(), std::size_t(b.size())};
}

// The character format at the first occurrence of `word`.
QTextCharFormat FormatOf(QTextDocument& doc, const QString& word) {
    const QTextCursor found = doc.find(word);
    if (found.isNull())
        return {};
    QTextCursor at(&doc);
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

QList<QTextTable*> TablesIn(QTextFrame* frame) {
    QList<QTextTable*> tables;
    for (QTextFrame* child : frame->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(child))
            tables << table;
    return tables;
}

QString CellText(QTextTable* table, int row, int column) {
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText();
}

QTextDocument* Read(const QByteArray& rtf, QTextDocument& doc) {
    ui::LoadRichText(View(rtf), doc);
    return &doc;
}

Qt::Alignment AlignmentOf(QTextDocument& doc, const QString& word) {
    return doc.find(word).block().blockFormat().alignment();
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT
private slots:
    void text_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("paragraphs and lines")
            << QByteArray("{\\rtf1 eins\\par zwei\\line drei}") << "eins\nzwei\ndrei";
        QTest::newRow("tables and info are skipped")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
                          "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Titel}{\\author A}}"
                          "{\\*\\generator Irgendwas;}Text}")
            << "Text";
        QTest::newRow("picture data is skipped")
            << QByteArray("{\\rtf1 vor{\\pict\\pngblip\\picw10 89504e470d0a1a0a}nach}") << "vornach";
        QTest::newRow("unknown starred destination")
            << QByteArray("{\\rtf1 a{\\*\\unbekannt {x}y}b}") << "ab";
        QTest::newRow("field shows its result")
            << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt Link}}}") << "Link";
        QTest::newRow("cp1252 escapes")
            << QByteArray("{\\rtf1 \\'fc\\'df\\'80\\'84}") << QString::fromUtf8("üß€„");
        QTest::newRow("raw 8-bit bytes") << QByteArray("{\\rtf1 Gr\xfc\xdf"
                                                       "e}")
                                         << QString::fromUtf8("Grüße");
        QTest::newRow("unicode with fallback")
            << QByteArray("{\\rtf1 \\u252?ber}") << QString::fromUtf8("über");
        QTest::newRow("uc2 skips two") << QByteArray("{\\rtf1\\uc2 \\u8364 EU!}") << QString::fromUtf8("€!");
        QTest::newRow("uc0 skips none") << QByteArray("{\\rtf1\\uc0 \\u228 x}") << QString::fromUtf8("äx");
        QTest::newRow("fallback as escape")
            << QByteArray("{\\rtf1 \\u8226\\'95 Punkt}") << QString::fromUtf8("• Punkt");
        QTest::newRow("negative unicode: the Symbol bullet")
            << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}\\f1\\u-3913?}")
            << QString(QChar(0x2022));
        QTest::newRow("surrogate pair")
            << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QString::fromUtf8("😀");
        QTest::newRow("huge unicode")
            << QByteArray("{\\rtf1 a\\u99999999999999999999?b}") << QString::fromUtf8("a\uFFFDb");
        QTest::newRow("escaped braces and backslash") << QByteArray("{\\rtf1 \\{a\\}\\\\b}") << "{a}\\b";
        QTest::newRow("tab") << QByteArray("{\\rtf1 a\\tab b}") << "a\tb";
        QTest::newRow("special characters")
            << QByteArray("{\\rtf1 \\bullet\\~\\endash\\emdash\\ldblquote x\\rdblquote}")
            << QString::fromUtf8("•\u00A0–—“x”").replace(QChar(0xA0), QChar(' '));
        QTest::newRow("line breaks in the file mean nothing") << QByteArray("{\\rtf1 ab\r\ncd}") << "abcd";
        QTest::newRow("truncated") << QByteArray("{\\rtf1 {\\b fett} und abgeschn") << "fett und abgeschn";
        QTest::newRow("unbalanced closing braces") << QByteArray("{\\rtf1 a}}} b}") << "a";
        QTest::newRow("nothing after the document's end")
            << QByteArray("{\\rtf1 a\\par}\r\nnoch was") << "a\n";
        QTest::newRow("Word's bullet outside a symbol font")
            << QByteArray("{\\rtf1 \\u61623? x}") << QString::fromUtf8("• x");
        QTest::newRow("capitals") << QByteArray("{\\rtf1 {\\caps Gro\\'dfe Halle} klein}")
                                  << "GROSSE HALLE klein";
        QTest::newRow("fallback as a control word")
            << QByteArray("{\\rtf1 \\u8220\\ldblquote x\\u8221\\rdblquote}") << QString::fromUtf8("“x”");
        QTest::newRow("object shows its result")
            << QByteArray("{\\rtf1 vor {\\object\\objemb{\\*\\objclass Excel.Sheet}{\\*\\objdata "
                          "0102ff}{\\result {\\pard Tabelle}}} nach}")
            << "vor Tabelle nach";
        QTest::newRow("LibreOffice's bullet in a text font")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Liberation Serif;}}\\u61589\\'3f x}")
            << QString::fromUtf8("• x");
        QTest::newRow("Wingdings square bullet by its byte")
            << QByteArray("{\\rtf1{\\fonttbl{\\f2 Wingdings;}}\\f2\\u-3929?}") << QString(QChar(0x25AA));
        // The East Asian code pages: a lead byte and a trail byte make one character.
        QTest::newRow("simplified Chinese (936)")
            << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'b2\\'e2\\'ca\\'d4 A}") << QString::fromUtf8("测试 A");
        QTest::newRow("Japanese (932), a trail byte as a letter, half-width katakana")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'83e\\'83X\\'83g\\'b1}")
            << QString::fromUtf8("テスト\uFF71");
        QTest::newRow("Korean (949) by the font's charset")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset129 Gulim;}}\\f0 "
                          "\\'c5\\'d7\\'bd\\'ba\\'c6\\'ae}")
            << QString::fromUtf8("테스트");
        QTest::newRow("traditional Chinese (950), the fallback of \\u skipped")
            << QByteArray("{\\rtf1\\ansi\\ansicpg950\\uc2 \\u28204\\'b4\\'fa\\'b8\\'d5}")
            << QString::fromUtf8("測試");
        QTest::newRow("a lead byte without its trail is dropped")
            << QByteArray("{\\rtf1\\ansi\\ansicpg936 {\\'b2}x\\'ff}") << QString::fromUtf8("x\uFFFD");
        QTest::newRow("plain text") << QByteArray("Nur Text\nzweite Zeile") << "Nur Text\nzweite Zeile";
        QTest::newRow("plain text in UTF-8") << QByteArray("Gr\xc3\xbc\xc3\x9f"
                                                           "e")
                                             << QString::fromUtf8("Grüße");
        QTest::newRow("plain text in Windows-1252") << QByteArray("Gr\xfc\xdf"
                                                                  "e")
                                                    << QString::fromUtf8("Grüße");
    }
    void text() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument doc;
        ui::LoadRichText(View(rtf), doc);
        QCOMPARE(doc.toPlainText(), text);
    }

    void formatting() {
        const QByteArray rtf = "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                               "{\\pard\\qc Mitte\\par}{\\pard\\qr Rechts\\par}"
                               "normal {\\b fett} {\\i kursiv} {\\ul unter\\ulnone strichen} {\\fs40 gross} "
                               "{\\cf2 blau} {\\b\\i beides\\b0  nur}\\plain schlicht}";
        QTextDocument doc;
        QVERIFY(ui::ReadRtf(View(rtf), doc));
        QCOMPARE(AlignmentOf(doc, "Mitte"), Qt::AlignHCenter);
        QCOMPARE(AlignmentOf(doc, "Rechts"), Qt::AlignRight);
        QCOMPARE(FormatOf(doc, "fett").fontWeight(), int(QFont::Bold));
        QCOMPARE(FormatOf(doc, "normal").fontWeight(), int(QFont::Normal));
        QVERIFY(FormatOf(doc, "kursiv").fontItalic());
        QVERIFY(FormatOf(doc, "unter").fontUnderline());
        QVERIFY(!FormatOf(doc, "strichen").fontUnderline());
        QCOMPARE(FormatOf(doc, "gross").fontPointSize(), 20.0);
        QCOMPARE(FormatOf(doc, "normal").fontPointSize(), 12.0);
        QCOMPARE(FormatOf(doc, "blau").foreground().color(), QColor(0, 0, 255));
        QVERIFY(FormatOf(doc, "beides").fontItalic() && FormatOf(doc, "beides").fontWeight() == QFont::Bold);
        QVERIFY(FormatOf(doc, "nur").fontItalic() && FormatOf(doc, "nur").fontWeight() == QFont::Normal);
        QVERIFY(!FormatOf(doc, "schlicht").fontItalic());
        QTextDocument small;
        QVERIFY(ui::ReadRtf("{\\rtf1 {\\scaps Kapit\\'e4lchen} normal}", small));
        QCOMPARE(FormatOf(small, "Kapit").fontCapitalization(), QFont::SmallCaps);
        QCOMPARE(small.toPlainText(), QString::fromUtf8("Kapitälchen normal")); // not made capitals
        QCOMPARE(FormatOf(small, "normal").fontCapitalization(), QFont::MixedCase);
    }

    void listsIndentTheirItems() {
        QTextDocument doc;
        QVERIFY(ui::ReadRtf(
            "{\\rtf1{\\pard\\li400\\fi-260 \\bullet\\tab Punkt\\par}{\\pard Fliesstext\\par}}", doc));
        const QTextBlockFormat item = doc.find("Punkt").block().blockFormat();
        QVERIFY(item.leftMargin() > 0);
        QVERIFY(item.textIndent() < 0);
        QCOMPARE(doc.find("Fliesstext").block().blockFormat().leftMargin(), 0.0);
        QCOMPARE(doc.find("Punkt").block().text(), QString::fromUtf8("•\tPunkt"));
    }

    // Documents written by real word processors (see fixtures/README.md).
    void writtenByOtherPrograms_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("LibreOffice") << Fixture("libreoffice.rtf");
        QTest::newRow("pandoc") << Fixture("pandoc.rtf");
    }
    void writtenByOtherPrograms() {
        QFETCH(QByteArray, rtf);
        QVERIFY(!rtf.isEmpty());
        QTextDocument doc;
        QVERIFY(ui::ReadRtf(View(rtf), doc));
        const QString text = doc.toPlainText();
        for (const char* expected :
             {"Überschrift", "Ein Absatz mit fettem und kursivem Text, Umlauten (äöüß ÄÖÜ)",
              "Euro-Zeichen €.", "erster Punkt", "zweiter Punkt", "Schritt eins", "Schritt zwei",
              "Letzte Zeile."})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(text.contains(QString::fromUtf8("•")));
        QVERIFY(text.contains(QStringLiteral("1.")));
        QVERIFY(!text.contains(QStringLiteral("Helvetica")) && !text.contains(QStringLiteral("Liberation")));
        QCOMPARE(FormatOf(doc, "fettem").fontWeight(), int(QFont::Bold));
        QVERIFY(FormatOf(doc, "kursivem").fontItalic());
        QCOMPARE(FormatOf(doc, "berschrift").fontWeight(), int(QFont::Bold));
        QVERIFY(FormatOf(doc, "berschrift").fontPointSize() > FormatOf(doc, "Absatz").fontPointSize());
    }

    // What word processors write beyond plain formatting: each case one small document,
    // its visible text compared with blanks run together.
    void structureText_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("table: the paragraph after it stands alone") << QByteArray("{\\rtf1\\ansi\\trowd\\cellx2000\\cellx4000\\pard\\intbl Stufe\\cell Tempo\\cell\\row\\trowd\\cellx2000\\cellx4000\\pard\\intbl 1\\cell 8,5\\cell\\row\\pard Danach\\par}") << "Stufe Tempo 1 8,5 Danach";
        QTest::newRow("nested table: no fallback text") << QByteArray("{\\rtf1\\trowd\\cellx3000\\cellx6000\\pard\\intbl A\\cell\\pard\\intbl\\itap2 X\\nestcell Y\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables X Y}\\pard\\intbl B\\cell\\row\\pard Ende\\par}") << "A X Y B Ende";
        QTest::newRow("footnote: marker in place, text at the end") << QByteArray("{\\rtf1\\ansi Text{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} Fu\\'dfnote mit Quelle.} weiter.\\par}") << QString::fromUtf8("Text1 weiter. 1 Fußnote mit Quelle.");
        QTest::newRow("footnote as optional destination") << QByteArray("{\\rtf1 A{\\super\\chftn}{\\*\\footnote\\chftn eins}B{\\super\\chftn}{\\*\\footnote\\chftn zwei}C}") << "A1B2C 1 eins 2 zwei";
        QTest::newRow("hidden text") << QByteArray("{\\rtf1\\ansi Sichtbar {\\v versteckt} Ende\\par}") << "Sichtbar Ende";
        QTest::newRow("hidden switched off again") << QByteArray("{\\rtf1 a\\v b\\v0 c}") << "ac";
        QTest::newRow("deleted revision") << QByteArray("{\\rtf1 alt{\\deleted weg} neu}") << "alt neu";
        QTest::newRow("code page 1250") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 Zg\\'b3oszenie}") << QString::fromUtf8("Zgłoszenie");
        QTest::newRow("font character sets") << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}{\\f2\\fcharset161 Arial Greek;}{\\f3\\fcharset162 Arial Tur;}{\\f4\\fcharset238 Arial CE;}}\\f1 \\'cf\\'f0\\'e8 \\f2\\'c1 \\f3\\'f0 \\f4\\'b3\\f0 \\'fc}") << QString::fromUtf8("При Α ğ łü");
        QTest::newRow("Symbol and Wingdings bullets") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}{\\f2\\fcharset2 Wingdings;}}{\\f1\\'b7} eins {\\f2\\'a7} zwei {\\f1 a}}") << QString::fromUtf8("• eins ▪ zwei α");
        QTest::newRow("bin: the bytes are data, a brace too") << QByteArray("{\\rtf1 vor{\\pict\\bin3 a}b}nach}") << "vornach";
        QTest::newRow("bin beyond the end") << QByteArray("{\\rtf1 vor{\\pict\\bin999 xy}") << "vor";
        QTest::newRow("picture: nothing shown, caption kept") << QByteArray("{\\rtf1 Bild:\\par{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict{\\pict\\wmetafile8 0100}}\\par Abbildung 1\\par}") << "Bild: Abbildung 1";
        QTest::newRow("legacy list numbers every item") << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}\\fi-360\\li360 Eins\\par Zwei\\par Drei\\par\\pard Danach\\par}") << "1.\tEins 2.\tZwei 3.\tDrei Danach";
        QTest::newRow("legacy list with its own texts") << QByteArray("{\\rtf1\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}\\fi-360\\li360 Eins\\par{\\pntext 2.\\tab}Zwei\\par}") << "1.\tEins 2.\tZwei";
        QTest::newRow("legacy bullets in Symbol") << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}\\pard{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb \\'b7}}\\fi-360\\li360 a\\par b\\par}") << QString::fromUtf8("•\ta •\tb");
        QTest::newRow("lettered list") << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pnlcltr\\pnstart1{\\pntxta )}}\\fi-360\\li360 x\\par y\\par}") << "a)\tx b)\ty";
        QTest::newRow("legacy list numbered by its first item") << QByteArray("{\\rtf1\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}\\fi-360\\li360 Eins\\par Zwei\\par Drei\\par}") << "1.\tEins 2.\tZwei 3.\tDrei";
        QTest::newRow("a heading's empty list marker") << QByteArray("{\\rtf1{\\listtext\\pard\\plain \\tab}\\b Sicherheit\\par}") << "Sicherheit";
        QTest::newRow("marker wider than the indent") << QByteArray("{\\rtf1\\pard\\fi-100\\li100 {\\pntext 10000.\\tab}Text\\par}") << "10000. Text";
        // clang-format on
    }
    void structureText() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument doc;
        Read(rtf, doc);
        QString shown = doc.toPlainText();
        shown.replace(QChar::Nbsp, QLatin1Char(' '));
        // Blanks and paragraph ends run together; tabs stay (they are the list markers').
        shown =
            shown.split(QRegularExpression(QStringLiteral("[ \\n\\x{2029}]+")), Qt::SkipEmptyParts).join(' ');
        QCOMPARE(shown, text);
    }

    // The tables are real tables: rows, columns, cells, nesting, widths from \cellx.
    void tablesAreTables() {
        QTextDocument doc;
        Read("{\\rtf1\\ansi\\trowd\\cellx2000\\cellx4000\\pard\\intbl Stufe\\cell "
             "Tempo\\cell\\row\\trowd\\cellx2000"
             "\\cellx4000\\pard\\intbl 1\\cell 8,5\\cell\\row\\pard Danach\\par}",
             doc);
        const auto tables = TablesIn(doc.rootFrame());
        QCOMPARE(tables.size(), 1);
        QTextTable* t = tables[0];
        QCOMPARE(t->rows(), 2);
        QCOMPARE(t->columns(), 2);
        QCOMPARE(CellText(t, 0, 0), QStringLiteral("Stufe"));
        QCOMPARE(CellText(t, 1, 1), QStringLiteral("8,5"));
        const auto widths = t->format().columnWidthConstraints();
        QCOMPARE(widths.size(), 2);
        QCOMPARE(widths[0].rawValue(), 2000 * 96.0 / 1440.0);
        QVERIFY(!doc.find(QStringLiteral("Danach")).currentTable());
        QCOMPARE(doc.find(QStringLiteral("Danach")).block().text(), QStringLiteral("Danach"));

        QTextDocument nested;
        Read("{\\rtf1\\trowd\\cellx3000\\cellx6000\\pard\\intbl A\\cell\\pard\\intbl\\itap2 X\\nestcell "
             "Y\\nestcell"
             "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables X Y}\\pard\\intbl "
             "B\\cell\\row"
             "\\pard Ende\\par}",
             nested);
        const auto outer = TablesIn(nested.rootFrame());
        QCOMPARE(outer.size(), 1);
        QCOMPARE(outer[0]->rows(), 1);
        QCOMPARE(outer[0]->columns(), 2);
        const auto inner = TablesIn(outer[0]);
        QCOMPARE(inner.size(), 1);
        QCOMPARE(inner[0]->columns(), 2);
        QCOMPARE(CellText(inner[0], 0, 1), QStringLiteral("Y"));
        QCOMPARE(nested.find(QStringLiteral("B")).currentTable(), outer[0]);

        // A level the writer skipped (depth 3 straight in a cell of depth 1) gets no empty
        // table around the deeper one; an outer table whose first cell begins with a nested
        // table keeps its cells.
        QTextDocument skipped;
        Read("{\\rtf1\\trowd\\cellx3000\\cellx6000\\pard\\intbl A\\cell\\pard\\intbl\\itap3 X\\nestcell "
             "{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}\\pard\\intbl B\\cell\\row\\pard Ende\\par}",
             skipped);
        const auto skippedOuter = TablesIn(skipped.rootFrame());
        QCOMPARE(skippedOuter.size(), 1);
        const auto skippedInner = TablesIn(skippedOuter[0]);
        QCOMPARE(skippedInner.size(), 1);
        QCOMPARE(CellText(skippedInner[0], 0, 0), QStringLiteral("X"));
        QVERIFY(TablesIn(skippedInner[0]).isEmpty());
        QTextDocument nestedFirst;
        Read("{\\rtf1\\pard\\intbl\\itap2 X\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}"
             "\\pard\\intbl\\cell\\pard\\intbl B\\cell\\trowd\\cellx3000\\cellx6000\\row}",
             nestedFirst);
        const auto firstOuter = TablesIn(nestedFirst.rootFrame());
        QCOMPARE(firstOuter.size(), 1);
        QCOMPARE(firstOuter[0]->columns(), 2);
        QCOMPARE(TablesIn(firstOuter[0]).size(), 1);
    }

    // Cells stand where the writer laid them out: on the grid of all the table's cell edges,
    // spanning where a cell covers several columns or continues the one above; empty cells
    // and empty rows keep their places. Each row as the texts of its grid columns: "^" a
    // place covered from above, "<" one covered from the left.
    void tablesOnTheirGrid_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("grid");
        const QString merged = QStringLiteral("Stufe 1|A1|B1 / ^|A2|B2 / breit|<|C3 / || / |E5|F5");
        // clang-format off
        QTest::newRow("LibreOffice from OpenDocument") << Fixture("lo-merged.rtf") << merged;
        QTest::newRow("LibreOffice from Word") << Fixture("docx-merged.rtf") << merged;
        QTest::newRow("LibreOffice from HTML") << Fixture("html-merged.rtf") << merged;
        QTest::newRow("empty first cell") << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard\\intbl\\cell\\pard\\intbl B\\cell\\row}") << "|B";
        QTest::newRow("empty row between two") << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row\\trowd\\cellx1000\\cellx2000\\pard\\intbl\\cell\\cell\\row\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row}") << "a|b / | / c|d";
        QTest::newRow("a later row splits a column") << QByteArray("{\\rtf1\\trowd\\cellx2000\\cellx4000\\pard\\intbl x\\cell y\\cell\\row\\trowd\\cellx1000\\cellx2000\\cellx4000\\pard\\intbl p\\cell q\\cell r\\cell\\row}") << "x|<|y / p|q|r";
        QTest::newRow("old horizontal merge") << QByteArray("{\\rtf1\\trowd\\cellx1000\\clmrg\\cellx2000\\cellx3000\\pard\\intbl ab\\cell\\cell c\\cell\\row}") << "ab|<|c";
        QTest::newRow("more cells than defined") << QByteArray("{\\rtf1\\trowd\\cellx1000\\pard\\intbl a\\cell b\\cell\\row}") << "a|b";
        // Found by the fuzzer: columns beyond the row's definition once outgrew the widths Qt copies from.
        QTest::newRow("a longer row after one with more cells than defined") << QByteArray("{\\rtf1\\trowd\\cellx1000\\pard\\intbl a\\cell b\\cell c\\cell\\row\\trowd\\cellx1000\\pard\\intbl d\\cell e\\cell f\\cell g\\cell\\row}") << "a|b|c| / d|e|f|g";
        QTest::newRow("a row splitting columns beyond the definition") << QByteArray("{\\rtf1\\trowd\\cellx1000\\pard\\intbl a\\cell b\\cell c\\cell\\row\\trowd\\cellx500\\cellx1000\\cellx3000\\cellx4000\\cellx5000\\pard\\intbl p\\cell q\\cell r\\cell s\\cell t\\cell\\row}") << "a|<|b|<|<|<|c / p|q|r|s|t||";
        QTest::newRow("a bulleted list in a cell") << QByteArray("{\\rtf1\\ansi\\trowd\\cellx2000\\cellx4000\\intbl A\\cell\\pard\\intbl{\\listtext\\pard\\plain \\'95\\tab}B\\par\\pard\\intbl{\\listtext\\pard\\plain \\'95\\tab}C\\cell\\row\\pard X\\par}") << QString::fromUtf8("A|•\tB\u2029•\tC");
        QTest::newRow("words before intbl") << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard x\\intbl\\cell y\\cell\\row\\pard danach\\par}") << "x|y";
        QTest::newRow("an empty cell after a nested table") << QByteArray("{\\rtf1\\pard\\intbl A\\cell\\pard\\intbl\\itap2 n\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\nestrow}\\pard\\intbl\\cell\\pard\\intbl\\cell\\trowd\\cellx1000\\cellx2000\\cellx3000\\row}") << "A|\uFDD0n\uFDD1|"; // the nested table's frame between its marks
        // clang-format on
    }
    void tablesOnTheirGrid() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, grid);
        QTextDocument doc;
        Read(rtf, doc);
        const auto tables = TablesIn(doc.rootFrame());
        QCOMPARE(tables.size(), 1);
        QTextTable* t = tables[0];
        QStringList rows;
        for (int r = 0; r < t->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < t->columns(); ++c) {
                const QTextTableCell cell = t->cellAt(r, c);
                cells << (cell.row() < r      ? QStringLiteral("^")
                          : cell.column() < c ? QStringLiteral("<")
                                              : CellText(t, r, c));
            }
            rows << cells.join('|');
        }
        QCOMPARE(rows.join(QStringLiteral(" / ")), grid);
    }

    // What no real document needs is capped, and the text is still all there: a row of
    // 2 000 cells has 64 columns, the last holding the rest; a table of 1 100 rows goes on
    // as tables of 200 rows.
    void boundedTables() {
        QByteArray wide = "{\\rtf1\\trowd";
        for (int c = 1; c <= 2000; ++c)
            wide += "\\cellx" + QByteArray::number(c * 10);
        wide += "\\pard\\intbl ";
        for (int c = 1; c <= 2000; ++c)
            wide += "z" + QByteArray::number(c) + "\\cell ";
        wide += "\\row}";
        QTextDocument doc;
        Read(wide, doc);
        auto tables = TablesIn(doc.rootFrame());
        QCOMPARE(tables.size(), 1);
        QCOMPARE(tables[0]->columns(), ui::RtfTables::MaxColumns);
        // The cells beyond share the last column, each apart from the next.
        QVERIFY(CellText(tables[0], 0, 63).startsWith(QStringLiteral("z64\tz65\tz66\t")));
        QVERIFY(CellText(tables[0], 0, 63).endsWith(QStringLiteral("\tz2000")));

        QByteArray longTable = "{\\rtf1";
        for (int r = 1; r <= 1100; ++r)
            longTable += "\\trowd\\cellx1000\\cellx2000\\pard\\intbl r" + QByteArray::number(r) +
                         "\\cell x\\cell\\row";
        longTable += "\\pard Ende\\par}";
        QTextDocument rows;
        Read(longTable, rows);
        tables = TablesIn(rows.rootFrame());
        QCOMPARE(tables.size(), 6);
        QCOMPARE(tables[0]->rows(), ui::RtfTables::MaxRowsPerTable);
        QCOMPARE(tables[5]->rows(), 100);
        QCOMPARE(CellText(tables[5], 99, 0), QStringLiteral("r1100"));
        QVERIFY(!rows.find(QStringLiteral("Ende")).isNull() &&
                !rows.find(QStringLiteral("Ende")).currentTable());
    }

    // The information text the program ships: every heading a paragraph of its own; the
    // health zone with both of its sources.
    void shippedInformationText() {
        QFile file(QStringLiteral(VEXO_ASSETS "/vexo-Rizidevizi.rtf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTextDocument doc;
        Read(file.readAll(), doc);
        for (const char* heading :
             {"Was der Test misst", "Aufbau", "Ablauf", "Level und Durchgänge", "Auswertung", "Sicherheit"}) {
            const QTextCursor found = doc.find(QString::fromUtf8(heading));
            QVERIFY2(!found.isNull(), heading);
            QCOMPARE(found.block().text(), QString::fromUtf8(heading));
        }
        for (const char* source :
             {"FITNESSGRAM (The Cooper Institute, 2010)", "Léger, Mercier, Gadoury und Lambert (1988"})
            QVERIFY2(!doc.find(QString::fromUtf8(source)).isNull(), source);
    }

    // A footnote of several paragraphs keeps them, below the text.
    void footnoteParagraphs() {
        QTextDocument doc;
        Read(Fixture("lo-heading.rtf"), doc);
        QCOMPARE(doc.lastBlock().text(), QStringLiteral("Zweiter Absatz."));
        QCOMPARE(doc.lastBlock().previous().text(), QStringLiteral("1 Erster Absatz."));
        QCOMPARE(doc.firstBlock().text(), QStringLiteral("Sicherheit")); // no tab before it
        QCOMPARE(doc.firstBlock().next().text(), QString::fromUtf8("•\tErste Regel"));
    }

    // Footnotes and endnotes are counted apart, each in the document's numbering: the marks
    // in the text and the notes after it (footnotes first); a footnote after an endnote
    // keeps its own count.
    void endnotesCountedApart_data() {
        QTest::addColumn<QByteArray>("numbering");
        QTest::addColumn<QString>("text");
        QTest::newRow("lower roman endnotes")
            << QByteArray("\\aftnnrlc") << QString::fromUtf8("Ai Bii C1\n\n\n1 f\ni e1\nii e2");
        QTest::newRow("upper letters, roman footnotes")
            << QByteArray("\\aftnnauc\\ftnnruc") << QString::fromUtf8("AA BB CI\n\n\nI f\nA e1\nB e2");
        QTest::newRow("as written without numbering words")
            << QByteArray("") << QString::fromUtf8("A1 B2 C1\n\n\n1 f\n1 e1\n2 e2");
    }
    void endnotesCountedApart() {
        QFETCH(QByteArray, numbering);
        QFETCH(QString, text);
        QTextDocument doc;
        Read("{\\rtf1" + numbering +
                 " A{\\super\\chftn}{\\footnote\\ftnalt\\pard {\\super\\chftn} e1} "
                 "B{\\super\\chftn}{\\footnote\\ftnalt\\pard {\\super\\chftn} e2} "
                 "C{\\super\\chftn}{\\footnote\\pard {\\super\\chftn} f}\\par}",
             doc);
        QCOMPARE(doc.toPlainText(), text);
        // The mark stays raised.
        QTextCursor mark(doc.firstBlock());
        mark.setPosition(2);
        QCOMPARE(mark.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
    }

    // The formatting that changes what text means.
    void meaningfulFormatting() {
        QTextDocument doc;
        Read("{\\rtf1 20 m{\\super 2} {\\strike 10 EUR} 8 EUR H{\\sub 2}O a{\\up6 hoch}b{\\dn4 tief}c"
             "{\\super x\\nosupersub y}{\\striked1 doppelt}{\\strike an\\strike0 aus}}",
             doc);
        QCOMPARE(FormatOf(doc, "2 ").verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QVERIFY(FormatOf(doc, "10 EUR").fontStrikeOut());
        QVERIFY(!FormatOf(doc, " 8 EUR").fontStrikeOut());
        QCOMPARE(FormatOf(doc, "2O").verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(FormatOf(doc, "hoch").verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(FormatOf(doc, "tief").verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(FormatOf(doc, "y").verticalAlignment(), QTextCharFormat::AlignNormal);
        QVERIFY(FormatOf(doc, "doppelt").fontStrikeOut());
        QVERIFY(FormatOf(doc, "an").fontStrikeOut());
        QVERIFY(!FormatOf(doc, "aus").fontStrikeOut());
        QTextDocument notes;
        Read("{\\rtf1 Text{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} Quelle.} weiter.\\par}",
             notes);
        QCOMPARE(FormatOf(notes, "1 weiter").verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(notes.lastBlock().text(), QStringLiteral("1 Quelle."));
    }

    // One real document per family, saved by LibreOffice (see fixtures/README.md).
    void savedByLibreOffice_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("table with a nested table") << "lo-tables.rtf" << "Die Stufen: Stufe Geschwindigkeit (km/h) Bahnen 1 8,5 7 2 9,0 innen A innen B 8 Weitere Informationen folgen.";
        QTest::newRow("footnote") << "lo-footnote.rtf" << QString::fromUtf8("Der Test1 wird in der Halle gelaufen. 1 Fußnote mit Quelle.");
        QTest::newRow("hidden, struck, raised, lowered") << "lo-formatting.rtf" << QString::fromUtf8("Sichtbar Ende Preis: 10 € 8 € Fläche 20 m2, Wasser H2O");
        QTest::newRow("Polish, Russian, Greek, Turkish") << "lo-codepage.rtf" << QString::fromUtf8("Zgłoszenie: Łódź, Kraków, Gdańsk Привет, Ελλάδα, Türkçe ğış");
        QTest::newRow("picture with its caption") << "lo-picture.rtf" << "Vor dem Bild. Abbildung 1: Die Halle";
        QTest::newRow("numbered list") << "lo-list.rtf" << "1.\tEins 2.\tZwei 3.\tDrei Danach";
        // clang-format on
    }
    void savedByLibreOffice() {
        QFETCH(QString, file);
        QFETCH(QString, text);
        QTextDocument doc;
        Read(Fixture(file.toLatin1().constData()), doc);
        QString shown = doc.toPlainText();
        shown =
            shown.split(QRegularExpression(QStringLiteral("[ \\n\\x{2029}]+")), Qt::SkipEmptyParts).join(' ');
        QCOMPARE(shown, text);
        if (file == "lo-tables.rtf") {
            const auto tables = TablesIn(doc.rootFrame());
            QCOMPARE(tables.size(), 1);
            QCOMPARE(tables[0]->rows(), 3);
            QCOMPARE(tables[0]->columns(), 3);
            QCOMPARE(TablesIn(tables[0]).size(), 1);
        }
        if (file == "lo-formatting.rtf") {
            QVERIFY(FormatOf(doc, QString::fromUtf8("10 €")).fontStrikeOut());
            QCOMPARE(FormatOf(doc, "2,").verticalAlignment(), QTextCharFormat::AlignSuperScript);
        }
    }

    void neitherRtfNorText() {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("vorher"));
        const QByteArray binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        QVERIFY_THROWS_EXCEPTION(vexo::Error, ui::LoadRichText(View(binary), doc));
        QCOMPARE(doc.toPlainText(), QStringLiteral("vorher"));
    }

    // Deep nesting is bounded by the group stack, not by recursion: it neither crashes nor
    // loses the text.
    void deepNesting() {
        QByteArray rtf = "{\\rtf1 ";
        rtf += QByteArray(200000, '{') + "\\b tief" + QByteArray(200000, '}') + " flach}";
        QTextDocument doc;
        QVERIFY(ui::ReadRtf(View(rtf), doc));
        QCOMPARE(doc.toPlainText(), QStringLiteral("tief flach"));
        QCOMPARE(FormatOf(doc, "flach").fontWeight(), int(QFont::Normal));
    }
};

QTEST_MAIN(TestRtfReader)
#include "test_rtf_reader.moc"
