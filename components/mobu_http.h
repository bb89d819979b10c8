// TMobuHttp: fetches a URL on a worker thread (platform/http_client.h). No command makes
// one; it reaches a game only inside a saved game, so its input is treated as hostile: the
// URL is checked and bounded, the request limited in time and size, and only a whole 2xx
// body becomes the response. Completion is handled in the update pass on the main thread.
#pragma once

#include <memory>
#include <string>

#include "components/component_stream.h"
#include "components/mobu_object.h"
#include "platform/http_client.h"

namespace mobu {

class TMobuHttp : public TMobuComponent, public TComponentStream {
public:
    // Longest URL taken (after percent-encoding).
    static constexpr size_t kMaxUrlBytes = 8192;

    explicit TMobuHttp(TMobuBaseList* owner) : TMobuComponent(owner, LT_HTTP) {}
    ~TMobuHttp() override;

    bool Update() override;
    bool GetStream(std::string& content) override;
    bool Running() const { return request_ != nullptr; }
    // Waits until the running request has ended (the headless runner's virtual time).
    void WaitForWorker();

    // Percent-encodes bytes >= 0x80 and spaces.
    static std::string EncodeUrl(const std::string& url);

    std::string Url;
    std::string Response;
    std::string OnPlayEnd;

protected:
    TPropValue ReadProperty(int id) override;
    void WriteProperty(int id, const TPropValue& value) override;

private:
    void StartRequest(const std::string& source);

    std::unique_ptr<THttpRequest> request_;
    // An error found before any request was made, reported at the next update.
    std::string pending_error_;
};

// Waits until every running request of the list's HTTP components has ended. The headless
// runner calls it at the end of each frame, so a request takes no virtual time and runs
// stay deterministic; the answer is handled in the next update pass.
void WaitForHttpWorkers(TMobuBaseList& list);

}  // namespace mobu
