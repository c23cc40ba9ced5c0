#pragma once

#include <system_error>
#include <thread>
#include <vector>

// Runs part(0) to part(parts - 1) at once: part 0 on the calling thread, each
// other part on a thread of its own. A part whose thread cannot be had runs on
// the calling thread after part 0, so every part runs once whatever the
// system allows. Returns when all parts are done.
template <class Part> void RunParts(int parts, Part part) {
    std::vector<std::thread> threads;
    std::vector<int> leftOver;
    struct JoinAll {
        std::vector<std::thread> &threads;
        ~JoinAll() {
            for (std::thread &t : threads)
                t.join();
        }
    } join{threads};
    for (int k = 1; k < parts; ++k) {
        try {
            threads.emplace_back(part, k);
        } catch (const std::system_error &) {
            leftOver.push_back(k);
        }
    }
    part(0);
    for (const int k : leftOver)
        part(k);
}
