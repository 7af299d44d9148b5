// SPDX-License-Identifier: MIT
// TQDPSekcja: one section of a package as the importer describes it. A
// concrete section derives from it and overrides the hooks: fUserDefSekcja
// (code and description, through fSetSekcja), fUserDefPol (field definitions,
// through fAddPol), fUserWriteData (records, through fAddRekord) and
// optionally fUserDefPolExt (extended attributes of "B" fields).
// fCreateSekcja runs the hooks in a fixed order and makes the library calls.
// Texts are UTF-8; they become Windows-1250 at the library call.
#pragma once

#include "package/QdpBase.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace xls2qdp {

// Extended attributes of a blob field, handed to SetDefPolExt when
// sourceFile is not empty.
struct FieldExtension {
    std::string sourceFile;
    std::int32_t sizeFieldIndex = 0;
    std::string key;
    std::string iv;
    std::int32_t algorithm = 0;
    std::int32_t mode = 0;
    std::int32_t chunkSize = 0;
};

struct FieldDefinition {
    std::string type;
    std::string name;
    std::string description;
    std::uint32_t size = 0;
    std::int32_t precision = 0;
    FieldExtension extension;
};

class TQDPSekcja : public TQDPBase {
public:
    explicit TQDPSekcja(QdpBinding binding = {});
    ~TQDPSekcja() override;

    // Hooks. Defaults: fUserDefSekcja 107; fUserDefPol empties the field
    // definitions and gives 107; fUserWriteData 107; fUserDefPolExt 1.
    virtual std::int32_t fUserDefSekcja();
    virtual std::int32_t fUserDefPol();
    virtual std::int32_t fUserWriteData();
    virtual std::int32_t fUserDefPolExt();

    // For fUserDefSekcja: trims both; an empty code gives 509 with its message.
    std::int32_t fSetSekcja(std::string_view code, std::string_view description, bool show);
    // For fUserDefPol: appends one definition (no check here); returns 1.
    std::int32_t fAddPol(std::string_view name, std::string_view type, std::uint32_t size,
                         std::int32_t precision, std::string_view description);
    // Builds the section in the library package handle: hooks, AddSekcjaC,
    // field definitions, records. 1 or the first failure code; a library
    // failure on a field definition or a record throws QdpException.
    std::int32_t fCreateSekcja(QdpHandle handle, bool show);
    // For fUserWriteData: one value (UTF-8) per field definition, in order.
    // Checks, converts and adds one record: 1, 17/18 (wrong number of
    // values), 104, 103, 505 (a character outside Windows-1250, with a
    // message naming the field) or 501..504 (shape checks, no message);
    // throws QdpException when the library refuses the record.
    std::int32_t fAddRekord(std::span<const std::string> values, bool show);
    // The same for values viewed elsewhere (a section copying a table row
    // need not copy each text first).
    std::int32_t fAddRekord(std::span<const std::string_view> values, bool show);
    // Empties everything: counts, code, description, handle, definitions;
    // the check-values switch goes back on.
    void pClearSekcja();

    // Record text as the library receives it: one slot of size + 1 bytes per
    // field, the value (Windows-1250 bytes) cut to size and zero padded.
    std::vector<char> fBuildRekord(std::span<const std::string> values) const;
    // 103 (with its message) when a "V" or "B" field is shorter than 21.
    std::int32_t fCheckLengthVB(bool show) const;
    // Shape checks of Windows-1250 values by field type; first failure code.
    std::int32_t fCheckValues(std::span<const std::string> values) const;

    std::uint32_t fieldCount() const { return static_cast<std::uint32_t>(fields_.size()); }
    std::int32_t recordCount() const { return recordCount_; }
    std::int32_t totalSize() const { return totalSize_; }
    const std::string& code() const { return code_; }
    const std::string& description() const { return description_; }
    const std::vector<FieldDefinition>& fields() const { return fields_; }
    QdpHandle handle() const { return handle_; }
    bool checkValues() const { return checkValues_; }
    void setCheckValues(bool on) { checkValues_ = on; }
    // Extended attributes of field index (0-based); out-of-range is ignored.
    void setFieldExtension(std::size_t index, FieldExtension extension);

protected:
    // Drops the field definitions (and the records counted) so that the
    // definitions can be appended afresh.
    void clearFieldDefinitions();
    // 0-based position of the first definition named name, or -1.
    int fieldIndex(std::string_view name) const;
    // The show-errors switch of the running fCreateSekcja, for the hooks.
    bool showErrors() const { return showErrors_; }

private:
    std::int32_t fCreatePola(bool show);
    std::int32_t fAddDefPol(const FieldDefinition& field, bool show);
    std::int32_t fSetDefPolExt(std::size_t index, bool show);
    // fBuildRekord into out, followed by slack zero bytes.
    void buildRecordInto(std::span<const std::string_view> values, std::size_t slack,
                         std::vector<char>& out) const;

    std::int32_t recordCount_ = 0;
    std::string description_;
    std::string code_;
    QdpHandle handle_ = 0;
    bool checkValues_ = true;
    bool showErrors_ = true;
    std::int32_t totalSize_ = 0;
    std::vector<FieldDefinition> fields_;
    bool lengthsChecked_ = false; // fCheckLengthVB passed for these definitions
    // The fields whose values checkValue looks at, found with lengthsChecked_.
    std::vector<std::size_t> checkedFields_;
    // Working buffers of fAddRekord, kept to spare allocations per record.
    std::vector<std::string> converted_;
    std::vector<std::string_view> libraryValues_; // the values or their conversions
    std::vector<std::string_view> valueViews_;    // the values given as strings
    std::vector<char> record_;
};

} // namespace xls2qdp
