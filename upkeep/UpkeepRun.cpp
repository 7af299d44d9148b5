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

// The registry file below failed (it could not be read, parsed, locked or
// written, or is no regular file): the key counts as one that did not open,
// and the reason goes to standard error.
int keyNotOpened(const SystemFailure& failure, int exitCode, RunResult& result) {
    result.errors.append(kErrorPrefix).append(failure.what()).append(kNewline);
    return exitCode;
}

int deleteKey(const Command& command, RunResult& result) {
    try {
        Registry registry;
        const bool deleted =
            command.name.empty()
                ? deleteKeyTree(registry, command.root, command.keyPath)
                : registry.deleteValue(command.root, command.keyPath, command.name);
        // Keys deleted before a failure stay deleted.
        registry.commit();
        return deleted ? 0 : kExitDelKeyFailed;
    } catch (const SystemFailure& failure) {
        return keyNotOpened(failure, kExitDelKeyFailed, result);
    }
}

int setKey(const Command& command, RunResult& result) {
    bool set = false;
    try {
        Registry registry;
        if (!registry.openKey(command.root, command.keyPath, true)) return kExitSetKeyFailed;
        set = registry.setString(command.root, command.keyPath, command.name, command.value);
        // A key created for a value that could not be set stays created.
        registry.commit();
    } catch (const SystemFailure& failure) {
        return keyNotOpened(failure, kExitSetKeyFailed, result);
    }
    if (!set) throw SystemFailure(failedToSetData(command.name));
    return 0;
}

int writeIni(const Command& command, RunResult& result) {
    const auto file = fullPathName(command.file);
    std::optional<std::string> name;
    std::optional<std::string> value;
    if (!command.name.empty()) name = command.name;
    if (command.operation == Operation::SetIni) value = command.value;
    // Installation scripts rely on DELINI with NAME: always succeeding: a
    // file it could not change is only reported.
    const bool alwaysSucceeds = command.operation == Operation::DelIni && name;
    try {
        writeProfileString(file, command.section, name, value);
    } catch (const SystemFailure& failure) {
        if (alwaysSucceeds) {
            result.errors.append(kWarningPrefix).append(fileLeftUnchanged(file, failure.what()));
            result.errors.append(kNewline);
            return 0;
        }
        if (dynamic_cast<const NotRegularFile*>(&failure) != nullptr) {
            result.errors.append(kErrorPrefix).append(failure.what()).append(kNewline);
            return command.operation == Operation::SetIni ? kExitSetIniFailed : kExitDelIniFailed;
        }
        throw SystemFailure(unableToWrite(file) + " (" + failure.what() + ")");
    }
    return 0;
}

int perform(const Command& command, RunResult& result) {
    std::string& output = result.output;
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
        return deleteKey(command, result);
    case Operation::SetKey:
        return setKey(command, result);
    case Operation::DelIni:
    case Operation::SetIni:
        return writeIni(command, result);
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
        result.exitCode = perform(command, result);
    } catch (const std::exception& failure) {
        result.output.append(kErrorPrefix).append(failure.what()).append(kNewline);
        result.exitCode = kExitRejected;
        return result;
    }
    if (command.operation != Operation::RunErr && result.exitCode > 1) {
        result.output.append(kExitCodeLine)
            .append(std::to_string(result.exitCode))
            .append(kNewline);
    }
    return result;
}

} // namespace upkeep
