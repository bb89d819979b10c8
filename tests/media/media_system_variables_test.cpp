#include <gtest/gtest.h>

#include "expr/param_collection.h"
#include "media/media_layer.h"
#include "platform/text_encoding.h"
#include "script/media_system_variables.h"

namespace mobu {
namespace {

enum : int { kSoundOn = 40, kMidiPort = 45, kMidiPorts = 46 };

TEST(MediaSystemVariables, SoundOnAndMidiPortsReachTheMediaLayer)
{
    TParamCollection table;
    TMediaSystemVariables variables(table);
    ASSERT_EQ(&table.SystemVariables(), &variables);
    MediaInit(TMediaOptions{}, nullptr, 44100, 2);
    TMediaLayer& media = *MediaLayer();

    EXPECT_EQ(std::get<bool>(variables.Read(kSoundOn, 0)), true);
    variables.Write(kSoundOn, 0, false);
    EXPECT_FALSE(media.SoundOn());
    for (TMediaManager* manager : media.Managers()) EXPECT_FALSE(manager->SoundOn()) << manager->Kind();
    EXPECT_EQ(std::get<bool>(variables.Read(kSoundOn, 0)), false);

    const std::string mapper = SysText(u8"MIDIマッパー");
    EXPECT_TRUE(variables.IsArray(kMidiPorts));
    EXPECT_EQ(variables.Count(kMidiPorts), static_cast<int32_t>(media.MidiPorts().size()));
    EXPECT_EQ(std::get<std::string>(variables.Read(kMidiPorts, 0)), mapper);
    EXPECT_EQ(std::get<std::string>(variables.Read(kMidiPorts, 5)), "");
    EXPECT_EQ(std::get<std::string>(variables.Read(kMidiPort, 0)), mapper);
    variables.Write(kMidiPort, 0, std::string("no such port"));
    EXPECT_EQ(media.MidiPort(), mapper);

    MediaFinal();
    EXPECT_EQ(MediaLayer(), nullptr);
    EXPECT_FALSE(variables.IsArray(kMidiPorts));  // passed on to the basic source
}

}  // namespace
}  // namespace mobu
