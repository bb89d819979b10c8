#include "archive/archive_copy.h"

#include <vector>

#include "core/mobu_error.h"
#include "archive/archive_messages.h"
#include "core/byte_writer.h"
#include "archive/ks_random.h"
#include "archive/zlib_codec.h"
#include "platform/text_encoding.h"

namespace mobu {

void CopyArchive(const TVrFileCollection& archive, TKsBigStream& target)
{
    std::vector<const TVrFile*> entries;
    for (int i = 0; i < archive.Count(); ++i) {
        if (archive.Item(i)->Name() != kEofEntryName) entries.push_back(archive.Item(i));
    }
    size_t n = entries.size();
    int64_t start = target.Position();
    ByteWriter head;
    head.Raw("vf", 2);
    head.I32(102);
    head.I32(static_cast<int32_t>(n));
    TKsRandom name_key(kArchiveKey);
    for (const TVrFile* entry : entries) {
        std::string name = entry->Name();
        for (char& c : name) c = static_cast<char>(static_cast<uint8_t>(c) ^ (static_cast<uint32_t>(name_key.NextValue()) & 0xFF));
        head.String(name);
    }
    target.WriteBytes(head.Bytes());
    int64_t table_position = target.Position();
    target.WriteBytes(std::string((n + 1) * 8 + n * 10, '\0'));

    std::vector<int64_t> offsets;
    ByteWriter stored, times, crcs, crc_of_raw;
    for (const TVrFile* entry : entries) {
        offsets.push_back(target.Position() - start);
        if (entry->IsMemory()) {
            const std::string& raw = entry->MemData->Data();
            bool as_is = static_cast<int64_t>(raw.size()) > kLargestCompressedEntry;
            std::string written = as_is ? raw : DeflateFastest(raw);
            target.WriteBytes(written);
            stored.U8(as_is ? 1 : 0);
            crcs.U32(Crc32(entry->CrcOfRaw ? raw : written));
        } else {
            if (archive.Source() == nullptr) throw EMobuError(archive_messages::FileNotFound(entry->Name()));
            TKsBigStream& source = *archive.Source();
            source.Seek(entry->DataOffset);
            if (entry->DataSize > 0 && target.CopyFrom(source, entry->DataSize) != entry->DataSize) {
                throw EMobuError(archive_messages::FileNotFound(Utf8ToCp932(archive.FileName())));
            }
            stored.U8(entry->Stored ? 1 : 0);
            crcs.U32(entry->Crc32);
        }
        times.I32(entry->FileTime);
        crc_of_raw.U8(entry->CrcOfRaw ? 1 : 0);
    }
    offsets.push_back(target.Position() - start);
    int64_t end = target.Position();
    ByteWriter table;
    TKsRandom offset_key(kArchiveKey);
    for (int64_t offset : offsets) table.I64(offset ^ static_cast<int64_t>(offset_key.NextValue()));
    table.Raw(stored.Bytes());
    table.Raw(times.Bytes());
    table.Raw(crcs.Bytes());
    table.Raw(crc_of_raw.Bytes());
    target.Seek(table_position);
    target.WriteBytes(table.Bytes());
    target.Seek(end);
}

}  // namespace mobu
