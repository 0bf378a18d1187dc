#include "tools/datapack/Options.h"

#include <algorithm>
#include <cstdio>

namespace datapack {

namespace {

bool Refuse(const std::string& message, const char* usage) {
    std::fprintf(stderr, "datapack: %s\nusage: %s\n", message.c_str(), usage);
    return false;
}

}  // namespace

bool ParseOptions(const Arguments& args, const std::vector<std::string>& names, const std::vector<std::string>& required,
                  const char* usage, Options& options) {
    for (std::size_t i = 0; i < args.size(); i += 2) {
        const std::string& name = args[i];
        if (std::find(names.begin(), names.end(), name) == names.end()) return Refuse("unknown argument " + name, usage);
        if (i + 1 >= args.size()) return Refuse(name + " needs a value", usage);
        if (!options.emplace(name, args[i + 1]).second) return Refuse(name + " given twice", usage);
    }
    for (const std::string& name : required)
        if (!options.count(name)) return Refuse("missing " + name, usage);
    return true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "datapack: %s\n", message.c_str());
    return 1;
}

int WriteOut(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        return Fail("cannot write to the standard output");
    return 0;
}

}  // namespace datapack
