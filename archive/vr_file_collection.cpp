#include "archive/vr_file_collection.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/mobu_error.h"
#include "archive/archive_messages.h"
#include "archive/big_file_stream.h"
#include "archive/buff_big_stream.h"
#include "archive/ks_random.h"
#include "core/byte_writer.h"
#include "core/script_log.h"
#include "archive/zlib_codec.h"
#include "core/name_case.h"
#include "platform/durable_files.h"
#include "platform/message_box.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"

namespace mobu {
namespace {

std::string& PlayerExecutable()
{
    static std::string path = ExecutablePath();
    return path;
}

TFskCompressionTest& FskTest()
{
    static TFskCompressionTest test;
    return test;
}

// Highest archive version this reader knows (and the one it writes).
constexpr int32_t kArchiveVersion = 102;
// Compressed entries up to this size are read whole and inflated in one call; larger ones
// stream through zlib in 1 MiB blocks, so memory holds no second copy of a huge entry.
constexpr int64_t kLargestWholeInflate = 64 << 20;
// Largest inflated / stored ratio the first output buffer is sized for (deflate reaches
// 1032); a denser entry grows its buffer by doubling.
constexpr uint32_t kLargestGuessedRatio16 = 64 * 16;

bool EndsWithIgnoringCase(const std::string& text, const char* suffix)
{
    size_t length = std::strlen(suffix);
    return text.size() >= length && SameCp932Name(std::string_view(text).substr(text.size() - length), suffix);
}

int32_t LittleI32(const unsigned char* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

// A damaged archive: the precise reason goes to standard error and the log, the player
// shows the archive's short message.
[[noreturn]] void FailDamaged(const std::string& file_utf8, const std::string& failure, const std::string& reason,
                              int64_t at)
{
    ReportDiagnostic(archive_messages::DamagedArchive(Utf8ToCp932(file_utf8), reason, at));
    throw EMobuError(failure);
}

class IndexReader {
public:
    IndexReader(TKsBigStream& stream, const std::string& failure, const std::string& file_utf8)
        : stream_(stream), failure_(failure), file_(file_utf8)
    {
    }
    int64_t Remaining() const { return stream_.Size() - stream_.Position(); }
    int64_t Position() const { return stream_.Position(); }
    void Bytes(void* target, size_t count)
    {
        if (static_cast<int64_t>(count) > Remaining()) Fail("the index ends early", Position());
        stream_.ReadExact(target, count, failure_);
    }
    uint8_t U8()
    {
        uint8_t value;
        Bytes(&value, 1);
        return value;
    }
    int32_t I32()
    {
        unsigned char b[4];
        Bytes(b, 4);
        return LittleI32(b);
    }
    int64_t I64()
    {
        unsigned char b[8];
        Bytes(b, 8);
        uint64_t value = 0;
        for (int i = 7; i >= 0; --i) value = value << 8 | b[i];
        return static_cast<int64_t>(value);
    }
    [[noreturn]] void Fail(const std::string& reason, int64_t at) const { FailDamaged(file_, failure_, reason, at); }

private:
    TKsBigStream& stream_;
    const std::string& failure_;
    const std::string& file_;
};

// Which media extensions are never compressed (they stream from the archive as they are).
bool IsMediaExtension(const std::string& extension)
{
    if (extension.empty()) return false;
    std::string upper = extension;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    static const std::string kList = ".WAV.WMA.OGG.AVI.MPG.MPEG.M1V.WMV.ASF.DAT.";
    return kList.find(upper + ".") != std::string::npos;
}

}  // namespace

void SetPlayerExecutablePath(const std::string& real_path_utf8) { PlayerExecutable() = real_path_utf8; }
const std::string& PlayerExecutablePath() { return PlayerExecutable(); }
void SetFskCompressionTest(TFskCompressionTest test) { FskTest() = std::move(test); }

bool HasArchiveTrailer(const std::string& real_path_utf8)
{
    auto file = TRealFile::Open(real_path_utf8, TRealFile::Mode::Read);
    if (!file) return false;
    int64_t size = file->Size();
    char tail[2];
    return size >= 6 && file->ReadAt(tail, 2, size - 2) == 2 && tail[0] == 'm' && tail[1] == 'b';
}

bool IsExecutableArchivePath(const std::string& real_path_utf8)
{
    if (EndsWithIgnoringCase(real_path_utf8, ".exe") || EndsWithIgnoringCase(real_path_utf8, ".scr")) return true;
    return SameRealFile(real_path_utf8, PlayerExecutable());
}

std::string VirtualExtension(const std::string& name)
{
    size_t dot = std::string::npos;
    for (size_t i = 0; i < name.size();) {
        size_t length = Cp932CharLength(name, i);
        if (length == 1 && (name[i] == '\\' || name[i] == '/')) dot = std::string::npos;
        if (length == 1 && name[i] == '.') dot = i;
        i += length;
    }
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

TVrFileCollection::~TVrFileCollection() = default;

void TVrFileCollection::Reset()
{
    Clear();
    source_.reset();
    file_name_.clear();
    folder_.clear();
    archive_start_ = 0;
    version_ = 0;
}

std::string TVrFileCollection::FailureMessage() const
{
    return archive_messages::FileNotFound(Utf8ToCp932(file_name_));
}

void TVrFileCollection::OpenArchive(const std::string& real_path_utf8, bool keep_folder, bool executable)
{
    Reset();
    file_name_ = real_path_utf8;
    if (real_path_utf8.empty()) return;
    bool is_file = RealFileExists(real_path_utf8);
    if (is_file || keep_folder) {
        folder_ = RealFolderOf(AbsoluteRealPath(real_path_utf8));
    } else {
        folder_ = real_path_utf8.back() == '/' ? real_path_utf8 : real_path_utf8 + "/";
    }
    if (!is_file) return;

    std::string failure = FailureMessage();
    auto source = std::make_unique<TKsBigFileStream>(real_path_utf8, TKsBigFileStream::Mode::Read);
    int64_t size = source->Size();
    int64_t start = 0;
    executable = executable || IsExecutableArchivePath(real_path_utf8);
    if (executable) {
        unsigned char trailer[6];
        if (size < 6 || source->ReadAt(size - 6, trailer, 6) != 6 || trailer[4] != 'm' || trailer[5] != 'b') {
            FailDamaged(real_path_utf8, failure, "no appended archive (the file does not end with \"mb\")",
                        std::max<int64_t>(size - 2, 0));
        }
        start = LittleI32(trailer);
        if (start < 0 || start > size - 6) {
            FailDamaged(real_path_utf8, failure,
                        "archive start " + std::to_string(start) + " outside the file of " + std::to_string(size) +
                            " bytes",
                        size - 6);
        }
    }
    archive_start_ = start;
    TKsBigStream& data = *source;
    source_ = std::move(source);

    // An index companion "<name>.ext" beside a plain archive holds rows 1-8.
    if (!executable) {
        std::string file = RealFileNameOf(real_path_utf8);
        size_t dot = file.rfind('.');
        std::string companion = (dot == std::string::npos ? file : file.substr(0, dot)) + ".ext";
        if (!SameCp932Name(companion, file)) {
            if (auto found = FindRealSibling(RealFolderOf(real_path_utf8), companion)) {
                TKsBigMemoryStream index;
                index.LoadFromFile(*found);
                ParseIndex(index, 0, false, failure);
                return;
            }
        }
    }
    data.Seek(start);
    ParseIndex(data, start, true, failure);
}

void TVrFileCollection::OpenFromMemory(std::string bytes, const std::string& display_name)
{
    Reset();
    file_name_ = display_name;
    auto source = std::make_unique<TKsBigMemoryStream>(std::move(bytes));
    TKsBigStream& data = *source;
    source_ = std::move(source);
    ParseIndex(data, 0, true, FailureMessage());
}

void TVrFileCollection::ParseIndex(TKsBigStream& index_stream, int64_t start, bool index_in_source, const std::string& failure)
{
    std::vector<std::string> names;
    std::vector<int64_t> offsets;
    std::vector<uint8_t> stored, crc_of_raw;
    std::vector<int32_t> times;
    std::vector<uint32_t> crcs;
    int64_t index_end = 0;
    int64_t offset_table = 0;  // where the offsets are stored, for the reasons of a damage
    bool wide_offsets = false;
    {
        TKsBuffBigStream buffered(index_stream);
        buffered.Seek(start);
        IndexReader in(buffered, failure, file_name_);
        int32_t version = 0;
        char magic[2] = {0, 0};
        if (in.Remaining() >= 2) in.Bytes(magic, 2);
        if (magic[0] == 'v' && magic[1] == 'f') {
            version = in.I32();
            if (version < 0 || version > kArchiveVersion) {
                in.Fail("unknown version " + std::to_string(version), in.Position() - 4);
            }
        } else {
            buffered.Seek(start);
        }
        version_ = version;
        int32_t count = in.I32();
        // Each entry needs at least a name length and an offset.
        if (count < 0 || static_cast<int64_t>(count) > (in.Remaining() - 4) / 8) {
            in.Fail("entry count " + std::to_string(count) + " does not fit in the " + std::to_string(in.Remaining()) +
                        " bytes after it",
                    in.Position() - 4);
        }
        size_t n = static_cast<size_t>(count);

        TKsRandom name_key(kArchiveKey);
        names.reserve(n);
        for (size_t i = 0; i < n; ++i) {
            int32_t length = in.I32();
            if (length < 0 || length > in.Remaining()) {
                in.Fail("name length " + std::to_string(length) + " of entry " + std::to_string(i) +
                            " runs past the end",
                        in.Position() - 4);
            }
            std::string name(static_cast<size_t>(length), '\0');
            in.Bytes(name.data(), name.size());
            if (version > 99) {
                for (char& c : name) c = static_cast<char>(static_cast<uint8_t>(c) ^ (static_cast<uint32_t>(name_key.NextValue()) & 0xFF));
            }
            names.push_back(std::move(name));
        }

        TKsRandom offset_key(kArchiveKey);
        offsets.resize(n + 1);
        bool wide = version > 100;
        offset_table = in.Position();
        wide_offsets = wide;
        if (static_cast<int64_t>(n + 1) > in.Remaining() / (wide ? 8 : 4)) {
            in.Fail("the table of " + std::to_string(n + 1) + " offsets runs past the end", offset_table);
        }
        for (size_t i = 0; i <= n; ++i) {
            int64_t value;
            if (wide) {
                value = in.I64();
                if (version > 99) value ^= static_cast<int64_t>(offset_key.NextValue());
            } else {
                int32_t narrow = in.I32();
                if (version > 99) narrow ^= offset_key.NextValue();
                value = narrow;
            }
            offsets[i] = value;
        }
        stored.assign(n, 0);
        crc_of_raw.assign(n, 0);
        times.assign(n, 0);
        crcs.assign(n, 0);
        if (version > 100) {
            int64_t flag_bytes = static_cast<int64_t>(n) * (version >= 102 ? 10 : 9);
            if (flag_bytes > in.Remaining()) in.Fail("the entry flags run past the end", in.Position());
            for (size_t i = 0; i < n; ++i) stored[i] = in.U8();
            for (size_t i = 0; i < n; ++i) times[i] = in.I32();
            for (size_t i = 0; i < n; ++i) crcs[i] = static_cast<uint32_t>(in.I32());
            if (version >= 102) {
                for (size_t i = 0; i < n; ++i) crc_of_raw[i] = in.U8();
            }
        }
        index_end = buffered.Position() - start;
    }

    // Offsets ascend through the data, which follows the index, and stay inside the source.
    int64_t data_limit = source_->Size() - start;
    int64_t first_allowed = index_in_source ? index_end : 0;
    auto offset_at = [&](size_t i) { return offset_table + static_cast<int64_t>(i) * (wide_offsets ? 8 : 4); };
    if (offsets[0] < first_allowed) {
        FailDamaged(file_name_, failure,
                    "first data offset " + std::to_string(offsets[0]) + " lies inside the index (it ends at " +
                        std::to_string(first_allowed) + ")",
                    offset_at(0));
    }
    for (size_t i = 1; i < offsets.size(); ++i) {
        if (offsets[i] < offsets[i - 1]) {
            FailDamaged(file_name_, failure,
                        "offset " + std::to_string(offsets[i]) + " of entry " + std::to_string(i) +
                            " is below the one before it (" + std::to_string(offsets[i - 1]) + ")",
                        offset_at(i));
        }
    }
    if (offsets.back() > data_limit) {
        FailDamaged(file_name_, failure,
                    "end offset " + std::to_string(offsets.back()) + " lies beyond the data (" +
                        std::to_string(data_limit) + " bytes)",
                    offset_at(offsets.size() - 1));
    }

    size_t n = names.size();
    for (size_t i = 0; i < n; ++i) {
        auto entry = std::make_unique<TVrFile>();
        entry->DataOffset = offsets[i] + start;
        entry->DataSize = offsets[i + 1] - offsets[i];
        entry->Stored = stored[i] != 0;
        entry->FileTime = times[i];
        entry->Crc32 = crcs[i];
        entry->CrcOfRaw = crc_of_raw[i] != 0;
        Add(std::move(entry), names[i]);
    }
    auto eof = std::make_unique<TVrFile>();
    eof->DataOffset = offsets[n];
    eof->Stored = true;
    Add(std::move(eof), kEofEntryName);
}

bool TVrFileCollection::ReadEntry(const TVrFile& entry, std::string& out) const
{
    out.clear();
    if (entry.IsMemory()) {
        out = entry.MemData->Data();
        return true;
    }
    if (!source_) return false;
    if (entry.DataSize <= 0) return true;
    std::string failure = FailureMessage();
    if (entry.Stored) {
        out.resize(static_cast<size_t>(entry.DataSize));
        source_->Seek(entry.DataOffset);
        source_->ReadExact(out.data(), out.size(), failure);
    } else if (entry.DataSize <= kLargestWholeInflate) {
        std::string packed(static_cast<size_t>(entry.DataSize), '\0');
        source_->Seek(entry.DataOffset);
        source_->ReadExact(packed.data(), packed.size(), failure);
        const uint64_t ratio16 = inflate_ratio16_.load(std::memory_order_relaxed);
        const uint64_t guess = static_cast<uint64_t>(entry.DataSize) * ratio16 / 16 * 9 / 8 + 4096;
        InflateWhole(packed, out, static_cast<size_t>(guess), InflateCapFor(entry.DataSize), failure);
        const uint64_t seen = static_cast<uint64_t>(out.size()) * 16 / static_cast<uint64_t>(entry.DataSize);
        inflate_ratio16_.store(static_cast<uint32_t>(std::clamp<uint64_t>(seen, 16, kLargestGuessedRatio16)),
                               std::memory_order_relaxed);
    } else {
        InflateFromStream(*source_, entry.DataOffset, entry.DataSize, out, InflateCapFor(entry.DataSize), failure);
    }
    return true;
}

std::string TVrFileCollection::Extract(const std::string& name)
{
    if (TVrFile* entry = Find(name)) {
        std::string bytes;
        if (ReadEntry(*entry, bytes)) return bytes;
    }
    if (!folder_.empty()) {
        if (auto path = FindRealPath(folder_, name); path && RealFileExists(*path) && !SameRealFile(*path, file_name_)) {
            TKsBigMemoryStream file;
            file.LoadFromFile(*path);
            return std::move(file.Data());
        }
    }
    throw EMobuError(archive_messages::FileNotFound(name));
}

void TVrFileCollection::Extract(const std::string& name, TKsBigStream& target)
{
    std::string bytes = Extract(name);
    if (auto* memory = dynamic_cast<TKsBigMemoryStream*>(&target)) {
        memory->Data() = std::move(bytes);
    } else {
        target.WriteBytes(bytes);
    }
    target.Seek(0);
}

TVrFile* TVrFileCollection::AddMemoryFile(const std::string& name)
{
    auto entry = std::make_unique<TVrFile>();
    entry->MemData = std::make_unique<TKsMemoryStream>();
    return Add(std::move(entry), name);
}

TVrFile* TVrFileCollection::AddFileEntry(const std::string& name) { return Add(std::make_unique<TVrFile>(), name); }

void TVrFileCollection::Delete(const std::string& name) { THashCollection::Delete(IndexOf(name)); }

bool TVrFileCollection::WriteArchive(TKsBigStream& target)
{
    std::vector<TVrFile*> entries;
    for (int i = 0; i < Count(); ++i) {
        if (Item(i)->Name() != kEofEntryName) entries.push_back(Item(i));
    }
    size_t n = entries.size();
    int64_t start = target.Position();

    ByteWriter head;
    head.Raw("vf", 2);
    head.I32(kArchiveVersion);
    head.I32(static_cast<int32_t>(n));
    TKsRandom name_key(kArchiveKey);
    for (TVrFile* entry : entries) {
        std::string name = entry->Name();
        for (char& c : name) c = static_cast<char>(static_cast<uint8_t>(c) ^ (static_cast<uint32_t>(name_key.NextValue()) & 0xFF));
        head.String(name);
    }
    target.WriteBytes(head.Bytes());
    int64_t table_position = target.Position();
    size_t table_size = (n + 1) * 8 + n + n * 4 + n * 4 + n;
    target.WriteBytes(std::string(table_size, '\0'));

    std::vector<int64_t> offsets;
    std::vector<uint8_t> stored(n, 0), crc_of_raw(n, 0);
    std::vector<int32_t> times(n, 0);
    std::vector<uint32_t> crcs(n, 0);
    for (size_t i = 0; i < n; ++i) {
        TVrFile& entry = *entries[i];
        offsets.push_back(target.Position() - start);
        try {
            std::string raw, written;
            bool as_is = false;
            bool crc_of_raw_bytes = entry.CrcOfRaw;
            times[i] = entry.FileTime;
            std::optional<std::string> plain_file;
            if (!entry.IsMemory() && !folder_.empty()) {
                auto path = FindRealPath(folder_, entry.Name());
                if (path && RealFileExists(*path) && !SameRealFile(*path, file_name_)) plain_file = path;
            }
            if (entry.IsMemory()) {
                raw = entry.MemData->Data();
                as_is = static_cast<int64_t>(raw.size()) > kLargestCompressedEntry;
                if (!as_is) written = DeflateFastest(raw);
            } else if (plain_file) {
                TKsBigMemoryStream file;
                file.LoadFromFile(*plain_file);
                raw = std::move(file.Data());
                times[i] = RealFileTime(*plain_file);
                std::string extension = VirtualExtension(entry.Name());
                bool compress;
                if (SameCp932Name(extension, ".fsk") && FskTest()) {
                    compress = FskTest()(raw);
                } else {
                    compress = !IsMediaExtension(extension) && static_cast<int64_t>(raw.size()) < 0x500000;
                }
                as_is = true;
                if (compress) {
                    written = DeflateFastest(raw);
                    if (written.size() <= raw.size() * 9 / 10) as_is = false;
                }
            } else {
                if (!CanRead(entry)) throw EMobuError(archive_messages::FileNotFound(entry.Name()));
                ReadEntry(entry, raw);
                as_is = static_cast<int64_t>(raw.size()) > kLargestCompressedEntry;
                if (!as_is) written = DeflateFastest(raw);
                crc_of_raw_bytes = false;
            }
            const std::string& output = as_is ? raw : written;
            target.WriteBytes(output);
            stored[i] = as_is ? 1 : 0;
            crc_of_raw[i] = crc_of_raw_bytes ? 1 : 0;
            crcs[i] = mobu::Crc32(crc_of_raw_bytes ? raw : output);
        } catch (const EMobuError&) {
            ShowMessageBox(archive_messages::EntryWriteError(entry.Name()), std::string(), MessageIcon::Warning,
                           MessageButtons::Ok);
            throw;
        }
    }
    offsets.push_back(target.Position() - start);
    int64_t end = target.Position();

    ByteWriter table;
    TKsRandom offset_key(kArchiveKey);
    for (int64_t offset : offsets) table.I64(offset ^ static_cast<int64_t>(offset_key.NextValue()));
    for (uint8_t flag : stored) table.U8(flag);
    for (int32_t time : times) table.I32(time);
    for (uint32_t crc : crcs) table.U32(crc);
    for (uint8_t flag : crc_of_raw) table.U8(flag);
    target.Seek(table_position);
    target.WriteBytes(table.Bytes());
    target.Seek(end);
    return true;
}

void TVrFileCollection::WriteArchiveFile(const std::string& real_path_utf8)
{
    TKsBigMemoryStream bytes;
    WriteArchive(bytes);
    if (!ReplaceFileAtomically(real_path_utf8, bytes.Data())) {
        throw EMobuError(archive_messages::CannotWrite(Utf8ToCp932(real_path_utf8)));
    }
}

}  // namespace mobu
