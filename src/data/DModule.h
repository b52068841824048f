#pragma once
// The data module: the athlete table, the results table, the look-up copy of the athlete
// file, their two data sources, the post steps, and the operations that create, open,
// load and save the data files. One instance, DM1, lives from start-up to program end.
#include "data_source.h"
#include "table.h"

#include <cstdint>
#include <string>
#include <vector>

// The fields of the athlete file, of the results file and of the groups file, in the files'
// order.
extern const std::vector<data::FieldDef> SportlerFields;
extern const std::vector<data::FieldDef> MultiwertFields;
extern const std::vector<data::FieldDef> GruppenFields;

class TDM1 {
public:
    TDM1();
    ~TDM1(); // closes each table under the close rule, showing nothing
    TDM1(const TDM1&) = delete;
    TDM1& operator=(const TDM1&) = delete;

    data::Table cdsSportler{"cdsSportler"};
    data::Table cdsMultiwert{"cdsMultiwert"};
    data::Table cdsSportler2{"cdsSportler2"};
    // The groups of athletes ("Klasse 7b"): a name and the ids of the members. Opened at its
    // first use; a missing file is created then.
    data::Table cdsGruppen{"cdsGruppen"};
    data::DataSource d_Sportler{&cdsSportler};
    data::DataSource d_Multiwert{&cdsMultiwert};

    // The main window's first activation: binds the tables to their files and opens or
    // creates them.
    void FirstActivation();
    // Program end: saves the athlete table, then the results table, each with the record
    // still being typed posted, or dropped with a notice when its checks refuse it. Never
    // fails: what goes wrong is reported as a notice.
    void SaveAtProgramEnd();
    // Where typed input that could not be stored at program end is kept ("wiederherstellung.txt"
    // beside the data files), shown at the next start.
    static std::string RecoveryPath();
    // Adds `what` (UTF-8, with a heading line) to that file; false when it cannot be written.
    static bool KeepForRecovery(const std::string& what);
    // Closes the three tables under the close rule; failures are reported as notices.
    void CloseTables();
    // The athlete window's activation: open the athlete table, or create it new.
    void OpenOrCreateSportler();
    // The results window's activation: reload the results table, or create it new.
    void LoadOrCreateMultiwert();
    // The groups' first use: open the groups table, or create it (a file that cannot be
    // read is kept aside first, as the others).
    void OpenOrCreateGruppen();

    void CreateSportlerTable();
    void CreateMultiwertTable();
    void CreateGruppenTable();

    // Post steps.
    void cdsSportlerBeforePost(data::Table& table);
    void cdsSportlerAfterPost(data::Table& table);
    void cdsMultiwertBeforePost(data::Table& table);
    void cdsMultiwertAfterPost(data::Table& table);

    // The birth year and sex text of an athlete, read through the look-up copy; birth year 0
    // and "M" when no athlete has this id.
    void LookupSportler(std::int64_t id, int& birthYear, std::string& sex);
    // The rating word of a result (Windows-1252), or empty.
    std::string RateResult(std::int64_t athleteId, int date, double vo2max);

private:
    // After a failed open or load: keeps an existing, unreadable file of this table aside
    // and tells the user where it is.
    void KeepUnreadableFileAside(const std::exception_ptr& failure, const data::Table& table);
};

extern TDM1* DM1;
