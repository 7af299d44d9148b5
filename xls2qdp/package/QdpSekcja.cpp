// SPDX-License-Identifier: MIT
#include "package/QdpSekcja.h"

#include "common/Text.h"
#include "common/Windows1250.h"
#include "package/HookMessages.h"
#include "package/QdpCodes.h"
#include "package/ValueChecks.h"

#include <algorithm>
#include <cstring>

namespace xls2qdp {
namespace {

// Zero bytes after the record text: the library reads a whole record length
// (two bytes more than the fields) and a cipher may round a field up.
constexpr std::size_t kRecordSlack = 256;

// What a value refused by the value checks lacks, after "„value” ".
std::string valueFormProblem(std::int32_t code, const FieldDefinition& field) {
    switch (code) {
    case qdpcode::BadDate:
        return "nie jest datą w postaci rrrr.mm.dd";
    case qdpcode::BadTime:
        return "nie jest godziną w postaci gg:mm:ss";
    case qdpcode::BadDateTime:
        return "nie jest datą i godziną w postaci rrrr.mm.dd gg:mm:ss";
    case qdpcode::BadNumber:
        return "nie jest liczbą o najwyżej " + std::to_string(field.size) + " znakach i " +
               std::to_string(field.precision) + " miejscach po przecinku";
    default:
        return "nie jest poprawną wartością pola typu " + field.type;
    }
}

} // namespace

TQDPSekcja::TQDPSekcja(QdpBinding binding) : TQDPBase(binding) {
    pClearSekcja();
}

TQDPSekcja::~TQDPSekcja() {
    pClearSekcja();
}

std::int32_t TQDPSekcja::fUserDefSekcja() {
    return qdpcode::SectionHookMissing;
}

std::int32_t TQDPSekcja::fUserDefPol() {
    clearFieldDefinitions();
    return qdpcode::SectionHookMissing;
}

std::int32_t TQDPSekcja::fUserWriteData() {
    return qdpcode::SectionHookMissing;
}

std::int32_t TQDPSekcja::fUserDefPolExt() {
    return qdpcode::Ok;
}

std::int32_t TQDPSekcja::fSetSekcja(std::string_view code, std::string_view description,
                                    bool show) {
    std::string_view trimmedCode = trimBlanksAndControls(code);
    if (trimmedCode.empty()) {
        pStrErrorMessBox("Proszę podać kod typu sekcji!", show);
        return qdpcode::SectionCodeEmpty;
    }
    code_ = trimmedCode;
    description_ = trimBlanksAndControls(description);
    return qdpcode::Ok;
}

std::int32_t TQDPSekcja::fAddPol(std::string_view name, std::string_view type, std::uint32_t size,
                                 std::int32_t precision, std::string_view description) {
    fields_.push_back(
        {std::string(type), std::string(name), std::string(description), size, precision, {}});
    totalSize_ += static_cast<std::int32_t>(size);
    lengthsChecked_ = false;
    return qdpcode::Ok;
}

void TQDPSekcja::setFieldExtension(std::size_t index, FieldExtension extension) {
    if (index < fields_.size()) fields_[index].extension = std::move(extension);
}

void TQDPSekcja::clearFieldDefinitions() {
    fields_.clear();
    lengthsChecked_ = false;
    totalSize_ = 0;
    recordCount_ = 0;
}

int TQDPSekcja::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].name == name) return static_cast<int>(i);
    return -1;
}

void TQDPSekcja::pClearSekcja() {
    clearFieldDefinitions();
    description_.clear();
    code_.clear();
    handle_ = 0;
    checkValues_ = true;
}

