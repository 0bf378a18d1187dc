// The datapack subcommands. Each takes the arguments after its name and returns the
// process exit status: 0 success, 1 findings (lint) or failure, 2 bad usage.
#pragma once

#include <string>
#include <vector>

namespace datapack {

using Arguments = std::vector<std::string>;

int RunBuild(const Arguments& args);
int RunLint(const Arguments& args);
int RunDecode(const Arguments& args);
int RunRecipe(const Arguments& args);
int RunPour(const Arguments& args);
int RunOwn(const Arguments& args);
int RunCost(const Arguments& args);
int RunStock(const Arguments& args);
int RunCalibrate(const Arguments& args);
int RunOptics(const Arguments& args);
int RunMatch(const Arguments& args);
int RunCorrect(const Arguments& args);
int RunNearest(const Arguments& args);

}  // namespace datapack
