#pragma once
// The roads the fuzz targets drive, callable without the fuzzer: the targets
// call them on every input, and the regression replay (tests/fuzz) calls them
// on every input that was ever a finding (fuzz/regressions/<target>/).
//
//   bmp png jpeg gif tiff  the whole picture road of one reader: load,
//                          DecodedBitmap.Assign, BMP32.Assign
//   headers                every reader's headers at the full pixel limit,
//                          without any pixel block (see PrepareFuzzRoad)
//   http                   the HTTP client reading an answer
//
// Failures of our own exception classes are the expected end of a bad
// input; anything else escapes and counts as a finding.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using TFuzzRoad = void (*)(const uint8_t* data, size_t size);

// The road of a target name, or null for an unknown name.
TFuzzRoad FuzzRoad(const std::string& target);
// Every target name, in the order of scripts/fuzz.
const std::vector<std::string>& FuzzTargets();

// Sets the process-wide limits the target runs under; call once before its
// first input. A few bytes may legally declare a picture at the pixel limit,
// whose pixels must then exist: under the fuzzer's instrumentation filling
// 2^28 of them takes seconds, a timeout on every such input that would bury
// real findings. So the picture roads lower the limit to 2^24 pixels (the
// limit tests prove the full one), and the headers road keeps the full limit
// but refuses every pixel block, so that the header arithmetic near the real
// limit is exercised at the fuzzer's speed.
void PrepareFuzzRoad(const std::string& target);