std::int32_t TQDPSekcja::fCreateSekcja(QdpHandle handle, bool show) {
    showErrors_ = show;
    std::int32_t result = fUserDefSekcja();
    if (result != qdpcode::Ok) {
        if (result == qdpcode::SectionHookMissing)
            pStrErrorMessBox(hookMessage("fUserDefSekcja"), show);
        return result;
    }
    if (code_.empty()) {
        pStrErrorMessBox("Proszę podać kod typu sekcji !", show);
        return qdpcode::SectionCodeEmpty;
    }
    handle_ = handle;
    std::string code, description;
    if (!toLibraryText(code_, "Kod sekcji", code, show) ||
        !toLibraryText(description_, "Opis sekcji", description, show))
        return qdpcode::NotWindows1250;
    result = library().AddSekcjaC(handle_, code.c_str(), description.c_str());
    if (result != qdpcode::Ok) {
        pIntErrorMessBox(result, show);
        return result;
    }
    result = fUserDefPol();
    if (result == qdpcode::Ok) result = fUserDefPolExt();
    if (result != qdpcode::Ok) {
        if (result == qdpcode::SectionHookMissing)
            pStrErrorMessBox(hookMessage("fUserDefPol"), show);
        return result;
    }
    result = fCreatePola(show);
    if (result != qdpcode::Ok) return result;
    // A hook that failed for a reason of its own has shown it already: the
    // hook message is for a hook that was never written.
    result = fUserWriteData();
    if (result == qdpcode::SectionHookMissing)
        pStrErrorMessBox(hookMessage("fUserWriteData"), show);
    return result;
}

std::int32_t TQDPSekcja::fCreatePola(bool show) {
    if (fields_.empty()) {
        pStrErrorMessBox("Nie zostały zdefiniowane żadne pola!", show);
        return qdpcode::NoFieldDefinitions;
    }
    for (const FieldDefinition& field : fields_)
        if (std::int32_t result = fAddDefPol(field, show); result != qdpcode::Ok) return result;
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (!fields_[i].extension.sourceFile.empty())
            if (std::int32_t result = fSetDefPolExt(i, show); result != qdpcode::Ok) return result;
    return qdpcode::Ok;
}

std::int32_t TQDPSekcja::fAddDefPol(const FieldDefinition& field, bool show) {
    const char* missing = field.name.empty()   ? "Proszę podać nazwę pola !"
                          : field.type.empty() ? "Proszę podać typ pola !"
                          : field.size == 0    ? "Proszę podać rozmiar pola !"
                                               : nullptr;
    if (missing) {
        pStrErrorMessBox(missing, show);
        return qdpcode::FieldDefinitionIncomplete;
    }
    std::string name, type, description;
    if (!toLibraryText(field.name, "Nazwa pola", name, show) ||
        !toLibraryText(field.type, "Typ pola " + field.name, type, show) ||
        !toLibraryText(field.description, "Opis pola " + field.name, description, show))
        return qdpcode::NotWindows1250;
    std::string size = std::to_string(field.size);
    std::string precision = std::to_string(field.precision);
    std::int32_t result = library().AddDefPolC(handle_, name.c_str(), type.c_str(), size.c_str(),
                                               precision.c_str(), description.c_str());
    if (result != qdpcode::Ok) pException(result);
    return qdpcode::Ok;
}

std::int32_t TQDPSekcja::fSetDefPolExt(std::size_t index, bool show) {
    const FieldExtension& ext = fields_[index].extension;
    std::string key, iv;
    // The source path stays in the platform's own file-name bytes.
    const std::string& source = ext.sourceFile;
    if (!toLibraryText(ext.key, "Klucz pola " + fields_[index].name, key, show) ||
        !toLibraryText(ext.iv, "Wektor pola " + fields_[index].name, iv, show))
        return qdpcode::NotWindows1250;
    std::int32_t result = library().SetDefPolExt(
        handle_, static_cast<std::int32_t>(index), ext.sizeFieldIndex, source.c_str(), key.c_str(),
        iv.c_str(), ext.algorithm, ext.mode, ext.chunkSize);
    if (result != qdpcode::Ok) pIntErrorMessBox(result, show);
    return result;
}

std::int32_t TQDPSekcja::fCheckLengthVB(bool show) const {
    for (const FieldDefinition& field : fields_) {
        if ((field.type == "V" || field.type == "B") && field.size < qdpcode::MinBlobFieldSize) {
            pStrErrorMessBox("Długości pól typu 'V' i 'B' nie mogą być krótsze niż " +
                                 std::to_string(qdpcode::MinBlobFieldSize) + " znaków!",
                             show);
            return qdpcode::BlobFieldTooShort;
        }
    }
    return qdpcode::Ok;
}

