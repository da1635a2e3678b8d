#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace rastrel {

// The process arguments, kept so that the merge-script writer can fetch its
// path afresh at every write. Index 0 is the program itself.
void SetProcessArguments(std::vector<std::string> arguments);
std::size_t ProcessArgumentCount();              // not counting the program
std::string ProcessArgument(std::size_t index);  // "" when absent

// Exactly five arguments (x1 x2 y1 y2 script) mean launched use: sets
// LaunchedWithRect and the launch rectangle. Any other count changes nothing.
void ReadLaunchArguments(const std::vector<std::string>& arguments);

}  // namespace rastrel
