#pragma once
// A class list as school administrations and spreadsheets export it, read for import: a CSV
// or text file with ";", "," or tab between the fields (whichever the header row uses most),
// in UTF-8 with or without a byte-order mark or in Windows-1252, fields in quotes as
// spreadsheets write them. The header row names the columns in German or English, in any
// order: the name (Name, Nachname, Familienname; Last name, Surname), the first name
// (Vorname; First name), the sex (Geschlecht, m/w/d; Sex, Gender) and the birth year
// (Geburtsjahr, Jahrgang; Year of birth) or the birth date (Geburtsdatum; Date of birth, as
// dd.mm.yyyy or yyyy-mm-dd). Each row is checked as the athlete table would check it; a sex
// the table cannot hold ("d", empty) is left to be asked for, never guessed.
#include <string>
#include <vector>

namespace grouptest {

struct ClassListRow {
    int line = 0;                // in the file, from 1
    std::string firstName, name; // UTF-8
    std::string sex;             // "W", "M", or empty: to be asked for
    std::string sexAsWritten;
    int birthYear = 0;
    std::string birthAsWritten; // the year or date as the file has it
    std::string problem;        // why the row cannot be taken; empty when it can
};

struct ClassList {
    std::string encoding; // "UTF-8" or "Windows-1252"
    char separator = ';';
    std::vector<ClassListRow> rows;
};

constexpr std::size_t MaxClassListBytes = 2 * 1024 * 1024;

// Fails with vexo::Error (German) when the file is no class list at all: too large, no
// header row naming the name, the first name and the birth year or date.
ClassList ParseClassList(const std::string& bytes, int thisYear);

} // namespace grouptest
