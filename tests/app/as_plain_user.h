// Runs a test body as a user whom file permissions bind: as is when the tests do not run as
// root, else in a child process that has become "nobody" (root may write anywhere, so a
// read-only folder would show nothing). Failures inside the child fail the calling test.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace mobu::testing_support {

inline void AsPlainUser(const std::function<void()>& body)
{
    if (::geteuid() != 0) {
        body();
        return;
    }
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        body();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the body failed as user nobody (3: could not become nobody)";
}

}  // namespace mobu::testing_support
