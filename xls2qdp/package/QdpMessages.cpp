// SPDX-License-Identifier: MIT
#include "package/QdpMessages.h"

#include <qdpcore/qdpcore.h>

#include <array>

namespace xls2qdp {
namespace {

enum class Prefix { Critical, Plain, DiskSpace };

struct CodeText {
    std::string_view text;
    Prefix prefix;
};

// Index = code; entry 0 is unused. Code 34 shares the text of code 14.
constexpr std::array<CodeText, 56> kLibraryTexts = {{
    {"", Prefix::Plain},
    {"Brak błędu", Prefix::Plain},
    {"Błąd podczas wykonania konstruktora paczki", Prefix::Critical},
    {"Można zdefiniowac tylko jedną paczkę", Prefix::Critical},
    {"Nie istnieje paczka", Prefix::Critical},
    {"Nie można dodać dokumentu", Prefix::Critical},
    {"Nie można dodać sekcji", Prefix::Critical},
    {"Nie można dodać pola", Prefix::Critical},
    {"Dokument nie istnieje lub nie został poprawnie wybrany", Prefix::Critical},
    {"Sekcja nie istnieje lub nie została poprawnie wybrana", Prefix::Critical},
    {"Niepoprawna liczba definicji typów", Prefix::Critical},
    {"Niepoprawna liczba definicji  rozmiarów", Prefix::Critical},
    {"Niepoprawna liczba podanych precyzji", Prefix::Critical},
    {"Niepoprawna liczba podanych nazw", Prefix::Critical},
    {"W paczce nie został zdefiniowany żaden dokument", Prefix::Critical},
    {"W dokumencie nie została zdefiniowana żaden sekcja", Prefix::Critical},
    {"W sekcji nie zostało zdefiniowane żadne pole", Prefix::Critical},
    {"Za dużo pól w rekordzie", Prefix::Critical},
    {"Za mało pól w rekordzie", Prefix::Critical},
    {"Długość danej większa od zadeklarowanego rozmiaru pola", Prefix::Critical},
    {"Nieudana próba przydzielenia pamięci dla danych", Prefix::Plain},
    {"Niepoprawna nazwa zbioru", Prefix::Plain},
    {"Błąd podczas tworzenia zbioru", Prefix::Plain},
    {"Błąd podczas zamykania zbioru", Prefix::Plain},
    {"Problem z zapisem do zbioru lub patrz opis EBADF", Prefix::Plain},
    {"Na wybranym dysku nie ma dostatecznie dużo wolnego miejsca", Prefix::Plain},
    {"Nie można otworzyć zbioru", Prefix::Plain},
    {"Format RECORDU jest niezgodny z definicjami pól w danej sekcji", Prefix::Critical},
    {"Format DEFPOL w odczytywanym zbiorze jest niepoprawny", Prefix::Critical},
    {"Format SEKCJI w odczytwyanym zbiorze jest niepoprawny", Prefix::Critical},
    {"Format SPISEK w odczytywanym zbiorze jest niepoprawny", Prefix::Critical},
    {"Format DOKUMENTU w odczytywanym zbiorze jest niepoprawny", Prefix::Critical},
    {"Format SPISDOK w odczytywanym zbiorze jest niepoprawny", Prefix::Critical},
    {"Format PACZKI w odczytywanym zbiorze jest niepoprawny", Prefix::Critical},
    {"W paczce nie został zdefiniowany żaden dokument", Prefix::Critical},
    {"W dokumencie nie została zdefiniowana żadna sekcja", Prefix::Critical},
    {"W sekcji nie zostały zdefiniowane żadne pola", Prefix::Critical},
    {"Długość rekordu nie jest zgodna z sumą długości zdefiniowanych w sekcji pól",
     Prefix::Critical},
    {"Podczas ustawiania pozycji w zbiorze wystąpił błąd", Prefix::Critical},
    {"Zanim zaczniesz czytać otwórz zbiór", Prefix::Critical},
    {"End of File", Prefix::Plain},
    {"Koniec danych w sekcji", Prefix::Plain},
    {"Nie można zapisać danych do sekcji", Prefix::DiskSpace},
    {"Nie można zapisać nagłówka dokumentu", Prefix::DiskSpace},
    {"Nie można zapisać nagłówka paczki", Prefix::DiskSpace},
    {"Nie udało się utworzyć zbioru tymczsowego", Prefix::DiskSpace},
    {"To nie jest kartoteka", Prefix::Plain},
    {"Zbiór jest już zamknięty", Prefix::Plain},
    {"Nieudane kopiowanie łańcucha", Prefix::Critical},
    {"Nieopisany błąd", Prefix::Plain},
    {"Niepoprawna suma kontrolna", Prefix::Plain},
    {"Błąd podczas szyfrowania danych", Prefix::Plain},
    {"W paczce nie został zdefiniowany ten dokument", Prefix::Plain},
    {"W dokumencie nie została zdefiniowana ta sekcja", Prefix::Plain},
    {"W sekcji nie zostało zdefiniowane to pole", Prefix::Plain},
    {"Niepoprawny typ pola. Na polu o takim typie nie może być wykonana żądana funkcja.",
     Prefix::Plain},
}};

// The library refuses a package that its file format could not carry.
constexpr CodeText kFormatLimitText{
    "Liczba rekordów, sekcji, pól albo rozmiar lub wersja przekracza granicę zapisu w formacie "
    "paczki",
    Prefix::Plain};
constexpr CodeText kTooLargeText{"Paczka przekroczyłaby największy dopuszczalny rozmiar zbioru "
                                 "(2147483647 bajtów)",
                                 Prefix::Plain};

constexpr CodeText kSizeFieldText{
    "Pole rozmiaru powiązane z polem typu B jest za krótkie na długość jego zawartości",
    Prefix::Plain};
constexpr CodeText kFolderMissingText{
    "Kartoteka na zbiory tymczasowe lub na paczkę nie istnieje (usunięto ją w trakcie pracy)",
    Prefix::Plain};

const CodeText* findText(std::int32_t code) {
    if (code >= 1 && code < static_cast<std::int32_t>(kLibraryTexts.size()))
        return &kLibraryTexts[static_cast<std::size_t>(code)];
    if (code == QDP_FORMAT_LIMIT) return &kFormatLimitText;
    if (code == QDP_PACKAGE_TOO_LARGE) return &kTooLargeText;
    if (code == QDP_SIZE_FIELD_TOO_NARROW) return &kSizeFieldText;
    if (code == QDP_FOLDER_MISSING) return &kFolderMissingText;
    return nullptr;
}

} // namespace

std::string_view libraryMessageText(std::int32_t code) {
    const CodeText* entry = findText(code);
    return entry ? entry->text : std::string_view{};
}

std::string exceptionText(std::int32_t code) {
    const CodeText* entry = code == 1 ? nullptr : findText(code);
    std::string text;
    if (!entry) {
        text = "Nieznany błąd: " + std::to_string(code);
    } else if (entry->prefix == Prefix::Critical) {
        text = "Błąd krytyczny: ";
        text += entry->text;
    } else if (entry->prefix == Prefix::Plain) {
        text = "Błąd: ";
        text += entry->text;
    } else {
        text = entry->text;
        text += ". Prawdopodobnie brak wystarczającej ilości miejsca na dysku";
    }
    text += "!!!";
    return text;
}

std::string libraryErrorBoxText(std::int32_t code) {
    std::string text = "Błąd biblioteki: " + std::to_string(code) + " ";
    if (code >= 2) {
        if (std::string_view detail = libraryMessageText(code); !detail.empty()) {
            text += "\r\n";
            text += detail;
        }
    }
    return text;
}

} // namespace xls2qdp
