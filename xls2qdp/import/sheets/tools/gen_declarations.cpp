// SPDX-License-Identifier: MIT
// Writes a declaration workbook of N data rows with realistic Polish data,
// for benchmarks, examples and test fixtures:
//   gen_declarations [--rows N] [--seed S] [--voivodeship WW] [--clean] OUTPUT.xlsx|OUTPUT.csv
// Rows 1-5 hold a title, row 6 the header, rows 7.. the declarations. Most
// addresses lie in the given voivodeship (default 12), some elsewhere; commune
// and locality names are real pairs from the official registry (PlaceList.inc).
// Dates are mostly date cells, some typed as text (a few in a form the import
// refuses); postal codes are text or numbers; some patients are foreigners
// without PESEL, children are declared by a parent. The same seed gives the
// same workbook. --clean writes the same people with every value in a form
// the import takes as it stands (dates as date cells or dd-mm-yyyy text,
// PESELs and postal codes as text).
#include "../CellText.h"
#include "../TemplateHeaders.h"
#include "XlsxStreamWriter.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::chrono;

struct Place {
    const char* voivodeship;
    const char* commune;
    const char* locality;
    bool town;
};
constexpr Place kPlaces[] = {
#include "PlaceList.inc"
};

constexpr const char* kWomen[] = {
    "Anna",     "Maria",    "Katarzyna", "Małgorzata", "Agnieszka", "Barbara",    "Ewa",
    "Krystyna", "Elżbieta", "Zofia",     "Joanna",     "Magdalena", "Monika",     "Jadwiga",
    "Danuta",   "Irena",    "Halina",    "Helena",     "Beata",     "Aleksandra", "Marta",
    "Dorota",   "Urszula",  "Jolanta",   "Grażyna",    "Bożena",    "Łucja",      "Iwona",
    "Teresa",   "Żaneta",   "Julia",     "Zuzanna",    "Hanna",     "Maja",       "Lena",
    "Alicja",   "Oliwia",   "Natalia",   "Wiktoria",   "Gabriela"};
constexpr const char* kMen[] = {
    "Piotr",    "Krzysztof", "Andrzej",    "Tomasz",     "Paweł",    "Jan",    "Michał",
    "Marcin",   "Stanisław", "Jakub",      "Adam",       "Marek",    "Łukasz", "Grzegorz",
    "Mateusz",  "Wojciech",  "Mariusz",    "Dariusz",    "Zbigniew", "Jerzy",  "Maciej",
    "Józef",    "Rafał",     "Kazimierz",  "Robert",     "Mirosław", "Henryk", "Ryszard",
    "Szymon",   "Antoni",    "Franciszek", "Wiktor",     "Filip",    "Kacper", "Bartłomiej",
    "Zdzisław", "Sławomir",  "Bogdan",     "Przemysław", "Jędrzej"};