std::int32_t TQDPSekcja::fCheckValues(std::span<const std::string> values) const {
    std::size_t count = std::min(values.size(), fields_.size());
    for (std::size_t i = 0; i < count; ++i) {
        const FieldDefinition& field = fields_[i];
        std::int32_t result = checkValue(field.type, values[i], field.size, field.precision);
        if (result != qdpcode::Ok) return result;
    }
    return qdpcode::Ok;
}

std::vector<char> TQDPSekcja::fBuildRekord(std::span<const std::string> values) const {
    std::vector<char> record;
    const std::vector<std::string_view> views(values.begin(), values.end());
    buildRecordInto(views, 0, record);
    return record;
}

void TQDPSekcja::buildRecordInto(std::span<const std::string_view> values, std::size_t slack,
                                 std::vector<char>& record) const {
    record.assign(static_cast<std::size_t>(totalSize_) + fields_.size() + slack, '\0');
    std::size_t offset = 0;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        // An empty view may show no memory at all: nothing is copied then.
        if (i < values.size() && !values[i].empty()) {
            std::size_t length = std::min<std::size_t>(values[i].size(), fields_[i].size);
            std::memcpy(record.data() + offset, values[i].data(), length);
        }
        offset += fields_[i].size + 1;
    }
}

std::int32_t TQDPSekcja::fAddRekord(std::span<const std::string> values, bool show) {
    valueViews_.assign(values.begin(), values.end());
    return fAddRekord(std::span<const std::string_view>(valueViews_), show);
}

std::int32_t TQDPSekcja::fAddRekord(std::span<const std::string_view> values, bool show) {
    if (fields_.empty()) return qdpcode::NoFieldsForRecord;
    if (values.size() != fields_.size()) {
        // A programming error of the concrete section: never guess the layout.
        std::int32_t code =
            values.size() > fields_.size() ? qdpcode::TooManyValues : qdpcode::TooFewValues;
        pIntErrorMessBox(code, show);
        return code;
    }
    if (!lengthsChecked_) {
        if (std::int32_t result = fCheckLengthVB(show); result != qdpcode::Ok) return result;
        lengthsChecked_ = true; // checked once for the section's definitions
        checkedFields_.clear();
        for (std::size_t i = 0; i < fields_.size(); ++i)
            if (hasValueCheck(fields_[i].type)) checkedFields_.push_back(i);
    }

    std::vector<std::string>& converted = converted_;
    converted.resize(values.size());
    std::vector<std::string_view>& encoded = libraryValues_;
    encoded.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (isAscii(values[i])) { // the same bytes in Windows-1250: no copy
            encoded[i] = values[i];
            continue;
        }
        Windows1250Failure failure;
        if (!encodeForLibrary(values[i], converted[i], failure)) {
            reportNotWindows1250("Wartość pola " + fields_[i].name + " w rekordzie nr " +
                                     std::to_string(recordCount_ + 1) + " sekcji " + code_,
                                 values[i], failure, show);
            return qdpcode::NotWindows1250;
        }
        encoded[i] = converted[i];
    }
    if (checkValues_) {
        for (const std::size_t i : checkedFields_) {
            const FieldDefinition& field = fields_[i];
            const std::int32_t result =
                checkValue(field.type, encoded[i], field.size, field.precision);
            if (result == qdpcode::Ok) continue;
            // The value is named here: the hook messages above say nothing of it.
            pStrErrorMessBox("Wartość pola " + field.name + " w rekordzie nr " +
                                 std::to_string(recordCount_ + 1) + " sekcji " + code_ + " „" +
                                 std::string(values[i]) + "” " + valueFormProblem(result, field) +
                                 "!",
                             show);
            return result;
        }
    }

    buildRecordInto(encoded, kRecordSlack, record_);
    std::int32_t result = library().AddRekordC(handle_, record_.data());
    if (result != qdpcode::Ok) pException(result);
    ++recordCount_;
    return qdpcode::Ok;
}

} // namespace xls2qdp
