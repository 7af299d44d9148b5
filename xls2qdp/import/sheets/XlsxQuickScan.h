// SPDX-License-Identifier: MIT
// The quick ways through the two large parts of an .xlsx workbook, the
// worksheet and the shared strings. Nearly every row a
// spreadsheet program writes is a <row> of <c> cells, each with at most a
// formula <f> and a value <v> of plain text. ScanWorksheetRow takes such a
// row whole from the start of its bytes and says what it holds, without
// calling anything; a row with anything else in it (inline strings,
// references, comments, CDATA, namespace declarations, other elements,
// blanks inside tags where writers put none) is left to the general scanner,
// which then handles it event by event exactly as before. So the quick path
// only ever meets rows whose meaning is plain, and never decides an error.
// ScanSharedString does the same for a shared string item that is one plain
// <t> (no rich-text runs, no phonetic guide).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace xls2qdp {

struct ScannedCell {
    std::optional<std::string_view> ref, type; // the r and t attributes, as written
    std::optional<int> style;                  // the s attribute
    bool hasFormula = false;                   // an <f> element
    bool hasValue = false;                     // a <v> element
    std::string_view value;                    // its text
};

struct ScannedRow {
    std::optional<std::string_view> number; // the r attribute, as written
    std::vector<ScannedCell> cells;         // in the order written
};

enum class RowScan {
    Done,       // the row ends within the input; length says where
    Incomplete, // so far a plain row, but the input ends before it does
    Unknown,    // not a plain row (or not a row): for the general scanner
};

// input starts at a '<'. Fills row (reusing its memory) and length (the
// bytes up to and including the row's end tag) when Done.
RowScan ScanWorksheetRow(std::string_view input, ScannedRow& row, std::size_t& length);

// input starts at a '<'. An <si> item of one plain <t>: its text and length
// (the bytes up to and including </si>) when Done.
RowScan ScanSharedString(std::string_view input, std::string_view& text, std::size_t& length);

} // namespace xls2qdp
