#pragma once

#include <string>

#include "core/bitmap.h"

namespace rastrel {

// Reads the bitmap file at `path` as the Open command does: a file that
// cannot be opened, or that does not decode, throws
// LoadError(messages::kCantOpenFile); one whose first two bytes are not "BM"
// throws LoadError(messages::kIllegalFileFormat) and is not decoded.
Bitmap ReadBitmapFile(const std::string& path);

}  // namespace rastrel
