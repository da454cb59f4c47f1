// The engineering display's write entry: the 32-bit address word of a register write (access modifier,
// register number, 16-bit data), typed as exactly 8 hexadecimal digits.
#pragma once

#include <cstdint>
#include <string_view>

namespace kpd {

inline constexpr const char *kInvalidAddressLengthText =
    "Invalid Address entered.  Make sure the address is 8 hex characters in length";
inline constexpr const char *kInvalidAddressDigitsText =
    "Invalid Address entered.  Make sure the address contains only the hex characters 0-9 and A-F";

struct WriteEntry {
    enum class Check { Ok, WrongLength, NotHex };
    Check check = Check::WrongLength;
    uint32_t addressWord = 0; // only when Ok
    // The message for a refused entry (null when Ok).
    const char *Message() const;
};

// Checks the text of the write box (UTF-8). Its length is counted in characters: anything but exactly 8
// is WrongLength; 8 characters that are not all 0-9, A-F or a-f are NotHex (no sign, prefix or blank is
// taken); otherwise the digits are the address word.
WriteEntry CheckWriteEntry(std::string_view text);

} // namespace kpd
