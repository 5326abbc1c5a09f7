#include "pictures/jpeg/jpeg_source.h"

#include <algorithm>

namespace {

const JOCTET FakeEndOfImage[2] = {0xFF, JPEG_EOI};

TJPEGSource& Source(j_decompress_ptr cinfo) {
    // Library is the first member, so the addresses coincide.
    return *reinterpret_cast<TJPEGSource*>(cinfo->src);
}

void InitSource(j_decompress_ptr) {}

void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    TJPEGSource& source = Source(cinfo);
    if (source.Position >= source.Size) {
        if (source.Size == 0) {
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        }
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source.Library.next_input_byte = FakeEndOfImage;
        source.Library.bytes_in_buffer = sizeof FakeEndOfImage;
        return TRUE;
    }
    size_t count = std::min(source.Portion, source.Size - source.Position);
    source.Library.next_input_byte = source.Data + source.Position;
    source.Library.bytes_in_buffer = count;
    source.Position += count;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) {
        return;
    }
    TJPEGSource& source = Source(cinfo);
    size_t skip = static_cast<size_t>(count);
    if (skip <= source.Library.bytes_in_buffer) {
        source.Library.next_input_byte += skip;
        source.Library.bytes_in_buffer -= skip;
        return;
    }
    // Past the current portion: move through the data directly. libjpeg asks
    // for a new portion when it next needs a byte.
    skip -= source.Library.bytes_in_buffer;
    source.Position += std::min(skip, source.Size - source.Position);
    source.Library.next_input_byte = nullptr;
    source.Library.bytes_in_buffer = 0;
}

}  // namespace

void AttachJPEGSource(j_decompress_ptr cinfo, TJPEGSource& source, const uint8_t* data, size_t size, size_t portion) {
    source.Library.next_input_byte = nullptr;
    source.Library.bytes_in_buffer = 0;
    source.Library.init_source = InitSource;
    source.Library.fill_input_buffer = FillInputBuffer;
    source.Library.skip_input_data = SkipInputData;
    source.Library.resync_to_restart = jpeg_resync_to_restart;
    source.Library.term_source = TermSource;
    source.Data = data;
    source.Size = size;
    source.Position = 0;
    source.Portion = std::max<size_t>(portion, 1);
    cinfo->src = &source.Library;
}
