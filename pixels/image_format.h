#pragma once
// The program-wide, priority-ordered registry of 32-bit bitmap formats. It
// picks the writer for SaveToFile by extension and dispatches the
// conversions between 32-bit bitmaps and other picture objects: the first
// registered adapter that accepts does the work, so the list order matters.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/stream.h"
#include "pictures/graphic.h"

class TCustomBitmap32;
class TPicture;

// What a 32-bit bitmap converts from: a platform picture or a picture
// container (one of the two is set).
struct TAssignSource {
    const TGraphic* Graphic = nullptr;
    const TPicture* Picture = nullptr;
    const char* ClassName() const;
};

// What a 32-bit bitmap converts to.
struct TAssignTarget {
    TGraphic* Graphic = nullptr;
    TPicture* Picture = nullptr;
    const char* ClassName() const;
};

// A registered format. Its capabilities are the interfaces below that the
// concrete class also implements.
class IImageFormat {
public:
    virtual ~IImageFormat() = default;
    virtual const char* ClassName() const = 0;
};

class IImageFormatFileInfo {
public:
    virtual ~IImageFormatFileInfo() = default;
    virtual std::string ImageFormatDescription() const = 0;
    // Extensions without the dot.
    virtual std::vector<std::string> ImageFormatFileTypes() const = 0;
};

class IImageFormatWriter {
public:
    virtual ~IImageFormatWriter() = default;
    virtual void SaveToStream(const TCustomBitmap32& bitmap, TStream& stream) = 0;
};

class IImageFormatAdapter {
public:
    virtual ~IImageFormatAdapter() = default;
    virtual bool CanAssignFrom(const TAssignSource& source) const = 0;
    // Fills dest from source; false when this adapter does not take source.
    virtual bool AssignFrom(TCustomBitmap32& dest, const TAssignSource& source) = 0;
    virtual bool CanAssignTo(const TAssignTarget& dest) const = 0;
    // Fills dest from source; false when this adapter does not take dest.
    virtual bool AssignTo(const TCustomBitmap32& source, const TAssignTarget& dest) = 0;
};

struct TImageFormatItem {
    int Priority = 0;
    std::shared_ptr<IImageFormat> ImageFormat;
    int Handle = 0;
};

class TImageFormatManager {
public:
    // Inserts before every item of equal or higher priority, so among equal
    // priorities the later registration comes first. Handles count from 1.
    int RegisterImageFormat(std::shared_ptr<IImageFormat> imageFormat, int priority);
    bool UnregisterImageFormat(int handle);
    const std::vector<TImageFormatItem>& Formats() const { return FFormats; }

    // The first format with file info and a writer that lists `fileType`
    // (compared ignoring the case of A-Z); null when none does.
    IImageFormatWriter* FindWriter(std::string_view fileType) const;

    // The adapters in list order; the first that answers true ends the walk.
    bool CanAssignFrom(const TAssignSource& source) const;
    bool AssignFrom(TCustomBitmap32& dest, const TAssignSource& source) const;
    bool CanAssignTo(const TAssignTarget& dest) const;
    bool AssignTo(const TCustomBitmap32& source, const TAssignTarget& dest) const;

private:
    std::vector<TImageFormatItem> FFormats;
    int FImageFormatHandle = 0;
};

// The program's registry, made with its ten formats on first use.
TImageFormatManager& ImageFormatManager();
