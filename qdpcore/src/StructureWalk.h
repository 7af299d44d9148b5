// SPDX-License-Identifier: MIT
// Reading the structure of a package file: its header, then the document
// list, document headers, section lists, section headers and field
// definitions. No number from the file is trusted: every offset and length
// is checked against the file and against the region that holds it before
// anything is read there, and nothing is allocated ahead of what the file
// actually contains.
#pragma once

#include "PackageLayout.h"
#include "ReadFile.h"

namespace qdp {

// Takes the package header from the start of the file (the file holds at
// least a short header). Its keyword is not checked.
void readPackageHeader(ReadFile& file, PackageHeaderLayout& header);

// Walks everything after the header. A broken document, section or field
// definition ends the reading of that part only; the walk goes on with the
// next one and the first error is kept in layout.firstError.
void readPackageStructure(ReadFile& file, PackageLayout& layout);

} // namespace qdp
