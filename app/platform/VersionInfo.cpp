#include "platform/VersionInfo.h"

#include <algorithm>
#include <cctype>

#ifndef KPD_FILE_VERSION
#define KPD_FILE_VERSION "1.0.0.0"
#endif

namespace platform {
namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

} // namespace

VersionResource::VersionResource(std::map<std::string, std::string> strings) {
    for (auto &[name, text] : strings)
        strings_[Upper(name)] = std::move(text);
}

const VersionResource &VersionResource::Program() {
    static const VersionResource program({
        {"ProductName", "Tessaly II Software for KPD Alignment Tool"},
        {"FileVersion", KPD_FILE_VERSION},
        {"Comments", "Set-up, alignment and monitoring of the KPD Digital Sensor"},
        {"LegalCopyright", "Copyright (C) 2024 the KPD developers"},
    });
    return program;
}

std::optional<std::string> VersionResource::Query(std::string_view path) const {
    // "\StringFileInfo\<block>\<name>"; the leading backslash may be omitted, like VerQueryValue allows.
    std::string p = Upper(path);
    if (!p.empty() && p.front() == '\\') p.erase(0, 1);
    const std::string prefix = "STRINGFILEINFO\\" + Upper(kVersionBlock) + "\\";
    if (p.size() <= prefix.size() || p.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    const std::string name = p.substr(prefix.size());
    if (name.find('\\') != std::string::npos) return std::nullopt;
    const auto it = strings_.find(name);
    if (it == strings_.end()) return std::nullopt;
    return it->second;
}

std::size_t VersionResource::Size() const {
    std::size_t size = 0;
    for (const auto &[name, text] : strings_)
        size += name.size() + text.size() + 2;
    return size;
}

std::optional<std::string> QueryVersionString(std::string_view path) {
    return VersionResource::Program().Query(path);
}

} // namespace platform
