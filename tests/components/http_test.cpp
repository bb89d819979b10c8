// The HTTP component against a loopback Python server (tests/data/components/
// http_server.py): a whole 2xx body as the response and play end without parameters;
// refused schemes, redirects to other schemes, error statuses, bodies over the cap and a
// server that never answers each give no response and one parameter; "!name"; PR_SOURCE
// ignored while a request runs; cancel on destroy; nothing posted at shutdown; the EUC-JP
// text against Python's euc_jp and cp932 codecs.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/globals.h"
#include "components/http_response_text.h"
#include "components/mobu_base_list.h"
#include "components/mobu_http.h"

namespace mobu {
namespace {

namespace fs = std::filesystem;

class HttpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        port_file_ = fs::temp_directory_path() / ("mobu-http-port-" + std::to_string(::getpid()));
        fs::remove(port_file_);
        const std::string script = std::string(MOBU_SOURCE_DIR) + "/tests/data/components/http_server.py";
        server_ = ::fork();
        if (server_ == 0) {
            ::execlp("python3", "python3", script.c_str(), port_file_.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 500 && !fs::exists(port_file_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream(port_file_) >> port_;
    }
    static void TearDownTestSuite()
    {
        if (server_ > 0) {
            ::kill(server_, SIGTERM);
            ::waitpid(server_, nullptr, 0);
        }
        fs::remove(port_file_);
    }
    void SetUp() override
    {
        ASSERT_GT(port_, 0) << "the loopback server did not start";
        ::setenv("MOBU_HTTP_MAX_BYTES", "1000", 1);
        ::setenv("MOBU_HTTP_TIMEOUT_MS", "700", 1);
        QuitRequested = false;
    }
    void TearDown() override
    {
        list.Reset();
        ::unsetenv("MOBU_HTTP_MAX_BYTES");
        ::unsetenv("MOBU_HTTP_TIMEOUT_MS");
        QuitRequested = false;
    }
    static std::string Url(const std::string& path) { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    TMobuHttp* NewHttp(const std::string& name)
    {
        auto* http = static_cast<TMobuHttp*>(list.CreateComponent(LT_HTTP));
        http->SetName(name);
        http->SetProp(PR_ONPLAYEND, TPropValue::Text("p.msb:done"));
        return http;
    }
    // Starts the request and runs update passes until it has been handled.
    void Fetch(TMobuHttp* http, const std::string& source)
    {
        http->SetProp(PR_SOURCE, TPropValue::Text(source));
        http->WaitForWorker();
        list.UpdatePass();
    }
    std::vector<std::string> LastParams()
    {
        EXPECT_EQ(list.Events().Count(), 1);
        if (list.Events().Count() == 0) return {"<none>"};
        std::vector<std::string> params = list.Events().At(0).Params;
        EXPECT_EQ(list.Events().At(0).Code, PR_ONPLAYEND);
        list.Events().Clear();
        return params;
    }

    TMobuBaseList list;
    static inline pid_t server_ = 0;
    static inline int port_ = 0;
    static inline fs::path port_file_;
};

TEST_F(HttpTest, EucTextReadsAsPythonsCodecsGiveIt)
{
    TMobuHttp* expected = NewHttp("expected");
    Fetch(expected, Url("/euc.expected"));
    EXPECT_TRUE(LastParams().empty());
    TMobuHttp* http = NewHttp("h");
    Fetch(http, Url("/euc"));
    EXPECT_TRUE(LastParams().empty());
    ASSERT_FALSE(expected->Response.empty());
    EXPECT_EQ(http->GetProp(PR_TEXT).AsText(), expected->Response);
    std::string stream;
    ASSERT_TRUE(http->GetStream(stream));
    EXPECT_EQ(stream, http->Response);
}

struct TFailCase {
    const char* name;
    std::string path;  // appended to the server's address unless it has a scheme
    const char* error;
};

class HttpFailures : public HttpTest, public ::testing::WithParamInterface<TFailCase> {};

TEST_P(HttpFailures, NoResponseAndOneParameter)
{
    const TFailCase& c = GetParam();
    TMobuHttp* http = NewHttp("h");
    http->Response = "old";
    const bool absolute = c.path.find("://") != std::string::npos || c.path.empty();
    Fetch(http, absolute ? c.path : Url(c.path));
    EXPECT_EQ(LastParams(), std::vector<std::string>{c.error}) << c.name;
    EXPECT_EQ(http->Response, "") << c.name;
    EXPECT_EQ(http->GetProp(PR_TEXT).AsText(), "") << c.name;
}

const TFailCase kFailCases[] = {
    {"404", "/status/404", "http 404"},
    {"500", "/status/500", "http 500"},
    {"a redirect to file://", "/to-file", "refused"},
    {"file scheme", "file:///etc/passwd", "refused"},
    {"ftp scheme", "ftp://127.0.0.1/x", "refused"},
    {"no URL", "", "refused"},
    {"over the cap", "/bytes/1001", "too large"},
    {"never answers", "/hang", "timeout"},
    {"nobody listens", "http://127.0.0.1:1/", "network"},
    {"a URL over 8 KiB", "/plain?" + std::string(8200, 'a'), "refused"},
};
INSTANTIATE_TEST_SUITE_P(Cases, HttpFailures, ::testing::ValuesIn(kFailCases));

TEST_F(HttpTest, BodyAtTheCapAndRedirectsSucceed)
{
    TMobuHttp* http = NewHttp("h");
    Fetch(http, Url("/bytes/1000"));
    EXPECT_TRUE(LastParams().empty());
    EXPECT_EQ(http->Response.size(), 1000u);
    Fetch(http, Url("/to-plain"));
    EXPECT_TRUE(LastParams().empty());
    EXPECT_EQ(http->Response, "hello");
    EXPECT_EQ(http->GetProp(PR_SOURCE).AsText(), Url("/to-plain"));
}

// "!name" takes the URL from that component's stream.
TEST_F(HttpTest, UrlFromAnotherComponentsStream)
{
    TMobuHttp* holder = NewHttp("holder");
    holder->Response = Url("/plain");
    TMobuHttp* http = NewHttp("h");
    Fetch(http, "!holder");
    EXPECT_TRUE(LastParams().empty());
    EXPECT_EQ(http->Response, "hello");
    Fetch(http, "!nobody");
    EXPECT_EQ(LastParams(), std::vector<std::string>{"refused"});
}

TEST_F(HttpTest, SourceIgnoredWhileRunningAndStreamEmpty)
{
    TMobuHttp* http = NewHttp("h");
    http->Response = "before";
    http->SetProp(PR_SOURCE, TPropValue::Text(Url("/hang")));
    ASSERT_TRUE(http->Running());
    std::string stream = "x";
    ASSERT_TRUE(http->GetStream(stream));
    EXPECT_EQ(stream, "");
    http->SetProp(PR_SOURCE, TPropValue::Text(Url("/plain")));
    EXPECT_EQ(http->GetProp(PR_SOURCE).AsText(), Url("/hang"));
}

// Destroying a component whose request hangs cancels the request instead of waiting out the
// 20 s time-out. The bound is far above the cancel's own poll interval, so a loaded or
// sanitised run does not make it fail, and far below the time-out.
TEST_F(HttpTest, DestroyCancelsTheRequestInsteadOfWaitingForIt)
{
    ::setenv("MOBU_HTTP_TIMEOUT_MS", "20000", 1);
    TMobuHttp* http = NewHttp("h");
    http->SetProp(PR_SOURCE, TPropValue::Text(Url("/hang")));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto start = std::chrono::steady_clock::now();
    list.Destroy(http);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 5000);
}

TEST_F(HttpTest, NothingPostedAtShutdown)
{
    TMobuHttp* http = NewHttp("h");
    http->SetProp(PR_SOURCE, TPropValue::Text(Url("/plain")));
    http->WaitForWorker();
    QuitRequested = true;
    list.UpdatePass();
    EXPECT_EQ(list.Events().Count(), 0);
}

// The headless runner's wait: every running request of the list has ended afterwards, and
// the next update pass posts its play end.
TEST_F(HttpTest, WaitForHttpWorkersEndsEveryRequest)
{
    TMobuHttp* a = NewHttp("a");
    TMobuHttp* b = NewHttp("b");
    a->SetProp(PR_SOURCE, TPropValue::Text(Url("/plain")));
    b->SetProp(PR_SOURCE, TPropValue::Text(Url("/status/500")));
    WaitForHttpWorkers(list);
    list.UpdatePass();
    EXPECT_FALSE(a->Running());
    EXPECT_FALSE(b->Running());
    EXPECT_EQ(a->Response, "hello");
    ASSERT_EQ(list.Events().Count(), 2);
    EXPECT_TRUE(list.Events().At(0).Params.empty());
    EXPECT_EQ(list.Events().At(1).Params, std::vector<std::string>{"http 500"});
}

struct TTextCase {
    const char* name;
    std::string euc;
    std::string text;
};

class HttpText : public ::testing::TestWithParam<TTextCase> {};

TEST_P(HttpText, Reads)
{
    EXPECT_EQ(HttpResponseText(GetParam().euc), GetParam().text) << GetParam().name;
}

const TTextCase kTextCases[] = {
    {"plain ASCII unchanged", "abc 123", "abc 123"},
    {"two lines", "one\r\ntwo", "one\x01two"},
    {"no empty last line", "one\ntwo\n", "one\x01two"},
    {"CR alone", "a\rb\r\rc", "a\x01" "b\x01\x01" "c"},
    {"a byte 0 reads a blank", std::string("a\0b", 3), "a b"},
    {"a final lead byte is dropped", "ab\xB4", "ab"},
    {"a final 0x8E is dropped", "ab\x8E", "ab"},
    {"0xFF copied", "\xFF", "\xFF"},
    {"kanji", "\xB4\xC1", "\x8A\xBF"},  // 漢
    {"half-width katakana", "\x8E\xB6", "\xB6"},
    {"empty", "", ""},
};
INSTANTIATE_TEST_SUITE_P(Cases, HttpText, ::testing::ValuesIn(kTextCases));

}  // namespace
}  // namespace mobu
