#pragma once
// JPEG decoding with libjpeg into a QImage (Format_RGB32). Any decode error, truncated or corrupt data
// (including data libjpeg would only warn about), an unsupported colour space or an image larger than
// kMaxJpegPixels yields a null QImage; nothing is printed and nothing crashes.

#include <QImage>

#include <cstddef>
#include <span>
#include <string>

namespace platform {

inline constexpr long long kMaxJpegPixels = 64LL * 1024 * 1024;

QImage DecodeJpeg(std::span<const unsigned char> data);
// Reads and decodes a file; a missing or unreadable file also yields a null image.
QImage DecodeJpegFile(const std::string &path);

} // namespace platform
