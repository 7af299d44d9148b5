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
    m_code = trimmedCode;
    m_description = trimBlanksAndControls(description);
    return qdpcode::Ok;
}

std::int32_t TQDPSekcja::fAddPol(std::string_view name, std::string_view type, std::uint32_t size,
                                 std::int32_t precision, std::string_view description) {
    m_fields.push_back(
        {std::string(type), std::string(name), std::string(description), size, precision, {}});
    m_totalSize += static_cast<std::int32_t>(size);
    return qdpcode::Ok;
}

void TQDPSekcja::setFieldExtension(std::size_t index, FieldExtension extension) {
    if (index < m_fields.size()) m_fields[index].extension = std::move(extension);
}

void TQDPSekcja::clearFieldDefinitions() {
    m_fields.clear();
    m_totalSize = 0;
    m_recordCount = 0;
}

int TQDPSekcja::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name == name) return static_cast<int>(i);
    return -1;
}

void TQDPSekcja::pClearSekcja() {
    clearFieldDefinitions();
    m_description.clear();
    m_code.clear();
    m_handle = 0;
    m_checkValues = true;
}

std::int32_t TQDPSekcja::fCreateSekcja(QdpHandle handle, bool show) {
    m_showErrors = show;
    std::int32_t result = fUserDefSekcja();
    if (result != qdpcode::Ok) {
        pStrErrorMessBox(hookMessage("fUserDefSekcja"), show);
        return result;
    }
    if (m_code.empty()) {
        pStrErrorMessBox("Proszę podać kod typu sekcji !", show);
        return qdpcode::SectionCodeEmpty;
    }
    m_handle = handle;
    std::string code, description;
    if (!toLibraryText(m_code, "Kod sekcji", code, show) ||
        !toLibraryText(m_description, "Opis sekcji", description, show))
        return qdpcode::NotWindows1250;
    result = library().AddSekcjaC(m_handle, code.c_str(), description.c_str());
    if (result != qdpcode::Ok) {
        pIntErrorMessBox(result, show);
        return result;
    }
    result = fUserDefPol();
    if (result == qdpcode::Ok) result = fUserDefPolExt();
    if (result != qdpcode::Ok) {
        pStrErrorMessBox(hookMessage("fUserDefPol"), show);
        return result;
    }
    result = fCreatePola(show);
    if (result != qdpcode::Ok) return result;
    result = fUserWriteData();
    if (result != qdpcode::Ok) pStrErrorMessBox(hookMessage("fUserWriteData"), show);
    return result;
}

std::int32_t TQDPSekcja::fCreatePola(bool show) {
    if (m_fields.empty()) {
        pStrErrorMessBox("Nie zostały zdefiniowane żadne pola!", show);
        return qdpcode::NoFieldDefinitions;
    }
    for (const FieldDefinition& field : m_fields)
        if (std::int32_t result = fAddDefPol(field, show); result != qdpcode::Ok) return result;
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (!m_fields[i].extension.sourceFile.empty())
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
    std::int32_t result = library().AddDefPolC(m_handle, name.c_str(), type.c_str(), size.c_str(),
                                               precision.c_str(), description.c_str());
    if (result != qdpcode::Ok) pException(result);
    return qdpcode::Ok;
}

std::int32_t TQDPSekcja::fSetDefPolExt(std::size_t index, bool show) {
    const FieldExtension& ext = m_fields[index].extension;
    std::string key, iv;
    // The source path stays in the platform's own file-name bytes.
    const std::string& source = ext.sourceFile;
    if (!toLibraryText(ext.key, "Klucz pola " + m_fields[index].name, key, show) ||
        !toLibraryText(ext.iv, "Wektor pola " + m_fields[index].name, iv, show))
        return qdpcode::NotWindows1250;
    std::int32_t result = library().SetDefPolExt(
        m_handle, static_cast<std::int32_t>(index), ext.sizeFieldIndex, source.c_str(), key.c_str(),
        iv.c_str(), ext.algorithm, ext.mode, ext.chunkSize);
    if (result != qdpcode::Ok) pIntErrorMessBox(result, show);
    return result;
}

std::int32_t TQDPSekcja::fCheckLengthVB(bool show) const {
    for (const FieldDefinition& field : m_fields) {
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
    std::size_t count = std::min(values.size(), m_fields.size());
    for (std::size_t i = 0; i < count; ++i) {
        const FieldDefinition& field = m_fields[i];
        std::int32_t result = checkValue(field.type, values[i], field.size, field.precision);
        if (result != qdpcode::Ok) return result;
    }
    return qdpcode::Ok;
}

std::vector<char> TQDPSekcja::fBuildRekord(std::span<const std::string> values) const {
    std::vector<char> record;
    buildRecordInto(values, 0, record);
    return record;
}

void TQDPSekcja::buildRecordInto(std::span<const std::string> values, std::size_t slack,
                                 std::vector<char>& record) const {
    record.assign(static_cast<std::size_t>(m_totalSize) + m_fields.size() + slack, '\0');
    std::size_t offset = 0;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (i < values.size()) {
            std::size_t length = std::min<std::size_t>(values[i].size(), m_fields[i].size);
            std::memcpy(record.data() + offset, values[i].data(), length);
        }
        offset += m_fields[i].size + 1;
    }
}

std::int32_t TQDPSekcja::fAddRekord(std::span<const std::string> values, bool show) {
    if (m_fields.empty()) return qdpcode::NoFieldsForRecord;
    if (values.size() != m_fields.size()) {
        // A programming error of the concrete section: never guess the layout.
        std::int32_t code =
            values.size() > m_fields.size() ? qdpcode::TooManyValues : qdpcode::TooFewValues;
        pIntErrorMessBox(code, show);
        return code;
    }
    if (std::int32_t result = fCheckLengthVB(show); result != qdpcode::Ok) return result;

    std::vector<std::string>& converted = m_converted;
    converted.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        Windows1250Failure failure;
        if (!encodeForLibrary(values[i], converted[i], failure)) {
            reportNotWindows1250("Wartość pola " + m_fields[i].name + " w rekordzie nr " +
                                     std::to_string(m_recordCount + 1) + " sekcji " + m_code,
                                 values[i], failure, show);
            return qdpcode::NotWindows1250;
        }
    }
    if (m_checkValues)
        if (std::int32_t result = fCheckValues(converted); result != qdpcode::Ok) return result;

    buildRecordInto(converted, kRecordSlack, m_record);
    std::int32_t result = library().AddRekordC(m_handle, m_record.data());
    if (result != qdpcode::Ok) pException(result);
    ++m_recordCount;
    return qdpcode::Ok;
}

} // namespace xls2qdp
