// mobupack probe / decode / frames: what a sound or movie is, and its sound rendered
// through the player's own items and mixer, for choosing files and for tests. SOURCE is a
// file, or an archive or game folder followed by an entry name (UTF-8). The manager is
// chosen by the sound component's extension rule; CD names ("CD_2") play track files from
// the folder "cdda" beside the archive; other names are a movie's sound track.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/vr_file_manager.h"
#include "core/mobu_error.h"
#include "graphics/dibx.h"
#include "media/audio_mixer.h"
#include "media/av_video_decoder.h"
#include "media/av_audio_source.h"
#include "media/cdda_manager.h"
#include "media/midi_manager.h"
#include "media/media_files.h"
#include "media/media_messages.h"
#include "media/mixer_sound_item.h"
#include "media/wave_file_writer.h"
#include "media/wmp_manager.h"
#include "platform/frame_buffer.h"
#include "platform/png_writer.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/archive_arguments.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

struct TSourceArgument {
    std::string name;         // the media name the player would use (cp932)
    std::string base_folder;  // where "cdda" is looked for (UTF-8)
};

// SOURCE as the player would name it: an absolute file name, or an entry of the archive
// or folder registered with the file manager.
TSourceArgument MediaNameOf(const std::vector<std::string>& source)
{
    namespace fs = std::filesystem;
    if (source.size() == 1) {
        fs::path path = fs::absolute(source[0]);
        return {Utf8ToCp932(path.string()), path.parent_path().string()};
    }
    ResetVrFileManager();
    fs::path container = fs::absolute(source[0]);
    std::string base = fs::is_directory(container) ? container.string() : container.parent_path().string();
    if (fs::is_directory(container)) VrFileManager().SetBaseFolder(container.string());
    else VrFileManager().AddArchive(container.string());
    return {EntryNameFromArgument(source[1]), base};
}

// Nothing plays (a CD name without a number, no track file): exit status 3.
struct TNothingPlays {
    std::string reason;
};

// The item the sound component would open for the name, by its extension rule.
struct TOpened {
    std::string kind;
    std::unique_ptr<TCddaManager> cdda;  // owns a CD item
    std::unique_ptr<TMidiManager> midi;  // owns a MIDI item
    std::unique_ptr<TMixerSoundItem> item;
    TMixerSoundItem* Item()
    {
        if (item) return item.get();
        return static_cast<TMixerSoundItem*>(cdda ? cdda->Items(0) : midi->Items(0));
    }
};

TOpened OpenItem(TAudioMixer& mixer, const TSourceArgument& source)
{
    TOpened opened;
    const std::string& name = source.name;
    std::string ext = MediaExtension(name);
    std::string base = name.substr(name.find_last_of("\\/") + 1);
    if (ext == ".mid" || ext == ".sgt") {
        opened.kind = "midi";
        opened.midi = std::make_unique<TMidiManager>(mixer);
        if (opened.midi->Add(name) == nullptr) throw TNothingPlays{"no MIDI song to play"};
    } else if (ext == ".wma" || ext == ".asf" || ext == ".wmv") {
        opened.kind = "wmp";
        opened.item = std::make_unique<TWmpItem>(mixer, name);
    } else if (ext == ".ogg" || ext == ".wav") {
        opened.kind = "ogg";
        opened.item = std::make_unique<TOggItem>(mixer, name);
    } else if (base.rfind("CD_", 0) == 0) {
        opened.kind = "cdda";
        opened.cdda = std::make_unique<TCddaManager>(mixer, source.base_folder);
        if (opened.cdda->Add(base) == nullptr) throw TNothingPlays{"no CD with audio tracks"};
    } else {
        // Any other name is a movie: its sound track.
        opened.kind = "video";
        opened.item = std::make_unique<TMixerSoundItem>(mixer, OpenAvAudioSource(OpenMediaStream(name)));
    }
    return opened;
}

int ParseInt(const std::string& option, const std::string& text, int minimum, int maximum)
{
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < minimum || value > maximum) {
        throw EMobuError(option + ": expected a number from " + std::to_string(minimum) + " to " +
                         std::to_string(maximum) + ", got '" + text + "'");
    }
    return value;
}

