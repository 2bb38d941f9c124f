#include "support/AsUser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <system_error>

#ifndef _WIN32
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace veltrano::testsupport {

namespace fs = std::filesystem;

bool RunningAsRoot() {
#ifdef _WIN32
    return false;
#else
    return ::geteuid() == 0;
#endif
}

#ifdef _WIN32

std::optional<std::string> RunInChild(ChildRole, const std::function<void()>&, const fs::path&) {
    return "Windows has no POSIX file modes, no fork and no mount namespaces";
}

std::optional<std::string> RunAsUser(const std::function<void()>&, const fs::path&) {
    return "Windows has no POSIX file modes: an unreadable file there is one held open "
           "without sharing, a case of the Windows hostile suite";
}

#else

namespace {

constexpr uid_t kNobody = 65534;

// Hands a tree to nobody; false when some entry could not be handed on.
bool GiveTo(const fs::path& root) {
    if (::lchown(root.c_str(), kNobody, kNobody) != 0) return false;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec))
        if (::lchown(it->path().c_str(), kNobody, kNobody) != 0) return false;
    return !ec;
}

} // namespace

std::optional<std::string> RunInChild(ChildRole role, const std::function<void()>& body,
                                      const fs::path& owned) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) return "cannot start a child process";
    if (child == 0) {
        bool ready = false;
        if (role == ChildRole::Unprivileged) {
            ready = (owned.empty() || GiveTo(owned)) && ::setgroups(0, nullptr) == 0 &&
                    ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        } else {
            ready = ::unshare(CLONE_NEWNS) == 0 &&
                    ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        }
        if (!ready) ::_exit(77);
        ::alarm(20); // a pending alarm is not inherited
        try {
            body();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "exception in the child: " << e.what();
        }
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        return role == ChildRole::Unprivileged
                   ? "running as root, and a child cannot become the user nobody"
                   : "no mount namespace of our own here (mounting a small tmpfs needs it)";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        ADD_FAILURE() << "the case failed in its child process (status " << status << ")";
    return std::nullopt;
}

std::optional<std::string> RunAsUser(const std::function<void()>& body, const fs::path& owned) {
    if (!RunningAsRoot()) {
        body();
        return std::nullopt;
    }
    return RunInChild(ChildRole::Unprivileged, body, owned);
}

#endif

} // namespace veltrano::testsupport
