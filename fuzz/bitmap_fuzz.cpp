// fuzz/bitmap_fuzz.cpp — any bytes as a bitmap file: the reader must never
// read or write out of bounds, and what it accepts must be exactly the
// header's width × height pixels, taken from offset 54 with blue and red swapped.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "app/bitmap.h"

namespace {

int memoryFile = -1;
std::string memoryPath;

void require(bool holds) {
    if (!holds) abort();
}

uint32_t headerField(const uint8_t* data, size_t at) {
    return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

void checkAccepted(const uint8_t* data, size_t size, const Image& image, uint32_t maxSide) {
    // Planes and bits per pixel must have been read from the file itself.
    require(size >= 30);
    require(image.width == headerField(data, 18) && image.height == headerField(data, 22));
    require(image.width <= maxSide && image.height <= maxSide);
    uint64_t bytes = uint64_t{image.width} * image.height * 3;
    require(image.pixels.size() == bytes);
    require(bytes == 0 || 54 + bytes <= size);   // an empty picture needs no pixel block
    for (uint64_t i = 0; i < bytes; i += 3) {
        require(image.pixels[i] == data[54 + i + 2]);
        require(image.pixels[i + 1] == data[54 + i + 1]);
        require(image.pixels[i + 2] == data[54 + i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The reader explains every refusal on standard output; the fuzzer has
    // no use for millions of those lines.
    if (!freopen("/dev/null", "w", stdout)) abort();
    memoryFile = memfd_create("bitmap", 0);
    require(memoryFile >= 0);
    memoryPath = "/proc/self/fd/" + std::to_string(memoryFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    require(ftruncate(memoryFile, 0) == 0);
    require(pwrite(memoryFile, data, size, 0) == static_cast<ssize_t>(size));
    // Once without a side limit, once with a small one, as loadTexture gives it.
    for (uint32_t maxSide : {ANY_SIDE, 64u}) {
        Image image;
        if (loadBitmap(memoryPath.c_str(), image, maxSide))
            checkAccepted(data, size, image, maxSide);
    }
    return 0;
}
