// SPDX-License-Identifier: MIT
#include "package/QdpBase.h"

#include "common/StandardMessageSinks.h"
#include "common/Windows1250.h"
#include "package/QdpException.h"
#include "package/QdpMessages.h"

#include <algorithm>

namespace xls2qdp {

TQDPBase::TQDPBase(QdpBinding binding)
    : binding_(binding), encoder_(std::make_unique<Windows1250Encoder>()) {
    if (!binding_.library) binding_.library = &linkedQdpLibrary();
    if (!binding_.messages) binding_.messages = &stderrMessageSink();
}

TQDPBase::~TQDPBase() = default;

void TQDPBase::setMessageSink(MessageSink* sink) {
    binding_.messages = sink ? sink : &stderrMessageSink();
}

void TQDPBase::pException(std::int32_t code) const {
    throw QdpException(code, exceptionText(code));
}

void TQDPBase::pIntErrorMessBox(std::int32_t code, bool show) const {
    if (show) pStrErrorMessBox(libraryErrorBoxText(code), true);
}

void TQDPBase::pStrErrorMessBox(std::string_view text, bool show) const {
    if (show) messages().show(MessageKind::Error, text);
}

std::string TQDPBase::fCopyField(std::span<const char> buffer, std::size_t slot,
                                 std::size_t width) {
    if (width == 0 || slot > buffer.size() / width) return {};
    std::span<const char> field = buffer.subspan(slot * width);
    field = field.first(std::min(width, field.size()));
    auto end = std::find(field.begin(), field.end(), '\0');
    return std::string(field.begin(), end);
}

bool TQDPBase::encodeForLibrary(std::string_view utf8, std::string& out,
                                Windows1250Failure& failure) const {
    return encoder_->encode(utf8, out, failure);
}

void TQDPBase::reportNotWindows1250(std::string_view what, std::string_view utf8,
                                    const Windows1250Failure& failure, bool show) const {
    pStrErrorMessBox(std::string(what) + " „" + std::string(utf8) + "” zawiera " +
                         describeWindows1250Failure(utf8, failure) + "!",
                     show);
}

bool TQDPBase::toLibraryText(std::string_view utf8, std::string_view what, std::string& out,
                             bool show) const {
    Windows1250Failure failure;
    if (encodeForLibrary(utf8, out, failure)) return true;
    reportNotWindows1250(what, utf8, failure, show);
    return false;
}

} // namespace xls2qdp
