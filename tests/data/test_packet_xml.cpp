// The data-packet file format: golden files compared whole, the reader's failures and
// tolerated variations, and the value texts.
#include "data/packet_error.h"
#include "data/packet_xml.h"
#include "data/record_store.h"
#include "data/text_encoding.h"
#include "data_rig.h"

#include <QDir>
#include <QtTest>

#include <random>

using namespace data;

namespace {

QByteArray Bytes(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}
std::string Std(const QByteArray& b) {
    return std::string(b.constData(), std::size_t(b.size()));
}

// Reading and writing again: the canonical form of a document.
QByteArray Canonical(const QByteArray& document) {
    return Bytes(WritePacketXml(ReadPacketXml(Std(document))));
}

// One column of the given type, one row holding `value`; returns the row element.
std::string RowOf(FieldType type, const Value& value, const char* name = "x", int size = 20) {
    TableImage image;
    image.columns.push_back(MakeColumn({name, type, size}));
    image.versions.push_back({0, {value}});
    const std::string doc = WritePacketXml(image);
    const auto start = doc.find("<ROW", doc.find("<ROWDATA>") + 9);
    return doc.substr(start, doc.find("/>", start) + 2 - start);
}

Value ReadOne(const char* fieldXml, const char* valueXml) {
    const std::string doc = std::string("<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>") + fieldXml +
                            "</FIELDS><PARAMS/></METADATA><ROWDATA><ROW " + valueXml +
                            "/></ROWDATA></DATAPACKET>";
    return ReadPacketXml(doc).versions.at(0).values.at(0);
}

} // namespace

Q_DECLARE_METATYPE(data::Value)

class TestPacketXml : public QObject {
    Q_OBJECT
private slots:
    // The athlete file: created new, read back, one athlete inserted and saved.
    void athleteExample() {
        DataRig rig;
        rig.Module().CreateSportlerTable();
        QCOMPARE(rig.Read(global::SportlerPath), Golden("sportler_created.xml"));
        PostAthlete(rig.dm->cdsSportler, "Lena", "Beispiel", "W", 1995);
        rig.dm->cdsSportler.SaveToFile();
        QCOMPARE(rig.Read(global::SportlerPath), Golden("sportler_lena.xml"));

        // Modified twice, then deleted: three versions stay in the file.
        auto& t = rig.dm->cdsSportler;
        for (int year : {1996, 1997}) {
            t.Edit();
            t.SetAsInteger("Geburtsjahr", year);
            t.Post();
        }
        t.Delete();
        QCOMPARE(t.RecordCount(), 0);
        t.SaveToFile();
        QCOMPARE(rig.Read(global::SportlerPath), Golden("sportler_modify_twice_delete.xml"));
    }

    void resultsTableCreatedNew() {
        DataRig rig;
        rig.Module().CreateSportlerTable(); // the results table needs its athletes
        rig.Module().CreateMultiwertTable();
        QCOMPARE(rig.Read(global::MultiwertPath), Golden("multiwert_created.xml"));
    }

    void deletionsKeepEveryRow() {
        DataRig rig;
        rig.Module().CreateSportlerTable();
        auto& t = rig.dm->cdsSportler;
        PostAthlete(t, "Anna", "Adler", "W", 2001);
        PostAthlete(t, "Ben", "Bauer", "M", 2002);
        PostAthlete(t, "Cem", "Celik", "m", 2003);
        QVERIFY(t.FindKey({Value{std::string("Bauer")}}));
        t.Delete();
        t.SaveToFile();
        QCOMPARE(rig.Read(global::SportlerPath), Golden("sportler_three_second_deleted.xml"));
        QCOMPARE(t.RecordCount(), 2);
        t.First();
        QCOMPARE(t.AsInteger("sportlerid"), std::int64_t(1));
        t.Next();
        QCOMPARE(t.AsInteger("sportlerid"), std::int64_t(3));
        // Ids are never handed out twice.
        t.Delete();
        PostAthlete(t, "Dora", "Dach", "W", 2004);
        QCOMPARE(t.AsInteger("sportlerid"), std::int64_t(4));
        t.SaveToFile();
        t.LoadFromFile(global::SportlerPath);
        QCOMPARE(int(t.Store().Count()), 4);
        QCOMPARE(t.RecordCount(), 2);
    }

    void modifyingARecordWithoutHistory() {
        DataRig rig;
        rig.Write(global::SportlerPath, Golden("sportler_no_history.xml"));
        auto& t = rig.Module().cdsSportler;
        t.SetFileName(global::SportlerPath);
        t.Open();
        t.Edit();
        t.SetAsInteger("Geburtsjahr", 1990);
        t.Post();
        t.SaveToFile();
        QCOMPARE(rig.Read(global::SportlerPath), Golden("sportler_no_history_modified.xml"));
        // The untouched memo comes back from the predecessor.
        t.LoadFromFile(global::SportlerPath);
        QCOMPARE(t.AsString("Infos"), std::string("alt"));
    }

