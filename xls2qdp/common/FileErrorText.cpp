// SPDX-License-Identifier: MIT
#include "FileErrorText.h"

namespace xls2qdp {

std::string describeFileError(const std::error_code& error) {
    if (error.category() == std::generic_category() || error.category() == std::system_category()) {
        switch (static_cast<std::errc>(error.value())) {
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted:
            return "brak uprawnień";
        case std::errc::read_only_file_system:
            return "dysk jest tylko do odczytu";
        case std::errc::no_space_on_device:
            return "brak miejsca na dysku";
        case std::errc::file_too_large:
            return "plik byłby za duży";
        case std::errc::no_such_file_or_directory:
            return "katalog nie istnieje";
        case std::errc::not_a_directory:
            return "to nie jest katalog";
        case std::errc::is_a_directory:
            return "to jest katalog, a nie plik";
        case std::errc::no_such_device_or_address:
            return "nikt nie odbiera zapisu";
        case std::errc::too_many_symbolic_link_levels:
            return "dowiązania symboliczne tworzą pętlę";
        case std::errc::text_file_busy:
        case std::errc::device_or_resource_busy:
            return "plik jest w użyciu";
        case std::errc::too_many_files_open:
        case std::errc::too_many_files_open_in_system:
            return "za dużo otwartych plików";
        default:
            break;
        }
    }
    return error.message();
}

} // namespace xls2qdp
