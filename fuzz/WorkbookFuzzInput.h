// SPDX-License-Identifier: MIT
// How the workbook readers' fuzz targets turn their input into a file. The
// readers take whole files, but most of a file is packaging the fuzzer would
// only break: so besides a whole file, an input may be just what is inside.
//   xlsx  a zip file ("PK..."), or the parts of a workbook joined by
//         kPartSeparator: sheet, shared strings, workbook, styles (parts left
//         out take the defaults below; empty shared strings mean none)
//   ods   a zip file, a flat document (its root office:document), or the
//         content.xml of a zipped one
//   xls   a compound file, or the workbook stream of one
//   csv   the file as it is
// The seed maker writes its seeds in the same forms.
#pragma once

#include <string_view>

namespace xls2qdp::fuzz {

inline constexpr std::string_view kPartSeparator = "\n<<<part>>>\n";

inline constexpr std::string_view kXlsxPartNames[] = {
    "xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/workbook.xml", "xl/styles.xml"};

inline constexpr std::string_view kDefaultWorkbook =
    R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="A" sheetId="1" r:id="rId1"/></sheets></workbook>)";
inline constexpr std::string_view kDefaultStyles =
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs></styleSheet>)";
inline constexpr std::string_view kContentTypes = "<Types/>";
inline constexpr std::string_view kRootRelationships =
    R"(<Relationships><Relationship Id="rId1" )"
    R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" )"
    R"(Target="xl/workbook.xml"/></Relationships>)";
inline constexpr std::string_view kWorkbookRelationships =
    R"(<Relationships>)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)"
    R"(</Relationships>)";

inline constexpr std::string_view kOdsMimetype = "application/vnd.oasis.opendocument.spreadsheet";

} // namespace xls2qdp::fuzz
