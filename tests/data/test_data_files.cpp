// The data files over the program's life, in a temporary folder: first start, reloads,
// deleted and broken files, the saves at program end, and what a failing or interrupted
// save leaves behind.
#include "data/data_file.h"
#include "data/groups.h"
#include "data/instance_lock.h"
#include "data/packet_xml.h"
#include "data_rig.h"

#include <QDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <malloc.h>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace data;

namespace {

void AddResult(Table& t, std::int64_t athlete, int level) {
    PostResult(t, athlete, 2026, 12, 1, level, 1);
}

QStringList FilesIn(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files, QDir::Name);
}

QStringList DataFilesIn(const QTemporaryDir& dir) {
    QStringList files = FilesIn(dir);
    files.removeAll(QStringLiteral("multiwert.xml.bak"));
    files.removeAll(QStringLiteral("sportler.xml.bak"));
    return files;
}

// Runs `body` in a child process and returns its exit code (or 128 + signal).
template <typename F> int InChild(F body) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs `body` in a child process as an unprivileged user, with the rig's folder read-only
// (root may write anywhere, so the privilege is given up for the attempt).
template <typename F> int AsOtherUserInReadOnlyFolder(DataRig& rig, F body) {
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther |
                          QFile::ReadGroup | QFile::ExeGroup;
    QFile::setPermissions(rig.dir.path(), readOnly);
    const int result = InChild([&] {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return 2;
        return body();
    });
    QFile::setPermissions(rig.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return result;
}

bool SameValue(const Value& a, const Value& b) {
    const std::string* textA = TextOf(a);
    const std::string* textB = TextOf(b);
    if (textA || textB)
        return textA && textB && *textA == *textB;
    return a == b;
}

// Whether `changed` is `original` with exactly one value (a cell or the counter) another:
// the same columns, parameters, change log, rows and row states. An id changed above the
// counter moves the counter above it, as the reader does for any such file: that is the
// same one change.
bool OneValueChanged(const QByteArray& original, const QByteArray& changed) {
    const TableImage a = ReadPacketXml(std::string_view(original.constData(), std::size_t(original.size())));
    const TableImage b = ReadPacketXml(std::string_view(changed.constData(), std::size_t(changed.size())));
    if (a.columns.size() != b.columns.size() || a.versions.size() != b.versions.size() ||
        a.carriedParams != b.carriedParams)
        return false;
    for (std::size_t c = 0; c < a.columns.size(); ++c) {
        const Column &x = a.columns[c], &y = b.columns[c];
        if (x.name != y.name || x.type != y.type || x.width != y.width || x.readOnly != y.readOnly ||
            x.extraParams != y.extraParams)
            return false;
    }
    if (a.changeLog.size() != b.changeLog.size())
        return false;
    for (std::size_t i = 0; i < a.changeLog.size(); ++i)
        if (a.changeLog[i].record != b.changeLog[i].record ||
            a.changeLog[i].predecessor != b.changeLog[i].predecessor ||
            a.changeLog[i].action != b.changeLog[i].action)
            return false;
    int differences = 0;
    std::int64_t highestId = 0;
    const int idColumn = b.AutoIncColumn();
    for (std::size_t r = 0; r < a.versions.size(); ++r) {
        if (a.versions[r].state != b.versions[r].state)
            return false;
        for (std::size_t c = 0; c < a.columns.size(); ++c) {
            const Value &was = a.versions[r].values[c], &is = b.versions[r].values[c];
            if (IsNull(was) != IsNull(is))
                return false; // a value lost or made up is no flipped value
            differences += !SameValue(was, is);
        }
        if (idColumn >= 0)
            if (const auto* id = std::get_if<std::int64_t>(&b.versions[r].values[std::size_t(idColumn)]))
                highestId = std::max(highestId, *id);
    }
    if (a.autoIncValue != b.autoIncValue && !(differences == 1 && b.autoIncValue == highestId + 1))
        ++differences;
    return differences == 1;
}

} // namespace

class TestDataFiles : public QObject {
    Q_OBJECT
private slots:
    void firstStartInAnEmptyFolder() {
        DataRig rig;
        rig.Module().FirstActivation();
        QCOMPARE(rig.Read(global::SportlerPath), Golden("sportler_created.xml"));
        QCOMPARE(rig.Read(global::MultiwertPath), Golden("multiwert_created.xml"));
        QCOMPARE(FilesIn(rig.dir), (QStringList{"multiwert.xml", "sportler.xml"}));
        QVERIFY(rig.dialogs.Shown().empty());
        QVERIFY(rig.dm->cdsSportler.Active() && rig.dm->cdsSportler2.Active() &&
                rig.dm->cdsMultiwert.Active());
    }

    void athleteFilePresentResultsFileMissing() {
        DataRig rig;
        rig.Write(global::SportlerPath, Golden("sportler_lena.xml"));
        rig.Module().FirstActivation();
        QCOMPARE(rig.Read(global::SportlerPath), Golden("sportler_lena.xml")); // not written
        QCOMPARE(rig.Read(global::MultiwertPath), Golden("multiwert_created.xml"));
        QVERIFY(rig.dm->cdsSportler.Active()); // opened for the lookup fields
        QCOMPARE(rig.dm->cdsSportler.RecordCount(), 1);
    }

