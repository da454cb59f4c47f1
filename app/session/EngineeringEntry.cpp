#include "session/EngineeringEntry.h"

namespace kpd {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Characters of a UTF-8 text: every byte that does not continue a multi-byte sequence starts one.
std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

} // namespace

const char *WriteEntry::Message() const {
    switch (check) {
    case Check::WrongLength:
        return kInvalidAddressLengthText;
    case Check::NotHex:
        return kInvalidAddressDigitsText;
    default:
        return nullptr;
    }
}

WriteEntry CheckWriteEntry(std::string_view text) {
    WriteEntry e;
    if (CharacterCount(text) != 8) {
        e.check = WriteEntry::Check::WrongLength;
        return e;
    }
    uint32_t word = 0;
    for (char c : text) {
        const int d = HexDigit(c);
        if (d < 0) {
            e.check = WriteEntry::Check::NotHex;
            return e;
        }
        word = (word << 4) | static_cast<uint32_t>(d);
    }
    e.check = WriteEntry::Check::Ok;
    e.addressWord = word;
    return e;
}

} // namespace kpd
