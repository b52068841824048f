// The data files over the program's life, in a temporary folder: first start, reloads,
// deleted and broken files, the saves at program end, and what a failing or interrupted
// save leaves behind.
#include "data/data_file.h"
#include "data/packet_xml.h"
#include "data_rig.h"

#include <QDir>
#include <QtTest>

#include <csignal>
#include <random>
#include <sys/resource.h>
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

    // A data file that cannot be read is never overwritten unnoticed.
    void unreadableFileIsKeptAside_data() {
        QTest::addColumn<bool>("athletes");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("kept");
        QTest::newRow("results: garbage") << false << QByteArray("\x01\x02 kein Datenpaket") << true;
        QTest::newRow("results: truncated") << false << Golden("multiwert_created.xml").left(100) << true;
        QTest::newRow("results: zero bytes") << false << QByteArray() << false;
        QTest::newRow("athletes: garbage") << true << QByteArray("<html></html>") << true;
        QTest::newRow("athletes: zero bytes") << true << QByteArray() << false;
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
        if (kept) {
            QCOMPARE(rig.Read(rig.dir.filePath(keptName).toStdString()), content);
            QCOMPARE(rig.dialogs.Shown().size(), std::size_t(1));
            QVERIFY(QString::fromStdString(rig.dialogs.Shown()[0].text).contains(keptName));
        } else {
            QVERIFY(rig.dialogs.Shown().empty());
        }
        QCOMPARE(FilesIn(rig.dir).size(), kept ? 3 : 2);
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
        try {
            rig.dm->LoadOrCreateMultiwert();
            QFAIL("opened without the athlete table");
        } catch (const vexo::Error& e) {
            QCOMPARE(std::string(e.what()), std::string("Mismatch in datapacket."));
        }
        QCOMPARE(rig.Read(global::MultiwertPath), results);
        QCOMPARE(FilesIn(rig.dir), (QStringList{"multiwert.xml", "sportler.xml"}));
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

    // A refused athlete ends the explicit saving; releasing the module still writes every
    // changed table, dropping the pending record.
    void refusedRecordAtProgramEnd() {
        DataRig rig;
        rig.Module().FirstActivation();
        AddResult(rig.dm->cdsMultiwert, 1, 8);
        rig.dm->cdsSportler.Insert();
        rig.dm->cdsSportler.SetAsString("Name", "Ohne Jahr");
        const QByteArray athletesBefore = rig.Read(global::SportlerPath);
        QVERIFY_THROWS_EXCEPTION(vexo::Abort, rig.dm->SaveAtProgramEnd());
        QCOMPARE(rig.Read(global::MultiwertPath), Golden("multiwert_created.xml")); // not saved yet
        rig.dm.reset();
        QVERIFY(rig.Read(global::MultiwertPath).contains("Level=\"8\""));
        QCOMPARE(rig.Read(global::SportlerPath), athletesBefore);
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
        QFile::setPermissions(rig.dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                  QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        const int result = InChild([&] {
            // Root may write anywhere: give up the privilege for the attempt.
            if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return 2;
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
        QFile::setPermissions(rig.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(result, 0);
        QCOMPARE(rig.Read(global::MultiwertPath), before);
        QCOMPARE(FilesIn(rig.dir), (QStringList{"multiwert.xml", "sportler.xml"}));
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
        QCOMPARE(FilesIn(rig.dir), (QStringList{"multiwert.xml", "sportler.xml"}));
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
        QCOMPARE(FilesIn(rig.dir), (QStringList{"multiwert.xml", "sportler.xml"}));
    }
};

QTEST_APPLESS_MAIN(TestDataFiles)
#include "test_data_files.moc"
