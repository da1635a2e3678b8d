#pragma once

#include <QString>
#include <exception>
#include <string_view>

#include "core/message_hook.h"

namespace rastrel {

// The executable's name without folder and extension, its first character as
// it is and the rest in lower case: the caption of every message box.
QString ApplicationTitleFor(const QString& executablePath);
QString ApplicationTitle();

// A command's message: one OK button, no icon, centred on the screen.
void ShowMessage(const QString& text);

// The box for an error that no command caught: the stop icon and the error's
// message followed by a full stop.
void ShowErrorBox(const QString& message);
// The error box for an error that a handler let escape.
void ShowErrorBox(std::exception_ptr error);

// Lets the writers of the core show their messages in boxes.
class MessageBoxes final : public MessageHook {
 public:
  void ShowMessage(std::string_view text, std::string_view file) override;
};

}  // namespace rastrel