// Surnames by their masculine and feminine forms.
constexpr std::array<const char*, 2> kSurnames[] = {{"Nowak", "Nowak"},
                                                    {"Kowalski", "Kowalska"},
                                                    {"Wiśniewski", "Wiśniewska"},
                                                    {"Wójcik", "Wójcik"},
                                                    {"Kowalczyk", "Kowalczyk"},
                                                    {"Kamiński", "Kamińska"},
                                                    {"Lewandowski", "Lewandowska"},
                                                    {"Zieliński", "Zielińska"},
                                                    {"Szymański", "Szymańska"},
                                                    {"Woźniak", "Woźniak"},
                                                    {"Dąbrowski", "Dąbrowska"},
                                                    {"Kozłowski", "Kozłowska"},
                                                    {"Jankowski", "Jankowska"},
                                                    {"Mazur", "Mazur"},
                                                    {"Kwiatkowski", "Kwiatkowska"},
                                                    {"Krawczyk", "Krawczyk"},
                                                    {"Piotrowski", "Piotrowska"},
                                                    {"Grabowski", "Grabowska"},
                                                    {"Nowakowski", "Nowakowska"},
                                                    {"Pawłowski", "Pawłowska"},
                                                    {"Michalski", "Michalska"},
                                                    {"Król", "Król"},
                                                    {"Wieczorek", "Wieczorek"},
                                                    {"Jabłoński", "Jabłońska"},
                                                    {"Wróbel", "Wróbel"},
                                                    {"Majewski", "Majewska"},
                                                    {"Olszewski", "Olszewska"},
                                                    {"Stępień", "Stępień"},
                                                    {"Jaworski", "Jaworska"},
                                                    {"Malinowski", "Malinowska"},
                                                    {"Adamczyk", "Adamczyk"},
                                                    {"Górski", "Górska"},
                                                    {"Nowicki", "Nowicka"},
                                                    {"Sikora", "Sikora"},
                                                    {"Walczak", "Walczak"},
                                                    {"Baran", "Baran"},
                                                    {"Rutkowski", "Rutkowska"},
                                                    {"Michalak", "Michalak"},
                                                    {"Szewczyk", "Szewczyk"},
                                                    {"Ostrowski", "Ostrowska"},
                                                    {"Tomaszewski", "Tomaszewska"},
                                                    {"Pietrzak", "Pietrzak"},
                                                    {"Duda", "Duda"},
                                                    {"Zalewski", "Zalewska"},
                                                    {"Wróblewski", "Wróblewska"},
                                                    {"Jasiński", "Jasińska"},
                                                    {"Marciniak", "Marciniak"},
                                                    {"Sadowski", "Sadowska"},
                                                    {"Bąk", "Bąk"},
                                                    {"Zawadzki", "Zawadzka"},
                                                    {"Jakubowski", "Jakubowska"},
                                                    {"Włodarczyk", "Włodarczyk"},
                                                    {"Chmielewski", "Chmielewska"},
                                                    {"Borkowski", "Borkowska"},
                                                    {"Sokołowski", "Sokołowska"},
                                                    {"Szczepański", "Szczepańska"},
                                                    {"Sawicki", "Sawicka"},
                                                    {"Kucharski", "Kucharska"},
                                                    {"Lis", "Lis"},
                                                    {"Maciejewski", "Maciejewska"},
                                                    {"Kubiak", "Kubiak"},
                                                    {"Kalinowski", "Kalinowska"},
                                                    {"Mazurek", "Mazurek"},
                                                    {"Wysocki", "Wysocka"},
                                                    {"Kołodziej", "Kołodziej"},
                                                    {"Czarnecki", "Czarnecka"},
                                                    {"Żak", "Żak"},
                                                    {"Źródłowski", "Źródłowska"},
                                                    {"Ślusarczyk", "Ślusarczyk"},
                                                    {"Łuczak", "Łuczak"},
                                                    {"Gałązka", "Gałązka"},
                                                    {"Kęska", "Kęska"}};
constexpr std::array<const char*, 2> kForeigners[] = {
    {"Kovalenko", "Olena"},   {"Shevchenko", "Oksana"}, {"Bondarenko", "Iryna"},
    {"Ivanou", "Aliaksandr"}, {"Melnyk", "Taras"},      {"Nguyen", "Van Minh"},
    {"Tkachenko", "Dmytro"},  {"Müller", "Jürgen"},     {"García López", "María José"}};
constexpr const char* kStreets[] = {
    "Mickiewicza",    "Słowackiego",      "Kościuszki",   "Długa",       "Polna",
    "Leśna",          "Ogrodowa",         "Szkolna",      "Lipowa",      "Kwiatowa",
    "Sienkiewicza",   "Kolejowa",         "Piłsudskiego", "Żeromskiego", "Źródlana",
    "Łąkowa",         "Spokojna",         "Krótka",       "3 Maja",      "Jana Pawła II",
    "Armii Krajowej", "Wojska Polskiego", "Słoneczna",    "Kopernika",   "Chopina",
    "Konopnickiej",   "Reymonta",         "Wiśniowa",     "Brzozowa"};
constexpr const char* kInsuranceTitles[] = {"P", "P", "P", "E", "R", "B", "D"};

// A deterministic generator (the same seed gives the same file on every platform).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int p) { return below(100) < p; }
    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[below(static_cast<int>(N))];
    }

private:
    std::uint64_t state_;
};

struct Cell {
    enum Kind { Empty, Text, Number, Date } kind = Empty;
    std::string text;
    double number = 0;
};
using Row = std::array<Cell, 38>;

int serialOf(year_month_day date) {
    return static_cast<int>((sys_days{date} - sys_days{1899y / December / 30}).count());
}

year_month_day randomDate(Random& random, int fromYear, int toYear) {
    const sys_days first{year{fromYear} / January / 1};
    const sys_days last{year{toYear} / December / 31};
    return year_month_day{first + days{random.below(static_cast<int>((last - first).count()) + 1)}};
}

