#pragma once
// A data module on a temporary folder, with scripted dialogs and a virtual clock set to
// 10 December 2026, 10:00. The data files are the folder's "sportler.xml" and
// "multiwert.xml".
#include "data/DModule.h"
#include "data/date_value.h"
#include "data/notices.h"
#include "evaluation/global.h"
#include "fake_dialogs.h"
#include "platform/errors.h"
#include "virtual_clock.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <exception>
#include <memory>
#include <string>

struct DataRig {
    static platform::LocalDateTime Start() {
        return std::int64_t(data::DaysFromCivil(2026, 12, 10)) * platform::MillisecondsPerDay +
               10 * 3600000LL;
    }

    QTemporaryDir dir;
    VirtualClock clock{Start()};
    FakeDialogs dialogs;
    std::unique_ptr<TDM1> dm;

    DataRig() : DataRig(QString()) {}
    // In a folder under `base` (the system's temporary folder when empty); thousands of
    // rigs in a row go to memory (/dev/shm), where saving and syncing cost nothing.
    explicit DataRig(const QString& base)
        : dir(base.isEmpty() ? QDir::tempPath() + QStringLiteral("/vexo-XXXXXX")
                             : base + QStringLiteral("/vexo-XXXXXX")) {
        global::InitVO2Table();
        global::SportlerPath = Path("sportler.xml");
        global::MultiwertPath = Path("multiwert.xml");
        global::GruppenPath = Path("gruppen.xml");
        global::GruppentestPath = Path("gruppentest.journal");
    }
    ~DataRig() {
        dm.reset();
        data::TakeNotices(); // none left over for the next test
        DM1 = nullptr;
    }
    TDM1& Module() {
        if (!dm) {
            dm = std::make_unique<TDM1>();
            DM1 = dm.get();
        }
        return *dm;
    }
    // What the data layer reported for the user since the last call (the window would show
    // these after the handler).
    std::vector<std::string> Notices() const { return data::TakeNotices(); }
    // A folder in memory where there is one, for tests that save thousands of times.
    static QString MemoryFolder() {
        return QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QString();
    }
    std::string Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    QByteArray Read(const std::string& path) const {
        QFile f(QString::fromStdString(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Write(const std::string& path, const QByteArray& bytes) const {
        QFile f(QString::fromStdString(path));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }
};

// Posts an athlete; returns the id it was given.
inline std::int64_t PostAthlete(data::Table& t, const char* first, const char* last, const char* sex,
                                int year) {
    t.Insert();
    t.SetAsString("Vorname", first);
    t.SetAsString("Name", last);
    t.SetAsString("Geschlecht", sex);
    t.SetAsInteger("Geburtsjahr", year);
    t.Post();
    return t.AsInteger("sportlerid");
}

// Posts a result; whatever is typed into the VO2max field is replaced on posting.
inline void PostResult(data::Table& t, std::int64_t athlete, int y, int m, int d, int level, int shuttle) {
    t.Insert();
    t.SetAsInteger("sportlerid", athlete);
    t.SetAsDate("Datum", data::DaysFromCivil(y, m, d));
    t.SetAsInteger("Level", level);
    t.SetAsInteger("Runde", shuttle);
    t.SetAsFloat("VO2-wert", 99.9);
    t.Post();
}

// The message of the failure `f` raises, or an empty text when it raises none.
template <typename F> QString FailureOf(F f) {
    try {
        f();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

// Reads a file of the golden folder.
QByteArray Golden(const char* name);
