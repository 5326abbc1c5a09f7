// Feeds arbitrary bytes to the HTTP client as the server's answer: status
// line, headers, every body framing and the decoding of the body to text.
// The first byte picks how many bytes each receive hands over, so that lines
// and chunks also arrive split at every place.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/exception.h"
#include "fuzz/memory_io_handler.h"
#include "net/http/http.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t chunkSize = data[0] == 0 ? 65536 : data[0];
    TIdHTTP http;
    http.SetIOHandler(std::make_shared<TMemoryIOHandler>(data + 1, size - 1, chunkSize));
    // Two requests: the second reuses a kept connection or reads what
    // follows as a fresh answer.
    for (int request = 0; request < 2; ++request) {
        try {
            http.Get("http://example.test/Softwares/Version.txt");
        } catch (const Exception&) {
        }
    }
    return 0;
}
