// The groups of athletes in their own file: created at the first use, every change saved
// with the data layer's guarantees, names checked, members kept in order; a damaged file
// kept aside like the others, and the other two files untouched.
#include "data/DModule.h"
#include "data/groups.h"
#include "data/packet_xml.h"
#include "data_rig.h"
#include "evaluation/global.h"

#include <QDir>
#include <QtTest>

using namespace data;

class TestGroups : public QObject {
    Q_OBJECT
private slots:
    void createdAtFirstUse() {
        DataRig rig;
        rig.Module().FirstActivation();
        const QByteArray athletes = rig.Read(global::SportlerPath);
        const QByteArray results = rig.Read(global::MultiwertPath);
        QVERIFY(!QFile::exists(QString::fromStdString(global::GruppenPath)));
        GroupStore groups(*rig.dm);
        QVERIFY(QFile::exists(QString::fromStdString(global::GruppenPath)));
        QVERIFY(groups.All().empty());
        // The other files keep their layouts byte for byte.
        QCOMPARE(rig.Read(global::SportlerPath), athletes);
        QCOMPARE(rig.Read(global::MultiwertPath), results);
    }

    // Each change is in the file at once, and a new program reads it back.
    void changesAreSaved() {
        DataRig rig;
        rig.Module().FirstActivation();
        std::int64_t id = 0;
        {
            GroupStore groups(*rig.dm);
            id = groups.Create("Klasse 7b", {5, 3, 5, 9});
            groups.Create("U16 Mädchen");
            groups.Rename(id, "  Klasse 7c ");
            groups.SetMembers(id, {12, 3});
        }
        rig.dm.reset();
        rig.Module().FirstActivation();
        GroupStore groups(*rig.dm);
        const auto all = groups.All();
        QCOMPARE(all.size(), std::size_t(2));
        const Group g = groups.Get(id);
        QCOMPARE(g.name, std::string("Klasse 7c"));
        QCOMPARE(g.members, (std::vector<std::int64_t>{3, 12}));
        QCOMPARE(groups.All()[1].name, std::string("U16 Mädchen"));
        groups.Delete(id);
        rig.dm.reset();
        rig.Module().FirstActivation();
        QCOMPARE(GroupStore(*rig.dm).All().size(), std::size_t(1));
        QVERIFY(QFile::exists(QString::fromStdString(global::GruppenPath + ".bak")));
    }

    void namesRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "  "
                               << "Bitte einen Namen für die Gruppe eingeben.";
        QTest::newRow("taken, other case") << "klasse 7B"
                                           << "Eine Gruppe \"Klasse 7b\" gibt es schon.";
        QTest::newRow("too long") << QString(41, QLatin1Char('x'))
                                  << "Der Name einer Gruppe darf höchstens 40 Zeichen lang sein.";
        QTest::newRow("not storable")
            << "Klasse ☺"
            << "Der Name \"Klasse ☺\" enthält Zeichen, die die Datei nicht speichern kann.";
    }
    void namesRefused() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        DataRig rig;
        rig.Module().FirstActivation();
        GroupStore groups(*rig.dm);
        groups.Create("Klasse 7b");
        QCOMPARE(FailureOf([&] { groups.Create(name.toStdString()); }), message);
        QCOMPARE(groups.All().size(), std::size_t(1));
        QVERIFY(!rig.dm->cdsGruppen.Editing());
    }

    // A groups file that cannot be read is kept aside and the user told, like the others.
    void damagedFileKeptAside() {
        DataRig rig;
        rig.Module().FirstActivation();
        rig.Write(global::GruppenPath, "<?xml version=\"1.0\"?><DATAPACKET broken");
        GroupStore groups(*rig.dm);
        QVERIFY(groups.All().empty());
        const auto notices = rig.Notices();
        QCOMPARE(notices.size(), std::size_t(1));
        QVERIFY(notices[0].find("gruppen.xml") != std::string::npos);
        QStringList aside = QDir(rig.dir.path()).entryList().filter(QStringLiteral("gruppen.xml.defekt-"));
        QCOMPARE(aside.size(), 1);
        QCOMPARE(rig.Read(rig.dir.filePath(aside[0]).toStdString()),
                 QByteArray("<?xml version=\"1.0\"?><DATAPACKET broken"));
    }

    void membersText() {
        QCOMPARE(MembersText({3, 17, 42}), std::string("3 17 42"));
        QCOMPARE(ParseMembers("42 3 x 17 3 -5"), (std::vector<std::int64_t>{3, 5, 17, 42}));
        QVERIFY(ParseMembers("").empty());
    }
};

QTEST_APPLESS_MAIN(TestGroups)
#include "test_groups.moc"
