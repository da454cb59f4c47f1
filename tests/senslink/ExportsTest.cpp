// The shared library exports exactly the functions the public header declares.
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <string>

namespace {

std::set<std::string> declaredExports() {
    std::ifstream header(SENSLINK_HEADER);
    const std::regex decl(R"(SENSLINK_API\s+int\s+(\w+)\s*\()");
    std::set<std::string> names;
    std::string line;
    while (std::getline(header, line)) {
        std::smatch m;
        if (std::regex_search(line, m, decl)) names.insert(m[1]);
    }
    return names;
}

std::set<std::string> exportedSymbols() {
    const std::string cmd = std::string("nm -D --defined-only ") + SENSLINK_LIBRARY;
    std::set<std::string> names;
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) return names;
    char line[512];
    while (fgets(line, sizeof line, p)) {
        std::string s(line);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
            s.pop_back();
        const auto sp = s.rfind(' ');
        if (sp == std::string::npos) continue;
        const std::string name = s.substr(sp + 1);
        // Markers the linker adds to every shared object.
        if (name == "_edata" || name == "_end" || name == "__bss_start" || name == "_init" || name == "_fini")
            continue;
        names.insert(name);
    }
    pclose(p);
    return names;
}

} // namespace

TEST(Exports, ExactlyTheDeclaredFunctions) {
    const auto declared = declaredExports();
    EXPECT_EQ(declared.size(), 69u);
    const auto exported = exportedSymbols();
    ASSERT_FALSE(exported.empty()) << "nm produced no symbols";
    for (const auto &name : declared)
        EXPECT_TRUE(exported.count(name)) << "missing export " << name;
    for (const auto &name : exported)
        EXPECT_TRUE(declared.count(name)) << "unexpected export " << name;
}
