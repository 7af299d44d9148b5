// SPDX-License-Identifier: MIT
// Message sinks that need nothing but the standard library.
#pragma once

#include "common/MessageSink.h"

namespace xls2qdp {

// Writes each message to standard error, one block of lines per message.
class StderrMessageSink : public MessageSink {
public:
    void show(MessageKind kind, std::string_view text) override;
};

// The sink used when a package object is given none.
MessageSink& stderrMessageSink();

} // namespace xls2qdp
