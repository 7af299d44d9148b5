// SPDX-License-Identifier: MIT
#include "common/testing/RecordingSink.h"
#include "package/QdpBase.h"
#include "package/QdpException.h"
#include "package/QdpMessages.h"
#include "package/testing/FakeQdpLibrary.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

struct CodeCase {
    std::int32_t code;
    const char* exception; // what pException throws
    const char* box;       // what pIntErrorMessBox shows
};

const CodeCase kCodeCases[] = {
    {2, "Błąd krytyczny: Błąd podczas wykonania konstruktora paczki!!!",
     "Błąd biblioteki: 2 \r\nBłąd podczas wykonania konstruktora paczki"},
    {5, "Błąd krytyczny: Nie można dodać dokumentu!!!",
     "Błąd biblioteki: 5 \r\nNie można dodać dokumentu"},
    {17, "Błąd krytyczny: Za dużo pól w rekordzie!!!",
     "Błąd biblioteki: 17 \r\nZa dużo pól w rekordzie"},
    {19, "Błąd krytyczny: Długość danej większa od zadeklarowanego rozmiaru pola!!!", nullptr},
    {20, "Błąd: Nieudana próba przydzielenia pamięci dla danych!!!", nullptr},
    {26, "Błąd: Nie można otworzyć zbioru!!!", nullptr},
    {27, "Błąd krytyczny: Format RECORDU jest niezgodny z definicjami pól w danej sekcji!!!",
     nullptr},
    {14, "Błąd krytyczny: W paczce nie został zdefiniowany żaden dokument!!!", nullptr},
    {34, "Błąd krytyczny: W paczce nie został zdefiniowany żaden dokument!!!",
     "Błąd biblioteki: 34 \r\nW paczce nie został zdefiniowany żaden dokument"},
    {39, "Błąd krytyczny: Zanim zaczniesz czytać otwórz zbiór!!!", nullptr},
    {40, "Błąd: End of File!!!", nullptr},
    {41, "Błąd: Koniec danych w sekcji!!!", nullptr},
    {42,
     "Nie można zapisać danych do sekcji. Prawdopodobnie brak wystarczającej ilości miejsca na "
     "dysku!!!",
     "Błąd biblioteki: 42 \r\nNie można zapisać danych do sekcji"},
    {43,
     "Nie można zapisać nagłówka dokumentu. Prawdopodobnie brak wystarczającej ilości miejsca na "
     "dysku!!!",
     nullptr},
    {44,
     "Nie można zapisać nagłówka paczki. Prawdopodobnie brak wystarczającej ilości miejsca na "
     "dysku!!!",
     nullptr},
    {45,
     "Nie udało się utworzyć zbioru tymczsowego. Prawdopodobnie brak wystarczającej ilości "
     "miejsca na dysku!!!",
     nullptr},
    {46, "Błąd: To nie jest kartoteka!!!", nullptr},
    {47, "Błąd: Zbiór jest już zamknięty!!!", nullptr},
    {48, "Błąd krytyczny: Nieudane kopiowanie łańcucha!!!", nullptr},
    {49, "Błąd: Nieopisany błąd!!!", nullptr},
    {55,
     "Błąd: Niepoprawny typ pola. Na polu o takim typie nie może być wykonana żądana funkcja.!!!",
     nullptr},
    {0, "Nieznany błąd: 0!!!", "Błąd biblioteki: 0 "},
    {1, "Nieznany błąd: 1!!!", "Błąd biblioteki: 1 "},
    {56, "Nieznany błąd: 56!!!", nullptr},
    {77, "Nieznany błąd: 77!!!", "Błąd biblioteki: 77 "},
    {-3, "Nieznany błąd: -3!!!", nullptr},
    {513, "Nieznany błąd: 513!!!", "Błąd biblioteki: 513 "},
    {506, nullptr, "Błąd biblioteki: 506 "},
    // The library's codes for numbers its file format cannot carry.
    {QDP_FORMAT_LIMIT,
     "Błąd: Liczba rekordów, sekcji, pól albo rozmiar lub wersja przekracza granicę zapisu w "
     "formacie paczki!!!",
     nullptr},
    {QDP_PACKAGE_TOO_LARGE,
     "Błąd: Paczka przekroczyłaby największy dopuszczalny rozmiar zbioru (2147483647 bajtów)!!!",
     "Błąd biblioteki: 71 \r\nPaczka przekroczyłaby największy dopuszczalny rozmiar zbioru "
     "(2147483647 bajtów)"},
    {QDP_SIZE_FIELD_TOO_NARROW,
     "Błąd: Pole rozmiaru powiązane z polem typu B jest za krótkie na długość jego zawartości!!!",
     nullptr},
    // A folder that went away is no full disk.
    {QDP_FOLDER_MISSING,
     "Błąd: Kartoteka na zbiory tymczasowe lub na paczkę nie istnieje (usunięto ją w trakcie "
     "pracy)!!!",
     "Błąd biblioteki: 73 \r\nKartoteka na zbiory tymczasowe lub na paczkę nie istnieje "
     "(usunięto ją w trakcie pracy)"},
};

