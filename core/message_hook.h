#pragma once

#include <string_view>

namespace rastrel {

// How the writers tell the user about a failure: the windows show a modal
// message box with `text`; the converter prints it with the file it is about.
// Returns when the user has seen it.
class MessageHook {
 public:
  virtual ~MessageHook() = default;
  virtual void ShowMessage(std::string_view text, std::string_view file) = 0;
};

}  // namespace rastrel
