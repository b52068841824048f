#include "DModule.h"

#include "data_file.h"
#include "date_value.h"
#include "evaluation/fitness_rating.h"
#include "evaluation/global.h"
#include "notices.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "table_errors.h"
#include "text_encoding.h"

#include <cctype>

TDM1* DM1 = nullptr;

using data::FieldType;

const std::vector<data::FieldDef> SportlerFields{
    {"sportlerid", FieldType::AutoInc, 0},  {"Vorname", FieldType::Text, 20},
    {"Name", FieldType::Text, 20},          {"Geschlecht", FieldType::Text, 10},
    {"Geburtsjahr", FieldType::Integer, 0}, {"Infos", FieldType::Memo, 0}};

const std::vector<data::FieldDef> MultiwertFields{
    {"werteid", FieldType::AutoInc, 0}, {"sportlerid", FieldType::Integer, 0},
    {"Datum", FieldType::Date, 0},      {"Level", FieldType::Integer, 0},
    {"Runde", FieldType::Integer, 0},   {"VO2-wert", FieldType::Float, 0},
    {"Bewertung", FieldType::Text, 15}, {"Infoswerte", FieldType::Memo, 0}};

const std::vector<data::FieldDef> GruppenFields{
    {"gruppenid", FieldType::AutoInc, 0}, {"Name", FieldType::Text, 40}, {"Mitglieder", FieldType::Memo, 0}};

namespace {

// Refuses a post: the user is told why, then the silent abort ends the post.
[[noreturn]] void Refuse(const std::string& message) {
    platform::Dialogs().ShowMessage(message);
    throw vexo::Abort();
}

} // namespace

TDM1::TDM1() {
    cdsSportler.SetFieldDefs(SportlerFields);
    cdsSportler.IndexDefs() = {{"DEFAULT_ORDER", ""}, {"CHANGEINDEX", ""}};
    cdsSportler.SetIndexFieldNames("Name");
    cdsSportler.BeforePost = [this](data::Table& t) { cdsSportlerBeforePost(t); };
    cdsSportler.AfterPost = [this](data::Table& t) { cdsSportlerAfterPost(t); };

    cdsSportler2.SetFieldDefs(SportlerFields);
    cdsSportler2.SetIndexFieldNames("sportlerid");

    cdsMultiwert.SetFieldDefs(MultiwertFields);
    cdsMultiwert.IndexDefs() = {{"cdsMultiwertIndex1", ""}};
    cdsMultiwert.AddLookupField(
        {"Sportler Vorname", 20, "sportlerid", &cdsSportler, "sportlerid", "Vorname"});
    cdsMultiwert.AddLookupField({"Sportler Name", 20, "sportlerid", &cdsSportler, "sportlerid", "Name"});
    cdsMultiwert.SetFieldOrder({"werteid", "sportlerid", "Datum", "Level", "Runde", "VO2-wert", "Infoswerte",
                                "Sportler Vorname", "Sportler Name", "Bewertung"});
    cdsMultiwert.SetIndexFieldNames("sportlerid;Datum");
    cdsMultiwert.BeforePost = [this](data::Table& t) { cdsMultiwertBeforePost(t); };
    cdsMultiwert.AfterPost = [this](data::Table& t) { cdsMultiwertAfterPost(t); };

    cdsGruppen.SetFieldDefs(GruppenFields);
    cdsGruppen.SetIndexFieldNames("Name");

    // The look-up copy is ready from the start when the athlete file is there already.
    cdsSportler2.SetFileName(global::SportlerPath);
    if (!global::SportlerPath.empty() && data::FileExists(global::SportlerPath)) {
        try {
            cdsSportler2.Open();
        } catch (const vexo::Error&) {
            // an unreadable file is dealt with when the tables are opened
        }
    }
}

TDM1::~TDM1() {
    // The program's end has closed the tables already (CloseTables); this is the backstop
    // for any other way out, and shows nothing.
    CloseTables();
}

void TDM1::CloseTables() {
    for (data::Table* table : {&cdsSportler, &cdsMultiwert, &cdsSportler2, &cdsGruppen}) {
        try {
            table->Close();
        } catch (const vexo::Abort&) {
        } catch (const std::exception& e) {
            data::ReportNotice(e.what());
        }
    }
}

// ----- post steps -----

