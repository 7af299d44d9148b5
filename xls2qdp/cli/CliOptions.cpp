// SPDX-License-Identifier: MIT
#include "CliOptions.h"

namespace xls2qdp::cli {

const char* const kUsageText =
    "Użycie:\n"
    "  xls2qdp-cli import SKOROSZYT [--target KATALOG] [--ini PLIK] [--report PLIK.csv] [--yes]\n"
    "  xls2qdp-cli --help | --version\n"
    "\n"
    "Importuje deklaracje POZ ze skoroszytu (.xls, .xlsx, .ods, .csv) do nowego pliku\n"
    "pakietu QDP i wypisuje na standardowe wyjście jego pełną ścieżkę.\n"
    "\n"
    "  --target KATALOG   katalog pliku QDP (domyślnie katalog skoroszytu)\n"
    "  --ini PLIK         plik ustawień zamiast xls2qdp.INI znalezionego jak w programie\n"
    "  --report PLIK.csv  zapisz raport importu (wartości przyjęte inaczej niż w arkuszu)\n"
    "  --yes              przy braku słownika miejscowości importuj bez niego\n"
    "\n"
    "Kody wyjścia: 0 sukces, 1 błędne argumenty lub ustawienia, 2 błędne dane wejściowe,\n"
    "3 plik QDP (lub raport) nie został zapisany, 4 przerwano (Ctrl+C).\n";

std::optional<CliOptions> parseCliOptions(const std::vector<std::string>& arguments,
                                          std::string& error) {
    CliOptions options;
    if (arguments.empty()) {
        error = "Brak polecenia.";
        return std::nullopt;
    }
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        options.command = CliOptions::Command::Help;
        return options;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        options.command = CliOptions::Command::Version;
        return options;
    }
    if (arguments[0] != "import") {
        error = "Nieznane polecenie: " + arguments[0];
        return std::nullopt;
    }
    options.command = CliOptions::Command::Import;
    bool haveWorkbook = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                error = "Opcja " + argument + " wymaga wartości.";
                return false;
            }
            into = arguments[++i];
            return true;
        };
        if (argument == "--target") {
            if (!value(options.target)) return std::nullopt;
        } else if (argument == "--ini") {
            if (!value(options.ini)) return std::nullopt;
        } else if (argument == "--report") {
            if (!value(options.report)) return std::nullopt;
        } else if (argument == "--yes") {
            options.yes = true;
        } else if (argument.starts_with("--")) {
            error = "Nieznana opcja: " + argument;
            return std::nullopt;
        } else if (!haveWorkbook) {
            options.workbook = argument;
            haveWorkbook = true;
        } else {
            error = "Podano więcej niż jeden skoroszyt: " + argument;
            return std::nullopt;
        }
    }
    if (!haveWorkbook || options.workbook.empty()) {
        error = "Nie wskazano skoroszytu.";
        return std::nullopt;
    }
    return options;
}

} // namespace xls2qdp::cli
