// datapack: builds, checks and decodes the program's data package.
#include <cstdio>
#include <cstring>

#include "tools/datapack/Commands.h"

namespace {

void PrintUsage() {
    std::fputs(
        "usage:\n"
        "  datapack build  --sources DIR --out FILE.cpp\n"
        "  datapack lint   --sources DIR\n"
        "  datapack decode --package FILE.cpp --out DIR\n"
        "  datapack recipe --sources DIR (--row N | --title TEXT) --purpose N --unit g|ml|N --amount N\n"
        "  datapack recipe --sources DIR --own-store FILE --title CODE --purpose N --unit g|ml|N --amount N\n"
        "  datapack pour   --sources DIR (--row N | --title TEXT) --purpose N --unit g|ml|N --amount N\n"
        "                  [--resolution 0.01|0.1|1] [--accept] READING...\n"
        "  datapack own    --store FILE [--sources DIR] import CSV | export | list | index\n"
        "  datapack cost   --sources DIR --prices CSV (--row N | --title TEXT | --own-store FILE --title CODE)\n"
        "                  --purpose N --unit g|ml|N --amount N\n"
        "  datapack stock  --data-folder DIR [--date YYYY-MM-DD] [--sources DIR]\n"
        "  datapack calibrate --sources DIR --ladders FILE --out FILE\n"
        "  datapack optics --store FILE [--out FILE]\n"
        "  datapack match  --sources DIR [--optics FILE] --purpose N TARGET [--pastes CODE,...]\n"
        "                  [--max-pastes N] [--top K] [--prices CSV]\n"
        "  datapack correct --sources DIR [--optics FILE] --purpose N TARGET --poured CODE=G,...\n"
        "                  (--trial-lab L,a,b | --trial-spectrum FILE --trial-sample NAME)\n"
        "                  [--capacity G] [--max-add-pastes N] [--pastes CODE,...]\n"
        "  datapack nearest --sources DIR [--own-store FILE] TARGET [--top N]\n"
        "  TARGET: --lab L,a,b | --hlc \"H L C\" | --ral CODE | --spectrum FILE --sample NAME\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage();
        return 2;
    }
    const datapack::Arguments args(argv + 2, argv + argc);
    const char* command = argv[1];
    if (std::strcmp(command, "build") == 0) return datapack::RunBuild(args);
    if (std::strcmp(command, "lint") == 0) return datapack::RunLint(args);
    if (std::strcmp(command, "decode") == 0) return datapack::RunDecode(args);
    if (std::strcmp(command, "recipe") == 0) return datapack::RunRecipe(args);
    if (std::strcmp(command, "pour") == 0) return datapack::RunPour(args);
    if (std::strcmp(command, "own") == 0) return datapack::RunOwn(args);
    if (std::strcmp(command, "cost") == 0) return datapack::RunCost(args);
    if (std::strcmp(command, "stock") == 0) return datapack::RunStock(args);
    if (std::strcmp(command, "calibrate") == 0) return datapack::RunCalibrate(args);
    if (std::strcmp(command, "optics") == 0) return datapack::RunOptics(args);
    if (std::strcmp(command, "match") == 0) return datapack::RunMatch(args);
    if (std::strcmp(command, "correct") == 0) return datapack::RunCorrect(args);
    if (std::strcmp(command, "nearest") == 0) return datapack::RunNearest(args);
    PrintUsage();
    return 2;
}
