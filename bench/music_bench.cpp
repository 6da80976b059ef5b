// Timed run: CPU used while an MP3 plays, and the time of status queries.
// Usage: music_bench FILE.mp3 [SECONDS] [DISC.cue]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "mci_layer.h"

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void TimeQuery(orbilon::music::MciApi& api, const char* command) {
    using Clock = std::chrono::steady_clock;
    char reply[64];
    double worst = 0, total = 0;
    const int n = 2000;
    for (int i = 0; i < n; ++i) {
        auto t0 = Clock::now();
        api.SendString(command, reply, sizeof reply);
        double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
        total += us;
        worst = std::max(worst, us);
    }
    std::printf("%-34s mean %.1f us, max %.1f us (reply \"%s\")\n", command, total / n, worst,
                reply);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.mp3 [SECONDS] [DISC.cue]\n", argv[0]);
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    orbilon::music::UseRealMciLayer();
    auto& api = orbilon::music::CurrentMciApi();
    const std::string open = std::string("open \"") + argv[1] + "\" type MPEGVideo Alias MP3Play";
    if (int code = api.SendString(open, nullptr, 0)) {
        std::fprintf(stderr, "open failed: %d\n", code);
        return 1;
    }
    api.SendString("play MP3Play", nullptr, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("MP3 playing: %.2f%% of one core (%.3f s CPU in %.1f s)\n",
                100 * (CpuSeconds() - cpu0) / wall, CpuSeconds() - cpu0, wall);
    TimeQuery(api, "status MP3Play mode");
    TimeQuery(api, "status MP3Play position");
    if (argc > 3) {
        setenv("ORBILON_CDROM", argv[3], 1);
        api.SendString("open cdaudio", nullptr, 0);
        api.SendString("set cdaudio time format tmsf", nullptr, 0);
        TimeQuery(api, "status cdaudio current track");
        api.SendString("play cdaudio", nullptr, 0);
        TimeQuery(api, "status cdaudio mode");
        TimeQuery(api, "status cdaudio position track 2");
        api.SendString("close cdaudio", nullptr, 0);
    }
    api.SendString("close MP3Play", nullptr, 0);
    return 0;
}