std::string twoDigits(unsigned n) {
    std::string s(2, '0');
    s[0] = static_cast<char>('0' + n / 10 % 10);
    s[1] = static_cast<char>('0' + n % 10);
    return s;
}

std::string dayMonthYear(year_month_day d) {
    return twoDigits(static_cast<unsigned>(d.day())) + "-" +
           twoDigits(static_cast<unsigned>(d.month())) + "-" +
           std::to_string(static_cast<int>(d.year()));
}

std::string pesel(Random& random, year_month_day birth, bool female) {
    const int y = static_cast<int>(birth.year());
    int month = static_cast<int>(static_cast<unsigned>(birth.month()));
    if (y >= 2000) month += 20;
    std::string digits = twoDigits(static_cast<unsigned>(y % 100)) +
                         twoDigits(static_cast<unsigned>(month)) +
                         twoDigits(static_cast<unsigned>(birth.day()));
    digits += std::to_string(random.between(100, 999));
    digits += static_cast<char>('0' + random.below(5) * 2 + (female ? 0 : 1));
    static constexpr int kWeights[] = {1, 3, 7, 9, 1, 3, 7, 9, 1, 3};
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += (digits[static_cast<std::size_t>(i)] - '0') * kWeights[i];
    digits += static_cast<char>('0' + (10 - sum % 10) % 10);
    return digits;
}

void setText(Cell& cell, std::string text) {
    cell.kind = Cell::Text;
    cell.text = std::move(text);
}
void setNumber(Cell& cell, double value) {
    cell.kind = Cell::Number;
    cell.number = value;
}
void setDate(Cell& cell, year_month_day date) {
    cell.kind = Cell::Date;
    cell.number = serialOf(date);
}

// A date as most sheets hold it (a date cell), sometimes typed as text.
void setDateLikeUsers(Random& random, Cell& cell, year_month_day date, bool clean) {
    const int roll = random.below(100);
    if (roll < 88)
        setDate(cell, date);
    else if (roll < 97 || clean)
        setText(cell, dayMonthYear(date));
    else
        setText(cell, std::to_string(static_cast<int>(date.year())) + "-" +
                          twoDigits(static_cast<unsigned>(date.month())) + "-" +
                          twoDigits(static_cast<unsigned>(date.day())));
}

struct Doctor {
    std::string licence, pesel, surname, names;
};

class DeclarationMaker {
public:
    DeclarationMaker(std::uint64_t seed, std::string voivodeship, bool clean)
        : random_(seed), clean_(clean) {
        for (const Place& place : kPlaces)
            (place.voivodeship == voivodeship ? home_ : elsewhere_).push_back(&place);
        if (home_.empty()) home_ = elsewhere_;
        for (int i = 0; i < 4; ++i) {
            const bool female = random_.percent(50);
            const auto& surname = random_.pick(kSurnames);
            const year_month_day birth = randomDate(random_, 1955, 1990);
            doctors_.push_back({std::to_string(random_.between(1000000, 9999999)),
                                pesel(random_, birth, female), female ? surname[1] : surname[0],
                                female ? random_.pick(kWomen) : random_.pick(kMen)});
        }
    }

