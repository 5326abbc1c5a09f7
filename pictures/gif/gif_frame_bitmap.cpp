#include "pictures/gif/gif_frame_bitmap.h"

#include <algorithm>

#include "pictures/gif/gif_errors.h"

namespace gif {

namespace {

// The frame's own bitmap and, for a transparent frame with at least one
// transparent pixel, the one-bit mask of those pixels.
struct TFrameImage {
    std::shared_ptr<TBitmap> Bitmap;
    gdi::HBITMAP Mask;
};

const TGIFColorTable& FrameColorTable(const TGIFFrame& frame, const TGIFData& data) {
    if (frame.Descriptor.HasLocalColorTable()) return frame.LocalColorTable;
    if (data.Header.HasGlobalColorTable()) return data.GlobalColorTable;
    throw GIFException(NoColorTable);
}

gdi::HPALETTE MakePalette(const TGIFColorTable& table) {
    std::vector<gdi::PALETTEENTRY> entries;
    entries.reserve(table.size());
    for (const TGIFColor& color : table) entries.push_back({color.Red, color.Green, color.Blue, 0});
    return gdi::CreatePalette(entries);
}

gdi::HBITMAP NewDib(const gdi::BitmapInfo& info, void** bits) {
    gdi::HBITMAP handle = gdi::CreateDIBSection(info, bits);
    if (!handle) throw EOutOfMemory(OutOfMemory);
    return handle;
}

// 8 bits per pixel, bottom-up, 256 colours beginning with the frame's table.
std::shared_ptr<TBitmap> MakeIndexedBitmap(const TGIFFrame& frame, const TGIFColorTable& table) {
    const int width = frame.Descriptor.Width;
    const int height = frame.Descriptor.Height;
    gdi::BitmapInfo info;
    info.Header.biWidth = width;
    info.Header.biHeight = height;
    info.Header.biBitCount = 8;
    info.Colors.resize(256);
    for (size_t i = 0; i < table.size(); ++i) info.Colors[i] = {table[i].Blue, table[i].Green, table[i].Red, 0};
    void* bits = nullptr;
    auto image = MakeDibImage(NewDib(info, &bits), MakePalette(table));

    const size_t rowBytes = static_cast<size_t>(image->FDIB.WidthBytes);
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<uint8_t*>(bits) + static_cast<size_t>(height - 1 - y) * rowBytes;
        std::copy_n(frame.Pixels.data() + static_cast<size_t>(y) * width, width, row);
    }
    auto bitmap = std::make_shared<TBitmap>();
    bitmap->SetImage(image);
    return bitmap;
}

// A set bit keeps the destination: one for each pixel holding the
// transparent index. Null when no pixel holds it.
gdi::HBITMAP MakeMask(const TGIFFrame& frame, uint8_t transparentIndex) {
    const int width = frame.Descriptor.Width;
    const int height = frame.Descriptor.Height;
    if (std::find(frame.Pixels.begin(), frame.Pixels.end(), transparentIndex) == frame.Pixels.end()) return nullptr;
    gdi::BitmapInfo info;
    info.Header.biWidth = width;
    info.Header.biHeight = -height;
    info.Header.biBitCount = 1;
    info.Colors = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    void* bits = nullptr;
    gdi::HBITMAP mask = NewDib(info, &bits);
    const size_t rowBytes = static_cast<size_t>(gdi::DibRowBytes(width, 1));
    for (int y = 0; y < height; ++y) {
        const uint8_t* pixels = frame.Pixels.data() + static_cast<size_t>(y) * width;
        uint8_t* row = static_cast<uint8_t*>(bits) + static_cast<size_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x)
            if (pixels[x] == transparentIndex) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
    return mask;
}

TFrameImage MakeFrameImage(const TGIFFrame& frame, const TGIFData& data) {
    TFrameImage image;
    image.Bitmap = MakeIndexedBitmap(frame, FrameColorTable(frame, data));
    if (frame.Transparent()) image.Mask = MakeMask(frame, frame.GraphicControl()->TransparentColorIndex);
    return image;
}

gdi::COLORREF BackgroundColor(const TGIFData& data) {
    if (!data.Header.HasGlobalColorTable()) return gdi::GetSysColor(gdi::COLOR_WINDOW);
    size_t index = data.Header.BackgroundColorIndex;
    // An index beyond the table is tolerated and reads entry 0.
    if (index >= data.GlobalColorTable.size()) index = 0;
    const TGIFColor& color = data.GlobalColorTable[index];
    return gdi::RGB(color.Red, color.Green, color.Blue);
}

void DrawFrame(TBitmap& screen, const TGIFFrame& frame, const TFrameImage& image) {
    gdi::HDC target = screen.Canvas().Handle();
    gdi::HDC source = gdi::CreateCompatibleDC();
    if (!source) RaiseOutOfResources();
    gdi::SelectObject(source, image.Bitmap->Handle());
    const TGIFImageDescriptor& at = frame.Descriptor;
    bool drawn = image.Mask ? gdi::MaskBlt(target, at.Left, at.Top, at.Width, at.Height, source, 0, 0, image.Mask, 0, 0,
                                           gdi::MASKBLT_TRANSPARENT)
                            : gdi::BitBlt(target, at.Left, at.Top, at.Width, at.Height, source, 0, 0, gdi::SRCCOPY);
    if (!drawn) RaiseOutOfResources();
}

// The logical screen with frame 0 drawn at its place. A frame 0 without
// pixels (a malformed file) leaves the screen at its fill.
std::shared_ptr<TBitmap> MakeScreenBitmap(const TGIFData& data) {
    const TGIFFrame& frame = data.Frames[0];
    // Refused before anything of the screen's size is allocated.
    if (!gdi::MayAllocatePixels(data.Width, data.Height, 32)) throw EOutOfMemory(OutOfMemory);
    TFrameImage image;
    if (!frame.Empty()) image = MakeFrameImage(frame, data);

    auto screen = std::make_shared<TBitmap>();
    // A new bitmap is device-dependent already; saying so keeps the screen
    // device-dependent whatever a new bitmap starts as.
    screen->SetPixelFormat(pfDevice);
    if (image.Bitmap) screen->SetPalette(gdi::CreatePalette(gdi::GetPaletteEntries(image.Bitmap->Palette())));
    screen->SetSize(data.Width, data.Height);
    if (screen->Empty()) return screen;
    if (frame.Transparent()) {
        TCanvas& canvas = screen->Canvas();
        canvas.Brush().Color = static_cast<TColor>(BackgroundColor(data));
        canvas.FillRect(Rect(0, 0, data.Width, data.Height));
    }
    if (image.Bitmap) DrawFrame(*screen, frame, image);
    return screen;
}

}  // namespace

std::shared_ptr<TBitmap> MakeFirstFrameBitmap(const TGIFData& data) {
    if (data.Frames.empty()) return nullptr;
    const TGIFFrame& frame = data.Frames[0];
    const bool coversScreen = frame.Descriptor.Width == data.Width && frame.Descriptor.Height == data.Height;
    if (coversScreen && !frame.Transparent()) {
        // A full-size frame without pixels gives an empty bitmap.
        if (frame.Empty()) return nullptr;
        return MakeFrameImage(frame, data).Bitmap;
    }
    return MakeScreenBitmap(data);
}

}  // namespace gif
