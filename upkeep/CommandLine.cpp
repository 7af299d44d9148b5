// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "Messages.h"
#include "TextCase.h"

#include <array>

namespace upkeep {
namespace {

using namespace messages;

struct OperationWord {
    std::string_view word;
    bool takesValue; // "BACKUP:<file>", "RUNERR:<number>"
    Operation operation;
};

constexpr std::array<OperationWord, 8> kOperationWords{{
    {"DELKEY", false, Operation::DelKey},
    {"SETKEY", false, Operation::SetKey},
    {"DELINI", false, Operation::DelIni},
    {"SETINI", false, Operation::SetIni},
    {"?", false, Operation::Help},
    {"VERSION", false, Operation::Version},
    {"BACKUP:", true, Operation::Backup},
    {"RUNERR:", true, Operation::RunErr},
}};

struct Parameter {
    std::string_view prefix;
    std::string Command::*field;
};

const std::array<Parameter, 5> kParameters{{
    {"KEY:", &Command::key},
    {"NAME:", &Command::name},
    {"VALUE:", &Command::value},
    {"FILE:", &Command::file},
    {"SECTION:", &Command::section},
}};

std::string_view operationWord(Operation operation) {
    for (const auto& entry : kOperationWords) {
        if (entry.operation == operation) return entry.word;
    }
    return {};
}

void fail(Command& command, std::string text) {
    command.operation = Operation::Error;
    command.errorText = std::move(text);
}

void readArgument(Command& command, const std::string& argument) {
    std::string_view body = argument;
    if (body.starts_with('/') || body.starts_with('-')) body.remove_prefix(1);
    const std::string upper = asciiUpper(body);

    for (const auto& entry : kOperationWords) {
        const bool matches = entry.takesValue ? upper.starts_with(entry.word) : upper == entry.word;
        if (!matches) continue;
        if (command.operation != Operation::None) {
            return fail(command, std::string(kOneOperationOnly) + std::string(entry.word));
        }
        command.operation = entry.operation;
        const auto rest = body.substr(entry.word.size());
        if (entry.operation == Operation::Backup) {
            command.file = rest;
            if (rest.empty()) fail(command, std::string(kNoBackupFile));
        } else if (entry.operation == Operation::RunErr) {
            const auto number = parseErrorlevel(rest);
            if (!number) return fail(command, std::string(kBadErrorlevel) + std::string(rest));
            // Only the low 16 bits reach the caller as the errorlevel.
            command.errorlevel = static_cast<std::uint16_t>(static_cast<std::uint32_t>(*number));
        }
        return;
    }
    for (const auto& parameter : kParameters) {
        if (!upper.starts_with(parameter.prefix)) continue;
        std::string& field = command.*parameter.field;
        if (!field.empty()) {
            return fail(command, std::string(kGivenTwice) + std::string(parameter.prefix));
        }
        field = body.substr(parameter.prefix.size());
        if (field.empty()) fail(command, std::string(kEmptyValue) + std::string(parameter.prefix));
        return;
    }
    fail(command, std::string(kUnknownArgument) + argument);
}

std::string missingParameter(std::string_view parameter, Operation operation) {
    return std::string(kMissingParameter) + std::string(parameter) + std::string(kForOperation) +
           std::string(operationWord(operation));
}

// Checks that the chosen operation has what it needs.
void checkRequired(Command& command) {
    switch (command.operation) {
    case Operation::None:
        return fail(command, std::string(kNoOperation));
    case Operation::DelKey:
    case Operation::SetKey:
        if (command.key.empty()) fail(command, missingParameter("KEY:", command.operation));
        return;
    case Operation::DelIni:
    case Operation::SetIni: {
        // Every missing parameter gets its own line; the first line stays
        // empty when FILE: was given.
        const Operation operation = command.operation;
        std::string text;
        bool missing = false;
        if (command.file.empty()) {
            text = missingParameter("FILE:", operation);
            missing = true;
        }
        if (command.section.empty()) {
            text.append(kNewline).append(missingParameter("SECTION:", operation));
            missing = true;
        }
        if (operation == Operation::SetIni && command.name.empty()) {
            text.append(kNewline).append(missingParameter("NAME:", operation));
            missing = true;
        }
        if (missing) fail(command, std::move(text));
        return;
    }
    default:
        return;
    }
}

// Splits KEY: into root, path and, for SETKEY without NAME:, the value name.
void splitKey(Command& command) {
    const auto slash = command.key.find('\\');
    const auto root = slash == std::string::npos
                          ? std::nullopt
                          : registryRootByName(asciiUpper(command.key.substr(0, slash)));
    if (!root) return fail(command, std::string(kBadRootKey));
    command.root = *root;
    command.keyPath = command.key.substr(slash);
    if (command.operation == Operation::SetKey && command.name.empty()) {
        const auto last = command.keyPath.rfind('\\');
        command.name = command.keyPath.substr(last + 1);
        command.keyPath.resize(last);
    }
    if (command.keyPath.ends_with('\\')) command.keyPath.pop_back();
    // A path of nothing but "\" names the root key itself, and deleting it as a
    // tree would empty the whole root.
    if (command.operation == Operation::DelKey && command.name.empty() &&
        command.keyPath.find_first_not_of('\\') == std::string::npos) {
        fail(command, std::string(kWholeRootRefused));
    }
}

} // namespace

Command parseCommandLine(std::span<const std::string> arguments) {
    Command command;
    for (const auto& argument : arguments) {
        if (command.operation == Operation::Error) return command;
        readArgument(command, argument);
    }
    if (command.operation == Operation::Error) return command;
    checkRequired(command);
    if (command.operation == Operation::DelKey || command.operation == Operation::SetKey) {
        splitKey(command);
    }
    return command;
}

std::optional<std::int32_t> parseErrorlevel(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    const auto rest = text.substr(i);
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
        base = 16;
        i += 1;
    } else if (rest.starts_with("0x") || rest.starts_with("0X")) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        magnitude =
            magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFu) return std::nullopt;
    }
    if (base == 10 && magnitude > (negative ? 0x80000000u : 0x7FFFFFFFu)) return std::nullopt;
    auto bits = static_cast<std::uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

} // namespace upkeep
