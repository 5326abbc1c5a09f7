#pragma once
// The formats and adapters the program registers, in the order that decides
// the dispatch. Only the BMP writer and the TBitmap and TPicture adapters
// are on the program's roads; adapters for picture kinds the program never
// hands over (icons, metafiles, the clipboard) decline everything.

#include "pixels/image_format.h"

class TBitmap;

// Registers the ten standard formats with their priorities.
void RegisterStandardImageFormats(TImageFormatManager& manager);

// An adapter that takes nothing.
class TCustomImageFormatAdapter : public IImageFormat, public IImageFormatAdapter {
public:
    bool CanAssignFrom(const TAssignSource&) const override { return false; }
    bool AssignFrom(TCustomBitmap32&, const TAssignSource&) override { return false; }
    bool CanAssignTo(const TAssignTarget&) const override { return false; }
    bool AssignTo(const TCustomBitmap32&, const TAssignTarget&) override { return false; }
};

// Converts from any picture of its class by drawing it over opaque white,
// and to one through a temporary TBitmap. As registered it serves every
// TGraphic.
class TCustomImageFormatAdapterTGraphic : public TCustomImageFormatAdapter {
public:
    const char* ClassName() const override { return "TCustomImageFormatAdapterTGraphic"; }
    bool CanAssignFrom(const TAssignSource& source) const override;
    bool AssignFrom(TCustomBitmap32& dest, const TAssignSource& source) override;
    bool CanAssignTo(const TAssignTarget& dest) const override;
    bool AssignTo(const TCustomBitmap32& source, const TAssignTarget& dest) override;

protected:
    // The graphic class this adapter serves (the base serves TGraphic itself).
    virtual bool IsGraphicClass(const TGraphic&) const { return true; }
    virtual bool ServesEveryGraphic() const { return true; }
};

// The conversions of the program's roads: a decoded TBitmap into a 32-bit
// bitmap, and a 32-bit bitmap into a pf32bit TBitmap.
class TImageFormatAdapterTBitmap : public TCustomImageFormatAdapterTGraphic {
public:
    const char* ClassName() const override { return "TImageFormatAdapterTBitmap"; }
    bool AssignFrom(TCustomBitmap32& dest, const TAssignSource& source) override;
    bool AssignTo(const TCustomBitmap32& source, const TAssignTarget& dest) override;

protected:
    bool IsGraphicClass(const TGraphic& graphic) const override;
    bool ServesEveryGraphic() const override { return false; }
};

// A picture container: converts from the graphic it holds, and to its
// graphic or, failing that, to its bitmap.
class TImageFormatAdapterTPicture : public TCustomImageFormatAdapter {
public:
    const char* ClassName() const override { return "TImageFormatAdapterTPicture"; }
    bool CanAssignFrom(const TAssignSource& source) const override;
    bool AssignFrom(TCustomBitmap32& dest, const TAssignSource& source) override;
    bool CanAssignTo(const TAssignTarget& dest) const override;
    bool AssignTo(const TCustomBitmap32& source, const TAssignTarget& dest) override;
};

// BMP files: 32 bits per pixel, version-4 header, rows bottom-up.
class TImageFormatAdapterBMP : public IImageFormat, public IImageFormatFileInfo, public IImageFormatWriter {
public:
    const char* ClassName() const override { return "TImageFormatAdapterBMP"; }
    std::string ImageFormatDescription() const override { return "Bitmaps"; }
    std::vector<std::string> ImageFormatFileTypes() const override { return {"bmp", "dib", "rle"}; }
    void SaveToStream(const TCustomBitmap32& bitmap, TStream& stream) override;
};

// PNG files: written as 8-bit RGBA with the alpha as stored. Converting from
// PNG picture objects of its own is not built; the program's PNG pictures
// reach the 32-bit bitmap through TBitmap.
class TImageFormatAdapterPNG32 : public TCustomImageFormatAdapter,
                                 public IImageFormatFileInfo,
                                 public IImageFormatWriter {
public:
    const char* ClassName() const override { return "TImageFormatAdapterPNG32"; }
    std::string ImageFormatDescription() const override { return "PNG images"; }
    std::vector<std::string> ImageFormatFileTypes() const override { return {"png"}; }
    void SaveToStream(const TCustomBitmap32& bitmap, TStream& stream) override;
};

class TImageFormatAdapterTClipboard : public TCustomImageFormatAdapter {
public:
    const char* ClassName() const override { return "TImageFormatAdapterTClipboard"; }
};

// A declining adapter that still names its file types.
class TDecliningFileAdapter : public TCustomImageFormatAdapter, public IImageFormatFileInfo {
public:
    TDecliningFileAdapter(const char* className, std::string description, std::vector<std::string> fileTypes)
        : FClassName(className), FDescription(std::move(description)), FFileTypes(std::move(fileTypes)) {}
    const char* ClassName() const override { return FClassName; }
    std::string ImageFormatDescription() const override { return FDescription; }
    std::vector<std::string> ImageFormatFileTypes() const override { return FFileTypes; }

private:
    const char* FClassName;
    std::string FDescription;
    std::vector<std::string> FFileTypes;
};

// Reads pictures through TPicture; not on any road, so it offers nothing here.
class TImageFormatReaderTPicture : public IImageFormat {
public:
    const char* ClassName() const override { return "TImageFormatReaderTPicture"; }
};
