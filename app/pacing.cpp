// app/pacing.cpp — at most so many frames a second: when the next one may start
#include "app/pacing.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iostream>

int maxFramesPerSecond = DEFAULT_MAX_FPS;

namespace {
int64_t frameDue = 0;   // when the next frame is due on the schedule
}

int maxFramesPerSecondSetting(const char* setting) {
    if (!setting || !*setting) return DEFAULT_MAX_FPS;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(setting, &end, 10);
    if (errno == 0 && *end == '\0' && value >= 0 && value <= MOST_MAX_FPS) return static_cast<int>(value);
    std::cerr << "KESTRAVA_MAX_FPS is not a whole number of frames a second from 0 to " << MOST_MAX_FPS
              << "; the game keeps to " << DEFAULT_MAX_FPS << "." << std::endl;
    return DEFAULT_MAX_FPS;
}

int64_t nextFrameStart(int64_t now) {
    if (maxFramesPerSecond <= 0) return now;
    const int64_t interval = 1000000000 / maxFramesPerSecond;
    if (now - frameDue > interval) frameDue = now;
    const int64_t start = std::max(now, frameDue);
    frameDue += interval;
    return start;
}
