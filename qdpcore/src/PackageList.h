// SPDX-License-Identifier: MIT
// The process-wide list of live packages and their handles.
//
// A handle is never 0 and is not reused while the library is loaded, so a
// cleared handle stays unknown instead of naming another package. Packages
// still listed when the library is unloaded are destroyed with the list,
// which deletes their temporary files.
#pragma once

#include "Paczka.h"

#include <qdpcore/qdpcore.h>

#include <map>
#include <memory>

namespace qdp {

class PackageList {
public:
    // Lists a new package; 0 when it cannot be made.
    QdpHandle add(std::unique_ptr<Paczka> paczka);
    [[nodiscard]] Paczka* find(QdpHandle handle) const;
    bool remove(QdpHandle handle);
    [[nodiscard]] std::size_t size() const { return packages_.size(); }

private:
    std::map<QdpHandle, std::unique_ptr<Paczka>> packages_;
    QdpHandle next_ = 1;
};

PackageList& packageList();

} // namespace qdp
