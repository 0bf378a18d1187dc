// datapack build: the sources as the C++ source of the shipped package.
#include <filesystem>

#include "tools/datapack/Commands.h"
#include "tools/datapack/Options.h"
#include "tools/datapack/PackageSource.h"
#include "tools/datapack/SourceFiles.h"

namespace datapack {

int RunBuild(const Arguments& args) {
    Options options;
    if (!ParseOptions(args, {"--sources", "--out"}, {"--sources", "--out"}, "datapack build --sources DIR --out FILE.cpp",
                      options))
        return 2;
    Sources sources;
    std::string error;
    if (!ReadSources(options["--sources"], sources, error)) return Fail(error);
    const std::unique_ptr<lacqueron::OwnedPackage> package = lacqueron::EncryptPackage(sources.contents, sources.key);
    if (!package) return Fail("cannot encrypt the package");

    const std::filesystem::path out(options["--out"]);
    std::error_code ignored;
    if (out.has_parent_path()) std::filesystem::create_directories(out.parent_path(), ignored);
    if (!WriteWholeFile(out.string(), WritePackageSource(*package), error)) return Fail(error);
    return 0;
}

}  // namespace datapack
