#pragma once

#include <stdexcept>

namespace rastrel {

// A bitmap file that cannot become the loaded picture. what() is the
// message the Open command shows.
class LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace rastrel
