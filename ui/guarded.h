#pragma once

#include <exception>

#include "ui/message_boxes.h"

namespace rastrel {

// Binds a form's handler so that an error it lets escape is shown in the
// error box, and the program goes on, before the error can reach Qt, which
// does not unwind its own frames cleanly. For `connect`:
//   connect(ui->Open1, &QAction::triggered, this, Guarded(this, &TMainForm::Open1Click));
template <typename Form, typename... Args>
auto Guarded(Form* form, void (Form::*handler)(Args...)) {
  return [form, handler](Args... args) {
    try {
      (form->*handler)(args...);
    } catch (...) {
      ShowErrorBox(std::current_exception());
    }
  };
}

}  // namespace rastrel
