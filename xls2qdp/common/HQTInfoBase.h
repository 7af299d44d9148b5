// SPDX-License-Identifier: MIT
// Common base of the program's self-description records: plain copyable values
// (assignment copies every field) that can warn the user through a message sink.
#pragma once

#include "common/MessageSink.h"

#include <string_view>

namespace xls2qdp {

class THQTInfoBase {
public:
    // The sink that warnings go to; null (the default) keeps the record silent.
    // Not copied by assignment: a copy warns through its own owner's sink.
    void setMessageSink(MessageSink* sink) { sink_ = sink; }

protected:
    THQTInfoBase() = default;
    THQTInfoBase(const THQTInfoBase&) {}
    THQTInfoBase& operator=(const THQTInfoBase&) { return *this; }
    ~THQTInfoBase() = default;

    // A warning message box with an OK button.
    void showWarning(std::string_view text) const {
        if (sink_) sink_->show(MessageKind::Warning, text);
    }

private:
    MessageSink* sink_ = nullptr;
};

} // namespace xls2qdp
