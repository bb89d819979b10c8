#include "script/install_data.h"

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "platform/durable_files.h"
#include "platform/real_files.h"
#include "core/cp932_chars.h"
#include "script/project_messages.h"

namespace mobu {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int64_t ReadNumber(ByteReader& reader, int version)
{
    return version > 99 ? reader.I64() : static_cast<int64_t>(reader.I32());
}

}  // namespace

TInstallData TInstallData::Parse(std::string_view bytes)
{
    ByteReader reader(bytes, ReinstallMessage());
    TInstallData data;
    data.version = 0;
    if (bytes.size() >= 2 && bytes[0] == 'i' && bytes[1] == 's') {
        if (bytes.size() < 5 || !IsDigit(bytes[2]) || !IsDigit(bytes[3]) || !IsDigit(bytes[4])) reader.Fail();
        data.version = (bytes[2] - '0') * 100 + (bytes[3] - '0') * 10 + (bytes[4] - '0');
        reader.Skip(5);
    }
    const int version = data.version;
    auto& installer = data.installer;

    data.disk_index = reader.I32();
    data.title = reader.String();
    for (auto& text : installer.texts_a) text = reader.String();
    installer.byte_a = reader.U8();
    installer.text_b = reader.String();
    installer.byte_b = reader.U8();
    // The record count comes before the fields of row 9, and the records after them, so it
    // can only be checked against the bytes left once those fields are read.
    int32_t record_count = reader.I32();
    if (record_count < 0) reader.Fail();
    installer.text_c = reader.String();
    installer.number_c = reader.I32();
    installer.bytes_c[0] = reader.U8();
    installer.bytes_c[1] = reader.U8();
    for (auto& text : installer.texts_c) text = reader.String();
    const size_t number_size = version > 99 ? 8 : 4;
    if (static_cast<size_t>(record_count) > reader.Remaining() / (4 * number_size)) reader.Fail();
    installer.records.resize(static_cast<size_t>(record_count));
    for (auto& record : installer.records) {
        for (auto& number : record) number = ReadNumber(reader, version);
    }
    for (auto& number : installer.numbers) number = ReadNumber(reader, version);
    installer.byte_d = reader.U8();
    if (version > 100) installer.byte_e = reader.U8();
    if (version > 101) data.created_files = reader.StringArray();
    if (version > 102) data.no_disk_needed = reader.U8() != 0;
    if (version > 103) installer.byte_f = reader.U8();
    if (version > 104) installer.byte_g = reader.U8();
    if (version > 105) installer.texts_h = reader.StringArray();
    if (version > 106) installer.text_i = reader.String();
    if (version > 107) {
        for (auto& text : installer.texts_j) text = reader.String();
    }
    data.unknown_tail = reader.Bytes(reader.Remaining());
    return data;
}

std::string TInstallData::Write() const
{
    ByteWriter writer;
    writer.Raw("is108");
    writer.I32(disk_index);
    writer.String(title);
    for (const auto& text : installer.texts_a) writer.String(text);
    writer.U8(installer.byte_a);
    writer.String(installer.text_b);
    writer.U8(installer.byte_b);
    writer.I32(static_cast<int32_t>(installer.records.size()));
    writer.String(installer.text_c);
    writer.I32(installer.number_c);
    writer.U8(installer.bytes_c[0]);
    writer.U8(installer.bytes_c[1]);
    for (const auto& text : installer.texts_c) writer.String(text);
    for (const auto& record : installer.records) {
        for (int64_t number : record) writer.I64(number);
    }
    for (int64_t number : installer.numbers) writer.I64(number);
    writer.U8(installer.byte_d);
    writer.U8(installer.byte_e);
    writer.StringArray(created_files);
    writer.U8(no_disk_needed ? 1 : 0);
    writer.U8(installer.byte_f);
    writer.U8(installer.byte_g);
    writer.StringArray(installer.texts_h);
    writer.String(installer.text_i);
    for (const auto& text : installer.texts_j) writer.String(text);
    writer.Raw(unknown_tail);
    return writer.Take();
}

TInstallData ReadInstallDataFile(const std::string& path)
{
    std::optional<std::string> bytes = ReadRealFile(path);
    if (!bytes) throw EMobuError(ReinstallMessage());
    return TInstallData::Parse(*bytes);
}

void WriteInstallDataFile(const std::string& path, const TInstallData& data)
{
    if (!ReplaceFileAtomically(path, data.Write())) throw EMobuError(ReinstallMessage());
}

bool RecordCreatedFile(const std::string& path, const std::string& created_file)
{
    if (!RealFileExists(path)) return false;
    TInstallData data = ReadInstallDataFile(path);
    const std::string key = Cp932Upper(created_file);
    for (const auto& listed : data.created_files) {
        if (Cp932Upper(listed) == key) return false;
    }
    data.created_files.push_back(created_file);
    WriteInstallDataFile(path, data);
    return true;
}

}  // namespace mobu
