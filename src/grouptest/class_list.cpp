#include "class_list.h"

#include "data/text_encoding.h"
#include "platform/errors.h"

#include <algorithm>
#include <map>

namespace grouptest {
namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Lower case for the header names (ASCII letters and the umlauts that occur in them).
std::string Key(const std::string& text) {
    std::string key;
    for (char c : Trim(text))
        key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    // "Geb.-Datum", "Geburts-datum": the punctuation does not matter.
    key.erase(std::remove_if(key.begin(), key.end(), [](char c) { return c == '.' || c == '-' || c == '_'; }),
              key.end());
    return key;
}

enum class Column { None, Name, FirstName, Sex, BirthYear, BirthDate };

Column ColumnOf(const std::string& header) {
    static const std::map<std::string, Column> names{{"name", Column::Name},
                                                     {"nachname", Column::Name},
                                                     {"familienname", Column::Name},
                                                     {"last name", Column::Name},
                                                     {"lastname", Column::Name},
                                                     {"surname", Column::Name},
                                                     {"family name", Column::Name},
                                                     {"vorname", Column::FirstName},
                                                     {"first name", Column::FirstName},
                                                     {"firstname", Column::FirstName},
                                                     {"given name", Column::FirstName},
                                                     {"geschlecht", Column::Sex},
                                                     {"m/w/d", Column::Sex},
                                                     {"m/w", Column::Sex},
                                                     {"sex", Column::Sex},
                                                     {"gender", Column::Sex},
                                                     {"geburtsjahr", Column::BirthYear},
                                                     {"jahrgang", Column::BirthYear},
                                                     {"year of birth", Column::BirthYear},
                                                     {"birth year", Column::BirthYear},
                                                     {"birthyear", Column::BirthYear},
                                                     {"geburtsdatum", Column::BirthDate},
                                                     {"gebdatum", Column::BirthDate},
                                                     {"geboren", Column::BirthDate},
                                                     {"date of birth", Column::BirthDate},
                                                     {"birth date", Column::BirthDate},
                                                     {"birthdate", Column::BirthDate},
                                                     {"dob", Column::BirthDate}};
    const auto found = names.find(Key(header));
    return found == names.end() ? Column::None : found->second;
}

// The fields of each line, with quotes as spreadsheets write them ("a ""b""", a line break
// inside quotes kept); each row with the line it starts on.
std::vector<std::pair<int, std::vector<std::string>>> SplitRows(const std::string& text, char separator) {
    std::vector<std::pair<int, std::vector<std::string>>> rows;
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false, any = false;
    int line = 1, rowLine = 1;
    auto endRow = [&] {
        if (any || !field.empty() || !fields.empty()) {
            fields.push_back(field);
            rows.emplace_back(rowLine, std::move(fields));
        }
        fields.clear();
        field.clear();
        any = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n')
                    ++line;
                field += c;
            }
        } else if (c == '"' && Trim(field).empty()) {
            field.clear();
            quoted = true;
            any = true;
        } else if (c == separator) {
            fields.push_back(field);
            field.clear();
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endRow();
            rowLine = ++line;
        } else {
            field += c;
        }
    }
    endRow();
    return rows;
}

char DetectSeparator(const std::string& firstLine) {
    std::size_t semicolons = 0, tabs = 0, commas = 0;
    bool quoted = false;
    for (char c : firstLine) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ';')
            ++semicolons;
        else if (!quoted && c == '\t')
            ++tabs;
        else if (!quoted && c == ',')
            ++commas;
    }
    if (semicolons >= tabs && semicolons >= commas && semicolons > 0)
        return ';';
    if (tabs >= commas && tabs > 0)
        return '\t';
    return commas > 0 ? ',' : ';';
}

int ParseInt(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoi(text);
}

// The year of a date "dd.mm.yyyy", "d.m.yyyy" or "yyyy-mm-dd"; -1 when it is none.
int YearOfDate(const std::string& text) {
    const auto dot1 = text.find('.');
    if (dot1 != std::string::npos) {
        const auto dot2 = text.find('.', dot1 + 1);
        if (dot2 == std::string::npos)
            return -1;
        const int day = ParseInt(text.substr(0, dot1)),
                  month = ParseInt(text.substr(dot1 + 1, dot2 - dot1 - 1));
        const int year = ParseInt(text.substr(dot2 + 1));
        return day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 1000 ? year : -1;
    }
    if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        const int year = ParseInt(text.substr(0, 4)), month = ParseInt(text.substr(5, 2)),
                  day = ParseInt(text.substr(8, 2));
        return day >= 1 && day <= 31 && month >= 1 && month <= 12 ? year : -1;
    }
    return -1;
}

std::string SexOf(const std::string& written) {
    const std::string k = Key(written);
    if (k == "w" || k == "weiblich" || k == "f" || k == "female" || k == "mädchen" || k == "girl")
        return "W";
    if (k == "m" || k == "männlich" || k == "male" || k == "junge" || k == "boy")
        return "M";
    return {}; // "d", "divers", empty: asked for
}