void TDM1::cdsSportlerBeforePost(data::Table& table) {
    const std::int64_t year = table.AsInteger("Geburtsjahr");
    const int thisYear = data::CivilFromDays(platform::Clock().Today()).year;
    if (year < 1920 || year > thisYear)
        Refuse("das Geburtsjahr sollte zwischen 1920 und heute liegen!");
    std::string sex = table.AsString("Geschlecht");
    for (char& c : sex)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    if (sex != "W" && sex != "M")
        Refuse("das Geschlecht sollte \"W\" oder \"M\" sein");
}

void TDM1::cdsSportlerAfterPost(data::Table&) {
    // The look-up copy re-reads the athlete file at its next use.
    cdsSportler2.Close();
}

void TDM1::cdsMultiwertBeforePost(data::Table& table) {
    const auto level = static_cast<std::int32_t>(table.AsInteger("Level"));
    const auto shuttle = static_cast<std::int32_t>(table.AsInteger("Runde"));
    table.SetAsFloat("VO2-wert", global::LookupVO2(level, shuttle));
    const std::string word =
        RateResult(table.AsInteger("sportlerid"), table.AsDate("Datum"), table.AsFloat("VO2-wert"));
    table.SetAsString("Bewertung", word);
}

void TDM1::cdsMultiwertAfterPost(data::Table&) {}

// An athlete stored in the athlete table counts as soon as it is posted, saved to the file
// or not; the look-up copy answers for what the file holds (the athlete table closed, or
// the athlete deleted there but not yet in the file).
void TDM1::LookupSportler(std::int64_t id, int& birthYear, std::string& sex) {
    birthYear = 0;
    sex = "M";
    cdsSportler2.SetIndexFieldNames("Sportlerid");
    cdsSportler2.Open();
    const data::Value key{id};
    if (const data::Values* athlete = cdsSportler.FindStored(cdsSportler.FindField("sportlerid"), key)) {
        birthYear = static_cast<int>(
            data::IntegerOf(cdsSportler.ValueOf(*athlete, cdsSportler.FindField("Geburtsjahr"))));
        sex = data::BytesOf(cdsSportler.ValueOf(*athlete, cdsSportler.FindField("Geschlecht")));
    } else if (cdsSportler2.FindKey({key})) {
        birthYear = static_cast<int>(cdsSportler2.AsInteger("Geburtsjahr"));
        sex = cdsSportler2.AsString("Geschlecht");
    }
}

std::string TDM1::RateResult(std::int64_t athleteId, int date, double vo2max) {
    int birthYear = 0;
    std::string sex;
    LookupSportler(athleteId, birthYear, sex);
    const int age = data::CivilFromDays(date).year - birthYear;
    const auto word = evaluation::RateFitness(sex, age, vo2max);
    return word ? data::Utf8ToCp1252(*word) : std::string();
}

// ----- files -----

void TDM1::CreateSportlerTable() {
    cdsSportler.Close();
    cdsSportler.SetFileName(global::SportlerPath);
    cdsSportler.SetFieldDefs(SportlerFields);
    cdsSportler.IndexDefs() = {{"DEFAULT_ORDER", ""}, {"CHANGEINDEX", ""}};
    cdsSportler.CreateDataSet();
    cdsSportler.SaveToFile(global::SportlerPath);
    cdsSportler.LoadFromFile(global::SportlerPath);
}

void TDM1::CreateMultiwertTable() {
    cdsMultiwert.Close();
    cdsMultiwert.SetFileName(global::MultiwertPath);
    cdsMultiwert.SetFieldDefs(MultiwertFields);
    auto& indexes = cdsMultiwert.IndexDefs();
    bool known = false;
    for (const auto& index : indexes)
        known = known || index.name == "sportlerdatum";
    if (!known)
        indexes.push_back({"sportlerdatum", "sportlerid;Datum"});
    cdsMultiwert.CreateDataSet();
    cdsMultiwert.SaveToFile(global::MultiwertPath);
    cdsMultiwert.LoadFromFile(global::MultiwertPath);
}

void TDM1::CreateGruppenTable() {
    cdsGruppen.Close();
    cdsGruppen.SetFileName(global::GruppenPath);
    cdsGruppen.SetFieldDefs(GruppenFields);
    cdsGruppen.CreateDataSet();
    cdsGruppen.SaveToFile(global::GruppenPath);
    cdsGruppen.LoadFromFile(global::GruppenPath);
}

