#pragma once
// Running a test's case as an ordinary user. Root reads and writes files whatever their
// modes, so a case about a file or folder the user may not read or write means nothing as
// root: there it runs in a child process that gives up root and becomes the user nobody.
// The child's assertions count as the test's.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace veltrano::testsupport {

// How a child process sets itself up before a case runs in it.
enum class ChildRole {
    Unprivileged, // gives up root (becomes nobody): file modes hold again
    OwnMounts,    // a mount namespace of its own, where it may mount a small tmpfs
};

// Runs body in a child with that role. An Unprivileged child first hands the folder `owned`
// (when given) with everything in it to nobody, so that it acts as the owner of its files,
// as a user does. Returns why the case cannot run here (the child could not take the role,
// or the system has no such thing), nothing when it ran.
std::optional<std::string> RunInChild(ChildRole role, const std::function<void()>& body,
                                      const std::filesystem::path& owned = {});

// Runs body as an ordinary user: in this process when it is not root, otherwise as above.
// Returns why it could not run, nothing when it ran.
std::optional<std::string> RunAsUser(const std::function<void()>& body,
                                     const std::filesystem::path& owned = {});

// Whether this process runs as root (who ignores file modes).
bool RunningAsRoot();

} // namespace veltrano::testsupport

// Runs a case as an ordinary user; skips the test, saying why, only where that cannot be done.
#define AS_ORDINARY_USER(owned, body)                                                              \
    do {                                                                                           \
        if (const auto why_ = ::veltrano::testsupport::RunAsUser(body, owned))                     \
            GTEST_SKIP() << *why_;                                                                 \
    } while (0)
