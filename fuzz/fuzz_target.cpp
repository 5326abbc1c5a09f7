// One libFuzzer target: TW_FUZZ_TARGET names its road (fuzz/roads.h).
#include <cstddef>
#include <cstdint>

#include "fuzz/roads.h"

namespace {
const TFuzzRoad Road = FuzzRoad(TW_FUZZ_TARGET);
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrepareFuzzRoad(TW_FUZZ_TARGET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Road(data, size);
    return 0;
}
