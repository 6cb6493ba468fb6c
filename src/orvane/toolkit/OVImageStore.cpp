#include "orvane/toolkit/OVImageStore.hpp"

#include <atomic>

namespace orvane {
namespace {

constinit std::atomic<const OVImageStore*> store{nullptr};

}  // namespace

const OVImageStore* OVImageStore::installed() { return store.load(std::memory_order_acquire); }

void OVImageStore::install(const OVImageStore& installed) { store.store(&installed, std::memory_order_release); }

}  // namespace orvane