    void untouchedMemoIsLeftOut() {
        DataRig rig;
        rig.Module().CreateSportlerTable();
        auto& t = rig.dm->cdsSportler;
        t.Insert();
        t.SetAsString("Vorname", Utf8ToCp1252("Jürgen"));
        t.SetAsString("Name", Utf8ToCp1252("Müller"));
        t.SetAsString("Geschlecht", "M");
        t.SetAsInteger("Geburtsjahr", 1980);
        t.SetAsString("Infos", "Knie\r\nlinks");
        t.Post();
        t.SaveToFile();
        t.LoadFromFile(global::SportlerPath);
        t.Edit();
        t.SetAsInteger("Geburtsjahr", 1981);
        t.Post();
        t.SaveToFile();
        QCOMPARE(rig.Read(global::SportlerPath), Golden("sportler_memo_untouched.xml"));
        t.LoadFromFile(global::SportlerPath);
        QCOMPARE(t.AsString("Infos"), std::string("Knie\r\nlinks"));
        QCOMPARE(t.AsString("Name"), std::string("M\xfcller"));
    }

    // A memo the modifications leave untouched is one text shared by every version, read from
    // a file or edited in the program: a long memo edited many times costs its length once.
    void untouchedMemoIsShared() {
        const std::string memo(1 << 20, 'm');
        std::string doc = "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                          "<FIELD attrname=\"id\" fieldtype=\"i4\" readonly=\"true\" SUBTYPE=\"Autoinc\"/>"
                          "<FIELD attrname=\"n\" fieldtype=\"i4\"/>"
                          "<FIELD attrname=\"m\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/></FIELDS>"
                          "<PARAMS CHANGE_LOG=\"1 0 4";
        for (int v = 2; v <= 201; ++v)
            doc += " " + std::to_string(v) + " " + std::to_string(v - 1) + " 8";
        doc += "\" AUTOINCVALUE=\"2\"/></METADATA><ROWDATA><ROW RowState=\"5\" id=\"1\" n=\"0\" m=\"" + memo +
               "\"/>";
        for (int v = 2; v <= 201; ++v)
            doc += "<ROW RowState=\"" + std::string(v == 201 ? "12" : "13") + "\" id=\"1\" n=\"" +
                   std::to_string(v) + "\"/>";
        doc += "</ROWDATA></DATAPACKET>";
        TableImage image = ReadPacketXml(doc); // 200 copies would be over the budget of 20 times the file
        QCOMPARE(image.versions.size(), std::size_t(201));
        const auto& first = std::get<SharedText>(image.versions[0].values[2]);
        QCOMPARE(first.Bytes().size(), memo.size());
        for (const auto& version : image.versions)
            QVERIFY(std::get<SharedText>(version.values[2]).Same(first));
        QCOMPARE(
            Bytes(WritePacketXml(image)),
            Bytes(doc).replace("<DATAPACKET", "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET"));

        RecordStore store(std::move(image)); // edited in the program: the same text again
        const Values last = store.At(201).values;
        Values edited = last;
        edited[1] = std::int64_t(202);
        store.Modify(201, edited);
        QVERIFY(std::get<SharedText>(store.At(202).values[2]).Same(first));
    }

    // A memo cleared by a modification must not come back as the predecessor's text.
    void clearedMemoStaysCleared() {
        DataRig rig;
        rig.Write(global::SportlerPath, Golden("sportler_no_history.xml"));
        auto& t = rig.Module().cdsSportler;
        t.SetFileName(global::SportlerPath);
        t.Open();
        t.Edit();
        t.Clear("Infos");
        t.Post();
        t.SaveToFile();
        QVERIFY(rig.Read(global::SportlerPath)
                    .contains("<ROW RowState=\"8\" sportlerid=\"1\" Vorname=\"Lena\" "
                              "Name=\"Beispiel\" Geschlecht=\"W\" Geburtsjahr=\"1995\" "
                              "Infos=\"\"/>"));
        t.LoadFromFile(global::SportlerPath);
        QCOMPARE(t.AsString("Infos"), std::string());
    }

