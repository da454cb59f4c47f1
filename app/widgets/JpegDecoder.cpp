#include "widgets/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <jpeglib.h>

namespace platform {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool warned;
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    std::longjmp(err->jump, 1);
}

extern "C" void OnJpegMessage(j_common_ptr cinfo, int level) {
    // Level -1 is a warning about corrupt or truncated data: treated as a failure. Trace messages
    // (level >= 0) are ignored. Nothing is printed.
    if (level < 0) reinterpret_cast<ErrorManager *>(cinfo->err)->warned = true;
}

// Plain C-style body: no object with a destructor lives in this frame across setjmp/longjmp.
bool DecodeInto(jpeg_decompress_struct *cinfo, ErrorManager *err, const unsigned char *data,
                unsigned long size, QImage *out) {
    if (setjmp(err->jump)) return false;
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, size);
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
    if (cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK) return false;
    cinfo->out_color_space = JCS_RGB;
    if (cinfo->image_width == 0 || cinfo->image_height == 0 ||
        static_cast<long long>(cinfo->image_width) * cinfo->image_height > kMaxJpegPixels)
        return false;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != 3) return false;
    *out = QImage(static_cast<int>(cinfo->output_width), static_cast<int>(cinfo->output_height),
                  QImage::Format_RGB32);
    if (out->isNull()) return false;
    const int width = static_cast<int>(cinfo->output_width);
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 cinfo->output_width * 3, 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        const int y = static_cast<int>(cinfo->output_scanline);
        if (jpeg_read_scanlines(cinfo, row, 1) != 1) return false;
        auto *dst = reinterpret_cast<QRgb *>(out->scanLine(y));
        const JSAMPLE *src = row[0];
        for (int x = 0; x < width; ++x, src += 3)
            dst[x] = qRgb(src[0], src[1], src[2]);
    }
    jpeg_finish_decompress(cinfo);
    return !err->warned;
}

} // namespace

QImage DecodeJpeg(std::span<const unsigned char> data) {
    if (data.empty()) return {};
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnJpegError;
    err.pub.emit_message = OnJpegMessage;
    err.pub.output_message = [](j_common_ptr) {};
    QImage image;
    const bool ok = DecodeInto(&cinfo, &err, data.data(), static_cast<unsigned long>(data.size()), &image);
    jpeg_destroy_decompress(&cinfo);
    if (!ok) return {};
    return image;
}

QImage DecodeJpegFile(const std::string &path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return {};
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return {};
        const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                               std::istreambuf_iterator<char>());
        if (in.bad()) return {};
        return DecodeJpeg(bytes);
    } catch (const std::exception &) { // a read error raised by the stream buffer
        return {};
    }
}

} // namespace platform
