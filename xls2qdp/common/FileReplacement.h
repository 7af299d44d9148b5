// SPDX-License-Identifier: MIT
// Writing the whole new content of a file the importer saves (the import
// report), so that no save ever destroys a file, a link, a device or an
// owner, and a failed save leaves the old content as it was:
//  - a symbolic link is followed to the file it finally names; that file is
//    written, and every link stays a link;
//  - a file we may not write is refused before anything is touched;
//  - a new file, and a regular file with one link in a folder where we may
//    create files whose mode, owner and group a new file can keep, get the
//    complete new content under a temporary name beside them, renamed over
//    them; a new file is readable by its owner only (0600), a replaced one
//    keeps its mode, owner and group (when they cannot be given to the new
//    file, nothing is touched);
//  - anything else (a file with several links, a device, a FIFO, a folder
//    where we may not create files, an owner or group we cannot give a new
//    file) is written in place: the new content is first written and checked
//    in a temporary file (beside the target when we may create files there,
//    else in the system's temporary folder; a device's or a FIFO's always
//    there), then copied into the target, which is cut to the new length
//    only after it is written, so nothing is truncated before the new
//    content is complete;
//  - the temporary file is named "<file name>~<process id>-<n>.tmp", is
//    created only under a name no file has, is locked while it lives and is
//    removed on every path; the left-overs of a killed run (a dead process's
//    name, unlocked, ours) are removed by the next save of that file.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <system_error>

namespace xls2qdp {

// Gives file the content that write puts into the stream it gets. An empty
// error code when the whole content is in place; otherwise the reason, and
// the file as it was (only an in-place copy that fails half way, for example
// on a full disk, leaves it changed).
std::error_code replaceFileContent(const std::filesystem::path& file,
                                   const std::function<void(std::ostream&)>& write);

} // namespace xls2qdp
