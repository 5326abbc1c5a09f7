// Every 32nd allocation of the readers fails, at each of the 32 phases, on
// real files of every format: the road ends in a picture or in an exception
// the application reports (one of ours, or std::bad_alloc, which it shows
// as "Out of memory"); never a crash, a foreign exception, or (under the
// sanitizer build) a leak or a use of freed memory.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <new>

#include "base/exception.h"
#include "base/stream.h"
#include "pictures/bitmap.h"
#include "pictures/gif/gif_image.h"
#include "pictures/jpeg/jpeg_image.h"
#include "pictures/png/png_image.h"
#include "pictures/tiff/wic_image.h"
#include "pixels/bitmap32.h"
#include "tests/hostile/allocation_failure/failing_allocator.h"
#include "tests/hostile/hostile_support.h"

namespace {

enum class TEnd { Loaded, OurException, OutOfMemory };

TEnd RunArmed(TGraphic& picture, const TByteString& bytes, int phase) {
    TMemoryStream stream(bytes);
    TBitmap decodedBitmap;
    TBitmap32 bmp32;
    failing_allocator::Arm(phase);
    try {
        picture.LoadFromStream(stream);
        if (picture.Width() > 0 && picture.Height() > 0) {
            decodedBitmap.Assign(&picture);
            bmp32.Assign(&decodedBitmap);
        }
    } catch (const Exception&) {
        failing_allocator::Disarm();
        return TEnd::OurException;
    } catch (const std::bad_alloc&) {
        failing_allocator::Disarm();
        return TEnd::OutOfMemory;
    }
    failing_allocator::Disarm();
    return TEnd::Loaded;
}

struct TFileCase {
    const char* Path;
    std::function<std::unique_ptr<TGraphic>()> NewPicture;
};

template <class T>
std::unique_ptr<TGraphic> New() {
    return std::make_unique<T>();
}

const TFileCase Files[] = {
    {"bmpsuite/g/pal8rle.bmp", New<TBitmap>},
    {"bmpsuite/g/pal4rle.bmp", New<TBitmap>},
    {"bmpsuite/g/rgb16-565.bmp", New<TBitmap>},
    {"bmpsuite/g/rgb32bf.bmp", New<TBitmap>},
    {"pngsuite/basi3p08.png", New<TPngImage>},
    {"pngsuite/basn6a16.png", New<TPngImage>},
    {"pngsuite/tbrn2c08.png", New<TPngImage>},
    {"jpeg/libjpeg-turbo/testorig.jpg", New<TJPEGImage>},
    {"jpeg/libjpeg-turbo/testimgint.jpg", New<TJPEGImage>},
    {"gif/wuffs/hippopotamus.regular.gif", New<TGIFImage>},
    {"gif/go/video-001.gif", New<TGIFImage>},
    {"tiff/go/blue-purple-pink.lzwcompressed.tiff", New<TWICImage>},
    {"tiff/go/video-001-strip-64.tiff", New<TWICImage>},
};

TEST(AllocationFailure, EveryThirtySecondAllocationFailsCleanlyInEveryReader) {
    for (const TFileCase& file : Files) {
        SCOPED_TRACE(file.Path);
        const TByteString bytes = ReadTestImage(file.Path);
        {
            std::unique_ptr<TGraphic> unarmed = file.NewPicture();
            ASSERT_EQ(RunArmed(*unarmed, bytes, 1 << 30), TEnd::Loaded) << "the file must load without failures";
        }
        int ends[3] = {0, 0, 0};
        for (int phase = 0; phase < failing_allocator::Period; ++phase) {
            std::unique_ptr<TGraphic> picture = file.NewPicture();
            ++ends[int(RunArmed(*picture, bytes, phase))];
        }
        std::printf("%-36s loaded %2d, our exception %2d, out of memory %2d\n", file.Path, ends[0], ends[1], ends[2]);
    }
}

}  // namespace
