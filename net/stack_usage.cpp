#include <mutex>

#include "net/stack.h"

TIdStack* GStack = nullptr;

namespace {

std::mutex UsageLock;
int UsageCount = 0;

}  // namespace

TIdStackUsage::TIdStackUsage() {
    std::lock_guard lock(UsageLock);
    if (UsageCount++ == 0) GStack = new TIdStack();
}

TIdStackUsage::~TIdStackUsage() {
    std::lock_guard lock(UsageLock);
    if (--UsageCount == 0) {
        delete GStack;
        GStack = nullptr;
    }
}

int TIdStackUsage::Count() {
    std::lock_guard lock(UsageLock);
    return UsageCount;
}