    // The counter hands out the file's AUTOINCVALUE, but never an id that a row holds.
    void counterIsNotRecomputed_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<int>("nextId");
        const QByteArray file = Golden("sportler_autoinc10.xml"); // highest id 3
        auto counter = [&](const char* value) {
            return QByteArray(file).replace("AUTOINCVALUE=\"10\"",
                                            QByteArray("AUTOINCVALUE=\"") + value + "\"");
        };
        // clang-format off
        QTest::newRow("AUTOINCVALUE 10, highest id 3") << file << 10;
        QTest::newRow("no AUTOINCVALUE: above the highest id") << QByteArray(file).replace("<PARAMS AUTOINCVALUE=\"10\"/>", "<PARAMS/>") << 4;
        QTest::newRow("AUTOINCVALUE 0") << counter("0") << 4;
        QTest::newRow("AUTOINCVALUE negative") << counter("-7") << 4;
        QTest::newRow("AUTOINCVALUE at the highest id") << counter("3") << 4;
        QTest::newRow("AUTOINCVALUE below the highest id") << counter("2") << 4;
        QTest::newRow("AUTOINCVALUE at the last 32-bit id") << counter("2147483647") << 2147483647;
        // clang-format on
    }
    void counterIsNotRecomputed() {
        QFETCH(QByteArray, document);
        QFETCH(int, nextId);
        DataRig rig;
        rig.Write(global::SportlerPath, document);
        auto& t = rig.Module().cdsSportler;
        t.SetFileName(global::SportlerPath);
        t.Open();
        PostAthlete(t, "Neu", "Neu", "W", 2000);
        QCOMPARE(t.AsInteger("sportlerid"), std::int64_t(nextId));
    }

    // Past the last 32-bit id an insert is refused, before anything is typed, and the
    // file keeps a counter that reads back past the last id.
    void lastIdIsHandedOutOnce() {
        DataRig rig;
        QByteArray file = Golden("sportler_autoinc10.xml");
        rig.Write(global::SportlerPath, file.replace("AUTOINCVALUE=\"10\"", "AUTOINCVALUE=\"2147483647\""));
        auto& t = rig.Module().cdsSportler;
        t.SetFileName(global::SportlerPath);
        t.Open();
        QCOMPARE(PostAthlete(t, "Letzte", "Nummer", "W", 2000), std::int64_t(2147483647));
        QCOMPARE(FailureOf([&] { t.Insert(); }), QString::fromUtf8(IdsExhaustedMessage));
        QCOMPARE(t.State(), TableState::Browse);
        t.SaveToFile();
        t.LoadFromFile(global::SportlerPath);
        QCOMPARE(FailureOf([&] { t.Insert(); }), QString::fromUtf8(IdsExhaustedMessage));
    }

    // Reading is bounded by the file's size: a wide table of many short rows, or more
    // columns than any table of the program, ends in a clear error instead of gigabytes.
    void boundedReading_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("reversed");
        QTest::addColumn<bool>("reads");
        // clang-format off
        QTest::newRow("20 000 columns, 20 000 empty rows") << 20000 << 20000 << false << false;
        QTest::newRow("1 000 columns, 20 000 empty rows") << 1000 << 20000 << false << false;
        QTest::newRow("1 000 columns named in reverse order") << 1000 << 20 << true << true;
        QTest::newRow("8 columns, 20 000 empty rows") << 8 << 20000 << false << false;
        QTest::newRow("8 columns, 20 000 rows with a state and an id") << -8 << 20000 << false << true;
        // clang-format on
    }
    void boundedReading() {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(bool, reversed);
        QFETCH(bool, reads);
        const bool withId = columns < 0; // rows as sparse as a real file's can be
        columns = std::abs(columns);
        std::string doc = "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
        for (int c = 0; c < columns; ++c)
            doc += "<FIELD attrname=\"c" + std::to_string(c) + "\" fieldtype=\"i4\"/>";
        doc += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
        for (int r = 0; r < rows; ++r) {
            doc += "<ROW";
            if (withId)
                doc += " RowState=\"4\" c0=\"" + std::to_string(r + 1) + "\"";
            if (reversed)
                for (int c = columns - 1; c >= 0; --c)
                    doc += " c" + std::to_string(c) + "=\"" + std::to_string(c) + "\"";
            doc += "/>";
        }
        doc += "</ROWDATA></DATAPACKET>";
        if (!reads) {
            QVERIFY_THROWS_EXCEPTION(PacketError, ReadPacketXml(doc));
            return;
        }
        const TableImage image = ReadPacketXml(doc);
        QCOMPARE(image.versions.size(), std::size_t(rows));
        if (reversed)
            QVERIFY(image.versions[0].values[7] == Value{std::int64_t(7)});
    }

    void failures_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("message");
        const QByteArray good = Golden("sportler_lena.xml");
        auto with = [&](const char* from, const char* to) { return QByteArray(good).replace(from, to); };
        const QString mismatch = QStringLiteral("Mismatch in datapacket.");
        QTest::newRow("text instead of a tag") << QByteArray("hello") << mismatch;
        QTest::newRow("a NUL byte first") << QByteArray("\0<DATAPACKET>", 13) << mismatch;
        QTest::newRow("unterminated declaration") << QByteArray("<?xml version=\"1.0\"") << mismatch;
        QTest::newRow("unterminated comment") << with("<METADATA>", "<!-- <METADATA>") << mismatch;
        QTest::newRow("tag not closed") << good.left(good.size() - 5) << mismatch;
        QTest::newRow("truncated in a row") << good.left(good.indexOf("Geburtsjahr=\"1995\"")) << mismatch;
        QTest::newRow("missing end of packet") << with("</DATAPACKET>", "") << mismatch;
        QTest::newRow("end tag of another element") << with("</METADATA>", "</FIELDS>") << mismatch;
        QTest::newRow("first element neither") << with("<METADATA>", "<META>") << mismatch;
        QTest::newRow("METADATA without FIELDS") << with("<FIELDS>", "<PARAMS/><FIELDS>") << mismatch;
        QTest::newRow("FIELDS without FIELD")
            << QByteArray("<DATAPACKET><METADATA><FIELDS></FIELDS></METADATA><ROWDATA/></DATAPACKET>")
            << mismatch;
        QTest::newRow("FIELD without attrname") << with("<FIELD attrname=\"Name\" ", "<FIELD ") << mismatch;
        QTest::newRow("ROWDATA missing")
            << with("<ROWDATA>", "<ROWS>").replace("</ROWDATA>", "</ROWS>") << mismatch;
        QTest::newRow("element other than ROW") << with("<ROW RowState", "<RECORD RowState") << mismatch;
        QTest::newRow("single-quoted value") << with("WIDTH=\"10\"", "WIDTH='10'") << mismatch;
        QByteArray deep = "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"a\" fieldtype=\"i4\">";
        for (int i = 0; i < 70; ++i)
            deep += "<X>";
        QTest::newRow("nesting deeper than 63") << deep << mismatch;
        QTest::newRow("no meta data")
            << QByteArray("<DATAPACKET Version=\"2.0\"><ROWDATA></ROWDATA></DATAPACKET>")
            << QStringLiteral("Datapacket contains no meta data.");
        QTest::newRow("field without type")
            << with(" fieldtype=\"i4\"/>", "/>") << QStringLiteral("Invalid field type.");
        QTest::newRow("unknown type")
            << with("fieldtype=\"bin.hex\"", "fieldtype=\"blob\"") << QStringLiteral("Invalid field type.");
        QTest::newRow("change log too short")
            << with("CHANGE_LOG=\"1 0 4\"", "CHANGE_LOG=\"1 0\"") << QStringLiteral("Invalid parameter.");
        QTest::newRow("change log empty")
            << with("CHANGE_LOG=\"1 0 4\"", "CHANGE_LOG=\"\"") << QStringLiteral("Invalid parameter.");
    }
    void failures() {
        QFETCH(QByteArray, document);
        QFETCH(QString, message);
        try {
            ReadPacketXml(Std(document));
            QFAIL("read without failure");
        } catch (const PacketError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), message);
        }
    }

    // A file is read exactly as it stands or not at all: a value is taken only when its whole
    // text is one of its field, a row attribute only when it names a column exactly, a column
    // only by its exact name, a parameter only when this format knows it. Each of these was
    // once read with a value dropped or changed, and saved back so.
    void damagedDocumentsAreRefused_data() {
        QTest::addColumn<QByteArray>("document");
        const QByteArray lena = Golden("sportler_lena.xml");
        auto athletes = [&](const char* from, const char* to) {
            QByteArray changed = QByteArray(lena).replace(from, to);
            if (changed == lena)
                qFatal("no \"%s\" in the file", from);
            return changed;
        };
        // clang-format off
        QTest::newRow("field name in other letters") << athletes("attrname=\"sportlerid\"", "attrname=\"sportLerid\"");
        QTest::newRow("row attribute naming no column") << athletes("Geschlecht=\"W\"", "Geqchlecht=\"W\"");
        QTest::newRow("row attribute in other letters") << athletes("Vorname=\"Lena\"", "vorname=\"Lena\"");
        QTest::newRow("one column twice in a row") << athletes("Name=\"Beispiel\"", "Name=\"Beispiel\" Name=\"Zweit\"");
        QTest::newRow("row state twice") << athletes("RowState=\"4\"", "RowState=\"4\" RowState=\"4\"");
        QTest::newRow("row state with garbage") << athletes("RowState=\"4\"", "RowState=\"4x\"");
        QTest::newRow("number with garbage inside") << athletes("Geburtsjahr=\"1995\"", "Geburtsjahr=\"19)5\"");
        QTest::newRow("text longer than its column") << athletes("Vorname=\"Lena\"", "Vorname=\"Lena-Marie-Charlotte-Sophie\"");
        QTest::newRow("flag neither true nor false") << athletes("readonly=\"true\"", "readonly=\"trve\"");
        QTest::newRow("field attribute in other letters") << athletes("readonly=\"true\"", "readonlY=\"true\"");
        QTest::newRow("field named twice") << athletes("attrname=\"Vorname\"", "attrname=\"Vorname\" tagname=\"Vorname\"");
        QTest::newRow("two fields of one name") << athletes("attrname=\"Name\"", "attrname=\"Vorname\"");
        QTest::newRow("width with garbage") << athletes("WIDTH=\"20\"", "WIDTH=\"2O\"");
        QTest::newRow("negative width") << athletes("WIDTH=\"20\"", "WIDTH=\"-20\"");
        QTest::newRow("unknown field parameter") << athletes("WIDTH=\"20\"", "WIDTX=\"20\"");
        QTest::newRow("parameter twice") << athletes("WIDTH=\"20\"", "WIDTH=\"20\" width=\"20\"");
        QTest::newRow("unknown table parameter") << athletes("AUTOINCVALUE=\"2\"", "AUTOINCVALUD=\"2\"");
        QTest::newRow("counter with garbage") << athletes("AUTOINCVALUE=\"2\"", "AUTOINCVALUE=\"2;\"");
        QTest::newRow("partial last change-log entry") << athletes("CHANGE_LOG=\"1 0 4\"", "CHANGE_LOG=\"1 0 4 2 0\"");
        QTest::newRow("change log with two blanks") << athletes("CHANGE_LOG=\"1 0 4\"", "CHANGE_LOG=\"1  0 4\"");
        QTest::newRow("change log with garbage") << athletes("CHANGE_LOG=\"1 0 4\"", "CHANGE_LOG=\"1 0 4x\"");
        QTest::newRow("default order with garbage") << athletes("DEFAULT_ORDER=\"\"", "DEFAULT_ORDER=\"-\"");
        const QByteArray results = Golden("multiwert_created.xml");
        QTest::newRow("column in other letters") << QByteArray(results).replace("attrname=\"Level\"", "attrname=\"level\"").replace("<ROWDATA></ROWDATA>", "<ROWDATA><ROW werteid=\"1\" Level=\"5\"/></ROWDATA>");
        // clang-format on
    }
    void damagedDocumentsAreRefused() {
        QFETCH(QByteArray, document);
        QVERIFY_THROWS_EXCEPTION(PacketError, ReadPacketXml(Std(document)));
    }

    // Variations a reader meets in files written elsewhere; each reads as the original.
    void toleratedVariations_data() {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QByteArray>("variant");
        const QByteArray lena = Golden("sportler_lena.xml");
        const QByteArray memo = Golden("sportler_memo_untouched.xml");
        const QByteArray utf8 = QString::fromLatin1(memo).toUtf8().replace(
            "<?xml version=\"1.0\" standalone=\"yes\"?>",
            "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>");
        QTest::newRow("UTF-8 with declaration") << memo << utf8;
        QTest::newRow("UTF-8, declared in capitals")
            << memo << QByteArray(utf8).replace("encoding=\"utf-8\"", "ENCODING=\"UTF-8\"");
        QTest::newRow("UTF-8 with byte-order mark")
            << memo << QByteArray("\xEF\xBB\xBF") + QString::fromLatin1(memo).toUtf8();
        QTest::newRow("comments, instructions and line breaks")
            << lena
            << QByteArray(lena).replace("<METADATA>", "\r\n  <!-- Felder -->\n\t<?pi x?><METADATA>\n");
        QTest::newRow("row attributes reordered")
            << lena
            << QByteArray(lena).replace("sportlerid=\"1\" Vorname=\"Lena\" Name=\"Beispiel\"",
                                        "Name=\"Beispiel\" Vorname=\"Lena\" sportlerid=\"1\"");
        QTest::newRow("attribute order in FIELD")
            << lena
            << QByteArray(lena).replace("attrname=\"Vorname\" fieldtype=\"string\"",
                                        "fieldtype=\"STRING\" attrname=\"Vorname\"");
        QTest::newRow("empty ROWDATA element")
            << Golden("sportler_created.xml")
            << Golden("sportler_created.xml").replace("<ROWDATA></ROWDATA>", "<ROWDATA/>");
        QTest::newRow("without DATAPACKET")
            << lena
            << QByteArray(lena).replace("<DATAPACKET Version=\"2.0\">", "").replace("</DATAPACKET>", "");
        QTest::newRow("numeric references") << lena << QByteArray(lena).replace("Lena", "&#76;e&#x6E;a");
        QTest::newRow("type and flag in other letters")
            << lena
            << QByteArray(lena).replace("fieldtype=\"i4\" readonly=\"true\"",
                                        "fieldtype=\"I4\" readonly=\"TRUE\"");
        QTest::newRow("parameter names in other letters")
            << lena << QByteArray(lena).replace("AUTOINCVALUE", "AutoIncValue").replace("WIDTH", "Width");
    }

    // A declaration that says UTF-8 over bytes that are not UTF-8 is not believed: the
    // bytes stay as they are (one Windows-1252 character each).
    void declaredUtf8ThatIsNot() {
        QByteArray doc = Golden("sportler_memo_untouched.xml");
        doc.replace("<?xml version=\"1.0\" standalone=\"yes\"?>",
                    "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>");
        QVERIFY(doc.contains("J\xfcrgen"));
        const TableImage image = ReadPacketXml(Std(doc));
        QCOMPARE(std::get<std::string>(image.versions[0].values[1]), std::string("J\xfcrgen"));
    }

    // The 32 characters of Windows-1252 between 0x80 and 0x9F, each to its own code point
    // and back (the five undefined bytes to the C1 controls of the same number).
    void windows1252Upper() {
        const char32_t expected[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
        for (int b = 0x80; b <= 0x9F; ++b) {
            QCOMPARE(Cp1252ToCodePoint(static_cast<unsigned char>(b)), expected[b - 0x80]);
            QCOMPARE(CodePointToCp1252(expected[b - 0x80]), b);
        }
        QCOMPARE(Utf8ToCp1252("Š š € Ÿ"), std::string("\x8a \x9a \x80 \x9f"));
        QCOMPARE(Cp1252ToUtf8("\x8a\x9a"), std::string("Šš"));
    }

    // A file's own DEFAULT_ORDER decides the order of the records, and of the rows of a
    // table written without history.
    void defaultOrderFromTheFile() {
        QByteArray doc = Golden("sportler_no_history.xml");
        doc.replace("<PARAMS AUTOINCVALUE=\"2\"/>", "<PARAMS AUTOINCVALUE=\"4\" DEFAULT_ORDER=\"3\"/>");
        doc.replace("<ROW sportlerid=\"1\" Vorname=\"Lena\" Name=\"Beispiel\"",
                    "<ROW sportlerid=\"2\" Name=\"Zander\"/><ROW sportlerid=\"3\" Name=\"Meier\"/>"
                    "<ROW sportlerid=\"1\" Vorname=\"Lena\" Name=\"Beispiel\"");
        const TableImage image = ReadPacketXml(Std(doc));
        QCOMPARE(image.defaultOrder, (std::vector<std::uint32_t>{3}));
        QCOMPARE(RecordStore(image).Visible(), (std::vector<std::uint32_t>{3, 2, 1}));
        const QByteArray out = Bytes(WritePacketXml(image));
        QVERIFY(out.indexOf("Beispiel") < out.indexOf("Meier") &&
                out.indexOf("Meier") < out.indexOf("Zander"));
        QVERIFY(out.contains("DEFAULT_ORDER=\"3\""));
    }
    void toleratedVariations() {
        QFETCH(QByteArray, original);
        QFETCH(QByteArray, variant);
        QCOMPARE(Canonical(variant), Canonical(original));
    }

    // A table read over another one: the old rows go before the memory they lived in.
    void imageReadOverAnother() {
        TableImage image = ReadPacketXml(Std(Golden("sportler_memo_untouched.xml")));
        image = ReadPacketXml(Std(Golden("sportler_three_second_deleted.xml")));
        QCOMPARE(image.versions.size(), std::size_t(3));
        QCOMPARE(std::get<std::string>(image.versions[2].values[2]), std::string("Celik"));
        const TableImage copy = image;
        image = TableImage();
        QCOMPARE(std::get<std::string>(copy.versions[1].values[1]), std::string("Ben"));
    }

    // Inputs the fuzzer once found a fault with: each ends in a table or a reading failure.
    void fuzzRegressions() {
        const QDir dir(QStringLiteral(VEXO_GOLDEN "/../fuzz_regressions"));
        const QStringList files = dir.entryList(QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString& name : files) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            try {
                const TableImage image = ReadPacketXml(Std(bytes));
                ReadPacketXml(WritePacketXml(image)); // what was written reads again
            } catch (const PacketError&) {
            }
        }
    }

    void utf8WithoutDeclarationStaysBytes() {
        const QByteArray memo = Golden("sportler_memo_untouched.xml");
        const TableImage image = ReadPacketXml(Std(QString::fromLatin1(memo).toUtf8()));
        QCOMPARE(std::get<std::string>(image.versions[0].values[1]), std::string("J\xc3\xbcrgen"));
    }

    void carriedOverParameters() {
        QByteArray doc = Golden("sportler_lena.xml");
        doc.replace("<FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"20\"/>",
                    "<FIELD attrname=\"Name\" fieldtype=\"string\" defvalue=\"a&amp;b\" WIDTH=\"20\"/>");
        doc.replace("DEFAULT_ORDER=\"\"", "DEFAULT_ORDER=\"\" LCID=\"1031\" PRIMARY_KEY=\"1 2\"");
        const QByteArray out = Canonical(doc);
        QVERIFY(out.contains(
            "<FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"20\" DEFVALUE=\"a&amp;b\"/>"));
        QVERIFY(out.contains("AUTOINCVALUE=\"2\" DEFAULT_ORDER=\"\" LCID=\"1031\" PRIMARY_KEY=\"1 2\"/>"));
    }

    void writtenValues_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<data::Value>("value");
        QTest::addColumn<QByteArray>("row");
        auto text = [](const char* s) { return Value{std::string(s)}; };
        QTest::newRow("float 26.8") << int(FieldType::Float) << Value{26.8}
                                    << QByteArray("<ROW x=\"26.8\"/>");
        QTest::newRow("float 42") << int(FieldType::Float) << Value{42.0} << QByteArray("<ROW x=\"42\"/>");
        QTest::newRow("float 0.5") << int(FieldType::Float) << Value{0.5} << QByteArray("<ROW x=\"0.5\"/>");
        QTest::newRow("float 1e-05") << int(FieldType::Float) << Value{0.00001}
                                     << QByteArray("<ROW x=\"1e-05\"/>");
        QTest::newRow("integer") << int(FieldType::Integer) << Value{std::int64_t(-42)}
                                 << QByteArray("<ROW x=\"-42\"/>");
        QTest::newRow("date") << int(FieldType::Date) << Value{std::int64_t(DaysFromCivil(2010, 3, 1))}
                              << QByteArray("<ROW x=\"20100301\"/>");
        QTest::newRow("date 14 May 2009")
            << int(FieldType::Date) << Value{std::int64_t(DaysFromCivil(2009, 5, 14))}
            << QByteArray("<ROW x=\"20090514\"/>");
        QTest::newRow("markup characters") << int(FieldType::Text) << text("a<b & \"c\"")
                                           << QByteArray("<ROW x=\"a&lt;b &amp; &quot;c&quot;\"/>");
        QTest::newRow("backslash, apostrophe, tab, >")
            << int(FieldType::Text) << text("\\'\t>") << QByteArray("<ROW x=\"&#092;&apos;&#009;&gt;\"/>");
        QTest::newRow("two memo lines")
            << int(FieldType::Memo) << text("a\r\nb") << QByteArray("<ROW x=\"a&#013;&#010;b\"/>");
        QTest::newRow("umlaut as one byte") << int(FieldType::Text)
                                            << text("\xfc"
                                                    "berragend")
                                            << QByteArray("<ROW x=\"\xfc"
                                                          "berragend\"/>");
        QTest::newRow("empty text") << int(FieldType::Text) << text("") << QByteArray("<ROW x=\"\"/>");
        QTest::newRow("NULL is left out") << int(FieldType::Text) << Value{} << QByteArray("<ROW/>");
    }
    void writtenValues() {
        QFETCH(int, type);
        QFETCH(data::Value, value);
        QFETCH(QByteArray, row);
        QCOMPARE(Bytes(RowOf(FieldType(type), value)), row);
    }

    // A value is taken only when its whole text is one of its field; anything else refuses
    // the file (a value read otherwise than it stands would be saved back changed).
    void readValues_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QByteArray>("attribute");
        QTest::addColumn<data::Value>("expected");
        QTest::addColumn<bool>("refused");
        const QByteArray i4 = "<FIELD attrname=\"x\" fieldtype=\"i4\"/>";
        const QByteArray r8 = "<FIELD attrname=\"x\" fieldtype=\"r8\"/>";
        const QByteArray date = "<FIELD attrname=\"x\" fieldtype=\"date\"/>";
        const QByteArray str = "<FIELD attrname=\"x\" fieldtype=\"string\" WIDTH=\"20\"/>";
        const auto day = [](int y, int m, int d) { return Value{std::int64_t(DaysFromCivil(y, m, d))}; };
        // clang-format off
        QTest::newRow("integer") << i4 << QByteArray("x=\"17\"") << Value{std::int64_t(17)} << false;
        QTest::newRow("negative integer") << i4 << QByteArray("x=\"-42\"") << Value{std::int64_t(-42)} << false;
        QTest::newRow("zero") << i4 << QByteArray("x=\"0\"") << Value{std::int64_t(0)} << false;
        QTest::newRow("smallest integer") << i4 << QByteArray("x=\"-2147483648\"") << Value{std::int64_t(-2147483648ll)} << false;
        QTest::newRow("integer with blanks and letters") << i4 << QByteArray("x=\" -12abc\"") << Value{} << true;
        QTest::newRow("integer with garbage inside") << i4 << QByteArray("x=\"19)5\"") << Value{} << true;
        QTest::newRow("integer letter first") << i4 << QByteArray("x=\"abc12\"") << Value{} << true;
        QTest::newRow("integer with a plus") << i4 << QByteArray("x=\"+12\"") << Value{} << true;
        QTest::newRow("integer with a leading zero") << i4 << QByteArray("x=\"012\"") << Value{} << true;
        QTest::newRow("minus zero") << i4 << QByteArray("x=\"-0\"") << Value{} << true;
        QTest::newRow("integer empty") << i4 << QByteArray("x=\"\"") << Value{} << true;
        QTest::newRow("integer beyond 32 bits") << i4 << QByteArray("x=\"2147483648\"") << Value{} << true;
        QTest::newRow("integer far beyond") << i4 << QByteArray("x=\"99999999999999999999\"") << Value{} << true;
        QTest::newRow("float") << r8 << QByteArray("x=\"26.8\"") << Value{26.8} << false;
        QTest::newRow("float exponent") << r8 << QByteArray("x=\"1e-05\"") << Value{0.00001} << false;
        QTest::newRow("negative float") << r8 << QByteArray("x=\"-0.5\"") << Value{-0.5} << false;
        QTest::newRow("float of 16 digits") << r8 << QByteArray("x=\"0.1234567890123456\"") << Value{0.1234567890123456} << false;
        QTest::newRow("float comma") << r8 << QByteArray("x=\"40,5\"") << Value{} << true;
        QTest::newRow("float point without digits") << r8 << QByteArray("x=\"40.\"") << Value{} << true;
        QTest::newRow("float point first") << r8 << QByteArray("x=\".5\"") << Value{} << true;
        QTest::newRow("float leading zero") << r8 << QByteArray("x=\"07.5\"") << Value{} << true;
        QTest::newRow("float letter first") << r8 << QByteArray("x=\"e5\"") << Value{} << true;
        QTest::newRow("float not finite") << r8 << QByteArray("x=\"inf\"") << Value{} << true;
        QTest::newRow("float beyond a double") << r8 << QByteArray("x=\"1e999\"") << Value{} << true;
        QTest::newRow("date digits") << date << QByteArray("x=\"20100301\"") << day(2010, 3, 1) << false;
        QTest::newRow("date with dashes") << date << QByteArray("x=\"2010-03-01\"") << day(2010, 3, 1) << false;
        QTest::newRow("29 February") << date << QByteArray("x=\"20240229\"") << day(2024, 2, 29) << false;
        QTest::newRow("date one-digit day") << date << QByteArray("x=\"2009-05-4\"") << Value{} << true;
        QTest::newRow("date with garbage") << date << QByteArray("x=\"2024051<\"") << Value{} << true;
        QTest::newRow("date of nine digits") << date << QByteArray("x=\"202405011\"") << Value{} << true;
        QTest::newRow("date month 13") << date << QByteArray("x=\"20101301\"") << Value{} << true;
        QTest::newRow("date day 32") << date << QByteArray("x=\"20100132\"") << Value{} << true;
        QTest::newRow("date 30 February") << date << QByteArray("x=\"20100230\"") << Value{} << true;
        QTest::newRow("date too short") << date << QByteArray("x=\"201003\"") << Value{} << true;
        QTest::newRow("text longer than its column") << str << QByteArray("x=\"abcdefghijklmnopqrstu\"") << Value{} << true;
        QTest::newRow("text references") << str << QByteArray("x=\"&lt;&gt;&amp;&apos;&quot;&#092;&#252;&#x41;\"") << Value{std::string("<>&'\"\\\xfc" "A")} << false;
        QTest::newRow("backslash as it stands") << str << QByteArray("x=\"a\\b\"") << Value{} << true;
        QTest::newRow("empty text is not NULL") << str << QByteArray("x=\"\"") << Value{std::string()} << false;
        QTest::newRow("absent is NULL") << str << QByteArray("") << Value{} << false;
        // clang-format on
    }
    void readValues() {
        QFETCH(QByteArray, field);
        QFETCH(QByteArray, attribute);
        QFETCH(data::Value, expected);
        QFETCH(bool, refused);
        if (refused)
            QVERIFY_THROWS_EXCEPTION(PacketError, ReadOne(field.constData(), attribute.constData()));
        else
            QVERIFY(ReadOne(field.constData(), attribute.constData()) == expected);
    }

    void specialColumnNames() {
        TableImage image;
        image.columns.push_back(MakeColumn({"Level (m)", FieldType::Integer, 0}));
        image.columns.push_back(MakeColumn({"VO2-wert", FieldType::Float, 0}));
        image.versions.push_back({0, {Value{std::int64_t(5)}, Value{30.2}}});
        const std::string doc = WritePacketXml(image);
        QVERIFY(doc.find("<FIELD fieldname=\"Level (m)\" attrname=\"Level__m_\" fieldtype=\"i4\"/>") !=
                std::string::npos);
        QVERIFY(doc.find("<FIELD attrname=\"VO2-wert\" fieldtype=\"r8\"/>") != std::string::npos);
        QVERIFY(doc.find("<ROW Level__m_=\"5\" VO2-wert=\"30.2\"/>") != std::string::npos);
        const TableImage back = ReadPacketXml(doc);
        QCOMPARE(back.columns[0].name, std::string("Level (m)"));
        QVERIFY(back.versions[0].values[0] == Value{std::int64_t(5)});
    }

    // Whatever a table holds, writing and reading it gives the same table again.
    void randomRoundTrip() {
        std::mt19937 random(20261210);
        for (int round = 0; round < 50; ++round) {
            TableImage image;
            image.columns = {
                MakeColumn({"id", FieldType::AutoInc, 0}), MakeColumn({"n", FieldType::Integer, 0}),
                MakeColumn({"d", FieldType::Date, 0}),     MakeColumn({"f", FieldType::Float, 0}),
                MakeColumn({"t", FieldType::Text, 12}),    MakeColumn({"m", FieldType::Memo, 0})};
            image.columns[0].readOnly = true;
            RecordStore store(image);
            for (int op = 0; op < 40; ++op) {
                Values v(6);
                if (random() % 4)
                    v[1] = std::int64_t(int(random()) % 100000);
                if (random() % 4)
                    v[2] = std::int64_t(random() % 80000);
                if (random() % 4) // one decimal, as every float of the program has; "%.16g" holds it
                    v[3] = double(int(random() % 2000000) - 1000000) / 10.0;
                std::string s;
                for (unsigned k = random() % 12; k > 0; --k)
                    s += char(1 + random() % 255);
                if (random() % 4)
                    v[4] = s;
                v[5] = MemoValue(s + s + "&#;\r\n\""); // a memo cleared to NULL comes back empty, by design
                const auto visible = store.Visible();
                const unsigned what = random() % 3;
                if (what == 0 || visible.empty())
                    store.Insert(v);
                else if (what == 1)
                    store.Modify(visible[random() % visible.size()], v);
                else
                    store.Delete(visible[random() % visible.size()]);
            }
            const std::string once = WritePacketXml(store.Image());
            const TableImage back = ReadPacketXml(once);
            QCOMPARE(back.versions.size(), store.Image().versions.size());
            for (std::size_t n = 0; n < back.versions.size(); ++n)
                QVERIFY2(back.versions[n].values == store.Image().versions[n].values &&
                             back.versions[n].state == store.Image().versions[n].state,
                         qPrintable(QString("round %1 version %2").arg(round).arg(n + 1)));
            QCOMPARE(WritePacketXml(back), once);
        }
    }
};

QTEST_APPLESS_MAIN(TestPacketXml)
#include "test_packet_xml.moc"