    void make(Row& row) {
        for (Cell& cell : row)
            cell = Cell{};
        const year_month_day today = 2026y / January / 15;
        const bool female = random_.percent(52);
        const bool foreigner = random_.percent(3);
        const year_month_day birth = randomDate(random_, 1930, 2025);
        const int age = static_cast<int>(today.year()) - static_cast<int>(birth.year());

        setText(row[0], random_.percent(85) ? "L" : (random_.percent(70) ? "P" : "O"));
        std::string surname, firstName;
        if (foreigner) {
            const auto& person = random_.pick(kForeigners);
            surname = person[0];
            firstName = person[1];
            // No PESEL: empty, or "0" as some clinics type it.
            if (random_.percent(50)) setText(row[1], random_.percent(50) ? "0" : " 0 ");
        } else {
            const auto& forms = random_.pick(kSurnames);
            surname = female ? forms[1] : forms[0];
            firstName = female ? random_.pick(kWomen) : random_.pick(kMen);
            const std::string id = pesel(random_, birth, female);
            // A PESEL column formatted as a number loses leading zeros.
            if (random_.percent(25) && !clean_)
                setNumber(row[1], std::strtod(id.c_str(), nullptr));
            else
                setText(row[1], id);
        }
        setText(row[2], surname);
        setText(row[3], random_.percent(8) && !foreigner
                            ? firstName + " " + (female ? random_.pick(kWomen) : random_.pick(kMen))
                            : firstName);
        if (female && age > 20 && !foreigner && random_.percent(40))
            setText(row[4], random_.pick(kSurnames)[1]);
        if (random_.percent(2))
            setText(row[5], "");
        else
            setDateLikeUsers(random_, row[5], birth, clean_);
        setText(row[6], female ? "K" : "M");
        const bool child = age < 18;
        setText(row[7], child && random_.percent(90) ? "C" : random_.pick(kInsuranceTitles));
        setDateLikeUsers(random_, row[8],
                         randomDate(random_, std::max(2015, static_cast<int>(birth.year())), 2025),
                         clean_);
        setNumber(row[9], random_.percent(90) ? 1 : 2);
        if (random_.percent(3)) setText(row[10], "D");
        if (!child && age <= 26 && random_.percent(30)) {
            setText(row[11], random_.percent(70) ? "S" : "U");
            setNumber(row[12], 2025);
        }
        setText(row[13], foreigner ? "T" : "N");
        setText(row[14], "N");

        const Place& place = placeFor();
        address(row, 15, place);
        if (random_.percent(20)) address(row, 22, placeFor());

        const Doctor& doctor =
            doctors_[static_cast<std::size_t>(random_.below(static_cast<int>(doctors_.size())))];
        setNumber(row[29], std::strtod(doctor.licence.c_str(), nullptr));
        setText(row[30], doctor.pesel);
        setText(row[31], doctor.surname);
        setText(row[32], doctor.names);

        if (row[7].text == "C") {
            const bool mother = random_.percent(60);
            const year_month_day parentBirth = randomDate(
                random_, static_cast<int>(birth.year()) - 40, static_cast<int>(birth.year()) - 22);
            setText(row[33], surname); // close enough: children carry a parent's surname
            setText(row[34], mother ? random_.pick(kWomen) : random_.pick(kMen));
            setText(row[35], foreigner ? "" : pesel(random_, parentBirth, mother));
            setDate(row[36], parentBirth);
            setText(row[37], foreigner ? "T" : "N");
        }
    }

private:
    const Place& placeFor() {
        const auto& pool = random_.percent(88) ? home_ : elsewhere_;
        return *pool[static_cast<std::size_t>(random_.below(static_cast<int>(pool.size())))];
    }

    // Postal code, city, street, house, flat, commune, phone from column `first`.
    void address(Row& row, int first, const Place& place) {
        const auto at = [&](int offset) -> Cell& {
            return row[static_cast<std::size_t>(first + offset)];
        };
        const int voivodeship = std::atoi(place.voivodeship);
        const int code = (voivodeship * 3 + random_.below(6)) % 100 * 1000 + random_.below(1000);
        const int style = random_.below(100);
        if (style < 70 || clean_)
            setText(at(0), twoDigits(static_cast<unsigned>(code / 1000)) + "-" +
                               std::to_string(1000 + code % 1000).substr(1));
        else if (style < 90)
            setNumber(at(0), code); // typed as a number: may lose a leading zero
        else
            setText(at(0), twoDigits(static_cast<unsigned>(code / 1000)) +
                               std::to_string(1000 + code % 1000).substr(1));
        setText(at(1), place.locality);
        if (place.town || random_.percent(30)) setText(at(2), random_.pick(kStreets));
        if (random_.percent(75))
            setNumber(at(3), random_.between(1, 180));
        else
            setText(at(3), std::to_string(random_.between(1, 99)) +
                               static_cast<char>('A' + random_.below(4)));
        if (place.town && random_.percent(55)) setNumber(at(4), random_.between(1, 120));
        setText(at(5), place.commune);
        if (random_.percent(60))
            setText(at(6), std::to_string(random_.between(500, 889)) + " " +
                               std::to_string(random_.between(100, 999)) + " " +
                               std::to_string(random_.between(100, 999)));
    }

    Random random_;
    bool clean_;
    std::vector<const Place*> home_, elsewhere_;
    std::vector<Doctor> doctors_;
};

