// SPDX-License-Identifier: MIT
#include "UpkeepRun.h"

#include "Backup.h"
#include "CommandLine.h"
#include "FullPath.h"
#include "IniProfile.h"
#include "Messages.h"
#include "Registry.h"
#include "SystemFailure.h"

#include <optional>

namespace upkeep {
namespace {

using namespace messages;

// Deletes a key with every key below it, depth first. The first failure stops
// the walk and keeps the key (subkeys deleted before it stay deleted).
bool deleteKeyTree(Registry& registry, RegistryRoot root, const std::string& path) {
    const auto subkeys = registry.subkeys(root, path);
    if (!subkeys) return false;
    for (const auto& subkey : *subkeys) {
        if (!deleteKeyTree(registry, root, path + '\\' + subkey)) return false;
    }
    return registry.deleteKey(root, path);
}

int deleteKey(const Command& command) {
    Registry registry;
    const bool deleted = command.name.empty()
                             ? deleteKeyTree(registry, command.root, command.keyPath)
                             : registry.deleteValue(command.root, command.keyPath, command.name);
    return deleted ? 0 : kExitDelKeyFailed;
}

int setKey(const Command& command) {
    Registry registry;
    if (!registry.openKey(command.root, command.keyPath, true)) return kExitSetKeyFailed;
    bool set = false;
    try {
        set = registry.setString(command.root, command.keyPath, command.name, command.value);
    } catch (const SystemFailure& failure) {
        throw SystemFailure(failedToSetData(command.name) + " (" + failure.what() + ")");
    }
    if (!set) throw SystemFailure(failedToSetData(command.name));
    return 0;
}

int writeIni(const Command& command) {
    const auto file = fullPathName(command.file);
    std::optional<std::string> name;
    std::optional<std::string> value;
    if (!command.name.empty()) name = command.name;
    if (command.operation == Operation::SetIni) value = command.value;
    try {
        writeProfileString(file, command.section, name, value);
    } catch (const SystemFailure& failure) {
        throw SystemFailure(unableToWrite(file) + " (" + failure.what() + ")");
    }
    return 0;
}

int perform(const Command& command, std::string& output) {
    switch (command.operation) {
    case Operation::Error:
        output.append(kNewline).append(kErrorPrefix).append(command.errorText);
        output.append(kNewline).append(kNewline);
        return kExitRejected;
    case Operation::Help:
        output.append(kHelpText);
        return 0;
    case Operation::Version:
        output.append(kVersionText);
        return 0;
    case Operation::RunErr:
        return command.errorlevel;
    case Operation::DelKey:
        return deleteKey(command);
    case Operation::SetKey:
        return setKey(command);
    case Operation::DelIni:
    case Operation::SetIni:
        return writeIni(command);
    case Operation::Backup:
        return backupFile(fullPathName(command.file)) ? 0 : kExitBackupFailed;
    case Operation::None:
        break;
    }
    return kExitRejected;
}

} // namespace

RunResult runUpkeep(std::span<const std::string> arguments) {
    RunResult result;
    const Command command = parseCommandLine(arguments);
    try {
        result.exitCode = perform(command, result.output);
    } catch (const std::exception& failure) {
        result.output.append(kErrorPrefix).append(failure.what()).append(kNewline);
        return {std::move(result.output), kExitRejected};
    }
    if (command.operation != Operation::RunErr && result.exitCode > 1) {
        result.output.append(kExitCodeLine)
            .append(std::to_string(result.exitCode))
            .append(kNewline);
    }
    return result;
}

} // namespace upkeep
