// SPDX-License-Identifier: MIT
#include "declarations/QdpPOZSekcja.h"

#include "package/FormatDate.h"
#include "package/QdpCodes.h"

#include <utility>

namespace xls2qdp {
namespace {

bool fieldIs(const WorkingTableCursor& row, std::string_view field, std::string_view value) {
    const std::optional<std::string> text = row.text(field);
    return text ? *text == value : value.empty();
}

constexpr std::string_view kZglaszajacyChoice[] = {"ZGL_OSOBISTE"};
constexpr std::string_view kWycofujacyChoice[] = {"FL_WYCOF"};
constexpr std::string_view kCudzoziemcyChoice[] = {"FL_CUDZ", "FL_CUDZ_ZGL", "FL_CUDZ_WYCOF"};

} // namespace

TQDPPOZSekcja::TQDPPOZSekcja(const PozSectionSchema& schema, QdpBinding binding)
    : TQDPSekcja(binding), schema_(schema) {}

void TQDPPOZSekcja::pSetParams(std::string_view nrInstalacji, std::string_view kodSwiadcz,
                               std::int32_t docVersion, std::int32_t docVariant) {
    nrInstalacji_ = nrInstalacji;
    kodSwiadcz_ = kodSwiadcz;
    docVersion_ = docVersion;
    docVariant_ = docVariant;
    fieldLimit_ = fieldLimitFor(docVersion, docVariant);
}

std::int32_t TQDPPOZSekcja::fUserDefSekcja() {
    return fSetSekcja(schema_.code, schema_.description, showErrors());
}

std::int32_t TQDPPOZSekcja::fUserDefPol() {
    clearFieldDefinitions(); // a second build starts from the same definitions
    for (const PozField& field : schema_.fields)
        if (fieldLimit_ > field.appendAbove)
            fAddPol(field.name, field.type, field.size, 0, field.description);
    return qdpcode::Ok;
}

std::vector<TQDPPOZSekcja::ValueStep> TQDPPOZSekcja::valueSteps(std::span<const int> slots) const {
    std::vector<ValueStep> steps;
    for (std::size_t k = 0; k < schema_.fields.size(); ++k) {
        const PozField& field = schema_.fields[k];
        if (fieldLimit_ <= field.appendAbove) continue;
        steps.push_back({&field, k < slots.size() ? slots[k] : -1});
    }
    return steps;
}

void TQDPPOZSekcja::valuesFor(const WorkingTableCursor* row, std::span<const ValueStep> steps,
                              std::vector<std::string_view>& values,
                              std::vector<std::string>& storage) const {
    values.resize(steps.size());
    // Sized before any view of it is taken.
    if (storage.size() < steps.size()) storage.resize(steps.size());
    // Where the cursor holds the row's texts, they are viewed there without
    // a call per field.
    std::span<const WorkingTableCursor::SlotText> held;
    std::string_view heldTexts;
    const bool isHeld = row && row->heldRow(held, heldTexts);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const PozField& field = *steps[i].field;
        const int slot = steps[i].slot;
        std::string_view& value = values[i];
        std::string& made = storage[i];
        value = {};
        if (!field.onlyWhenT.empty() && (!row || !fieldIs(*row, field.onlyWhenT, "T"))) continue;
        switch (field.from) {
        case PozSource::Empty:
            break;
        case PozSource::Constant:
            value = field.source;
            break;
        case PozSource::ProviderCode:
            value = kodSwiadcz_;
            break;
        case PozSource::Installation:
            value = nrInstalacji_;
            break;
        case PozSource::TableText:
            if (!row) break;
            if (slot < 0) {
                row->textInto(field.source, made);
                value = made;
            } else if (const auto at = static_cast<std::size_t>(slot);
                       !isHeld || at >= held.size()) { // the cursor says what is wrong
                row->slotText(slot, made, value);
            } else if (held[at].offset != WorkingTableCursor::SlotText::kNull) {
                value = heldTexts.substr(held[at].offset, held[at].length);
            }
            break;
        case PozSource::TableDate:
            if (row)
                if (std::optional<CalendarDate> date =
                        slot >= 0 ? row->slotDate(slot) : row->date(field.source)) {
                    fFormatDateInto(date->year, date->month, date->day, made);
                    value = made;
                }
            break;
        }
    }
}

std::int32_t TQDPPOZSekcja::writeRecord(const WorkingTableCursor* row,
                                        std::span<const ValueStep> steps) {
    valuesFor(row, steps, values_, made_);
    return fAddRekord(std::span<const std::string_view>(values_), showErrors());
}

std::vector<std::string_view> TQDPPOZSekcja::fieldsRead() const {
    std::vector<std::string_view> read(rowChoiceFields().begin(), rowChoiceFields().end());
    for (const PozField& field : schema_.fields) {
        if (fieldLimit_ <= field.appendAbove) continue;
        if (!field.onlyWhenT.empty()) read.push_back(field.onlyWhenT);
        if (field.from == PozSource::TableText || field.from == PozSource::TableDate)
            read.push_back(field.source);
    }
    return read;
}

