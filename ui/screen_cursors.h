#pragma once

class QCursor;
class QWidget;

namespace rastrel {

// Controls name their cursor by number, as the screen's cursor table numbers
// them: 0 is the default cursor, the program registers its own below 0.
inline constexpr int kDefaultCursor = 0;
inline constexpr int kPickCursor = -21;

void RegisterScreenCursor(int number, const QCursor& cursor);
// A number without a registered cursor gives the default one.
void SetControlCursor(QWidget* control, int number);

// The dropper of the colour pick, from the program's resources; its hot spot
// is the tip at the top-left.
QCursor LoadPickupCursor();

}  // namespace rastrel
