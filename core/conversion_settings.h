#pragma once

#include <cstdint>
#include <memory>

#include "core/bitmap.h"
#include "core/color_ref.h"

namespace rastrel {

enum class ColorMode { DrawAll, Background, Transparent };

// The options dialog stores its radio groups' item indices here unchanged,
// so a value outside the named ones is possible and means "None".
enum class RectAdjust : int { Width = 0, Height = 1, WidthAndHeight = 2, None = 3 };
enum class RectAction : int { Adjust = 0, Delete = 1, None = 2 };

// The program-wide state. It exists once, as ConversionSettings, and holds
// these defaults from program load; nothing of it is kept between runs.
struct Settings {
  std::int32_t GraWidth = 10000;  // drawing size in GRA units
  std::int32_t GraHeight = 10000;
  std::int32_t RectWidth = 10000;  // launch rectangle
  std::int32_t RectHeight = 10000;
  std::int32_t LeftMargin = 0;
  std::int32_t TopMargin = 0;
  ColorRef KeyColor = 0xFFFFFF;
  bool LaunchedWithRect = false;
  bool PickMode = false;
  // Created by the main window, whose picture on the screen shares it.
  std::shared_ptr<Bitmap> SourceBitmap;

  // Choices that only the options dialog changes.
  rastrel::ColorMode ColorMode = rastrel::ColorMode::Transparent;
  rastrel::RectAdjust RectAdjust = rastrel::RectAdjust::Width;
  rastrel::RectAction RectAction = rastrel::RectAction::Delete;
  bool KeepRatio = true;
};

extern Settings ConversionSettings;

// Puts every field back to its default, as at program load.
void ResetConversionSettings();

// Sets GraWidth and GraHeight for a bitmap that has just been opened: the
// launch rectangle's width and the bitmap's aspect ratio in launched use,
// 50 units a pixel otherwise. Throws LoadError when a launched drawing height
// cannot be derived (a bitmap of width 0).
void DeriveGraSize(std::int32_t pixelWidth, std::int32_t pixelHeight);

}  // namespace rastrel