    void postedResultSurvivesTheReload() {
        DataRig rig;
        rig.Module().FirstActivation();
        AddResult(rig.dm->cdsMultiwert, 1, 7);
        rig.dm->LoadOrCreateMultiwert(); // the results window opened again
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 1);
        QCOMPARE(rig.dm->cdsMultiwert.AsInteger("Level"), std::int64_t(7));
        // Only a record not yet posted is lost.
        rig.dm->cdsMultiwert.Insert();
        rig.dm->cdsMultiwert.SetAsInteger("Level", 9);
        rig.dm->LoadOrCreateMultiwert();
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 1);
        QCOMPARE(rig.dm->cdsMultiwert.State(), TableState::Browse);
    }

    void resultsFileDeletedWhileRunning() {
        DataRig rig;
        rig.Module().FirstActivation();
        AddResult(rig.dm->cdsMultiwert, 1, 7);
        rig.dm->cdsMultiwert.SaveToFile();
        QFile::remove(QString::fromStdString(global::MultiwertPath));
        rig.dm->LoadOrCreateMultiwert();
        QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 1);
        QVERIFY(rig.Read(global::MultiwertPath).contains("Level=\"7\""));
    }

    // A data file that cannot be loaded, for whatever reason, is never overwritten
    // unnoticed: its bytes are kept aside and the user told before the new table is written.
    void unreadableFileIsKeptAside_data() {
        QTest::addColumn<bool>("athletes");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("kept");
        const QByteArray lena = Golden("sportler_lena.xml");
        QByteArray results = Golden("multiwert_created.xml");
        results.replace("<ROWDATA></ROWDATA>",
                        "<ROWDATA><ROW RowState=\"4\" werteid=\"1\" Level=\"7\"/></ROWDATA>");
        auto athletes = [&](const char* from, const char* to) { return QByteArray(lena).replace(from, to); };
        auto resultsWith = [&](const char* from, const char* to) {
            return QByteArray(results).replace(from, to);
        };
        // clang-format off
        QTest::newRow("results: garbage") << false << QByteArray("\x01\x02 kein Datenpaket") << true;
        QTest::newRow("results: truncated") << false << results.left(100) << true;
        QTest::newRow("results: zero bytes") << false << QByteArray() << false;
        QTest::newRow("results: Bewertung 20 wide") << false << resultsWith("WIDTH=\"15\"", "WIDTH=\"20\"") << true;
        QTest::newRow("results: Level as r8") << false << resultsWith("\"Level\" fieldtype=\"i4\"", "\"Level\" fieldtype=\"r8\"") << true;
        QTest::newRow("results: flipped byte in a field name") << false << resultsWith("attrname=\"Runde\"", "attrname=\"Rundu\"") << true;
        QTest::newRow("athletes: garbage") << true << QByteArray("<html></html>") << true;
        QTest::newRow("athletes: zero bytes") << true << QByteArray() << false;
        QTest::newRow("athletes: Vorname 25 wide") << true << athletes("\"Vorname\" fieldtype=\"string\" WIDTH=\"20\"", "\"Vorname\" fieldtype=\"string\" WIDTH=\"25\"") << true;
        QTest::newRow("athletes: Infos missing") << true << athletes("<FIELD attrname=\"Infos\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>", "") << true;
        QTest::newRow("athletes: Geburtsjahr as r8") << true << athletes("\"Geburtsjahr\" fieldtype=\"i4\"", "\"Geburtsjahr\" fieldtype=\"r8\"") << true;
        QTest::newRow("athletes: sportlerid without Autoinc") << true << athletes(" readonly=\"true\" SUBTYPE=\"Autoinc\"", "") << true;
        QTest::newRow("athletes: flipped byte in a field name") << true << athletes("attrname=\"Name\"", "attrname=\"Nbme\"") << true;
        QTest::newRow("athletes: row state against the log") << true << athletes("RowState=\"4\"", "RowState=\"5\"") << true;
        QTest::newRow("athletes: row state lost") << true << athletes("RowState=\"4\"", "RowStbte=\"4\"") << true;
        QTest::newRow("athletes: log names a missing row") << true << athletes("CHANGE_LOG=\"1 0 4\"", "CHANGE_LOG=\"1 0 4 2 0 2\"") << true;
        QTest::newRow("athletes: id's field name in other letters") << true << athletes("attrname=\"sportlerid\"", "attrname=\"sportLerid\"") << true;
        QTest::newRow("athletes: row attribute naming no field") << true << athletes("Geschlecht=\"W\"", "Geqchlecht=\"W\"") << true;
        QTest::newRow("athletes: garbage in a number") << true << athletes("Geburtsjahr=\"1995\"", "Geburtsjahr=\"19)5\"") << true;
        QTest::newRow("results: Level in other letters") << false << resultsWith("attrname=\"Level\"", "attrname=\"level\"") << true;
        QTest::newRow("athletes: two visible with one id") << true << athletes("</ROWDATA>", "<ROW sportlerid=\"1\" Name=\"Zwei\"/></ROWDATA>") << true;
        // clang-format on
    }
    void unreadableFileIsKeptAside() {
        QFETCH(bool, athletes);
        QFETCH(QByteArray, content);
        QFETCH(bool, kept);
        DataRig rig;
        rig.Module().FirstActivation();
        const std::string path = athletes ? global::SportlerPath : global::MultiwertPath;
        const char* name = athletes ? "sportler.xml" : "multiwert.xml";
        rig.Write(path, content);
        if (athletes) {
            rig.dm->cdsSportler.Close();
            rig.dm->OpenOrCreateSportler();
        } else {
            rig.dm->LoadOrCreateMultiwert();
        }
        QCOMPARE(rig.Read(path), athletes ? Golden("sportler_created.xml") : Golden("multiwert_created.xml"));
        const QString keptName = QStringLiteral("%1.defekt-20261210-100000").arg(QLatin1String(name));
        QCOMPARE(FilesIn(rig.dir).contains(keptName), kept);
        const std::vector<std::string> notices = rig.Notices();
        QVERIFY(rig.dialogs.Shown().empty()); // told by the window, not the data module
        if (kept) {
            QCOMPARE(rig.Read(rig.dir.filePath(keptName).toStdString()), content);
            QCOMPARE(notices.size(), std::size_t(1));
            QVERIFY(QString::fromStdString(notices[0]).contains(keptName));
        } else {
            QVERIFY(notices.empty());
        }
        QCOMPARE(FilesIn(rig.dir).size(), kept ? 3 : 2);
    }

    // An athlete file that cannot be read at the start is that file's failure alone: it is
    // kept aside (when it holds anything) and a new athlete table made, or, when it is no file
    // at all, named; the results file beside it stays as it is, and opens with its results.
    void brokenAthleteFileAtStartLeavesResultsAlone_data() {
        QTest::addColumn<QByteArray>("athletes"); // "pipe": a named pipe under the file's name
        QTest::addColumn<bool>("keptAside");
        QTest::addColumn<bool>("resultsOpen");
        QTest::newRow("damaged") << QByteArray("<DATAPACKET>kaputt") << true << true;
        QTest::newRow("empty") << QByteArray() << false << true;
        QTest::newRow("a pipe") << QByteArray("pipe") << false << false;
    }
    void brokenAthleteFileAtStartLeavesResultsAlone() {
        QFETCH(QByteArray, athletes);
        QFETCH(bool, keptAside);
        QFETCH(bool, resultsOpen);
        QByteArray results;
        {
            DataRig first;
            first.Module().FirstActivation();
            AddResult(first.dm->cdsMultiwert, 1, 7);
            first.dm->cdsMultiwert.SaveToFile();
            results = first.Read(global::MultiwertPath);
        }
        DataRig rig;
        rig.Write(global::MultiwertPath, results);
        if (athletes == "pipe")
            QCOMPARE(mkfifo(global::SportlerPath.c_str(), 0600), 0);
        else
            rig.Write(global::SportlerPath, athletes);
        const QString failure = FailureOf([&] { rig.Module().FirstActivation(); });
        QCOMPARE(failure.isEmpty(), resultsOpen);
        if (!resultsOpen)
            QVERIFY2(failure.contains(QString::fromStdString(global::SportlerPath)), qPrintable(failure));
        QCOMPARE(rig.Read(global::MultiwertPath), results);
        QCOMPARE(rig.dm->cdsMultiwert.Active(), resultsOpen);
        if (resultsOpen) {
            QCOMPARE(rig.dm->cdsMultiwert.RecordCount(), 1);
            QCOMPARE(rig.Read(global::SportlerPath), Golden("sportler_created.xml"));
        }
        QCOMPARE(FilesIn(rig.dir).contains("sportler.xml.defekt-20261210-100000"), keptAside);
        QVERIFY(!FilesIn(rig.dir).join(' ').contains("multiwert.xml.defekt"));
        const std::vector<std::string> notices = rig.Notices();
        QCOMPARE(notices.size(), std::size_t(keptAside ? 1 : 0));
        if (keptAside)
            QVERIFY(QString::fromStdString(notices[0]).contains("sportler.xml"));
    }

    // A load that runs out of memory is a failure of the file like any other (a child
    // process under a memory limit; the address-space limit does not combine with the
    // sanitizers' shadow memory).
    void loadOutOfMemoryKeepsTheFile() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("a memory limit cannot be set under AddressSanitizer");
