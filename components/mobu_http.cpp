#include "components/mobu_http.h"

#include <chrono>
#include <thread>

#include "core/globals.h"
#include "components/http_response_text.h"
#include "components/mobu_base_list.h"

namespace mobu {

TMobuHttp::~TMobuHttp() { request_.reset(); }

std::string TMobuHttp::EncodeUrl(const std::string& url)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : url) {
        if (c >= 0x80 || c == ' ') {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

void TMobuHttp::StartRequest(const std::string& source)
{
    Response.clear();
    pending_error_.clear();
    std::string url = source;
    if (!source.empty() && source[0] == '!') {
        // Another component's stream holds the URL (none: the empty text).
        TMobuObject* holder = owner_ ? owner_->FindComponent(source.substr(1)) : nullptr;
        auto* stream = dynamic_cast<TComponentStream*>(holder);
        url.clear();
        if (!stream || !stream->GetStream(url)) url.clear();
    }
    Url = url;
    const std::string encoded = EncodeUrl(url);
    if (encoded.size() > kMaxUrlBytes || !IsHttpUrl(encoded)) {
        pending_error_ = "refused";
        return;
    }
    request_ = std::make_unique<THttpRequest>(encoded, THttpLimits::FromEnvironment());
}

void TMobuHttp::WaitForWorker()
{
    while (request_ && !request_->Done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool TMobuHttp::Update()
{
    std::string error;
    if (!pending_error_.empty()) {
        error = std::move(pending_error_);
        pending_error_.clear();
    } else if (request_ && request_->Done()) {
        THttpResult result = request_->Take();
        request_.reset();
        if (result.Ok) Response = std::move(result.Body);
        else error = result.Error;
        if (!QuitRequested && result.Ok) PostEvent(PR_ONPLAYEND, {}, true);
    } else {
        return false;
    }
    if (!error.empty() && !QuitRequested) PostEvent(PR_ONPLAYEND, {error}, true);
    return false;
}

bool TMobuHttp::GetStream(std::string& content)
{
    // Empty while its own worker writes the response.
    content = request_ ? std::string() : Response;
    return true;
}

void WaitForHttpWorkers(TMobuBaseList& list)
{
    for (int32_t i = 0; i < list.GetCount(); ++i)
        if (auto* http = dynamic_cast<TMobuHttp*>(list.GetItem(i))) http->WaitForWorker();
}

TPropValue TMobuHttp::ReadProperty(int id)
{
    switch (id) {
        case PR_SOURCE: return TPropValue::Text(Url);
        case PR_TEXT: return TPropValue::Text(request_ ? std::string() : HttpResponseText(Response));
        case PR_ONPLAYEND: return TPropValue::Text(OnPlayEnd);
        default: return TMobuComponent::ReadProperty(id);
    }
}

void TMobuHttp::WriteProperty(int id, const TPropValue& value)
{
    switch (id) {
        case PR_SOURCE:
            if (request_) return;  // ignored while a request runs
            StartRequest(value.AsText());
            return;
        case PR_ONPLAYEND: OnPlayEnd = value.AsText(); return;
        default: TMobuComponent::WriteProperty(id, value); return;
    }
}

}  // namespace mobu
