// The RTF reader on small fixtures, on documents written by LibreOffice and pandoc, and on
// input that is broken, binary, truncated or hostile.
#include "platform/errors.h"
#include "ui/rtf_reader.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
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
        QTest::newRow("negative unicode") << QByteArray("{\\rtf1 \\u-3913?}") << QString(QChar(0xF0B7));
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
        QTest::newRow("unbalanced closing braces") << QByteArray("{\\rtf1 a}}} b}") << "a b";
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

    void neitherRtfNorText() {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("vorher"));
        const QByteArray binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        try {
            ui::LoadRichText(View(binary), doc);
            QFAIL("binary content loaded");
        } catch (const vexo::Error& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Stream konnte nicht geladen werden"));
        }
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