std::int32_t TQDPPOZSekcja::fUserWriteData() {
    // Rows noted by an earlier section serve this pass only; a pass of this
    // section's own notes afresh for its followers.
    std::optional<std::vector<WorkingTableCursor::RowKey>> noted =
        std::exchange(notedRows_, std::nullopt);
    std::vector<TQDPPOZSekcja*> noting;
    for (TQDPPOZSekcja* follower : followers_) {
        follower->notedRows_.reset();
        if (table_ && follower->table_ == table_) noting.push_back(follower);
    }
    if (!table_) return qdpcode::Ok;

    // Only the fields this section (and the followers' choices) read are
    // fetched from the table.
    std::vector<std::string_view> read = fieldsRead();
    for (TQDPPOZSekcja* follower : noting) {
        const auto choice = follower->rowChoiceFields();
        read.insert(read.end(), choice.begin(), choice.end());
    }
    std::vector<std::vector<WorkingTableCursor::RowKey>> notes(noting.size());
    bool more = noted ? table_->firstReadingRows(read, *noted) : table_->firstReading(read);
    // The fields taken into records are found by number rather than by
    // name on every row.
    std::vector<int> slots(schema_.fields.size(), -1);
    for (std::size_t k = 0; k < schema_.fields.size() && more; ++k)
        if ((schema_.fields[k].from == PozSource::TableText ||
             schema_.fields[k].from == PozSource::TableDate) &&
            fieldLimit_ > schema_.fields[k].appendAbove)
            slots[k] = table_->fieldSlot(schema_.fields[k].source);
    const std::vector<ValueStep> steps = valueSteps(slots);
    for (; more; more = table_->next()) {
        for (std::size_t i = 0; i < noting.size(); ++i)
            if (noting[i]->wantsRow(*table_)) notes[i].push_back(table_->rowKey());
        if (!wantsRow(*table_)) continue;
        if (std::int32_t result = writeRecord(table_, steps); result != qdpcode::Ok) return result;
    }
    for (std::size_t i = 0; i < noting.size(); ++i)
        noting[i]->notedRows_ = std::move(notes[i]);
    return qdpcode::Ok;
}

TQDPPOZSekcja1::TQDPPOZSekcja1(QdpBinding binding)
    : TQDPPOZSekcja(pozInstalacjaSchema(), binding) {}

std::int32_t TQDPPOZSekcja1::fUserWriteData() {
    return writeRecord(nullptr, valueSteps());
}

int TQDPPOZSekcja1::fieldLimitFor(std::int32_t docVersion, std::int32_t docVariant) const {
    return pozFieldLimits(docVersion, docVariant).instalacja;
}

TQDPPOZSekcja2::TQDPPOZSekcja2(QdpBinding binding)
    : TQDPPOZSekcja(pozDeklaracjeSchema(), binding) {}

int TQDPPOZSekcja2::fieldLimitFor(std::int32_t docVersion, std::int32_t docVariant) const {
    return pozFieldLimits(docVersion, docVariant).deklaracje;
}

TQDPPOZSekcja3::TQDPPOZSekcja3(QdpBinding binding)
    : TQDPPOZSekcja(pozZglaszajacySchema(), binding) {}

int TQDPPOZSekcja3::fieldLimitFor(std::int32_t, std::int32_t) const {
    return 8;
}

bool TQDPPOZSekcja3::wantsRow(const WorkingTableCursor& row) const {
    return fieldIs(row, kZglaszajacyChoice[0], "N");
}

std::span<const std::string_view> TQDPPOZSekcja3::rowChoiceFields() const {
    return kZglaszajacyChoice;
}

TQDPPOZSekcja4::TQDPPOZSekcja4(QdpBinding binding)
    : TQDPPOZSekcja(pozWycofujacySchema(), binding) {}

int TQDPPOZSekcja4::fieldLimitFor(std::int32_t, std::int32_t) const {
    return 8;
}

bool TQDPPOZSekcja4::wantsRow(const WorkingTableCursor& row) const {
    return !fieldIs(row, kWycofujacyChoice[0], "0");
}

std::span<const std::string_view> TQDPPOZSekcja4::rowChoiceFields() const {
    return kWycofujacyChoice;
}

TQDPPOZSekcja5::TQDPPOZSekcja5(QdpBinding binding)
    : TQDPPOZSekcja(pozCudzoziemcySchema(), binding) {}

int TQDPPOZSekcja5::fieldLimitFor(std::int32_t, std::int32_t) const {
    return 9;
}

bool TQDPPOZSekcja5::wantsRow(const WorkingTableCursor& row) const {
    return fieldIs(row, kCudzoziemcyChoice[0], "T") || fieldIs(row, kCudzoziemcyChoice[1], "T") ||
           fieldIs(row, kCudzoziemcyChoice[2], "T");
}

std::span<const std::string_view> TQDPPOZSekcja5::rowChoiceFields() const {
    return kCudzoziemcyChoice;
}

} // namespace xls2qdp
