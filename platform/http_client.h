// One HTTP GET with the player's limits, run on a worker thread of its own: only http and
// https (redirects too, at most 5), certificates checked against the system store, proxies
// from the usual environment variables, a time-out for the whole request
// (MOBU_HTTP_TIMEOUT_MS, default 30000, of which connecting takes at most 10000) and a body
// cap (MOBU_HTTP_MAX_BYTES, default 8388608). The result is the whole body of a 2xx answer,
// or an error word and no body.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace mobu {

struct THttpLimits {
    int64_t TimeoutMs = 30000;
    int64_t ConnectTimeoutMs = 10000;
    int64_t MaxBytes = 8388608;
    // The limits the environment sets (bad or missing values keep the defaults).
    static THttpLimits FromEnvironment();
};

struct THttpResult {
    bool Ok = false;
    std::string Body;   // only when Ok
    std::string Error;  // "refused", "network", "timeout", "http NNN", "too large"
};

// Whether the URL's scheme is http or https (letters in any case).
bool IsHttpUrl(const std::string& url);

class THttpRequest {
public:
    // Starts the worker at once.
    THttpRequest(std::string url, const THttpLimits& limits);
    // Cancels a running request and joins the worker (within about 100 ms).
    ~THttpRequest();
    THttpRequest(const THttpRequest&) = delete;
    THttpRequest& operator=(const THttpRequest&) = delete;

    bool Done() const { return done_.load(std::memory_order_acquire); }
    // Waits for the worker and hands over its result (once).
    THttpResult Take();

private:
    void Run(std::string url, THttpLimits limits);

    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{false};
    THttpResult result_;
    std::thread worker_;
};

}  // namespace mobu