// Checked as the athlete table stores it: Windows-1252, at most 20 characters.
std::string TextProblem(const std::string& what, const std::string& utf8) {
    if (utf8.empty())
        return what + " fehlt";
    if (data::Cp1252ToUtf8(data::Utf8ToCp1252(utf8)) != utf8) {
        // Named, so that the teacher knows what to change: the first character that
        // Windows-1252 has no byte for.
        std::size_t i = 0;
        while (i < utf8.size()) {
            std::size_t length = 1;
            const auto lead = static_cast<unsigned char>(utf8[i]);
            if (lead >= 0xF0)
                length = 4;
            else if (lead >= 0xE0)
                length = 3;
            else if (lead >= 0xC0)
                length = 2;
            const std::string character = utf8.substr(i, length);
            if (data::Cp1252ToUtf8(data::Utf8ToCp1252(character)) != character)
                return what + " enthält das Zeichen \"" + character +
                       "\", das die Datei nicht speichern kann";
            i += length;
        }
        return what + " enthält Zeichen, die die Datei nicht speichern kann";
    }
    if (data::Utf8ToCp1252(utf8).size() > 20)
        return what + " ist länger als 20 Zeichen";
    return {};
}

} // namespace

ClassList ParseClassList(const std::string& bytes, int thisYear) {
    if (bytes.size() > MaxClassListBytes)
        throw vexo::Error("Die Datei ist zu groß für eine Klassenliste (mehr als 2 MB).");
    ClassList list;
    std::string text;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        list.encoding = "UTF-8";
        text = bytes.substr(3);
    } else if (data::IsValidUtf8(bytes)) {
        list.encoding = "UTF-8";
        text = bytes;
    } else {
        list.encoding = "Windows-1252";
        text = data::Cp1252ToUtf8(bytes);
    }
    const auto firstLineEnd = text.find_first_of("\r\n");
    list.separator = DetectSeparator(text.substr(0, firstLineEnd));
    const auto rows = SplitRows(text, list.separator);
    if (rows.empty())
        throw vexo::Error("Die Datei ist leer.");
    std::map<Column, std::size_t> columns;
    for (std::size_t c = 0; c < rows[0].second.size(); ++c)
        if (const Column column = ColumnOf(rows[0].second[c]);
            column != Column::None && !columns.count(column))
            columns[column] = c;
    if (!columns.count(Column::Name) || !columns.count(Column::FirstName) ||
        (!columns.count(Column::BirthYear) && !columns.count(Column::BirthDate)))
        throw vexo::Error("Die erste Zeile nennt nicht die Spalten Name, Vorname und Geburtsjahr (oder "
                          "Geburtsdatum). Gefunden: \"" +
                          text.substr(0, std::min<std::size_t>(firstLineEnd, 80)) + "\"");
    auto field = [&](const std::vector<std::string>& row, Column column) {
        const auto found = columns.find(column);
        return found != columns.end() && found->second < row.size() ? Trim(row[found->second])
                                                                    : std::string();
    };
    std::map<std::string, int> seen; // first name, name, year → line
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto& [line, cells] = rows[r];
        if (std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return Trim(c).empty(); }))
            continue;
        ClassListRow row;
        row.line = line;
        row.firstName = field(cells, Column::FirstName);
        row.name = field(cells, Column::Name);
        row.sexAsWritten = field(cells, Column::Sex);
        row.sex = SexOf(row.sexAsWritten);
        const std::string year = field(cells, Column::BirthYear);
        row.birthAsWritten = columns.count(Column::BirthYear) ? year : field(cells, Column::BirthDate);
        row.birthYear =
            columns.count(Column::BirthYear) ? ParseInt(year) : YearOfDate(field(cells, Column::BirthDate));
        if (row.birthYear < 0 && columns.count(Column::BirthYear) && columns.count(Column::BirthDate))
            row.birthYear = YearOfDate(field(cells, Column::BirthDate));
        if (std::string p = TextProblem("Der Name", row.name); !p.empty())
            row.problem = p;
        else if (std::string q = TextProblem("Der Vorname", row.firstName); !q.empty())
            row.problem = q;
        else if (row.birthYear < 1920 || row.birthYear > thisYear)
            row.problem = "das Geburtsjahr sollte zwischen 1920 und heute liegen";
        else {
            const std::string key = row.firstName + "\n" + row.name + "\n" + std::to_string(row.birthYear);
            if (const auto before = seen.find(key); before != seen.end())
                row.problem = "doppelt (wie Zeile " + std::to_string(before->second) + ")";
            else
                seen[key] = row.line;
        }
        list.rows.push_back(std::move(row));
    }
    return list;
}

} // namespace grouptest
