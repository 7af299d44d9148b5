// SPDX-License-Identifier: MIT
// Writes a one-sheet .xlsx workbook row by row. The sheet's XML goes to a
// temporary file beside the output and is compressed into the archive at the
// end, so memory holds only the table of distinct texts (shared strings).
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace xls2qdp::tools {

class XlsxStreamWriter {
public:
    // Throws std::runtime_error when the temporary file cannot be created.
    explicit XlsxStreamWriter(std::filesystem::path output);
    ~XlsxStreamWriter();
    XlsxStreamWriter(const XlsxStreamWriter&) = delete;
    XlsxStreamWriter& operator=(const XlsxStreamWriter&) = delete;

    // Rows must come in ascending order, cells within a row left to right.
    void startRow(int row);
    void text(int column, std::string_view value); // 0 = column A
    void number(int column, double value);
    void date(int column, int daysSince18991230); // shown as dd-mm-yyyy
    void endRow();

    // Writes the archive; throws std::runtime_error on failure.
    void finish();

private:
    void cellStart(int column, const char* attributes);

    std::filesystem::path output_;
    std::filesystem::path sheetPath_;
    std::FILE* sheet_ = nullptr;
    int row_ = 0;
    std::unordered_map<std::string, int> stringIndex_;
    std::vector<const std::string*> strings_;
    long long stringUses_ = 0;
};

} // namespace xls2qdp::tools
