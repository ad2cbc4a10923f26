#include "platform/ui/message_box.hpp"

namespace ui {

Icon iconOf(int style) {
  switch (style & 0xF0) {
    case 16: return Icon::Error;
    case 32: return Icon::Question;
    case 48: return Icon::Warning;
    case 64: return Icon::Information;
    default: return Icon::None;
  }
}

std::vector<Answer> answersOf(Buttons buttons) {
  switch (buttons) {
    case Buttons::OkCancel: return {Answer::Ok, Answer::Cancel};
    case Buttons::AbortRetryIgnore: return {Answer::Abort, Answer::Retry, Answer::Ignore};
    case Buttons::YesNoCancel: return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::YesNo: return {Answer::Yes, Answer::No};
    case Buttons::RetryCancel: return {Answer::Retry, Answer::Cancel};
    case Buttons::Ok: break;
  }
  return {Answer::Ok};
}

const char* captionOf(Answer answer) {
  switch (answer) {
    case Answer::Ok: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Abort: return "Abort";
    case Answer::Retry: return "Retry";
    case Answer::Ignore: return "Ignore";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
  }
  return "OK";
}

Answer unattendedAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::AbortRetryIgnore: return Answer::Abort;
    case Buttons::RetryCancel: return Answer::Cancel;
    case Buttons::YesNo: case Buttons::YesNoCancel: return Answer::Yes;
    default: return Answer::Ok;  // OK alone, or OK and Cancel
  }
}

}  // namespace ui
