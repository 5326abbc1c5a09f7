#include "pictures/jpeg/jpeg_context.h"

#include "pictures/jpeg/jpeg_error.h"
#include "pictures/jpeg/jpeg_pixels.h"

// Every member is plain data: libjpeg's errors leave its frames by longjmp.
struct TJPEGContext::State {
    jpeg_decompress_struct Info;
    TJPEGErrorManager Errors;
    TJPEGSource Source;
    jpeg_progress_mgr Progress;
    TJPEGOutputKind Kind;
    bool Created;
};

namespace {

void CreateStep(j_decompress_ptr cinfo, void*) { jpeg_create_decompress(cinfo); }

void ReadHeaderStep(j_decompress_ptr cinfo, void*) { jpeg_read_header(cinfo, TRUE); }

void CalcOutputStep(j_decompress_ptr cinfo, void*) { jpeg_calc_output_dimensions(cinfo); }

void StartStep(j_decompress_ptr cinfo, void*) { jpeg_start_decompress(cinfo); }

void FinishStep(j_decompress_ptr cinfo, void*) { jpeg_finish_decompress(cinfo); }

void MonitorScans(j_common_ptr common) {
    auto cinfo = reinterpret_cast<j_decompress_ptr>(common);
    if (cinfo->input_scan_number > JPEGMaxScans) {
        ERREXIT4(cinfo, JERR_BAD_PROGRESSION, cinfo->Ss, cinfo->Se, cinfo->Ah, cinfo->Al);
    }
}

struct RowJob {
    uint8_t* Row;
    ptrdiff_t Step;
    bool Cmyk;
    bool ReverseRgb;
};

void ReadRowsStep(j_decompress_ptr cinfo, void* argument) {
    auto* job = static_cast<RowJob*>(argument);
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW rows[1] = {job->Row};
        JDIMENSION read = jpeg_read_scanlines(cinfo, rows, 1);
        if (read == 0) {
            // Our source never suspends; a stall would otherwise loop forever.
            ERREXIT(cinfo, JERR_CANT_SUSPEND);
        }
        if (job->Cmyk) {
            ConvertInvertedCmykRow(job->Row, cinfo->output_width);
        } else if (job->ReverseRgb) {
            ReverseRgbRow(job->Row, cinfo->output_width);
        }
        job->Row += job->Step;
    }
}

// The defaults of the library build our decoding is defined by; other builds
// differ (the integer IDCT is the usual default), so they are set here.
void ApplyReferenceDefaults(jpeg_decompress_struct& info) {
    info.scale_num = 1;
    info.scale_denom = 1;
    info.output_gamma = 1.0;
    info.dct_method = JDCT_FLOAT;
    info.do_fancy_upsampling = TRUE;
    info.do_block_smoothing = TRUE;
    info.quantize_colors = FALSE;
    info.dither_mode = JDITHER_FS;
    info.two_pass_quantize = TRUE;
    info.desired_number_of_colors = 256;
}

void ApplySettings(jpeg_decompress_struct& info, const TJPEGDecodeSettings& settings) {
    info.scale_denom = 1u << settings.ScaleShift;
    info.do_block_smoothing = settings.Smoothing ? TRUE : FALSE;
    if (settings.Grayscale) {
        info.out_color_space = JCS_GRAYSCALE;
    }
    if (settings.Indexed || info.out_color_space == JCS_GRAYSCALE) {
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = 236;
    }
    if (settings.BestSpeed) {
        info.dct_method = JDCT_IFAST;
        info.two_pass_quantize = FALSE;
        info.dither_mode = JDITHER_ORDERED;
    }
#ifdef JCS_EXTENSIONS
    // The bitmap wants blue, green, red; a build that can deliver that order
    // saves a pass over every row. The quantisers need plain RGB.
    if (!info.quantize_colors && info.out_color_space == JCS_RGB) {
        info.out_color_space = settings.FourBytes ? JCS_EXT_BGRA : JCS_EXT_BGR;
    }
#endif
}

TJPEGOutputKind KindOf(const jpeg_decompress_struct& info) {
    if (info.quantize_colors) {
        return TJPEGOutputKind::Indexed8;
    }
    switch (info.out_color_space) {
    case JCS_RGB:
#ifdef JCS_EXTENSIONS
    case JCS_EXT_BGR:
#endif
        return TJPEGOutputKind::Bgr24;
#ifdef JCS_EXTENSIONS
    case JCS_EXT_BGRA: return TJPEGOutputKind::Bgra32;
#endif
    case JCS_CMYK: return TJPEGOutputKind::Cmyk32;
    default: return TJPEGOutputKind::Unsupported;
    }
}

