#pragma once
// The program file's version resource: four strings compiled into the program, queried by the same
// paths as on Windows, for example "\StringFileInfo\040904E4\ProductName" (in C++ source:
// "\\StringFileInfo\\040904E4\\ProductName"). The language and code-page block 040904E4 is US English,
// Windows Latin-1. Query paths compare case-insensitively; a string that is not in the resource, or any
// other block, yields nothing (the about window then keeps its label's previous text).

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kVersionBlock = "040904E4";
inline constexpr std::string_view kProductNamePath = "\\StringFileInfo\\040904E4\\ProductName";
inline constexpr std::string_view kFileVersionPath = "\\StringFileInfo\\040904E4\\FileVersion";
inline constexpr std::string_view kCommentsPath = "\\StringFileInfo\\040904E4\\Comments";
inline constexpr std::string_view kLegalCopyrightPath = "\\StringFileInfo\\040904E4\\LegalCopyright";

class VersionResource {
public:
    // A resource holding the given strings (name such as "ProductName" -> text), block 040904E4.
    explicit VersionResource(std::map<std::string, std::string> strings);

    // The running program's resource: ProductName, FileVersion, Comments, LegalCopyright.
    static const VersionResource &Program();

    // VerQueryValue-like look-up by path "\StringFileInfo\040904E4\<Name>".
    std::optional<std::string> Query(std::string_view path) const;

    // Size of the resource in bytes (the Windows size query); 0 means "no version information".
    std::size_t Size() const;

private:
    std::map<std::string, std::string> strings_; // keys in upper case
};

// Shorthand for VersionResource::Program().Query(path).
std::optional<std::string> QueryVersionString(std::string_view path);

} // namespace platform
