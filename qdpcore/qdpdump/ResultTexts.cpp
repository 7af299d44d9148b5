// SPDX-License-Identifier: MIT
#include "ResultTexts.h"

#include <qdpcore/qdpcore.h>
#include <seclay/seclay.h>

namespace qdpdump {

std::string_view packageResultText(std::int32_t code) {
    switch (code) {
    case QDP_OK:
        return "bez błędu";
    case QDP_PACKAGE_NOT_CREATED:
        return "nie można utworzyć paczki";
    case QDP_NO_PACKAGE:
        return "nie ma takiej paczki";
    case QDP_DOCUMENT_NOT_CREATED:
        return "dokumentu nie można odczytać (jego położenie lub długość nie mieszczą się w pliku)";
    case QDP_SECTION_NOT_CREATED:
        return "sekcji nie można odczytać (jej położenie, długość lub rekordy nie mieszczą się w "
               "pliku)";
    case QDP_FIELD_NOT_CREATED:
        return "definicji pola nie można odczytać";
    case QDP_NO_DOCUMENT:
        return "brak bieżącego dokumentu";
    case QDP_NO_SECTION:
        return "brak bieżącej sekcji";
    case QDP_SECTION_EMPTY:
        return "sekcja nie ma definicji pól";
    case QDP_OUT_OF_MEMORY:
        return "brak pamięci";
    case QDP_BAD_PATH:
        return "nie ma takiego pliku (albo nie podano ścieżki)";
    case QDP_CREATE_FAILED:
        return "nie można utworzyć pliku";
    case QDP_CLOSE_FAILED:
        return "nie można zamknąć pliku";
    case QDP_DISK_FULL:
        return "brak miejsca na dysku";
    case QDP_OPEN_FAILED:
        return "nie można otworzyć pliku paczki do odczytu";
    case QDP_BAD_DEFPOL:
        return "definicja pola bez słowa DEFPOL";
    case QDP_BAD_SEKCJA:
        return "nagłówek sekcji bez słowa SEKCJA";
    case QDP_BAD_SPISSEK:
        return "pozycja spisu sekcji bez słowa SPISSEK";
    case QDP_BAD_DOKUMENT:
        return "nagłówek dokumentu bez słowa DOKUMENT";
    case QDP_BAD_SPISDOK:
        return "pozycja spisu dokumentów bez słowa SPISDOK";
    case QDP_FILE_TOO_SHORT:
        return "plik jest krótszy niż nagłówek paczki (124 bajty)";
    case QDP_NO_DOCUMENT_LISTED:
        return "paczka nie zawiera żadnego dokumentu";
    case QDP_NOTHING_TO_SELECT:
        return "dokument nie zawiera żadnej sekcji";
    case QDP_RECORD_LENGTH_2:
        return "sekcja nie ma definicji pól";
    case QDP_BAD_RECORD_END:
        return "rekord nie kończy się znakami CR LF";
    case QDP_SEEK_FAILED:
        return "odwołanie poza sekcję albo błąd pozycjonowania w pliku";
    case QDP_FILE_NOT_OPEN:
        return "plik paczki nie jest otwarty";
    case QDP_END_OF_SECTION:
        return "koniec rekordów sekcji";
    case QDP_WRITE_FAILED:
        return "błąd zapisu";
    case QDP_ALREADY_CLOSED:
        return "plik paczki był już zamknięty";
    case QDP_NULL_OUTPUT:
        return "brak bufora wyjściowego";
    case QDP_OS_ERROR:
        return "błąd systemu przy zapisie";
    case QDP_BAD_TOTAL_SIZE:
        return "długość pliku różni się od rozmiaru zapisanego w nagłówku paczki (plik uszkodzony "
               "lub niepełny)";
    case QDP_CRYPT_FAILED:
        return "błąd deszyfrowania";
    default:
        return "nieznany kod";
    }
}

std::string_view cipherResultText(std::int32_t code) {
    switch (code) {
    case SECLAY_OK:
        return "bez błędu";
    case SECLAY_BAD_HANDLE:
        return "nie ma takiej sesji szyfru";
    case SECLAY_NO_MEMORY:
        return "brak pamięci na sesję szyfru";
    case SECLAY_QUERY_FAILED:
        return "biblioteka kryptograficzna nie zna tego algorytmu w tym trybie";
    case SECLAY_KEY_TOO_SHORT:
        return "klucz za krótki dla algorytmu";
    case SECLAY_KEY_TOO_LONG:
        return "klucz za długi dla algorytmu";
    case SECLAY_IV_TOO_SHORT:
        return "wektor początkowy za krótki";
    case SECLAY_IV_TOO_LONG:
        return "wektor początkowy za długi";
    case SECLAY_BAD_ALGO:
        return "zły albo niedostępny kod algorytmu";
    case SECLAY_BAD_MODE:
        return "zły albo niedostępny kod trybu";
    case SECLAY_KEY_LOAD_FAILED:
        return "nie można załadować klucza";
    case SECLAY_IV_LOAD_FAILED:
        return "nie można załadować wektora początkowego";
    case SECLAY_WEAK_KEY:
        return "biblioteka kryptograficzna odrzuciła klucz";
    case SECLAY_CONTEXT_FAILED:
        return "nie można utworzyć kontekstu szyfru";
    case SECLAY_NULL_HANDLE:
        return "szyfr nie został utworzony";
    default:
        return packageResultText(code);
    }
}

} // namespace qdpdump
