// A component list over the real media layer without a device, 15 ms a frame, reading the
// media fixtures: the scene of the sound and video component tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "archive/vr_file_manager.h"
#include "components/mobu_base_list.h"
#include "core/globals.h"
#include "media/media_layer.h"

namespace mobu::testing_media {

class MediaScene : public ::testing::Test {
protected:
    // The list's screen size.
    void StartMedia(int32_t width, int32_t height)
    {
        ResetVrFileManager();
        VrFileManager().SetBaseFolder(std::string(MOBU_SOURCE_DIR) + "/tests/data/media");
        MediaInit(TMediaOptions{}, nullptr, 44100, 2);
        GameClockMs = 0;
        FrameDeltaMs = 15;
        list.SetSize(width, height);
    }
    void TearDown() override
    {
        list.Reset();
        MediaFinal();
        ResetVrFileManager();
    }

    TMobuBaseList list;
};

}  // namespace mobu::testing_media
