// SPDX-License-Identifier: MIT
#include "PackageList.h"

namespace qdp {

QdpHandle PackageList::add(std::unique_ptr<Paczka> paczka) {
    if (next_ == 0) return 0; // all handles of this process are spent
    const QdpHandle handle = next_++;
    packages_.emplace(handle, std::move(paczka));
    return handle;
}

Paczka* PackageList::find(QdpHandle handle) const {
    const auto it = packages_.find(handle);
    return it == packages_.end() ? nullptr : it->second.get();
}

bool PackageList::remove(QdpHandle handle) {
    // Destroy outside the map so the map is consistent while it happens.
    const auto it = packages_.find(handle);
    if (it == packages_.end()) return false;
    std::unique_ptr<Paczka> doomed = std::move(it->second);
    packages_.erase(it);
    return true;
}

PackageList& packageList() {
    static PackageList list;
    return list;
}

} // namespace qdp
