// tests/render/reference_frame.h — a frame checked against a picture kept under tests/data/frames
//
// A test draws a fixed scene (real textures, seeded generator, fixTicks),
// reads it back and compares it, or a part of it, with its reference:
//
//     EXPECT_TRUE(matchesReference(part(readBackBuffer(), box), "sky_default"));
//
// On a difference the frame, the reference and a difference image (the
// reference dimmed to grey, differing pixels in red) are written under
// build/artifacts/frames/ and the failure message names them. With
// KESTRAVA_UPDATE_FRAMES set, a frame that is not exactly its reference is
// written as the new reference instead (scripts/update-reference-frames),
// with the difference against the old one under build/artifacts/frames/.
#pragma once
#include <string>
#include <gtest/gtest.h>

#include "tests/render/gl_harness.h"

// The pixels of the box (inclusive) as a picture of their own.
WindowPicture part(const WindowPicture& picture, PixelBox box);

struct FrameTolerance {
    int channel = 4;   // a pixel differs when one channel is further off than this (0–255)
    int pixels = 20;   // the frame matches while no more pixels than this differ
};

::testing::AssertionResult matchesReference(const WindowPicture& frame, const std::string& name,
                                            FrameTolerance tolerance = {});
