// Runs a job on several threads: part 0 on the calling thread, the others on
// threads of their own. Each part must only write data of its own, so results
// never depend on the number of parts. A part whose thread cannot be started
// runs on the calling thread instead.
#pragma once

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace core {

// The number of parts to use when the caller asks for 0 (automatic).
inline int AutomaticThreadCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(n, 1u, 8u));
}

template <class Job>
void RunParts(int parts, Job&& job) {
    if (parts <= 1) {
        job(0);
        return;
    }
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(parts));
    const auto run = [&job, &errors](int p) {
        try {
            job(p);
        } catch (...) {
            errors[static_cast<std::size_t>(p)] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(parts - 1));
    int started = 1;
    try {
        for (; started < parts; ++started) threads.emplace_back(run, started);
    } catch (const std::system_error&) {
        // No more threads: the calling thread does the rest.
    }
    run(0);
    for (int p = started; p < parts; ++p) run(p);
    for (std::thread& t : threads) t.join();
    for (const std::exception_ptr& e : errors) {
        if (e) std::rethrow_exception(e);
    }
}

// Start of part p when count items are split into parts nearly equal pieces.
inline long long PartBegin(long long count, int parts, int p) {
    return count * p / parts;
}

}  // namespace core
