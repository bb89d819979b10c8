#include "platform/message_box.h"

#include <cstdio>

#include "platform/text_encoding.h"

namespace mobu {
namespace {

MessageResult AnswerOnStandardError(const MessageBoxRequest& request)
{
    std::fprintf(stderr, "%s: %s\n", Cp932ToUtf8(request.caption).c_str(), Cp932ToUtf8(request.text).c_str());
    return request.buttons == MessageButtons::YesNo || request.buttons == MessageButtons::YesNoCancelAll
               ? MessageResult::Yes
               : MessageResult::Ok;
}

MessageBoxPresenter& Presenter()
{
    static MessageBoxPresenter presenter = AnswerOnStandardError;
    return presenter;
}

}  // namespace

MessageResult ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                             MessageButtons buttons)
{
    return Presenter()(MessageBoxRequest{text, caption, icon, buttons});
}

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter)
{
    MessageBoxPresenter previous = std::move(Presenter());
    Presenter() = std::move(presenter);
    return previous;
}

}  // namespace mobu
