#include "orvane/model/OVAudioStore.hpp"

#include <atomic>

namespace orvane {
namespace {

constinit std::atomic<const OVAudioStore*> store{nullptr};

}  // namespace

const OVAudioStore* OVAudioStore::installed() { return store.load(std::memory_order_acquire); }

void OVAudioStore::install(const OVAudioStore& installed) { store.store(&installed, std::memory_order_release); }

}  // namespace orvane