TEST(QdpMessages, ExceptionAndErrorBoxTextsByCode) {
    testing::FakeQdpLibrary library;
    testing::RecordingSink sink;
    TQDPBase base({&library, &sink});
    for (const CodeCase& c : kCodeCases) {
        SCOPED_TRACE(c.code);
        if (c.exception) {
            try {
                base.pException(c.code);
                FAIL() << "pException returned";
            } catch (const QdpException& e) {
                EXPECT_EQ(e.what(), std::string(c.exception));
                EXPECT_EQ(e.code(), c.code);
            }
        }
        if (c.box) {
            sink.texts.clear();
            base.pIntErrorMessBox(c.code, true);
            ASSERT_EQ(sink.texts.size(), 1u);
            EXPECT_EQ(sink.texts[0], c.box);
            EXPECT_EQ(sink.kinds[0], MessageKind::Error);
        }
    }
}

TEST(QdpMessages, EveryLibraryCodeHasATextAndThirtyFourRepeatsFourteen) {
    for (std::int32_t code = 1; code <= 55; ++code)
        EXPECT_FALSE(libraryMessageText(code).empty()) << code;
    EXPECT_EQ(libraryMessageText(34), libraryMessageText(14));
    EXPECT_EQ(libraryMessageText(11), "Niepoprawna liczba definicji  rozmiarów"); // two blanks
    EXPECT_TRUE(libraryMessageText(0).empty());
    EXPECT_TRUE(libraryMessageText(56).empty());
}

TEST(QdpMessages, ShowSwitchOffShowsNothing) {
    testing::FakeQdpLibrary library;
    testing::RecordingSink sink;
    TQDPBase base({&library, &sink});
    base.pIntErrorMessBox(5, false);
    base.pStrErrorMessBox("tekst", false);
    EXPECT_TRUE(sink.texts.empty());
    base.pStrErrorMessBox("tekst", true);
    EXPECT_EQ(sink.texts, std::vector<std::string>{"tekst"});
}

TEST(QdpMessages, CopyFieldStaysInsideItsSlotAndBuffer) {
    const char buffer[] = {'a', 'b', 0, 'x', 'c', 'd', 'e', 'f', 'g'};
    std::span<const char> all(buffer, sizeof buffer);
    EXPECT_EQ(TQDPBase::fCopyField(all, 0, 4), "ab");
    EXPECT_EQ(TQDPBase::fCopyField(all, 1, 4), "cdef"); // slot full: no zero inside
    EXPECT_EQ(TQDPBase::fCopyField(all, 2, 4), "g");    // slot cut by the buffer's end
    EXPECT_EQ(TQDPBase::fCopyField(all, 3, 4), "");
    EXPECT_EQ(TQDPBase::fCopyField(all, 0, 0), "");
}

} // namespace
} // namespace xls2qdp
