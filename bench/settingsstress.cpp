// Many processes writing to one settings store at once: WRITERS processes
// (8) each write new values into a key of their own for SECONDS (30), and
// read another writer's key between writes. Every write must be
// acknowledged (status 0) and none may fail; afterwards every acknowledged
// value must be in the file. Prints each writer's count, so that a writer
// starved by the others shows.
//
//     build/bench/settingsstress [WRITERS [SECONDS]]
//
// Exits 1 when a write was refused or failed, or a value is missing.
#include "platform/core/failure.h"
#include "platform/services/settingsstore.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace platform;

namespace {

struct Counts {
    long acknowledged = 0;
    long refused = 0;
    long failed = 0;
};

std::string keyOf(int writer) { return "Software\\Stress\\Writer " + std::to_string(writer); }

Counts write(const std::filesystem::path& file, int writer, int writers, std::chrono::seconds duration)
{
    Counts counts;
    const auto end = std::chrono::steady_clock::now() + duration;
    try {
        SettingsStore store(file);
        store.createKey(RootKey::CurrentUser, keyOf(writer));
        for (long n = 0; std::chrono::steady_clock::now() < end; ++n) {
            const int32_t status = store.setValue(RootKey::CurrentUser, keyOf(writer), "Value " + std::to_string(n),
                                                  Value::fromDWord(uint32_t(n)));
            (status == status::kSuccess ? counts.acknowledged : counts.refused)++;
            Value other;
            store.queryValue(RootKey::CurrentUser, keyOf((writer + 1) % writers), "Value 0", other);
        }
    } catch (const Failure& failure) {
        std::fprintf(stderr, "writer %d: %s\n", writer, failure.description().c_str());
        ++counts.failed;
    }
    return counts;
}

// How many of writer's first `count` values the file holds.
long stored(SettingsStore& store, int writer, long count)
{
    long found = 0;
    for (long n = 0; n < count; ++n) {
        Value value;
        if (store.queryValue(RootKey::CurrentUser, keyOf(writer), "Value " + std::to_string(n), value) == status::kSuccess
            && value.data == Value::fromDWord(uint32_t(n)).data)
            ++found;
    }
    return found;
}

}  // namespace

int main(int argc, char** argv)
{
    const int writers = argc > 1 ? std::atoi(argv[1]) : 8;
    const std::chrono::seconds duration(argc > 2 ? std::atoi(argv[2]) : 30);
    const auto folder = std::filesystem::temp_directory_path() / ("settingsstress-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto file = folder / "settings.db";

    std::vector<pid_t> children;
    std::vector<int> pipes;
    for (int w = 0; w < writers; ++w) {
        int fds[2];
        if (::pipe(fds) != 0)
            return 2;
        const pid_t pid = ::fork();
        if (pid == 0) {
            const Counts counts = write(file, w, writers, duration);
            const bool sent = ::write(fds[1], &counts, sizeof counts) == ssize_t(sizeof counts);
            ::_exit(sent ? 0 : 3);
        }
        ::close(fds[1]);
        children.push_back(pid);
        pipes.push_back(fds[0]);
    }
    Counts total;
    long fewest = -1, most = 0;
    bool whole = true;
    SettingsStore check(file);
    std::printf("%-8s %12s %8s %8s %10s\n", "writer", "acknowledged", "refused", "failed", "stored");
    for (int w = 0; w < writers; ++w) {
        Counts counts;
        whole &= ::read(pipes[size_t(w)], &counts, sizeof counts) == ssize_t(sizeof counts);
        int status = 0;
        ::waitpid(children[size_t(w)], &status, 0);
        const long found = stored(check, w, counts.acknowledged);
        whole &= found == counts.acknowledged;
        std::printf("%-8d %12ld %8ld %8ld %10ld\n", w, counts.acknowledged, counts.refused, counts.failed, found);
        total.acknowledged += counts.acknowledged;
        total.refused += counts.refused;
        total.failed += counts.failed;
        fewest = fewest < 0 ? counts.acknowledged : std::min(fewest, counts.acknowledged);
        most = std::max(most, counts.acknowledged);
    }
    std::printf("%d writers, %lld s: %ld writes acknowledged (%.0f/s), %ld refused, %ld failed; "
                "per writer %ld to %ld\n",
                writers, static_cast<long long>(duration.count()), total.acknowledged,
                double(total.acknowledged) / double(duration.count()), total.refused, total.failed, fewest, most);
    std::filesystem::remove_all(folder);
    return total.refused == 0 && total.failed == 0 && whole ? 0 : 1;
}