// Writes the title rows, the header and N data rows through `sink`.
template <typename Sink>
void writeWorkbook(Sink& sink, long long rows, std::uint64_t seed, const std::string& voivodeship,
                   bool clean) {
    Row row;
    const auto emit = [&](int number) {
        sink.startRow(number);
        for (int c = 0; c < 38; ++c) {
            const Cell& cell = row[static_cast<std::size_t>(c)];
            switch (cell.kind) {
            case Cell::Empty:
                break;
            case Cell::Text:
                sink.text(c, cell.text);
                break;
            case Cell::Number:
                sink.number(c, cell.number);
                break;
            case Cell::Date:
                sink.date(c, static_cast<int>(cell.number));
                break;
            }
        }
        sink.endRow();
    };
    for (Cell& cell : row)
        cell = Cell{};
    setText(row[0], "Deklaracje wyboru lekarza, pielęgniarki i położnej POZ");
    emit(1);
    setText(row[0], "Świadczeniodawca: Przychodnia Zdrowia „Pod Lipami” sp. z o.o.");
    emit(2);
    setText(row[0], "Stan na dzień:");
    setDate(row[1], 2026y / January / 15);
    emit(3);
    for (Cell& cell : row)
        cell = Cell{};
    for (int c = 0; c < 38; ++c)
        setText(row[static_cast<std::size_t>(c)],
                std::string(xls2qdp::kTemplateHeaders[static_cast<std::size_t>(c)]));
    emit(6);
    DeclarationMaker maker(seed, voivodeship, clean);
    for (long long i = 0; i < rows; ++i) {
        maker.make(row);
        emit(static_cast<int>(7 + i));
    }
}

// The same rows as a spreadsheet saves them as CSV: UTF-8 with a byte order
// mark, semicolons, CR LF, cells as their display texts.
class CsvSink {
public:
    explicit CsvSink(const std::string& path) : out_(path, std::ios::binary) {
        if (!out_) throw std::runtime_error("cannot create " + path);
        out_ << "\xEF\xBB\xBF";
    }
    void startRow(int row) {
        for (; written_ + 1 < row; ++written_)
            out_ << std::string(37, ';') << "\r\n";
        cells_.fill({});
    }
    void text(int c, std::string_view value) { cells_[static_cast<std::size_t>(c)] = value; }
    void number(int c, double value) {
        cells_[static_cast<std::size_t>(c)] = xls2qdp::formatNumber(value);
    }
    void date(int c, int days) {
        cells_[static_cast<std::size_t>(c)] = xls2qdp::formatDateTime(days);
    }
    void endRow() {
        for (std::size_t c = 0; c < cells_.size(); ++c) {
            if (c) out_ << ';';
            const std::string& v = cells_[c];
            if (v.find_first_of(";\"\r\n") == std::string::npos) {
                out_ << v;
                continue;
            }
            out_ << '"';
            for (char ch : v)
                out_ << (ch == '"' ? "\"\"" : std::string(1, ch));
            out_ << '"';
        }
        out_ << "\r\n";
        ++written_;
    }
    void finish() {
        out_.flush();
        if (!out_) throw std::runtime_error("cannot write the CSV file");
    }

private:
    std::ofstream out_;
    std::array<std::string, 38> cells_;
    int written_ = 0;
};

int usage() {
    std::fputs("usage: gen_declarations [--rows N] [--seed S] [--voivodeship WW] [--clean] "
               "OUTPUT.xlsx|OUTPUT.csv\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    long long rows = 1000;
    std::uint64_t seed = 1;
    std::string voivodeship = "12";
    bool clean = false;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--rows" && hasValue)
            rows = std::atoll(argv[++i]);
        else if (arg == "--seed" && hasValue)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--voivodeship" && hasValue)
            voivodeship = argv[++i];
        else if (arg == "--clean")
            clean = true;
        else if (!arg.starts_with("--") && output.empty())
            output = arg;
        else
            return usage();
    }
    if (output.empty() || rows < 0 || rows > 1'048'570) return usage();
    try {
        if (output.ends_with(".csv")) {
            CsvSink sink(output);
            writeWorkbook(sink, rows, seed, voivodeship, clean);
            sink.finish();
        } else if (output.ends_with(".xlsx")) {
            xls2qdp::tools::XlsxStreamWriter sink(output);
            writeWorkbook(sink, rows, seed, voivodeship, clean);
            sink.finish();
        } else {
            return usage();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gen_declarations: %s\n", e.what());
        return 1;
    }
    return 0;
}