int RunProbe(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || arguments.size() > 2) {
        std::fprintf(stderr, "usage: mobupack probe SOURCE [ENTRY]\n");
        return 2;
    }
    TSourceArgument source = MediaNameOf(arguments);
    std::string ext = MediaExtension(source.name);
    std::string base = source.name.substr(source.name.find_last_of("\\/") + 1);
    bool movie = ext != ".ogg" && ext != ".wav" && ext != ".wma" && ext != ".asf" && ext != ".mid" && ext != ".sgt" &&
                 base.rfind("CD_", 0) != 0;
    if (movie) {
        // Pictures, and the sound track when there is one.
        TAvVideoDecoder decoder(OpenMediaStream(source.name));
        std::unique_ptr<TPcmSource> sound;
        try {
            sound = OpenAvAudioSource(OpenMediaStream(source.name));
        } catch (const EMobuError&) {
        }
        std::printf("{\"kind\": \"video\", \"codec\": \"%s\", \"rate\": %d, \"channels\": %d, \"length_ms\": %lld, "
                    "\"width\": %d, \"height\": %d, \"fps\": %.3f, \"has_audio\": %s}\n",
                    sound ? sound->CodecName() : "", sound ? sound->Rate() : 0, sound ? sound->Channels() : 0,
                    static_cast<long long>(sound ? sound->LengthFrames() * 1000 / sound->Rate() : decoder.LengthMs()),
                    decoder.Width(), decoder.Height(), decoder.FramesPerSecond(), sound ? "true" : "false");
        return 0;
    }
    TAudioMixer mixer(44100, 2);
    TOpened opened;
    try {
        opened = OpenItem(mixer, source);
    } catch (const TNothingPlays& nothing) {
        std::fprintf(stderr, "mobupack probe: %s\n", nothing.reason.c_str());
        return 3;
    }
    TMixerSoundItem* item = opened.Item();
    TVoiceState state = item->State();
    std::string kind = opened.kind == "ogg" ? (std::string(state.Codec) == "vorbis" ? "ogg" : "wave") : opened.kind;
    std::printf("{\"kind\": \"%s\", \"codec\": \"%s\", \"rate\": %d, \"channels\": %d, \"length_ms\": %d}\n",
                kind.c_str(), state.Codec, state.SourceRate, state.SourceChannels, item->GetLength());
    return 0;
}

int RunDecode(const std::vector<std::string>& arguments)
{
    std::vector<std::string> source;
    std::string out_path;
    int rate = 0, channels = 0, volume = 0, pan = 0, start = 0, ms = -1, repeat_from = -1;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a.rfind("--", 0) == 0) {
            if (i + 1 >= arguments.size()) throw EMobuError(a + ": value missing");
            const std::string& v = arguments[++i];
            if (a == "--rate") rate = ParseInt(a, v, 8000, 384000);
            else if (a == "--channels") channels = ParseInt(a, v, 1, 8);
            else if (a == "--volume") volume = ParseInt(a, v, INT32_MIN, INT32_MAX);
            else if (a == "--pan") pan = ParseInt(a, v, INT32_MIN, INT32_MAX);
            else if (a == "--start") start = ParseInt(a, v, 0, INT32_MAX);
            else if (a == "--ms") ms = ParseInt(a, v, 0, INT32_MAX);
            else if (a == "--repeat-from") repeat_from = ParseInt(a, v, 0, INT32_MAX);
            else throw EMobuError("unknown option " + a);
        } else {
            source.push_back(a);
        }
    }
    if (source.size() < 2 || source.size() > 3) {
        std::fprintf(stderr, "usage: mobupack decode SOURCE [ENTRY] OUT.wav [--rate HZ] [--channels N] [--volume V]\n"
                             "       [--pan P] [--start MS] [--ms N] [--repeat-from MS]\n");
        return 2;
    }
    if (repeat_from >= 0 && ms < 0) throw EMobuError("--repeat-from needs --ms");
    out_path = source.back();
    source.pop_back();
    TSourceArgument argument = MediaNameOf(source);

    // The source's own format unless asked otherwise (MIDI: 44100 Hz stereo).
    TOpened probe;
    {
        TAudioMixer probe_mixer(44100, 2);
        try {
            probe = OpenItem(probe_mixer, argument);
        } catch (const TNothingPlays& nothing) {
            std::fprintf(stderr, "mobupack decode: %s\n", nothing.reason.c_str());
            return 3;
        }
        TVoiceState state = probe.Item()->State();
        if (rate == 0) rate = state.SourceRate;
        if (channels == 0) channels = state.SourceChannels;
        probe = TOpened{};
    }
    TAudioMixer mixer(rate, channels);
    // The mixer keeps to the rates it can mix (a 4000 Hz source is mixed at 8000 Hz): the file
    // is written at the rate of what it holds.
    rate = mixer.Rate();
    channels = mixer.Channels();
    TOpened opened = OpenItem(mixer, argument);
    TMixerSoundItem& item = *opened.Item();
    int64_t source_rate = item.State().SourceRate;
    int64_t source_frames = item.State().LengthFrames;
    item.SetVolume(volume);
    item.SetPan(pan);
    if (start > 0) item.SetPosition(start);
    if (repeat_from >= 0) {
        item.SetAutoRepeat(true);
        item.SetRepeatPos(repeat_from);
    }
    item.Play();
    // Frames to write: --ms of sound, else the rest of the source in the output rate.
    int64_t start_frame = std::min<int64_t>(static_cast<int64_t>(start) * source_rate / 1000, source_frames);
    int64_t total = ms >= 0 ? static_cast<int64_t>(ms) * rate / 1000
                            : ((source_frames - start_frame) * rate + source_rate / 2) / source_rate;
    TWaveFileWriter out;
    if (!out.Open(out_path, rate, channels)) throw EMobuError("cannot write " + out_path);
    const size_t block = 4096;
    std::vector<float> buffer(block * static_cast<size_t>(channels));
    for (int64_t done = 0; done < total;) {
        size_t n = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(block), total - done));
        mixer.Mix(buffer.data(), n);
        if (!out.Append(buffer.data(), n)) throw EMobuError("cannot write " + out_path);
        done += static_cast<int64_t>(n);
    }
    if (!out.Close()) throw EMobuError("cannot write " + out_path);
    return 0;
}

