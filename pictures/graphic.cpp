#include "pictures/graphic.h"

#include "base/stream.h"

gdi::COLORREF ColorToRGB(TColor color) {
    if (color < 0) return gdi::GetSysColor(color & 0xFF);
    return static_cast<gdi::COLORREF>(color);
}

// The graphics layer's reason for the last refusal, when it gave one.
void RaiseOutOfResources() {
    std::string text = gdi::SystemErrorText(gdi::GetLastError());
    if (text.empty()) text = "Out of system resources";
    throw EOutOfResources(text);
}

void TGraphic::Assign(const TGraphic* source) {
    if (source == nullptr) ConvertError("nil");
    source->AssignTo(*this);
}

void TGraphic::AssignTo(TGraphic& dest) const { dest.ConvertError(ClassName()); }

void TGraphic::ConvertError(const char* sourceName) const {
    throw EConvertError(Format("Cannot assign a %s to a %s", sourceName, ClassName()));
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, TFileStream::Mode::OpenRead);
    LoadFromStream(stream);
}

bool TGraphic::WriteOpaquePixels(const std::function<uint32_t*()>&) { return false; }

void TGraphic::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    Changed();
}

void TGraphic::Changed() {
    FModified = true;
    if (FOnChange) FOnChange(this);
}
