#include <memory>
#include <mutex>

#include "net/transport/stack.h"

TIdStack* GStack = nullptr;

namespace {

std::mutex UsageLock;
int UsageCount = 0;
std::unique_ptr<TIdStack> StackOwner;  // GStack's owner while holders exist
int64_t Acquired = 0;

}  // namespace

TIdStackUsage::TIdStackUsage() {
    std::lock_guard lock(UsageLock);
    ++Acquired;
    if (UsageCount == 0) {
        StackOwner = std::make_unique<TIdStack>();
        GStack = StackOwner.get();
    }
    ++UsageCount;
}

TIdStackUsage::~TIdStackUsage() {
    std::lock_guard lock(UsageLock);
    if (--UsageCount == 0) {
        GStack = nullptr;
        StackOwner.reset();
    }
}

int TIdStackUsage::Count() {
    std::lock_guard lock(UsageLock);
    return UsageCount;
}

int64_t TIdStackUsage::Acquisitions() {
    std::lock_guard lock(UsageLock);
    return Acquired;
}
