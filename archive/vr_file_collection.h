// TVrFileCollection: one archive (a packed file, a plain folder, or the in-memory archive)
// as a name-hashed collection of TVrFile entries in index order.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "archive/big_stream.h"
#include "archive/vr_file.h"
#include "core/hash_collection.h"

namespace mobu {

// The executable whose appended archive the player carries; files with this identity are
// read by the executable-archive rule whatever their name. Defaults to the running program.
void SetPlayerExecutablePath(const std::string& real_path_utf8);
const std::string& PlayerExecutablePath();

// True when the file ends with the two bytes "mb" of an appended archive.
bool HasArchiveTrailer(const std::string& real_path_utf8);
// True when the file is read by the executable-archive rule (".exe", ".scr", or the player).
bool IsExecutableArchivePath(const std::string& real_path_utf8);

// Decides for a layered-image file (".FSK") whether its bytes are worth compressing; the
// image code installs it. Without one, such files follow the general rule.
using TFskCompressionTest = std::function<bool(const std::string& raw_bytes)>;
void SetFskCompressionTest(TFskCompressionTest test);

// Upper bound of an in-memory or source entry written compressed; larger ones are stored.
inline constexpr int64_t kLargestCompressedEntry = 0x4FFFFF;

class TVrFileCollection : public THashCollectionOf<TVrFile> {
public:
    TVrFileCollection() = default;
    ~TVrFileCollection() override;

    const std::string& FileName() const { return file_name_; }  // real path (UTF-8), or ""
    const std::string& Folder() const { return folder_; }       // with trailing "/", or ""
    TKsBigStream* Source() const { return source_.get(); }
    int64_t ArchiveStart() const { return archive_start_; }
    int Version() const { return version_; }

    // Clears the collection, then opens `real_path_utf8`: a file is parsed as an archive
    // (its folder becomes the archive folder); anything else is taken as a plain folder.
    // A damaged archive is refused with "%s:ファイルがありません". With `executable` the
    // file is read by the executable-archive rule whatever its name.
    void OpenArchive(const std::string& real_path_utf8, bool keep_folder = false, bool executable = false);
    // Parses an archive held in memory (tests, tools, save data).
    void OpenFromMemory(std::string bytes, const std::string& display_name = std::string());

    // The file's bytes (inflated): an entry of this archive, or a plain file in the archive
    // folder; else "%s:ファイルがありません".
    std::string Extract(const std::string& name);
    void Extract(const std::string& name, TKsBigStream& target);
    // The bytes of one entry (inflated); false when it has neither memory data nor source.
    bool ReadEntry(const TVrFile& entry, std::string& out) const;
    bool CanRead(const TVrFile& entry) const { return entry.IsMemory() || source_ != nullptr; }

    // A new in-memory entry (an existing one of the same name stays; delete it first).
    TVrFile* AddMemoryFile(const std::string& name);
    // A new entry without data, read from the archive folder when written (packing a folder).
    TVrFile* AddFileEntry(const std::string& name);
    using THashCollection::Delete;
    void Delete(const std::string& name);

    // Writes the collection as a version-102 archive at the target's position.
    bool WriteArchive(TKsBigStream& target);
    // Writes the archive into memory, then replaces the file atomically (temporary file,
    // fsync, rename), so a collection may rewrite its own source (the save file) and a
    // failure leaves the old file whole. Throws EMobuError when it cannot be written.
    void WriteArchiveFile(const std::string& real_path_utf8);

private:
    void Reset();
    void ParseIndex(TKsBigStream& index, int64_t index_start, bool index_in_source, const std::string& failure);
    std::string FailureMessage() const;

    std::string file_name_;
    std::string folder_;
    std::unique_ptr<TKsBigStream> source_;
    int64_t archive_start_ = 0;
    int version_ = 0;
    // Inflated size over stored size of the last compressed entry read, in sixteenths: the
    // first output buffer of the next one, whose inflated size the index does not give.
    mutable std::atomic<uint32_t> inflate_ratio16_{4 * 16};
};

// Extension of a virtual path including its dot ("" when none), found by a cp932 walk.
std::string VirtualExtension(const std::string& cp932_name);

}  // namespace mobu
