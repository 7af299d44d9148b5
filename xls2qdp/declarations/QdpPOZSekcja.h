// SPDX-License-Identifier: MIT
// What the five sections of the POZ declaration package share: the
// installation's parameters, the field limit, the working table, and hooks
// that define the section from its schema and write one record per chosen
// row of the working table.
#pragma once

#include "declarations/PozSchema.h"
#include "declarations/WorkingTableCursor.h"
#include "package/QdpSekcja.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp {

class TQDPPOZSekcja : public TQDPSekcja {
public:
    // Stores the parameters and settles the field limit for the version and
    // variant (see fieldLimitFor).
    void pSetParams(std::string_view nrInstalacji, std::string_view kodSwiadcz,
                    std::int32_t docVersion, std::int32_t docVariant);
    // The working table the records come from; not owned, must stay open
    // until the package is built. Null: no rows.
    void setWorkingTable(WorkingTableCursor* table) { table_ = table; }
    // Sections whose rows this section's pass over the table notes for them,
    // so that each then reads just its own rows instead of the whole table
    // again. Followers must write their records after this section.
    void setRowFollowers(std::vector<TQDPPOZSekcja*> followers) {
        followers_ = std::move(followers);
    }

    std::int32_t fUserDefSekcja() override;
    std::int32_t fUserDefPol() override;
    std::int32_t fUserWriteData() override;

    int fieldLimit() const { return fieldLimit_; }
    const PozSectionSchema& schema() const { return schema_; }
    const std::string& nrInstalacji() const { return nrInstalacji_; }
    const std::string& kodSwiadcz() const { return kodSwiadcz_; }

protected:
    TQDPPOZSekcja(const PozSectionSchema& schema, QdpBinding binding);

    virtual int fieldLimitFor(std::int32_t docVersion, std::int32_t docVariant) const = 0;
    // Whether the current row of the table gives a record.
    virtual bool wantsRow(const WorkingTableCursor& row) const = 0;
    // The table fields wantsRow reads.
    virtual std::span<const std::string_view> rowChoiceFields() const { return {}; }
    // How one value of a record is taken: its schema field and, for a
    // field from the table, the row cursor's number for it (-1: by name).
    struct ValueStep {
        const PozField* field;
        int slot;
    };
    // The steps of a record, one per field within the field limit, worked
    // out once for a pass rather than for every row. slots: per schema
    // field, the row cursor's number for the table field whose text or date
    // it takes, or -1 (then, or when empty, the field is read by name).
    std::vector<ValueStep> valueSteps(std::span<const int> slots = {}) const;
    // The values of one record from the current row (row may be null for a
    // section that reads no table), into values: views of the row's texts
    // (valid until the row moves), of the section's settings and constants,
    // or of storage, which holds the values made here (its strings are
    // reused).
    void valuesFor(const WorkingTableCursor* row, std::span<const ValueStep> steps,
                   std::vector<std::string_view>& values, std::vector<std::string>& storage) const;
    // Adds the record of valuesFor(row, steps): 1 or the refusal code.
    std::int32_t writeRecord(const WorkingTableCursor* row, std::span<const ValueStep> steps);
    // The table fields valuesFor and wantsRow read.
    std::vector<std::string_view> fieldsRead() const;

private:
    const PozSectionSchema& schema_;
    std::string nrInstalacji_;
    std::string kodSwiadcz_;
    std::int32_t docVersion_ = 0;
    std::int32_t docVariant_ = 0;
    int fieldLimit_ = 0;
    WorkingTableCursor* table_ = nullptr;
    std::vector<std::string_view> values_; // of the record being written
    std::vector<std::string> made_;        // its values made rather than viewed
    std::vector<TQDPPOZSekcja*> followers_;
    // Keys of the rows this section takes, noted by the section it follows
    // during the same build; empty when no such pass has run.
    std::optional<std::vector<WorkingTableCursor::RowKey>> notedRows_;
};

// INSTALACJA: one record, written without reading the table.
class TQDPPOZSekcja1 : public TQDPPOZSekcja {
public:
    explicit TQDPPOZSekcja1(QdpBinding binding = {});
    std::int32_t fUserWriteData() override;

protected:
    int fieldLimitFor(std::int32_t docVersion, std::int32_t docVariant) const override;
    bool wantsRow(const WorkingTableCursor&) const override { return false; }
};

// DEKLARACJE: one record for every row.
class TQDPPOZSekcja2 : public TQDPPOZSekcja {
public:
    explicit TQDPPOZSekcja2(QdpBinding binding = {});

protected:
    int fieldLimitFor(std::int32_t docVersion, std::int32_t docVariant) const override;
    bool wantsRow(const WorkingTableCursor&) const override { return true; }
};

// ZGLASZAJACY: rows with ZGL_OSOBISTE exactly "N" (someone else declared).
class TQDPPOZSekcja3 : public TQDPPOZSekcja {
public:
    explicit TQDPPOZSekcja3(QdpBinding binding = {});

protected:
    int fieldLimitFor(std::int32_t, std::int32_t) const override;
    bool wantsRow(const WorkingTableCursor& row) const override;
    std::span<const std::string_view> rowChoiceFields() const override;
};

// WYCOFUJACY: rows whose FL_WYCOF is not exactly "0" (empty included).
class TQDPPOZSekcja4 : public TQDPPOZSekcja {
public:
    explicit TQDPPOZSekcja4(QdpBinding binding = {});

protected:
    int fieldLimitFor(std::int32_t, std::int32_t) const override;
    bool wantsRow(const WorkingTableCursor& row) const override;
    std::span<const std::string_view> rowChoiceFields() const override;
};

// CUDZOZIEMCY: rows where FL_CUDZ, FL_CUDZ_ZGL or FL_CUDZ_WYCOF is "T".
class TQDPPOZSekcja5 : public TQDPPOZSekcja {
public:
    explicit TQDPPOZSekcja5(QdpBinding binding = {});

protected:
    int fieldLimitFor(std::int32_t, std::int32_t) const override;
    bool wantsRow(const WorkingTableCursor& row) const override;
    std::span<const std::string_view> rowChoiceFields() const override;
};

} // namespace xls2qdp
