#include "pixels/bitmap32.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Counts OnChange and OnResize calls of a bitmap.
struct TListener {
    int changes = 0, resizes = 0;
    explicit TListener(TCustomBitmap32& bitmap) {
        bitmap.SetOnChange([this](void*) { ++changes; });
        bitmap.SetOnResize([this](void*) { ++resizes; });
    }
};

std::vector<TColor32> Pixels(const TCustomBitmap32& bitmap) {
    return {bitmap.Bits(), bitmap.Bits() + size_t(bitmap.Width()) * bitmap.Height()};
}

TEST(Bitmap32, SetSizeGivesAFreshZeroStoreUnlessTheSizeStays) {
    TBitmap32 bitmap;
    EXPECT_TRUE(bitmap.Empty());
    TListener listener(bitmap);
    EXPECT_TRUE(bitmap.SetSize(4, 3));
    EXPECT_EQ(Pixels(bitmap), std::vector<TColor32>(12, 0x00000000));

    bitmap.SetPixel(2, 1, 0xFF102030);
    EXPECT_EQ(bitmap.Bits()[1 * 4 + 2], 0xFF102030u);  // row y starts at y * Width
    const TColor32* store = bitmap.Bits();
    EXPECT_FALSE(bitmap.SetSize(4, 3));
    EXPECT_EQ(bitmap.Bits(), store);
    EXPECT_EQ(bitmap.Pixel(2, 1), 0xFF102030u);
    EXPECT_EQ(listener.changes, 1);
    EXPECT_EQ(listener.resizes, 1);

    // Same area, other proportions: still a new, zero-filled store.
    EXPECT_TRUE(bitmap.SetSize(3, 4));
    EXPECT_EQ(Pixels(bitmap), std::vector<TColor32>(12, 0x00000000));
    EXPECT_EQ(bitmap.ClipRect(), Rect(0, 0, 3, 4));

    bitmap.SetSize(-5, 10);
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 10);
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetSize(3, 0);
    EXPECT_EQ(bitmap.Bits(), nullptr);
}

TEST(Bitmap32, OversizedStoreIsRefusedAndLeavesBitmapEmpty) {
    TBitmap32 bitmap;
    TListener listener(bitmap);
    const int sizes[][2] = {{1 << 15, (1 << 13) + 1}, {1, 1 << 29}, {2147483647, 2147483647}};
    for (const auto& size : sizes) {
        bitmap.SetSize(2, 2);
        const int resizes = listener.resizes;
        try {
            bitmap.SetSize(size[0], size[1]);
            ADD_FAILURE() << size[0] << " x " << size[1] << " was allocated";
        } catch (const EBackend& e) {
            EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
        }
        EXPECT_EQ(bitmap.Width(), 0);
        EXPECT_EQ(bitmap.Height(), 0);
        EXPECT_EQ(bitmap.Bits(), nullptr);
        EXPECT_EQ(bitmap.UpdateCount(), 0);
        EXPECT_EQ(listener.resizes, resizes);
    }
    TCustomBitmap32 memory;  // the memory store meets the same limit
    EXPECT_THROW(memory.SetSize(1 << 16, 1 << 16), EOutOfMemory);
    EXPECT_TRUE(memory.Empty());
}

TEST(Bitmap32, ClearResetAlphaAndClippedAccess) {
    TBitmap32 empty;
    TListener quiet(empty);
    empty.Clear();
    EXPECT_EQ(quiet.changes, 0);

    TBitmap32 bitmap(17, 2);  // more than one 16-pixel step of ResetAlpha
    bitmap.Clear();
    EXPECT_EQ(Pixels(bitmap), std::vector<TColor32>(34, 0xFF000000));
    bitmap.Clear(0x00123456);
    bitmap.SetPixel(16, 1, 0x80FFFFFF);
    bitmap.ResetAlpha();
    std::vector<TColor32> expected(34, 0xFF123456);
    expected[33] = 0xFFFFFFFF;
    EXPECT_EQ(Pixels(bitmap), expected);

    bitmap.SetOuterColor(0x11223344);
    EXPECT_EQ(bitmap.PixelS(-1, 0), 0x11223344u);
    EXPECT_EQ(bitmap.PixelS(17, 1), 0x11223344u);
    bitmap.SetPixelS(-1, 0, 0);
    bitmap.SetPixelS(0, 2, 0);
    EXPECT_EQ(Pixels(bitmap), expected);

    // While clipping only the clip rectangle is filled.
    TBitmap32 clipped(3, 2);
    clipped.SetClipRect(Rect(1, 0, 5, 1));
    EXPECT_EQ(clipped.ClipRect(), Rect(1, 0, 3, 1));
    clipped.Clear(0xFFABCDEF);
    EXPECT_EQ(Pixels(clipped), (std::vector<TColor32>{0, 0xFFABCDEF, 0xFFABCDEF, 0, 0, 0}));
}

TEST(Bitmap32, NotificationsAreBatchedAndOnlyForRealChanges) {
    TBitmap32 bitmap(2, 1);
    bitmap.SetPixel(0, 0, 0x00102030);
    TListener listener(bitmap);
    bitmap.SetDrawMode(dmBlend);
    bitmap.SetDrawMode(dmBlend);
    bitmap.SetWrapMode(wmClamp);
    bitmap.SetCombineMode(cmBlend);
    bitmap.SetMasterAlpha(255);
    EXPECT_EQ(listener.changes, 1);
    EXPECT_EQ(Pixels(bitmap), (std::vector<TColor32>{0x00102030, 0}));

    bitmap.BeginUpdate();
    bitmap.Clear();
    bitmap.BeginUpdate();
    bitmap.SetMasterAlpha(128);
    bitmap.EndUpdate();
    EXPECT_EQ(listener.changes, 1);
    bitmap.EndUpdate();
    EXPECT_EQ(listener.changes, 2);

    bitmap.BeginLockUpdate();
    bitmap.Clear();
    bitmap.EndLockUpdate();
    EXPECT_EQ(listener.changes, 2);
}

TEST(Bitmap32, Color32TakesRedFromTheLowByteAndDropsTheTopByte) {
    EXPECT_EQ(Color32(0x000000FF), 0xFFFF0000u);
    EXPECT_EQ(Color32(0x12302010), 0xFF102030u);
    const gdi::COLORREF face = gdi::GetSysColor(gdi::COLOR_BTNFACE);
    EXPECT_EQ(Color32(clBtnFace), Color32(static_cast<TColor>(face)));
}

TEST(Bitmap32, AssignBetweenBitmapsCopiesPixelsAndProperties) {
    TBitmap32 source(3, 2);
    for (int i = 0; i < 6; ++i) source.Bits()[i] = 0x01020304u * (i + 1);
    source.SetDrawMode(dmBlend);
    source.SetOuterColor(0xFF00FF00);

    TCustomBitmap32 memoryTarget(7, 7);  // a memory store starts opaque black
    EXPECT_EQ(memoryTarget.Pixel(6, 6), 0xFF000000u);
    memoryTarget.Assign(&source);
    EXPECT_EQ(Pixels(memoryTarget), Pixels(source));
    EXPECT_EQ(memoryTarget.DrawMode(), dmBlend);
    EXPECT_EQ(memoryTarget.OuterColor(), 0xFF00FF00u);

    source.Assign(&source);  // onto itself: nothing lost
    EXPECT_EQ(Pixels(source), Pixels(memoryTarget));
    source.Assign(static_cast<const TCustomBitmap32*>(nullptr));
    EXPECT_TRUE(source.Empty());
}

}  // namespace
