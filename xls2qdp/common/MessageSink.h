// SPDX-License-Identifier: MIT
// Where the importer's message boxes go: the desktop program shows real
// message boxes, the command line writes lines to stderr, tests record them.
#pragma once

#include <string_view>

namespace xls2qdp {

enum class MessageKind { Error, Warning, Information };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows one modal message (UTF-8 text, may hold line breaks) and returns
    // once the user has acknowledged it.
    virtual void show(MessageKind kind, std::string_view text) = 0;
};

} // namespace xls2qdp
