#include "LibjpegReference.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace jpegtest {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(err->jump, 1);
}

void Silence(j_common_ptr, int) {}

// Plain C-style bodies: nothing with a destructor lives across setjmp.
bool Encode(const std::uint8_t* pixels, int width, int height, const EncodeOptions& o, unsigned char** out,
            unsigned long* outSize) {
    jpeg_compress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = o.components;
    info.in_color_space = o.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, o.quality, TRUE);
    info.comp_info[0].h_samp_factor = o.lumaH;
    info.comp_info[0].v_samp_factor = o.lumaV;
    for (int i = 1; i < info.num_components; ++i)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    info.restart_interval = static_cast<unsigned>(o.restartInterval);
    info.arith_code = o.arithmetic ? TRUE : FALSE;
    if (o.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const int stride = width * o.components;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + static_cast<std::size_t>(info.next_scanline) * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

// Reads the header of `file`, lets `configure` set the output (and read the picture's size), then
// decodes row by row to the address `row(y)` gives.
template <class Configure, class RowAt>
bool Decode(const std::vector<std::uint8_t>& file, Configure configure, RowAt row) {
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.emit_message = Silence;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    configure(info);
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rowPointer = row(info, static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &rowPointer, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> LibjpegEncode(const std::vector<std::uint8_t>& pixels, int width, int height,
                                        const EncodeOptions& options) {
    unsigned char* out = nullptr;
    unsigned long size = 0;
    std::vector<std::uint8_t> file;
    if (Encode(pixels.data(), width, height, options, &out, &size)) file.assign(out, out + size);
    std::free(out);
    return file;
}

DecodedImage LibjpegDecode(const std::vector<std::uint8_t>& file) {
    DecodedImage image;
    const bool ok = Decode(
        file,
        [](jpeg_decompress_struct& info) {
            info.out_color_space = JCS_RGB;
            info.dct_method = JDCT_ISLOW;
            info.do_fancy_upsampling = FALSE;
        },
        [&image](jpeg_decompress_struct& info, int y) {
            if (image.rgb.empty()) {
                image.width = static_cast<int>(info.output_width);
                image.height = static_cast<int>(info.output_height);
                image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
            }
            return image.rgb.data() + static_cast<std::size_t>(y) * image.width * 3;
        });
    return ok ? image : DecodedImage{};
}

bool LibjpegDecodeBgrx(const std::vector<std::uint8_t>& file, std::uint8_t* pixels, int pitch) {
    return Decode(
        file, [](jpeg_decompress_struct& info) { info.out_color_space = JCS_EXT_BGRX; },
        [pixels, pitch](jpeg_decompress_struct&, int y) {
            return pixels + static_cast<std::ptrdiff_t>(y) * pitch;
        });
}

}  // namespace jpegtest
