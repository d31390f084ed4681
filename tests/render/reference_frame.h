// tests/render/reference_frame.h — a frame checked against a picture kept under tests/data/frames
// On a difference the frame, the reference and a difference image go to build/artifacts/frames/;
// with KESTRAVA_UPDATE_FRAMES set (scripts/update-reference-frames) it becomes the new reference.
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
