// SPDX-License-Identifier: MIT
// A message sink for tests: keeps the kind and text of every message shown, in order.
#pragma once

#include "common/MessageSink.h"

#include <string>
#include <vector>

namespace xls2qdp::testing {

class RecordingSink : public MessageSink {
public:
    void show(MessageKind kind, std::string_view text) override {
        kinds.push_back(kind);
        texts.emplace_back(text);
    }
    std::vector<MessageKind> kinds;
    std::vector<std::string> texts;
};

} // namespace xls2qdp::testing
