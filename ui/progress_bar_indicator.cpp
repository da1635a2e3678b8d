#include "ui/progress_bar_indicator.h"

#include <QProgressBar>

namespace rastrel {

void ProgressBarIndicator::SetMax(std::int32_t max) { bar_->setMaximum(max); }

void ProgressBarIndicator::Step() {
  // Past the maximum the bar starts over, as a stepped bar does on Windows.
  const std::int64_t next = std::int64_t{bar_->value()} + step_;
  SetPosition(next > bar_->maximum() ? bar_->minimum() : static_cast<std::int32_t>(next));
}

void ProgressBarIndicator::SetPosition(std::int32_t position) {
  // QProgressBar repaints at once when the change shows, so the bar moves
  // although the save never returns to the event loop.
  bar_->setValue(position);
}

}  // namespace rastrel
