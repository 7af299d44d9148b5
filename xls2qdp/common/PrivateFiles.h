// SPDX-License-Identifier: MIT
// The files the importer makes hold patients' PESEL numbers, names and
// addresses (packages, import reports, the working table), so they are
// readable by their owner only, whatever the umask says. The package library
// creates its files as the umask says; the importer narrows the umask for
// the whole process before it does anything, and gives the files it makes
// itself their modes explicitly.
#pragma once

#include <filesystem>

namespace xls2qdp {

// From now on every file and folder this process creates is its owner's only
// (the umask gains 077). Both front ends call it first thing.
void keepNewFilesPrivate();

// Creates folder with its missing parents, the folder itself 0700; an
// existing folder of ours loses any rights of its group and others. Throws
// std::filesystem::filesystem_error when it cannot be created.
void makePrivateFolder(const std::filesystem::path& folder);

// An existing file of ours loses any rights of its group and others (0600
// for a file that was 0644).
void makePrivateFile(const std::filesystem::path& file);

} // namespace xls2qdp
