// tests/render/reference_frame.cpp — comparing a frame with its reference picture, PNG in and out
#include "tests/render/reference_frame.h"

#include <cstdio>
#include <cstdlib>
#include <png.h>
#include <sys/stat.h>

namespace {

const std::string REFERENCE_FOLDER = TEST_DATA_DIR "/frames";
const std::string ARTIFACT_FOLDER = ARTIFACTS_DIR "/frames";

// A negative stride keeps the rows bottom first, as GL reads them, while the file runs top first.
bool readPng(const std::string& path, WindowPicture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = image.width;
    picture.height = image.height;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture.rgb.data(), -picture.width * 3, nullptr);
}

bool writePng(const std::string& path, const WindowPicture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = picture.width;
    image.height = picture.height;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, picture.rgb.data(), -picture.width * 3, nullptr);
}

std::string artifact(const std::string& name, const WindowPicture& picture) {
    mkdir(ARTIFACTS_DIR, 0755);
    mkdir(ARTIFACT_FOLDER.c_str(), 0755);
    std::string path = ARTIFACT_FOLDER + "/" + name + ".png";
    return writePng(path, picture) ? path : "(could not write " + path + ")";
}

struct Comparison {
    int differing = 0;
    int firstX = -1, firstY = -1;   // the first differing pixel, bottom row first
    WindowPicture picture;          // the reference in dim grey, differing pixels red
};

Comparison compare(const WindowPicture& frame, const WindowPicture& reference, int channel) {
    Comparison result;
    result.picture = reference;
    for (size_t i = 0; i < frame.rgb.size(); i += 3) {
        const unsigned char *f = &frame.rgb[i], *r = &reference.rgb[i];
        bool differs = std::abs(f[0] - r[0]) > channel || std::abs(f[1] - r[1]) > channel ||
                       std::abs(f[2] - r[2]) > channel;
        unsigned char* out = &result.picture.rgb[i];
        if (differs && result.differing++ == 0) {
            result.firstX = static_cast<int>(i / 3 % frame.width);
            result.firstY = static_cast<int>(i / 3 / frame.width);
        }
        const unsigned char grey = static_cast<unsigned char>((r[0] + r[1] + r[2]) / 9);
        out[0] = differs ? 255 : grey;
        out[1] = out[2] = differs ? 0 : grey;
    }
    return result;
}

::testing::AssertionResult updateReference(const WindowPicture& frame, const std::string& name,
                                           const std::string& path, bool hadReference,
                                           const WindowPicture& old) {
    bool sameSize = hadReference && old.width == frame.width && old.height == frame.height;
    Comparison change;
    if (sameSize) {
        change = compare(frame, old, 0);
        if (change.differing == 0) return ::testing::AssertionSuccess();
    }
    mkdir(REFERENCE_FOLDER.c_str(), 0755);
    if (!writePng(path, frame)) return ::testing::AssertionFailure() << "could not write " << path;
    std::printf("[ REFERENCE] wrote %s", path.c_str());
    if (sameSize)
        std::printf(": %d pixels changed, see %s", change.differing,
                    artifact(name + ".update-difference", change.picture).c_str());
    std::printf("\n");
    return ::testing::AssertionSuccess();
}

}  // namespace

WindowPicture part(const WindowPicture& picture, PixelBox box) {
    WindowPicture result;
    result.width = box.right - box.left + 1;
    result.height = box.top - box.bottom + 1;
    for (int y = box.bottom; y <= box.top; y++) {
        auto row = picture.rgb.begin() + (static_cast<size_t>(y) * picture.width + box.left) * 3;
        result.rgb.insert(result.rgb.end(), row, row + result.width * 3);
    }
    return result;
}

::testing::AssertionResult matchesReference(const WindowPicture& frame, const std::string& name,
                                            FrameTolerance tolerance) {
    const std::string path = REFERENCE_FOLDER + "/" + name + ".png";
    WindowPicture reference;
    bool found = readPng(path, reference);
    const char* update = std::getenv("KESTRAVA_UPDATE_FRAMES");
    if (update && *update) return updateReference(frame, name, path, found, reference);

    if (!found)
        return ::testing::AssertionFailure() << "no reference " << path << " (scripts/update-reference-frames makes it);"
                                             << " the frame is " << artifact(name, frame);
    if (reference.width != frame.width || reference.height != frame.height)
        return ::testing::AssertionFailure() << "the frame is " << frame.width << " × " << frame.height
                                             << ", its reference " << reference.width << " × " << reference.height
                                             << "; the frame is " << artifact(name, frame);
    Comparison result = compare(frame, reference, tolerance.channel);
    if (result.differing <= tolerance.pixels) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << name << ": " << result.differing << " of " << frame.width << " × " << frame.height
           << " pixels differ by more than " << tolerance.channel << " in a channel (at most " << tolerance.pixels
           << " may); the first at (" << result.firstX << ", " << result.firstY << ") from the bottom left is "
           << describe(frame.at(result.firstX, result.firstY)) << ", its reference "
           << describe(reference.at(result.firstX, result.firstY)) << ".\n  frame:      "
           << artifact(name, frame) << "\n  reference:  " << artifact(name + ".reference", reference)
           << "\n  difference: " << artifact(name + ".difference", result.picture);
}
