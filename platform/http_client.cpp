#include "platform/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>

namespace mobu {
namespace {

int64_t EnvValue(const char* name, int64_t fallback)
{
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (*end != '\0' || value <= 0) return fallback;
    return value;
}

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TBody {
    std::string data;
    int64_t cap = 0;
    bool too_large = false;
};

size_t Write(char* data, size_t size, size_t count, void* user)
{
    auto* body = static_cast<TBody*>(user);
    const size_t bytes = size * count;
    if (static_cast<int64_t>(body->data.size() + bytes) > body->cap) {
        body->too_large = true;
        return 0;  // ends the transfer
    }
    body->data.append(data, bytes);
    return bytes;
}

}  // namespace

THttpLimits THttpLimits::FromEnvironment()
{
    THttpLimits limits;
    limits.TimeoutMs = EnvValue("MOBU_HTTP_TIMEOUT_MS", limits.TimeoutMs);
    limits.ConnectTimeoutMs = std::min<int64_t>(10000, limits.TimeoutMs);
    limits.MaxBytes = EnvValue("MOBU_HTTP_MAX_BYTES", limits.MaxBytes);
    return limits;
}

bool IsHttpUrl(const std::string& url)
{
    const size_t colon = url.find("://");
    if (colon == std::string::npos) return false;
    std::string scheme = url.substr(0, colon);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    return scheme == "http" || scheme == "https";
}

THttpRequest::THttpRequest(std::string url, const THttpLimits& limits)
{
    GlobalInit();
    worker_ = std::thread(&THttpRequest::Run, this, std::move(url), limits);
}

THttpRequest::~THttpRequest()
{
    cancel_.store(true, std::memory_order_release);
    if (worker_.joinable()) worker_.join();
}

THttpResult THttpRequest::Take()
{
    if (worker_.joinable()) worker_.join();
    return std::move(result_);
}

void THttpRequest::Run(std::string url, THttpLimits limits)
{
    THttpResult result;
    result.Error = "network";
    TBody body;
    body.cap = limits.MaxBytes;
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    if (easy && multi) {
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.TimeoutMs));
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.ConnectTimeoutMs));
        curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.MaxBytes));
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Write);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
        curl_multi_add_handle(multi, easy);
        int running = 1;
        CURLcode code = CURLE_OK;
        bool finished = false;
        while (!cancel_.load(std::memory_order_acquire)) {
            if (curl_multi_perform(multi, &running) != CURLM_OK) break;
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
                if (message->msg == CURLMSG_DONE) {
                    code = message->data.result;
                    finished = true;
                }
            }
            if (finished || running == 0) break;
            // Short waits: a cancel is seen within 100 ms.
            curl_multi_poll(multi, nullptr, 0, 100, nullptr);
        }
        if (finished) {
            long status = 0;
            curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
            if (code == CURLE_OK && status >= 200 && status < 300) {
                result.Ok = true;
                result.Error.clear();
                result.Body = std::move(body.data);
            } else if (body.too_large || code == CURLE_FILESIZE_EXCEEDED) {
                result.Error = "too large";
            } else if (code == CURLE_OPERATION_TIMEDOUT) {
                result.Error = "timeout";
            } else if (code == CURLE_UNSUPPORTED_PROTOCOL) {
                result.Error = "refused";
            } else if (code == CURLE_OK) {
                result.Error = "http " + std::to_string(status);
            }
        }
        curl_multi_remove_handle(multi, easy);
    }
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
    result_ = std::move(result);
    done_.store(true, std::memory_order_release);
}

}  // namespace mobu