// Whatever made the open or load fail (a damaged packet, another layout, too little memory,
// an I/O error), the table's own file, when it exists and is not empty, is renamed out of
// the way and the user told, before a new table is written to its name. Failures that are
// not about this file pass on: another table's unreadable file (a lookup table), and a
// save that failed (then the create would fail the same way, and the file is fine).
void TDM1::KeepUnreadableFileAside(const std::exception_ptr& failure, const data::Table& table) {
    std::string reason;
    try {
        std::rethrow_exception(failure);
    } catch (const data::UnreadableFile& e) {
        if (e.Path() != table.FileName())
            std::rethrow_exception(failure);
        reason = e.what();
    } catch (const data::SaveError&) {
        throw;
    } catch (const std::exception& e) {
        reason = e.what();
    } catch (...) {
        reason = "Unbekannter Fehler";
    }
    const std::string& path = table.FileName();
    // A folder, a pipe or a device under the file's name is neither read nor replaced.
    if (!path.empty() && data::IsOtherThanFile(path))
        throw vexo::Error("\"" + path + "\" ist keine Datendatei " + data::Parenthesized(reason) +
                          ".\nDer Eintrag bleibt unangetastet; die Tabelle kann erst geöffnet werden, wenn "
                          "unter diesem Namen eine Datendatei oder nichts liegt.");
    if (path.empty() || !data::FileExists(path) || data::FileSizeOf(path) == 0)
        return;
    const std::string kept = data::KeepAside(path, platform::Clock().Now());
    if (kept.empty())
        throw vexo::Error("Die Datei \"" + path + "\" kann nicht gelesen werden " +
                          data::Parenthesized(reason) +
                          " und lässt sich nicht umbenennen. Sie wird nicht überschrieben.");
    data::ReportNotice("Die Datei \"" + path + "\" kann nicht gelesen werden " + data::Parenthesized(reason) +
                       ".\nSie bleibt unverändert als \"" + kept +
                       "\" erhalten; eine neue, leere Tabelle wird angelegt.");
}

void TDM1::OpenOrCreateSportler() {
    try {
        cdsSportler.Open();
    } catch (...) {
        KeepUnreadableFileAside(std::current_exception(), cdsSportler);
        CreateSportlerTable();
    }
}

void TDM1::OpenOrCreateGruppen() {
    if (cdsGruppen.Active())
        return;
    cdsGruppen.SetFileName(global::GruppenPath);
    // A pipe, a folder or a device under the name is neither read nor replaced; the table
    // stays closed, so that nothing tries to write it there again and again.
    if (data::IsOtherThanFile(global::GruppenPath))
        throw vexo::Error(
            "\"" + global::GruppenPath +
            "\" ist keine Datendatei.\nDer Eintrag bleibt unangetastet; die Gruppen können erst "
            "verwendet werden, wenn unter diesem Namen eine Datendatei oder nichts liegt.");
    if (!data::FileExists(global::GruppenPath)) {
        CreateGruppenTable();
        return;
    }
    try {
        cdsGruppen.LoadFromFile(global::GruppenPath);
        cdsGruppen.Open();
    } catch (...) {
        KeepUnreadableFileAside(std::current_exception(), cdsGruppen);
        CreateGruppenTable();
    }
}

void TDM1::LoadOrCreateMultiwert() {
    try {
        cdsMultiwert.LoadFromFile(global::MultiwertPath);
        cdsMultiwert.Open();
    } catch (...) {
        KeepUnreadableFileAside(std::current_exception(), cdsMultiwert);
        CreateMultiwertTable();
    }
}

void TDM1::FirstActivation() {
    cdsSportler.SetFileName(global::SportlerPath);
    cdsSportler2.SetFileName(global::SportlerPath);
    cdsMultiwert.SetFileName(global::MultiwertPath);
    if (!data::FileExists(global::SportlerPath)) {
        try {
            cdsSportler.LoadFromFile(global::SportlerPath);
            cdsSportler.Open();
        } catch (...) {
            KeepUnreadableFileAside(std::current_exception(), cdsSportler);
            CreateSportlerTable();
        }
        try {
            cdsSportler2.LoadFromFile(global::SportlerPath);
            cdsSportler2.Open();
        } catch (...) {
            KeepUnreadableFileAside(std::current_exception(), cdsSportler2);
            CreateSportlerTable();
        }
    } else {
        // The results table opens the athlete table for its look-ups: an athlete file that
        // cannot be read (empty, damaged, a pipe) is dealt with here, as that file's failure,
        // before it could be taken for one of the results file.
        OpenOrCreateSportler();
    }
    LoadOrCreateMultiwert();
}

