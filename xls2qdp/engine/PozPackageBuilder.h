// SPDX-License-Identifier: MIT
// The package service over the package layer: output names from the
// program's namer, and the POZ declaration package built from the working
// table with the installation's settings and the program's folder (for its
// qdp.ini), both given once.
#pragma once

#include "ImportServices.h"

namespace xls2qdp {

class PozPackageBuilder : public PackageBuilder {
public:
    explicit PozPackageBuilder(const GlobalVar& settings) : settings_(settings) {}

    std::optional<std::filesystem::path> newFileName(const std::string& folder,
                                                     const std::string& prefix,
                                                     MessageSink& messages) override;
    std::unique_ptr<PreparedPackage> prepare(WorkingTableCursor& declarations) override;

private:
    GlobalVar settings_;
};

} // namespace xls2qdp
