// SPDX-License-Identifier: MIT
// One cell of a worksheet as a workbook file stores it, before it becomes the
// text that the import works with (CellText.h).
#pragma once

#include <string>

namespace xls2qdp {

enum class CellKind {
    Empty,
    Text,     // text: the cell's characters (UTF-8)
    Number,   // number
    DateTime, // number: days since 30-12-1899 00:00, fraction = time of day
    Boolean,  // number: 0 or 1
    Error,    // text: the stored error code, e.g. "#DIV/0!"
    Formula,  // a formula whose result the file does not hold; text: the formula
};

// What the reader could not take as the file has it; the import reports it.
enum class CellProblem {
    None,
    TextCut,            // text: its first 32,767 characters of a longer one
    NoSuchSharedString, // empty: the file refers to a shared string it lacks (its number in text)
};

struct CellValue {
    CellKind kind = CellKind::Empty;
    double number = 0;
    std::string text;
    CellProblem problem = CellProblem::None;

    void clear() {
        kind = CellKind::Empty;
        number = 0;
        text.clear();
        problem = CellProblem::None;
    }
    void setText(std::string value) {
        kind = CellKind::Text;
        text = std::move(value);
        problem = CellProblem::None;
    }
    void setNumber(double value, CellKind as = CellKind::Number) {
        kind = as;
        number = value;
        text.clear();
        problem = CellProblem::None;
    }
};

} // namespace xls2qdp