int BytesDelivered(TJPEGOutputKind kind) {
    switch (kind) {
    case TJPEGOutputKind::Bgr24: return 3;
    case TJPEGOutputKind::Indexed8: return 1;
    case TJPEGOutputKind::Bgra32:
    case TJPEGOutputKind::Cmyk32: return 4;
    case TJPEGOutputKind::Unsupported: break;
    }
    return 0;
}

}  // namespace

int TJPEGOutput::BitsPerPixel() const { return BytesDelivered(Kind) * 8; }

TJPEGContext::TJPEGContext(const uint8_t* data, size_t size, size_t portion) : FState(std::make_unique<State>()) {
    State& state = *FState;
    state.Created = false;
    state.Kind = TJPEGOutputKind::Unsupported;
    state.Info.err = InitJPEGErrorManager(state.Errors);
    CheckedJPEGStep(&state.Info, CreateStep, nullptr);
    state.Created = true;
    state.Progress.progress_monitor = MonitorScans;
    state.Info.progress = &state.Progress;
    AttachJPEGSource(&state.Info, state.Source, data, size, portion);
}

TJPEGContext::~TJPEGContext() {
    if (FState->Created) {
        jpeg_destroy_decompress(&FState->Info);
    }
}

TJPEGHeader TJPEGContext::ReadHeader() {
    jpeg_decompress_struct& info = FState->Info;
    CheckedJPEGStep(&info, ReadHeaderStep, nullptr);
    TJPEGHeader header;
    header.Width = static_cast<int>(info.image_width);
    header.Height = static_cast<int>(info.image_height);
    header.Grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
    header.Progressive = jpeg_has_multiple_scans(&info) != FALSE;
    return header;
}

TJPEGOutput TJPEGContext::Configure(const TJPEGDecodeSettings& settings) {
    jpeg_decompress_struct& info = FState->Info;
    CheckedJPEGStep(&info, ReadHeaderStep, nullptr);
    ApplyReferenceDefaults(info);
    ApplySettings(info, settings);
    CheckedJPEGStep(&info, CalcOutputStep, nullptr);
    FState->Kind = KindOf(info);
    return {static_cast<int>(info.output_width), static_cast<int>(info.output_height), FState->Kind};
}

void TJPEGContext::Start() {
    jpeg_decompress_struct& info = FState->Info;
    // The library build we use decodes arithmetic coding; our decoding is
    // defined by one that refuses it, at this point, with its own code.
    if (info.arith_code) {
        RaiseJPEGError(JERR_ARITH_NOTIMPL);
    }
    int components = info.num_components;
    if ((components != 1 && components != 3 && components != 4) || FState->Kind == TJPEGOutputKind::Unsupported) {
        RaiseJPEGError(JPEGUnsupportedComponentsCode);
    }
    CheckedJPEGStep(&info, StartStep, nullptr);
    // Guards the rows: what libjpeg delivers must be what the kind promises.
    if (info.output_components != BytesDelivered(FState->Kind)) {
        RaiseJPEGError(JPEGUnsupportedComponentsCode);
    }
}

std::vector<gdi::PALETTEENTRY> TJPEGContext::ColorMap() const {
    const jpeg_decompress_struct& info = FState->Info;
    std::vector<gdi::PALETTEENTRY> entries;
    if (!info.quantize_colors || info.colormap == nullptr) {
        return entries;
    }
    bool grey = info.out_color_components == 1;
    entries.resize(static_cast<size_t>(info.actual_number_of_colors));
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].peRed = info.colormap[0][i];
        entries[i].peGreen = info.colormap[grey ? 0 : 1][i];
        entries[i].peBlue = info.colormap[grey ? 0 : 2][i];
    }
    return entries;
}

void TJPEGContext::ReadRows(uint8_t* firstRow, ptrdiff_t step, size_t rowBytes) {
    jpeg_decompress_struct& info = FState->Info;
    uint64_t needed = uint64_t{info.output_width} * static_cast<uint64_t>(info.output_components);
    if (needed > rowBytes) {
        throw EInvalidGraphicOperation(Format("JPEG row of %llu bytes exceeds its target of %zu bytes",
                                              static_cast<unsigned long long>(needed), rowBytes));
    }
    RowJob job{firstRow, step, FState->Kind == TJPEGOutputKind::Cmyk32, false};
#ifndef JCS_EXTENSIONS
    job.ReverseRgb = FState->Kind == TJPEGOutputKind::Bgr24;
#endif
    CheckedJPEGStep(&info, ReadRowsStep, &job);
}

void TJPEGContext::Finish() { CheckedJPEGStep(&FState->Info, FinishStep, nullptr); }
