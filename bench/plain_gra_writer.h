#pragma once

#include <cstdio>

#include "core/bitmap.h"
#include "core/gra_writer.h"

namespace rastrel {

// The GRA writer's algorithm in its plainest form, one fprintf per line. It is
// the yardstick for the real writer's speed and the reference for its output.
void WritePlainGra(std::FILE* out, const Bitmap& picture, const GraFormat& format);

}  // namespace rastrel
