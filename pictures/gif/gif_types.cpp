#include "pictures/gif/gif_types.h"

namespace gif {

const TGIFGraphicControlExtension* TGIFFrame::GraphicControl() const {
    for (const TGIFExtension& extension : Extensions)
        if (const auto* control = std::get_if<TGIFGraphicControlExtension>(&extension)) return control;
    return nullptr;
}

bool TGIFFrame::Transparent() const {
    const TGIFGraphicControlExtension* control = GraphicControl();
    return control && control->Transparent();
}

}  // namespace gif
