// mobupack probe / decode / frames: what a sound or movie is, and its sound rendered
// through the player's own items and mixer, for choosing files and for tests. SOURCE is a
// file, or an archive or game folder followed by an entry name (UTF-8). The manager is
// chosen by the sound component's extension rule; kinds the player cannot play yet fail
// with "not available yet".
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/vr_file_manager.h"
#include "core/mobu_error.h"
#include "media/audio_mixer.h"
#include "media/media_files.h"
#include "media/media_messages.h"
#include "media/mixer_sound_item.h"
#include "media/wave_file_writer.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/archive_arguments.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

// The media name the player would use for SOURCE: an absolute file name, or an entry of
// the archive or folder registered with the file manager.
std::string MediaNameOf(const std::vector<std::string>& source)
{
    if (source.size() == 1) {
        std::string path = std::filesystem::absolute(source[0]).string();
        return Utf8ToCp932(path);
    }
    ResetVrFileManager();
    std::filesystem::path container(source[0]);
    if (std::filesystem::is_directory(container)) VrFileManager().SetBaseFolder(container.string());
    else VrFileManager().AddArchive(container.string());
    return EntryNameFromArgument(source[1]);
}

// The extension rule of the sound component: only Ogg and wave play yet.
void RequirePlayable(const std::string& name)
{
    std::string ext = MediaExtension(name);
    if (ext == ".ogg" || ext == ".wav") return;
    std::string base = name.substr(name.find_last_of("\\/") + 1);
    std::string kind = ext == ".mid" || ext == ".sgt"                   ? "midi"
                       : ext == ".wma" || ext == ".asf" || ext == ".wmv" ? "wmp"
                       : base.rfind("CD_", 0) == 0 || name.rfind("CD_", 0) == 0 ? "cdda"
                                                                         : "video";
    throw EMobuError(media_messages::NotAvailableYet(kind));
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
    std::string name = MediaNameOf(arguments);
    RequirePlayable(name);
    TAudioMixer mixer(44100, 2);
    TOggItem item(mixer, name);
    TVoiceState state = item.State();
    std::string kind = std::string(state.Codec) == "vorbis" ? "ogg" : "wave";
    std::printf("{\"kind\": \"%s\", \"codec\": \"%s\", \"rate\": %d, \"channels\": %d, \"length_ms\": %d}\n",
                kind.c_str(), state.Codec, state.SourceRate, state.SourceChannels, item.GetLength());
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
    std::string name = MediaNameOf(source);
    RequirePlayable(name);

    // The source's own format unless asked otherwise.
    std::unique_ptr<TPcmSource> probe = OpenSoundSource(name);
    if (rate == 0) rate = probe->Rate();
    if (channels == 0) channels = probe->Channels();
    int64_t source_rate = probe->Rate();
    int64_t source_frames = probe->LengthFrames();
    probe.reset();

    TAudioMixer mixer(rate, channels);
    TOggItem item(mixer, name);
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

int RunFrames(const std::vector<std::string>&)
{
    throw EMobuError(media_messages::NotAvailableYet("video"));
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
    "Writes a movie's pictures at the given times as OUTDIR/frame-MS.png (not available yet).",
    RunFrames,
});

}  // namespace
}  // namespace mobu::mobupack
