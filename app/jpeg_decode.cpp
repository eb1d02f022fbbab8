#include "app/jpeg_decode.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg's default error handler calls exit(); this one jumps back instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JumpOnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

// Only plain C objects live in this frame, so the long jump skips no destructor.
bool DecodeInto(jpeg_decompress_struct& decoder, ErrorManager& errors, const std::uint8_t* data,
                std::size_t size, RgbImage& image) {
    if (setjmp(errors.jump) != 0) {
        return false;
    }
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, data, static_cast<unsigned long>(size));
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder);
    if (decoder.output_components != 3) {
        std::snprintf(errors.message, sizeof errors.message, "unsupported colour layout");
        return false;
    }
    image.width = static_cast<int>(decoder.output_width);
    image.height = static_cast<int>(decoder.output_height);
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    image.pixels.resize(stride * static_cast<std::size_t>(image.height));
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = image.pixels.data() + stride * decoder.output_scanline;
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    return true;
}

}  // namespace

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, RgbImage& image, std::string& error) {
    image = RgbImage{};
    if (data == nullptr || size == 0) {
        error = "empty picture data";
        return false;
    }
    jpeg_decompress_struct decoder{};
    ErrorManager errors{};
    decoder.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpOnError;
    errors.base.output_message = IgnoreMessage;
    const bool decoded = DecodeInto(decoder, errors, data, size, image);
    jpeg_destroy_decompress(&decoder);
    if (!decoded) {
        error = errors.message;
        image = RgbImage{};
    }
    return decoded;
}
