// SPDX-License-Identifier: MIT
// The field definitions of a section.
#include "Sekcja.h"

namespace qdp {

Result Sekcja::appendField(std::unique_ptr<DefPol> field) {
    if (fields.size() + 1 >= format::kLimit5 || field->size >= format::kLimit5 ||
        field->precision >= format::kLimit5) {
        return Result::FormatLimit;
    }
    const std::uint64_t newLength = recordLength_ + field->slotLength();
    if (newLength > format::kMaxTotalSize) return Result::PackageTooLarge;
    fields.push_back(std::move(field));
    recordLength_ = newLength;
    return Result::Ok;
}

} // namespace qdp
