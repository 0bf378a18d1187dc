// datapack decode: a package source back to the UTF-8 sources, for review.
#include <filesystem>

#include "data/cipher/Cipher.h"
#include "tools/datapack/Commands.h"
#include "tools/datapack/Options.h"
#include "tools/datapack/PackageSource.h"
#include "tools/datapack/SourceFiles.h"

namespace datapack {

int RunDecode(const Arguments& args) {
    Options options;
    if (!ParseOptions(args, {"--package", "--out"}, {"--package", "--out"}, "datapack decode --package FILE.cpp --out DIR",
                      options))
        return 2;
    const std::string& packagePath = options["--package"];
    std::string text;
    std::string error;
    if (!ReadWholeFile(packagePath, text, error)) return Fail(error);
    ParsedPackage parsed;
    if (!ParsePackageSource(text, parsed, error)) return Fail(packagePath + ": " + error);

    lacqueron::RefPtr<lacqueron::ICipherFactory> factory = lacqueron::CreateCipherFactory();
    lacqueron::RefPtr<lacqueron::ICipher> cipher = factory ? factory->CreateCipher() : nullptr;
    if (!cipher) return Fail("cannot create the cipher");

    std::string files[lacqueron::kSectionCount];
    for (int index = 0; index < lacqueron::kSectionCount; ++index) {
        const std::vector<std::uint8_t>& section = parsed.sections[index];
        lacqueron::RefPtr<lacqueron::IByteBuffer> content = lacqueron::DecodeSection(
            section.data(), static_cast<std::uint32_t>(section.size()), cipher.get(), parsed.key);
        if (!content)
            return Fail(packagePath + ": the section for " + kSourceFileNames[index] + " cannot be decoded");
        const auto* bytes = reinterpret_cast<const char*>(content->GetData());
        const std::string plain = bytes ? std::string(bytes, content->GetLength()) : std::string();
        files[index] = index == lacqueron::kSectionPicture ? plain : Cp1251ToUtf8(plain);
    }

    const std::string& directory = options["--out"];
    std::error_code failed;
    std::filesystem::create_directories(directory, failed);
    if (failed) return Fail("cannot create " + directory + ": " + failed.message());
    for (int index = 0; index < lacqueron::kSectionCount; ++index)
        if (!WriteWholeFile(JoinPath(directory, kSourceFileNames[index]), files[index], error)) return Fail(error);
    if (!WriteWholeFile(JoinPath(directory, kKeyFileName), FormatKeyFile(parsed.key), error)) return Fail(error);
    return 0;
}

}  // namespace datapack