#endif
        DataRig rig;
        rig.Module().FirstActivation();
        // A results file of 300 000 records (34 MB): its table needs about 100 MB.
        QByteArray bytes = Golden("multiwert_created.xml");
        QByteArray rows;
        for (int i = 1; i <= 300000; ++i)
            rows += "<ROW werteid=\"" + QByteArray::number(i) +
                    "\" sportlerid=\"1\" Datum=\"20260101\" Level=\"5\" Runde=\"1\" VO2-wert=\"29.5\" "
                    "Bewertung=\"sehr schlecht\"/>";
        bytes.replace("<ROWDATA></ROWDATA>", "<ROWDATA>" + rows + "</ROWDATA>");
        rig.Write(global::MultiwertPath, bytes);
        const int result = InChild([&] {
            malloc_trim(0);
            rlimit limit{};
            getrlimit(RLIMIT_AS, &limit);
            // What the process has mapped now, and 48 MB more: enough to read the file, not
            // enough for its table.
            long pages = 0, resident = 0;
            if (FILE* f = std::fopen("/proc/self/statm", "r")) {
                if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
                    pages = 0;
                std::fclose(f);
            }
            const rlimit tight{static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE)) + (48u << 20),
                               limit.rlim_max};
            setrlimit(RLIMIT_AS, &tight);
            try {
                rig.dm->LoadOrCreateMultiwert();
            } catch (...) {
                return 5; // keeping aside or creating failed as well
            }
            const std::vector<std::string> notices = rig.Notices();
            return notices.size() == 1 && notices[0].find("Arbeitsspeicher") != std::string::npos &&
                           rig.dm->cdsMultiwert.RecordCount() == 0
                       ? 0
                       : 4;
        });
        QCOMPARE(result, 0);
        QCOMPARE(rig.Read(rig.Path("multiwert.xml.defekt-20261210-100000")), bytes);
        QCOMPARE(rig.Read(global::MultiwertPath), Golden("multiwert_created.xml"));
    }

    // When the file cannot be kept aside (the folder is not writable), nothing is written
    // over it and the user is told.
    void fileThatCannotBeKeptAsideIsNotOverwritten() {
        DataRig rig;
        rig.Module().FirstActivation();
        rig.Write(global::MultiwertPath, "kaputt");
        const int result = AsOtherUserInReadOnlyFolder(rig, [&] {
            try {
                rig.dm->LoadOrCreateMultiwert();
                return 3;
            } catch (const vexo::Error& e) {
                return std::string(e.what()).find("wird nicht überschrieben") != std::string::npos ? 0 : 4;
            }
        });
        QCOMPARE(result, 0);
        QCOMPARE(rig.Read(global::MultiwertPath), QByteArray("kaputt"));
        QCOMPARE(FilesIn(rig.dir), (QStringList{"multiwert.xml", "sportler.xml"}));
    }

    // An unreadable athlete file makes the results table fail to open; the results file
    // itself is fine and must stay where it is.
    void brokenAthleteFileLeavesResultsFileAlone() {
        DataRig rig;
        rig.Module().FirstActivation();
        AddResult(rig.dm->cdsMultiwert, 1, 7);
        rig.dm->cdsMultiwert.SaveToFile();
        const QByteArray results = rig.Read(global::MultiwertPath);
        rig.dm->cdsSportler.Close();
        rig.Write(global::SportlerPath, "kaputt");
        QCOMPARE(FailureOf([&] { rig.dm->LoadOrCreateMultiwert(); }),
                 QStringLiteral("Mismatch in datapacket."));
        QCOMPARE(rig.Read(global::MultiwertPath), results);
        QCOMPARE(DataFilesIn(rig.dir), (QStringList{"multiwert.xml", "sportler.xml"}));
    }

    void savesAtProgramEnd() {
        DataRig rig;
        rig.Module().FirstActivation();
        PostAthlete(rig.dm->cdsSportler, "Eva", "Ende", "W", 1990);
        AddResult(rig.dm->cdsMultiwert, 1, 8);
        rig.dm->SaveAtProgramEnd();
        rig.dm.reset();
        TDM1 next;
        next.FirstActivation();
        QCOMPARE(next.cdsMultiwert.RecordCount(), 1);
        QCOMPARE(next.cdsSportler.RecordCount(), 1);
        QCOMPARE(next.cdsMultiwert.AsString("Sportler Name"), std::string("Ende"));
    }

    // What is still being typed at program end is posted with its checks, in each table:
    // a valid result goes in; an athlete they refuse is dropped with a word on what it was,
    // and neither stops the other table from being saved.
    void pendingRecordsAtProgramEnd() {
        DataRig rig;
        rig.Module().FirstActivation();
        AddResult(rig.dm->cdsMultiwert, 1, 8);
        Table& results = rig.dm->cdsMultiwert;
        results.Insert();
        results.SetAsInteger("sportlerid", 1);
        results.SetAsDate("Datum", DaysFromCivil(2026, 12, 10));
        results.SetAsInteger("Level", 9);
        results.SetAsInteger("Runde", 2);
        rig.dm->cdsSportler.Insert();
        rig.dm->cdsSportler.SetAsString("Vorname", "Ole");
        rig.dm->cdsSportler.SetAsString("Name", "Ohne Jahr");
        rig.dm->SaveAtProgramEnd();
        QCOMPARE(rig.dialogs.Texts(),
                 std::vector<std::string>{"das Geburtsjahr sollte zwischen 1920 und heute liegen!"});
        const std::vector<std::string> notices = rig.Notices();
        QCOMPARE(notices.size(), std::size_t(1));
        QVERIFY(notices[0].find("\"Ole Ohne Jahr\"") != std::string::npos);
        QVERIFY(notices[0].find("wiederherstellung.txt") != std::string::npos);
        const QByteArray kept = rig.Read(rig.Path("wiederherstellung.txt"));
        QVERIFY(kept.contains("Vorname: Ole") && kept.contains("Name: Ohne Jahr"));
        QVERIFY(rig.Read(global::SportlerPath).contains("<ROWDATA></ROWDATA>"));
        const QByteArray saved = rig.Read(global::MultiwertPath);
        QVERIFY(saved.contains("Level=\"8\"") && saved.contains("Level=\"9\" Runde=\"2\""));
        QCOMPARE(results.State(), TableState::Browse);
    }

    // The close rule: a table is written when it changed since it was opened (a post or a
    // deletion) or when its file has gone; a pending insert is dropped, not posted.
    void closeRule_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("written");
        QTest::newRow("unchanged, file there") << "nothing" << false;
        QTest::newRow("unchanged, file gone") << "remove file" << true;
        QTest::newRow("a deletion") << "delete" << true;
        QTest::newRow("a post") << "post" << true;
        QTest::newRow("a pending insert only") << "insert" << false;
    }
    void closeRule() {
        QFETCH(QString, what);
        QFETCH(bool, written);
        DataRig rig;
        rig.Module().FirstActivation();
        Table& t = rig.dm->cdsSportler;
        PostAthlete(t, "Anna", "Alt", "W", 1990);
        t.SaveToFile();
        t.LoadFromFile(global::SportlerPath); // opened afresh: nothing changed since
        const QByteArray marker("<!-- so gelassen -->");
        rig.Write(global::SportlerPath, rig.Read(global::SportlerPath) + marker);
        if (what == "remove file")
            QFile::remove(QString::fromStdString(global::SportlerPath));
        else if (what == "delete")
            t.Delete();
        else if (what == "post")
            PostAthlete(t, "Bert", "Bach", "M", 1980);
        else if (what == "insert")
            t.Insert();
        t.Close();
        QCOMPARE(!rig.Read(global::SportlerPath).endsWith(marker), written);
        t.Open();
        QCOMPARE(t.RecordCount(), what == "delete" ? 0 : what == "post" ? 2 : 1);
    }

    // "Änderungen speichern" writes the file even when nothing changed, and the end of the
    // program writes both files after mere browsing when they are gone (an unchanged table
    // whose file is there is in its file already).
    void savesWithNothingChanged() {
        DataRig rig;
        rig.Module().FirstActivation();
        rig.dm->cdsSportler.SaveToFile(); // the files as the loaded tables write them
        rig.dm->cdsMultiwert.SaveToFile();
        const QByteArray athletes = rig.Read(global::SportlerPath);
        const QByteArray results = rig.Read(global::MultiwertPath);
        QFile::remove(QString::fromStdString(global::SportlerPath));
        rig.dm->cdsSportler.SaveToFile();
        QCOMPARE(rig.Read(global::SportlerPath), athletes);
        QFile::remove(QString::fromStdString(global::SportlerPath));
        QFile::remove(QString::fromStdString(global::MultiwertPath));
        rig.dm->SaveAtProgramEnd();
        QCOMPARE(rig.Read(global::SportlerPath), athletes);
        QCOMPARE(rig.Read(global::MultiwertPath), results);
    }

    void closedTableSaveTouchesNoFile() {
        DataRig rig;
        Table& t = rig.Module().cdsMultiwert;
        t.SetFileName(global::MultiwertPath);
        t.SaveToFile();
        QVERIFY(FilesIn(rig.dir).isEmpty());
    }

    void folderNotWritable() {
        DataRig rig;
        rig.Module().FirstActivation();
        AddResult(rig.dm->cdsMultiwert, 1, 7);
        const QByteArray before = rig.Read(global::MultiwertPath);
        const int result = AsOtherUserInReadOnlyFolder(rig, [&] {
            try {
                rig.dm->cdsMultiwert.SaveToFile();
                return 3;
            } catch (const vexo::Error& e) {
                const std::string expected =
                    "Datei \"" + global::MultiwertPath + "\" kann nicht erstellt werden. ";
                const bool ok = std::string(e.what()).rfind(expected, 0) == 0 &&
                                std::string(e.what()).size() > expected.size() &&
                                rig.dm->cdsMultiwert.RecordCount() == 1;
                return ok ? 0 : 4;
            }
        });
        QCOMPARE(result, 0);
        QCOMPARE(rig.Read(global::MultiwertPath), before);
        QCOMPARE(FilesIn(rig.dir), (QStringList{"multiwert.xml", "sportler.xml"}));
    }

    // Where nothing can be saved (said at the start), a program end after mere browsing
    // writes nothing and says nothing; a changed table is still tried, and its failure said.
    void programEndInAReadOnlyFolder() {
        DataRig rig;
        rig.Module().FirstActivation();
        AddResult(rig.dm->cdsMultiwert, 1, 7);
        rig.dm->cdsMultiwert.SaveToFile();
        rig.dm.reset();
        rig.Module().FirstActivation(); // the next run: browsing only
        const int result = AsOtherUserInReadOnlyFolder(rig, [&] {
            rig.dm->SaveAtProgramEnd();
            if (!rig.Notices().empty())
                return 3;
            AddResult(rig.dm->cdsMultiwert, 1, 8);
            rig.dm->SaveAtProgramEnd();
            const std::vector<std::string> notices = rig.Notices();
            return notices.size() == 1 && notices[0].find("kann nicht erstellt werden") != std::string::npos
                       ? 0
                       : 4;
        });
        QCOMPARE(result, 0);
    }

    // A pipe under the groups file's name is named once and left alone: no table is made
    // over it, so nothing tries to write it at the end.
    void pipeAsGroupsFile() {
        DataRig rig;
        rig.Module().FirstActivation();
        QCOMPARE(mkfifo(global::GruppenPath.c_str(), 0600), 0);
        const QString failure = FailureOf([&] { rig.dm->OpenOrCreateGruppen(); });
        QVERIFY2(failure.contains(QStringLiteral("ist keine Datendatei")), qPrintable(failure));
        QVERIFY(!rig.dm->cdsGruppen.Active());
        rig.dm->SaveAtProgramEnd();
        rig.dm->CloseTables();
        QVERIFY(rig.Notices().empty());
        QVERIFY(IsOtherThanFile(global::GruppenPath));
    }

    // A data file the user may not write is not saved over, though its folder is writable.
    void readOnlyFileIsNotReplaced() {
        DataRig rig;
        rig.Module().FirstActivation();
        AddResult(rig.dm->cdsMultiwert, 1, 7);
        const QByteArray before = rig.Read(global::MultiwertPath);
        QFile::setPermissions(rig.dir.path(), QFile::Permissions(0x7777));
        QFile::setPermissions(QString::fromStdString(global::MultiwertPath),
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        const int result = InChild([&] {
            if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return 2;
            try {
                rig.dm->cdsMultiwert.SaveToFile();
                return 3;
            } catch (const vexo::Error& e) {
                return std::string(e.what()).find("kann nicht erstellt werden") != std::string::npos ? 0 : 4;
            }
        });
        QFile::setPermissions(rig.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(result, 0);
        QCOMPARE(rig.Read(global::MultiwertPath), before);
        QCOMPARE(QFileInfo(QString::fromStdString(global::MultiwertPath)).permissions() & QFile::WriteOwner,
                 QFile::Permissions());
    }

    // Saving through a symbolic link updates the file it points to; the link stays a link.
    void saveFollowsASymbolicLink() {
        DataRig rig;
        rig.Module().FirstActivation();
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("echte-werte.xml"));
        QVERIFY(QFile::rename(QString::fromStdString(global::MultiwertPath), target));
        QVERIFY(QFile::link(target, QString::fromStdString(global::MultiwertPath)));
        AddResult(rig.dm->cdsMultiwert, 1, 9);
        rig.dm->cdsMultiwert.SaveToFile();
        QVERIFY(QFileInfo(QString::fromStdString(global::MultiwertPath)).isSymLink());
        QVERIFY(rig.Read(target.toStdString()).contains("Level=\"9\""));
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files, QDir::Name),
                 (QStringList{"echte-werte.xml", "echte-werte.xml.bak"}));
    }

    // A save keeps the file it replaces as "<name>.bak"; saving the same content again (at
    // program end, after "Änderungen speichern") leaves that backup alone.
    void saveKeepsThePreviousFile() {
        DataRig rig;
        rig.Module().FirstActivation();
        Table& t = rig.dm->cdsSportler;
        PostAthlete(t, "Anna", "Alt", "W", 1990);
        t.SaveToFile();
        const QByteArray withAnna = rig.Read(global::SportlerPath);
        QCOMPARE(rig.Read(global::SportlerPath + ".bak"), Golden("sportler_created.xml"));
        t.First();
        t.Delete();
        t.SaveToFile();
        QCOMPARE(rig.Read(global::SportlerPath + ".bak"), withAnna);
        const QByteArray withoutAnna = rig.Read(global::SportlerPath);
        rig.dm->SaveAtProgramEnd();
        rig.dm.reset();
        QCOMPARE(rig.Read(global::SportlerPath), withoutAnna);
        QCOMPARE(rig.Read(global::SportlerPath + ".bak"), withAnna); // still the way back
    }

    // Only one copy of the program works on a data folder; the lock is the system's, so it
    // goes with the process that held it.
    void secondCopyFindsTheFolderLocked() {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        std::fflush(nullptr);
        const pid_t first = fork();
        if (first == 0) {
            InstanceLock lock(folder);
            const char c = lock.Acquired() ? 'y' : 'n';
            if (write(ready[1], &c, 1) != 1)
                _exit(1);
            pause();
            _exit(0);
        }
        char c = 0;
        QCOMPARE(read(ready[0], &c, 1), ssize_t(1));
        QCOMPARE(c, 'y');
        QVERIFY(!InstanceLock(folder).Acquired());
        kill(first, SIGKILL);
        waitpid(first, nullptr, 0);
        QVERIFY(InstanceLock(folder).Acquired());
        close(ready[0]);
        close(ready[1]);
    }

    // A lock that cannot be taken, for whatever reason, refuses the start: another user's
    // lock file that this user cannot open counts like a copy running. A folder where
    // nothing can be saved is said: no lock file can be made there, nor any data file.
    void lockThatCannotBeTaken() {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
        { const InstanceLock made(folder); } // another user's lock file, mode 0600
        QFile::setPermissions(QString::fromStdString(folder + InstanceLock::FileName),
                              QFile::ReadOwner | QFile::WriteOwner);
        int result = InChild([&] {
            if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return 2;
            const InstanceLock lock(folder);
            return lock.Status() == LockStatus::Unavailable && !lock.Reason().empty() ? 0 : 3;
        });
        QCOMPARE(result, 0);
        QFile::remove(QString::fromStdString(folder + InstanceLock::FileName));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        result = InChild([&] {
            if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return 2;
            const InstanceLock lock(folder);
            const std::string why = WhyNothingCanBeSaved(folder, {folder + "sportler.xml"});
            return lock.Status() == LockStatus::FolderNotWritable &&
                           why.find("kann keine Datei angelegt werden") != std::string::npos
                       ? 0
                       : 3;
        });
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(result, 0);
        QVERIFY(WhyNothingCanBeSaved(folder, {folder + "sportler.xml"}).empty());
    }

    // A backup that cannot be made (a folder in its place) does not stop the save: the data
    // file is written, and the user told which backup is missing.
    // A save stopped between its backup and its rename leaves the backup as a second name of
    // the file itself; the next save's backup then leaves no temporary name behind.
    void backupThatIsTheFileItself() {
        DataRig rig;
        rig.Module().FirstActivation();
        AddResult(rig.dm->cdsMultiwert, 1, 5);
        rig.dm->cdsMultiwert.SaveToFile();
        const std::string bak = global::MultiwertPath + ".bak";
        ::unlink(bak.c_str());
        QCOMPARE(::link(global::MultiwertPath.c_str(), bak.c_str()), 0);
        const QByteArray before = rig.Read(global::MultiwertPath);
        AddResult(rig.dm->cdsMultiwert, 2, 6);
        rig.dm->cdsMultiwert.SaveToFile();
        QCOMPARE(FilesIn(rig.dir).join(QLatin1Char(' ')),
                 QStringLiteral("multiwert.xml multiwert.xml.bak sportler.xml"));
        QCOMPARE(rig.Read(bak), before);
    }

    void backupThatCannotBeMade() {
        DataRig rig;
        rig.Module().FirstActivation();
        QVERIFY(QDir(rig.dir.path()).mkdir(QStringLiteral("multiwert.xml.bak")));
        AddResult(rig.dm->cdsMultiwert, 1, 7);
        rig.dm->cdsMultiwert.SaveToFile();
        QVERIFY(rig.Read(global::MultiwertPath).contains("Level=\"7\""));
        const std::vector<std::string> notices = rig.Notices();
        QCOMPARE(notices.size(), std::size_t(1));
        QVERIFY(notices[0].find(global::MultiwertPath + ".bak") != std::string::npos);
        QVERIFY(notices[0].find("wurde gespeichert") != std::string::npos);
    }

    // Only regular files are read and replaced: a pipe under the data file's name would hang
    // the start, a link to a device would be read without end. Both are refused with a clear
    // message and left as they are.
    void onlyRegularFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a pipe") << "pipe";
        QTest::newRow("a link to a device") << "device";
        QTest::newRow("a folder") << "folder";
    }
    void onlyRegularFiles() {
        QFETCH(QString, kind);
        DataRig rig;
        const QString results = QString::fromStdString(global::MultiwertPath);
        if (kind == "pipe")
            QCOMPARE(mkfifo(global::MultiwertPath.c_str(), 0600), 0);
        else if (kind == "device")
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), results));
        else
            QVERIFY(QDir(rig.dir.path()).mkdir(QStringLiteral("multiwert.xml")));
        const QString failure = FailureOf([&] { rig.Module().FirstActivation(); });
        QVERIFY2(failure.contains(QStringLiteral("ist keine Datendatei")), qPrintable(failure));
        QVERIFY(!rig.dm->cdsMultiwert.Active());
        const QFileInfo info(results);
        QVERIFY(kind == "pipe"     ? !info.isFile() && info.exists()
                : kind == "device" ? info.isSymLink() && info.symLinkTarget() == QStringLiteral("/dev/zero")
                                   : info.isDir());
        QVERIFY(QFile::exists(QString::fromStdString(global::SportlerPath))); // made as usual
        rig.dm->SaveAtProgramEnd(); // a closed table touches nothing
        QVERIFY(kind == "device" ? QFileInfo(results).isSymLink() : QFileInfo(results).exists());
    }

    // The temporary file of a save under way in another process is not removed as a
    // leftover; once that process is gone, the next save clears it away.
    void liveSaveOfAnotherProcessIsLeftAlone() {
        DataRig rig;
        rig.Module().FirstActivation();
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        std::fflush(nullptr);
        const pid_t other = fork();
        if (other == 0) {
            const std::string temp = global::MultiwertPath + ".tmp-" + std::to_string(getpid()) + "-abcdef";
            const int fd = open(temp.c_str(), O_CREAT | O_WRONLY, 0600);
            flock(fd, LOCK_EX);
            if (write(ready[1], "y", 1) != 1)
                _exit(1);
            pause();
            _exit(0);
        }
        char c = 0;
        QCOMPARE(read(ready[0], &c, 1), ssize_t(1));
        const QString temp = QStringLiteral("multiwert.xml.tmp-%1-abcdef").arg(other);
        rig.dm->cdsMultiwert.SaveToFile();
        QVERIFY(FilesIn(rig.dir).contains(temp));
        kill(other, SIGKILL);
        waitpid(other, nullptr, 0);
        rig.dm->cdsMultiwert.SaveToFile();
        QVERIFY(!FilesIn(rig.dir).contains(temp));
        close(ready[0]);
        close(ready[1]);
    }

    void fullDisk() {
        DataRig rig;
        rig.Module().FirstActivation();
        for (int i = 0; i < 50; ++i)
            AddResult(rig.dm->cdsMultiwert, i, 5);
        rig.dm->cdsMultiwert.SaveToFile();
        const QByteArray before = rig.Read(global::MultiwertPath);
        AddResult(rig.dm->cdsMultiwert, 99, 21);
        const int result = InChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            try {
                rig.dm->cdsMultiwert.SaveToFile();
                return 3;
            } catch (const vexo::Error& e) {
                const std::string expected =
                    "Datei \"" + global::MultiwertPath + "\" kann nicht erstellt werden. ";
                return std::string(e.what()).rfind(expected, 0) == 0 &&
                               rig.dm->cdsMultiwert.RecordCount() == 51
                           ? 0
                           : 4;
            }
        });
        QCOMPARE(result, 0);
        QVERIFY(before.size() > 4096);
        QCOMPARE(rig.Read(global::MultiwertPath), before);
        QCOMPARE(DataFilesIn(rig.dir), (QStringList{"multiwert.xml", "sportler.xml"}));
    }

    // Every single-bit flip of a small athlete file and of a small results file, both written
    // by the program: the file is read as it stands or kept aside as damaged, and after a
    // session's saves its damaged bytes are still somewhere, as the file itself, its backup
    // or the copy kept aside. Never two visible athletes with one id.
    void damagedByteNeverLosesData_data() {
        QTest::addColumn<bool>("athletes");
        QTest::newRow("athlete file") << true;
        QTest::newRow("results file") << false;
    }
    void damagedByteNeverLosesData() {
        QFETCH(bool, athletes);
        QByteArray original;
        {
            DataRig rig;
            rig.Module().FirstActivation();
            Table& t = athletes ? rig.dm->cdsSportler : rig.dm->cdsMultiwert;
            if (athletes) {
                PostAthlete(t, "Ida", "Iser", "W", 2008);
                PostAthlete(t, "Ole", "Ohm", "M", 2009);
                t.First();
                t.Edit();
                t.SetAsString("Infos", "Knie & \"Fuß\"");
                t.Post();
                t.Edit();
                t.SetAsInteger("Geburtsjahr", 2007);
                t.Post();
                t.Last();
                t.Delete();
            } else {
                PostResult(t, 1, 2026, 3, 16, 7, 3);
                PostResult(t, 2, 2026, 3, 17, 9, 1);
                t.First();
                t.Edit();
                t.SetAsInteger("Runde", 4);
                t.Post();
                t.Last();
                t.Delete();
            }
            t.SaveToFile();
            original = rig.Read(athletes ? global::SportlerPath : global::MultiwertPath);
        }
        int keptAside = 0, readAsItStands = 0;
        for (qsizetype at = 0; at < original.size(); ++at) {
            for (int bit = 0; bit < 8; ++bit) {
                QByteArray damaged = original;
                damaged[at] = static_cast<char>(damaged[at] ^ (1 << bit));
                DataRig rig(DataRig::MemoryFolder());
                const std::string path = athletes ? global::SportlerPath : global::MultiwertPath;
                rig.Write(path, damaged);
                TDM1& dm = rig.Module();
                // The program's start, then the athlete window: a failure is told by the window,
                // and the file is still there, as the checks below see.
                for (auto step : {&TDM1::FirstActivation, &TDM1::OpenOrCreateSportler}) {
                    try {
                        (dm.*step)();
                    } catch (const std::exception&) {
                    }
                }
                if (athletes && dm.cdsSportler.Active()) {
                    std::set<std::int64_t> ids;
                    for (int r = 0; r < dm.cdsSportler.RecordCount(); ++r)
                        ids.insert(IntegerOf(dm.cdsSportler.RecordValueAt(r, 0)));
                    QVERIFY2(
                        ids.size() == std::size_t(dm.cdsSportler.RecordCount()),
                        qPrintable(QString("byte %1 bit %2: two athletes with one id").arg(at).arg(bit)));
                }
                dm.SaveAtProgramEnd();
                dm.CloseTables();
                bool kept = false;
                for (const QString& name : FilesIn(rig.dir))
                    kept = kept || rig.Read(rig.dir.filePath(name).toStdString()) == damaged;
                QVERIFY2(kept,
                         qPrintable(QString("byte %1 bit %2: the damaged file is gone").arg(at).arg(bit)));
                const bool aside = FilesIn(rig.dir).join(' ').contains(".defekt-");
                keptAside += aside;
                readAsItStands += !aside;
                rig.Notices();
            }
        }
        qInfo("%d kept aside, %d read as they stand", keptAside, readAsItStands);
    }

    // Every single-bit flip of each data file as the program writes it either reads back to
    // exactly what was written, is refused (and so kept aside), or changes the one value it
    // hit into another valid value of that field: a flipped letter of a name or digit of a
    // year cannot be told from a real one. Anything else would be saved back changed.
    void everyBitFlipIsExactOrRefused_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("athletes") << QStringLiteral("sportler.xml");
        QTest::newRow("results") << QStringLiteral("multiwert.xml");
        QTest::newRow("groups") << QStringLiteral("gruppen.xml");
    }
    void everyBitFlipIsExactOrRefused() {
        QFETCH(QString, file);
        DataRig rig(DataRig::MemoryFolder());
        TDM1& dm = rig.Module();
        dm.FirstActivation();
        PostAthlete(dm.cdsSportler, "Jürgen", "Groß & \"Sohn\"", "M", 2011);
        PostAthlete(dm.cdsSportler, "Ida", "Iser", "W", 2012);
        dm.cdsSportler.First();
        dm.cdsSportler.Edit();
        dm.cdsSportler.SetAsString("Infos", "Knie\r\nlinks");
        dm.cdsSportler.Post();
        dm.cdsSportler.SaveToFile();
        PostResult(dm.cdsMultiwert, 1, 2026, 3, 16, 7, 3);
        PostResult(dm.cdsMultiwert, 2, 2026, 3, 17, 9, 1);
        dm.cdsMultiwert.First();
        dm.cdsMultiwert.Edit();
        dm.cdsMultiwert.SetAsInteger("Runde", 4);
        dm.cdsMultiwert.Post();
        dm.cdsMultiwert.Last();
        dm.cdsMultiwert.Delete();
        dm.cdsMultiwert.SaveToFile();
        GroupStore groups(dm);
        groups.Create("Klasse 7b", {1, 2});
        groups.Create("AG", {2});
        Table& table = file == "sportler.xml"    ? dm.cdsSportler
                       : file == "multiwert.xml" ? dm.cdsMultiwert
                                                 : dm.cdsGruppen;
        const QByteArray original = rig.Read(rig.Path(file.toLatin1().constData()));
        QVERIFY(original.size() > 500);
        const std::string flipped = rig.Path("flipped.xml"), again = rig.Path("again.xml");
        int identical = 0, refused = 0, oneValue = 0, other = 0;
        for (qsizetype at = 0; at < original.size(); ++at) {
            for (int bit = 0; bit < 8; ++bit) {
                QByteArray damaged = original;
                damaged[at] = static_cast<char>(damaged[at] ^ (1 << bit));
                rig.Write(flipped, damaged);
                try {
                    table.LoadFromFile(flipped);
                } catch (const std::exception&) {
                    ++refused;
                    continue;
                }
                table.SaveToFile(again);
                const QByteArray out = rig.Read(again);
                if (out == original) {
                    ++identical;
                } else if (OneValueChanged(original, out)) {
                    ++oneValue;
                } else {
                    ++other;
                    qWarning("byte %lld bit %d: %s", static_cast<long long>(at), bit,
                             original.mid(std::max<qsizetype>(0, at - 30), 60).constData());
                }
            }
        }
        qInfo("%s: %d identical, %d refused, %d one value changed, %d other", qPrintable(file), identical,
              refused, oneValue, other);
        QCOMPARE(other, 0);
    }

    // A process killed at any moment of a save leaves the previous or the new file, whole.
    void killedWhileSaving() {
        DataRig rig;
        rig.Module().FirstActivation();
        for (int i = 0; i < 300; ++i)
            AddResult(rig.dm->cdsMultiwert, i, 1 + i % 21);
        rig.dm->cdsMultiwert.SaveToFile();
        std::mt19937 random(4711);
        for (int round = 0; round < 200; ++round) {
            std::fflush(nullptr);
            const pid_t pid = fork();
            if (pid == 0) {
                for (int level = 1;; level = level % 21 + 1) {
                    rig.dm->cdsMultiwert.Edit();
                    rig.dm->cdsMultiwert.SetAsInteger("Level", level);
                    rig.dm->cdsMultiwert.Post();
                    rig.dm->cdsMultiwert.SaveToFile();
                }
            }
            usleep(static_cast<useconds_t>(random() % 15000));
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            const QByteArray bytes = rig.Read(global::MultiwertPath);
            try {
                const TableImage image =
                    ReadPacketXml(std::string(bytes.constData(), std::size_t(bytes.size())));
                QVERIFY(image.versions.size() >= 300);
            } catch (const std::exception& e) {
                QFAIL(qPrintable(QString("round %1: %2").arg(round).arg(e.what())));
            }
        }
        // The next save clears away what the killed saves left half written.
        rig.dm->cdsMultiwert.SaveToFile();
        QCOMPARE(DataFilesIn(rig.dir).join(QLatin1Char(' ')), QStringLiteral("multiwert.xml sportler.xml"));
    }
};

QTEST_APPLESS_MAIN(TestDataFiles)
#include "test_data_files.moc"
