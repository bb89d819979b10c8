// Message boxes. Texts and captions arrive as cp932 and are shown as UTF-8. The front end
// installs the presenter: the window front end shows real boxes, the headless runner and
// the tests answer them without a user.
#pragma once

#include <functional>
#include <string>

namespace mobu {

enum class MessageIcon { None, Information, Warning, Question };
// YesNoCancelAll: Yes, No, Cancel, No to all, Yes to all.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancelAll };
enum class MessageResult { Ok, Cancel, Yes, No, NoToAll, YesToAll };

struct MessageBoxRequest {
    std::string text;     // cp932
    std::string caption;  // cp932
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

using MessageBoxPresenter = std::function<MessageResult(const MessageBoxRequest&)>;

// Shows the box through the current presenter and returns the button chosen.
MessageResult ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                             MessageButtons buttons);

// Replaces the presenter; returns the previous one. The default presenter writes the text
// to standard error and answers OK / Yes.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

}  // namespace mobu
