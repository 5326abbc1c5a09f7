#include "jpeg_test_support.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "pictures/jpeg/jpeg_exception.h"

Bytes ReadTestImage(const std::string& name) {
    std::ifstream file(std::string(TW_TESTIMAGES_DIR) + "/jpeg/" + name, std::ios::binary);
    if (!file) {
        throw std::runtime_error("missing test image " + name);
    }
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

Bytes CraftedHeader(uint8_t sofMarker, int width, int height, int components) {
    auto byte = [](int value) { return static_cast<uint8_t>(value); };
    Bytes file = {0xFF,
                  0xD8,
                  0xFF,
                  sofMarker,
                  0,
                  byte(8 + 3 * components),
                  8,
                  byte(height >> 8),
                  byte(height),
                  byte(width >> 8),
                  byte(width),
                  byte(components)};
    for (int c = 1; c <= components; ++c) {
        file.insert(file.end(), {byte(c), 0x11, 0});
    }
    file.insert(file.end(), {0xFF, 0xDA, 0, byte(6 + 2 * components), byte(components)});
    for (int c = 1; c <= components; ++c) {
        file.insert(file.end(), {byte(c), 0});
    }
    bool progressive = sofMarker == 0xC2;
    file.insert(file.end(), {0, byte(progressive ? 0 : 63), 0});
    return file;
}

ReferenceDecode DecodeReference(const Bytes& file, bool smoothing) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    errors.emit_message = [](j_common_ptr, int) {};
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_FLOAT;
    info.do_block_smoothing = smoothing ? TRUE : FALSE;
    if (info.out_color_space == JCS_GRAYSCALE) {
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = 236;
    }
    jpeg_start_decompress(&info);
    ReferenceDecode result{static_cast<int>(info.output_width),
                           static_cast<int>(info.output_height),
                           info.output_components,
                           info.out_color_space,
                           {}};
    size_t rowBytes = size_t{info.output_width} * static_cast<size_t>(info.output_components);
    result.Pixels.resize(rowBytes * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = result.Pixels.data() + info.output_scanline * rowBytes;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return result;
}
