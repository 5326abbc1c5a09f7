#include "pictures/tiff/imaging.h"

#include <algorithm>
#include <cstring>

#include "pictures/tiff/tiff_decoder.h"

namespace imaging {

EImagingError::EImagingError(uint32_t code)
    : Exception(Format("Imaging component error (0x%.8X)", code)), FCode(code) {}

namespace {

bool StartsWith(std::span<const uint8_t> bytes, const char* signature, size_t length) {
    return bytes.size() >= length && std::memcmp(bytes.data(), signature, length) == 0;
}

}  // namespace

ContainerFormat SniffContainerFormat(std::span<const uint8_t> bytes) {
    if (StartsWith(bytes, "II*\0", 4) || StartsWith(bytes, "MM\0*", 4) ||  // classic TIFF
        StartsWith(bytes, "II+\0", 4) || StartsWith(bytes, "MM\0+", 4))    // BigTIFF
        return ContainerFormat::Tiff;
    if (StartsWith(bytes, "\x89PNG\r\n\x1A\n", 8)) return ContainerFormat::Png;
    if (StartsWith(bytes, "\xFF\xD8\xFF", 3)) return ContainerFormat::Jpeg;
    if (StartsWith(bytes, "GIF87a", 6) || StartsWith(bytes, "GIF89a", 6)) return ContainerFormat::Gif;
    if (StartsWith(bytes, "BM", 2)) return ContainerFormat::Bmp;
    return ContainerFormat::Other;
}

ImagingFactory::ImagingFactory() { FDecoders.emplace_back(ContainerFormat::Tiff, CreateTiffDecoder); }

DecoderFactory ImagingFactory::RegisterDecoder(ContainerFormat format, DecoderFactory factory) {
    std::lock_guard lock(FLock);
    auto known = std::find_if(FDecoders.begin(), FDecoders.end(), [&](const auto& e) { return e.first == format; });
    if (known == FDecoders.end()) {
        FDecoders.emplace_back(format, std::move(factory));
        return {};
    }
    std::swap(known->second, factory);
    return factory;
}

std::unique_ptr<Decoder> ImagingFactory::CreateDecoderFromMemory(std::span<const uint8_t> bytes) const {
    const ContainerFormat format = SniffContainerFormat(bytes);
    DecoderFactory factory;
    {
        std::lock_guard lock(FLock);
        for (const auto& [known, create] : FDecoders)
            if (known == format) factory = create;
    }
    if (!factory) throw EImagingError(WINCODEC_ERR_COMPONENTNOTFOUND);
    return factory(bytes);
}

std::shared_ptr<ImagingFactory> SharedImagingFactory() {
    static std::mutex wicImageLock;
    static std::shared_ptr<ImagingFactory> factory;
    std::lock_guard lock(wicImageLock);
    if (!factory) factory = std::make_shared<ImagingFactory>();
    return factory;
}

}  // namespace imaging
