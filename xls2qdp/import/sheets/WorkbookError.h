// SPDX-License-Identifier: MIT
// A workbook that cannot be read. what() is the whole Polish message for the
// user (UTF-8), naming the file and the reason, e.g.
//   Nie można odczytać pliku „/dane/deklaracje.xls”: plik jest uszkodzony ...
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace xls2qdp {

class WorkbookError : public std::runtime_error {
public:
    WorkbookError(const std::filesystem::path& file, const std::string& reason)
        : std::runtime_error("Nie można odczytać pliku „" + file.string() + "”: " + reason),
          reason_(reason) {}

    // The reason alone, without the file name.
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

// Reasons shared by the readers.
inline const char* const kDamagedFile = "plik jest uszkodzony lub niekompletny.";
inline const char* const kNoWorksheet = "skoroszyt nie zawiera żadnego arkusza.";
inline const char* const kNoSuchWorksheet = "skoroszyt nie ma arkusza o tym numerze.";
inline const char* const kTooManyRows = "Arkusz ma więcej niż 1 048 576 wierszy.";
inline const char* const kTooManyColumns = "Arkusz ma więcej niż 16 384 kolumny.";
inline const char* const kTooManySharedStrings =
    "skoroszyt zawiera więcej tekstów, niż program może wczytać (ponad 512 MB).";
inline const char* const kEncryptedWorkbook =
    "skoroszyt jest zaszyfrowany (chroniony hasłem). Zapisz go bez hasła i wskaż ponownie.";

} // namespace xls2qdp
