#include "core/launch_arguments.h"

#include <cstdint>
#include <utility>

#include "core/conversion_settings.h"
#include "core/int32_math.h"
#include "core/number_scan.h"

namespace rastrel {
namespace {

std::vector<std::string> process_arguments;

// One edge pair, in either order: the smaller edge and the distance.
void ApplyEdges(std::int32_t a, std::int32_t b, std::int32_t& margin, std::int32_t& length) {
  margin = a < b ? a : b;
  length = ClampToInt32(a < b ? std::int64_t{b} - a : std::int64_t{a} - b);
}

}  // namespace

void SetProcessArguments(std::vector<std::string> arguments) {
  process_arguments = std::move(arguments);
}

std::size_t ProcessArgumentCount() {
  return process_arguments.empty() ? 0 : process_arguments.size() - 1;
}

std::string ProcessArgument(std::size_t index) {
  return index < process_arguments.size() ? process_arguments[index] : std::string();
}

void ReadLaunchArguments(const std::vector<std::string>& arguments) {
  if (arguments.size() != 5) return;
  Settings& s = ConversionSettings;
  s.LaunchedWithRect = true;
  // An argument that does not begin with a number reads as 0.
  std::int32_t edge[4];
  for (int i = 0; i < 4; ++i) edge[i] = ScanDecimal(arguments[i]).value_or(0);
  ApplyEdges(edge[0], edge[1], s.LeftMargin, s.RectWidth);
  ApplyEdges(edge[2], edge[3], s.TopMargin, s.RectHeight);
}

}  // namespace rastrel