int RunFrames(const std::vector<std::string>& arguments)
{
    std::vector<std::string> positional;
    std::vector<int> times;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--at" && i + 1 < arguments.size()) {
            std::string list = arguments[++i];
            for (size_t start = 0; start <= list.size();) {
                size_t comma = std::min(list.find(',', start), list.size());
                times.push_back(ParseInt("--at", list.substr(start, comma - start), 0, INT32_MAX));
                start = comma + 1;
            }
        } else {
            positional.push_back(arguments[i]);
        }
    }
    if (positional.size() < 2 || positional.size() > 3 || times.empty()) {
        std::fprintf(stderr, "usage: mobupack frames SOURCE [ENTRY] OUTDIR --at MS[,MS...]\n");
        return 2;
    }
    std::string out_dir = positional.back();
    positional.pop_back();
    TSourceArgument source = MediaNameOf(positional);
    TAvVideoDecoder decoder(OpenMediaStream(source.name));
    std::filesystem::create_directories(out_dir);
    TDIBX picture;
    for (int ms : times) {
        decoder.Advance(ms);
        decoder.Draw(picture);
        FrameBuffer frame;
        frame.Resize(picture.Width(), picture.Height());
        for (int y = 0; y < frame.height; ++y) {
            std::memcpy(frame.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(frame.width),
                        picture.PixelAddress(0, y), static_cast<size_t>(frame.width) * 4);
        }
        std::string path = (std::filesystem::path(out_dir) / ("frame-" + std::to_string(ms) + ".png")).string();
        std::string error;
        if (!WritePngFile(path, frame, error)) throw EMobuError("cannot write " + path + ": " + error);
    }
    return 0;
}

const CommandRegistration probe_registration({
    "probe",
    "probe SOURCE [ENTRY]",
    "Prints one JSON line about a sound: kind, codec, rate, channels, length_ms. SOURCE is a file, or an archive or game folder and an ENTRY (UTF-8).",
    RunProbe,
});

const CommandRegistration decode_registration({
    "decode",
    "decode SOURCE [ENTRY] OUT.wav [--rate HZ] [--channels N] [--volume V] [--pan P] [--start MS] [--ms N] [--repeat-from MS]",
    "Renders a sound through the player's item and mixer into 16-bit PCM, in its own rate and channels unless asked; --repeat-from needs --ms.",
    RunDecode,
});

const CommandRegistration frames_registration({
    "frames",
    "frames SOURCE [ENTRY] OUTDIR --at MS[,MS...]",
    "Writes the pictures a movie shows at the given times (ms) as OUTDIR/frame-MS.png.",
    RunFrames,
});

}  // namespace
}  // namespace mobu::mobupack
