#include "pictures/picture.h"

TBitmap& TPicture::Bitmap() {
    if (auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get())) return *bitmap;
    SetGraphic(std::make_unique<TBitmap>());
    return static_cast<TBitmap&>(*FGraphic);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    FGraphic = std::move(graphic);
    if (FGraphic) FGraphic->SetOnChange([this](void*) { Changed(); });
    Changed();
}

void TPicture::Assign(const TPicture* source) { Assign(source != nullptr ? source->Graphic() : nullptr); }

void TPicture::Assign(const TGraphic* source) {
    if (source == nullptr) {
        SetGraphic(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> copy = source->NewInstance();
    copy->Assign(source);
    SetGraphic(std::move(copy));
}

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}
