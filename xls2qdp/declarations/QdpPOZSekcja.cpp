// SPDX-License-Identifier: MIT
#include "declarations/QdpPOZSekcja.h"

#include "package/FormatDate.h"
#include "package/QdpCodes.h"

namespace xls2qdp {
namespace {

bool fieldIs(const WorkingTableCursor& row, std::string_view field, std::string_view value) {
    const std::optional<std::string> text = row.text(field);
    return text ? *text == value : value.empty();
}

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

std::vector<std::string> TQDPPOZSekcja::valuesFor(const WorkingTableCursor* row) const {
    std::vector<std::string> values;
    values.reserve(fieldCount());
    for (const PozField& field : schema_.fields) {
        if (fieldLimit_ <= field.appendAbove) continue;
        std::string& value = values.emplace_back();
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
            if (row) value = row->text(field.source).value_or(std::string());
            break;
        case PozSource::TableDate:
            if (row)
                if (std::optional<CalendarDate> date = row->date(field.source))
                    value = fFormatDate(date->year, date->month, date->day);
            break;
        }
    }
    return values;
}

std::int32_t TQDPPOZSekcja::writeRecord(const WorkingTableCursor* row) {
    std::vector<std::string> values = valuesFor(row);
    return fAddRekord(values, showErrors());
}

std::int32_t TQDPPOZSekcja::fUserWriteData() {
    if (!table_) return qdpcode::Ok;
    for (bool more = table_->first(); more; more = table_->next()) {
        if (!wantsRow(*table_)) continue;
        if (std::int32_t result = writeRecord(table_); result != qdpcode::Ok) return result;
    }
    return qdpcode::Ok;
}

TQDPPOZSekcja1::TQDPPOZSekcja1(QdpBinding binding)
    : TQDPPOZSekcja(pozInstalacjaSchema(), binding) {}

std::int32_t TQDPPOZSekcja1::fUserWriteData() {
    return writeRecord(nullptr);
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
    return fieldIs(row, "ZGL_OSOBISTE", "N");
}

TQDPPOZSekcja4::TQDPPOZSekcja4(QdpBinding binding)
    : TQDPPOZSekcja(pozWycofujacySchema(), binding) {}

int TQDPPOZSekcja4::fieldLimitFor(std::int32_t, std::int32_t) const {
    return 8;
}

bool TQDPPOZSekcja4::wantsRow(const WorkingTableCursor& row) const {
    return !fieldIs(row, "FL_WYCOF", "0");
}

TQDPPOZSekcja5::TQDPPOZSekcja5(QdpBinding binding)
    : TQDPPOZSekcja(pozCudzoziemcySchema(), binding) {}

int TQDPPOZSekcja5::fieldLimitFor(std::int32_t, std::int32_t) const {
    return 9;
}

bool TQDPPOZSekcja5::wantsRow(const WorkingTableCursor& row) const {
    return fieldIs(row, "FL_CUDZ", "T") || fieldIs(row, "FL_CUDZ_ZGL", "T") ||
           fieldIs(row, "FL_CUDZ_WYCOF", "T");
}

} // namespace xls2qdp
