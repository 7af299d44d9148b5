// SPDX-License-Identifier: MIT
// A message sink for tests: keeps every message shown, in order.
#pragma once

#include "common/MessageSink.h"

#include <string>
#include <vector>

namespace xls2qdp {

class RecordingMessageSink : public MessageSink {
public:
    struct Message {
        MessageKind kind;
        std::string text;
    };
    void show(MessageKind kind, std::string_view text) override {
        messages.push_back({kind, std::string(text)});
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const auto& message : messages)
            result.push_back(message.text);
        return result;
    }
    std::vector<Message> messages;
};

} // namespace xls2qdp