namespace {

// The record being typed, in words the user recognises.
std::string PendingRecordText(data::Table& table) {
    if (table.FindField("Vorname") >= 0 && table.FindField("Sportler Vorname") < 0)
        return "der Sportler \"" +
               data::Cp1252ToUtf8(table.AsString("Vorname") + " " + table.AsString("Name")) + "\"";
    std::string text = "das Ergebnis";
    const std::string name = table.AsString("Sportler Vorname") + " " + table.AsString("Sportler Name");
    if (name != " ")
        text += " von " + data::Cp1252ToUtf8(name);
    if (!table.IsNull("Datum"))
        text += " vom " + data::FormatGermanDate(table.AsDate("Datum"));
    return text + " (Level " + table.AsString("Level") + ", Durchgang " + table.AsString("Runde") + ")";
}

} // namespace

std::string TDM1::RecoveryPath() {
    const auto slash = global::SportlerPath.find_last_of('/');
    return (slash == std::string::npos ? std::string() : global::SportlerPath.substr(0, slash + 1)) +
           "wiederherstellung.txt";
}

bool TDM1::KeepForRecovery(const std::string& what) {
    try {
        const std::string path = RecoveryPath();
        std::string text = data::FileExists(path) ? data::ReadWholeFile(path) : std::string();
        const std::int64_t now = platform::Clock().Now();
        text += "Am " + data::FormatGermanDate(static_cast<int>(now / platform::MillisecondsPerDay)) + " " +
                platform::Clock().FormatLongTime(now % platform::MillisecondsPerDay) + ":\n" + what + "\n\n";
        data::WriteFileSafely(path, text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

namespace {

// Every field of the record being typed, one a line, as the user would read them.
std::string RecordValuesText(data::Table& table) {
    std::string text;
    for (int f = 0; f < table.FieldCount(); ++f) {
        const std::string& name = table.FieldName(f);
        const std::string value = table.AsString(name);
        if (!value.empty())
            text += "  " + data::Cp1252ToUtf8(name) + ": " + data::Cp1252ToUtf8(value) + "\n";
    }
    return text;
}

} // namespace

// Each table on its own: a record still being typed is posted with its checks; one they
// refuse is kept in the recovery file and dropped, and the user is told which, so that the
// rest of the table is still saved. Nothing here stops the other table from being saved.
void TDM1::SaveAtProgramEnd() {
    for (auto [table, path] :
         {std::pair{&cdsSportler, &global::SportlerPath}, std::pair{&cdsMultiwert, &global::MultiwertPath},
          std::pair{&cdsGruppen, &global::GruppenPath}}) {
        if (table == &cdsGruppen && !table->Active())
            continue; // never used in this run: no file to write
        // Unchanged since it was read, and its file still there: the file holds it already.
        // (Writing the same bytes again would only fail where nothing can be saved, which
        // was said at the start.)
        if (table->Active() && !table->Changed() && !table->Editing() && data::FileExists(*path) &&
            data::FileSizeOf(*path) > 0)
            continue;
        try {
            try {
                table->SaveToFile(*path);
            } catch (const std::exception& e) {
                if (!table->Editing())
                    throw;
                const std::string what = PendingRecordText(*table);
                const bool kept =
                    KeepForRecovery("Nicht gespeichert: " + what + "\n" + RecordValuesText(*table));
                std::string notice = "Beim Beenden konnte " + what + " nicht gespeichert werden.";
                notice += kept ? " Die Eingaben stehen in \"" + RecoveryPath() +
                                     "\" und werden beim nächsten Start angezeigt."
                               : " Die Eingaben gehen verloren.";
                if (!dynamic_cast<const vexo::Abort*>(&e))
                    notice += "\n" + std::string(e.what());
                data::ReportNotice(notice);
                table->Cancel();
                table->SaveToFile(*path);
            }
        } catch (const vexo::Abort&) {
        } catch (const std::exception& e) {
            data::ReportNotice(e.what());
        }
    }
}
