// SPDX-License-Identifier: MIT
// Reads one official TERYT list (TERC or SIMC, the "urzędowy" CSV variant):
// fields separated by ";" and never quoted, a header line naming the columns,
// UTF-8 with or without BOM, LF or CRLF. The file may be the plain .csv, a
// .csv.gz, or the .zip in which the registry publishes it (its .csv member).
#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp::teryt {

class TerytError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TerytFile {
public:
    // Loads the file and checks that its header names every required column.
    TerytFile(const std::filesystem::path& file, const std::vector<std::string>& requiredColumns);

    // Calls `visit` with each data line's fields, in the order of
    // `requiredColumns`, and the line's number in the file.
    void
    forEachRow(const std::function<void(const std::vector<std::string_view>&, int)>& visit) const;

    const std::string& name() const { return name_; }

private:
    std::string name_;
    std::string text_;
    std::vector<std::size_t> columnIndex_;
    std::size_t columnCount_ = 0;
    std::size_t bodyStart_ = 0;
};

} // namespace xls2qdp::teryt
