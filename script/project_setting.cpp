#include "script/project_setting.h"

#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "script/project_messages.h"

namespace mobu {
namespace {

// Smallest stored predefined-variable record: the type byte and an empty name.
constexpr size_t kSmallestVariableRecord = 1 + 4;

TPredefinedVariable ReadVariable(ByteReader& reader)
{
    TPredefinedVariable variable;
    variable.type = reader.U8();
    variable.name = reader.String();
    switch (variable.type) {
    case kPredefinedInt: variable.int_value = reader.I32(); break;
    case kPredefinedReal: variable.real_value = reader.Real80(); break;
    case kPredefinedFlag: variable.flag_value = reader.Flag(); break;
    case kPredefinedString: variable.string_value = reader.String(); break;
    default: break;  // unknown types carry no value
    }
    return variable;
}

void WriteVariable(ByteWriter& writer, const TPredefinedVariable& variable)
{
    writer.U8(variable.type);
    writer.String(variable.name);
    switch (variable.type) {
    case kPredefinedInt: writer.I32(variable.int_value); break;
    case kPredefinedReal: writer.Real80(variable.real_value); break;
    case kPredefinedFlag: writer.Flag(variable.flag_value); break;
    case kPredefinedString: writer.String(variable.string_value); break;
    default: break;
    }
}

}  // namespace

TProjectSetting TProjectSetting::Parse(std::string_view bytes)
{
    ByteReader reader(bytes, NoProjectMessage());
    TProjectSetting setting;
    setting.version = reader.I32();
    if (setting.version > kNewestVersion) throw EMobuError(UnsupportedVersionMessage());
    const int32_t version = setting.version;

    setting.title = reader.String();
    setting.screen_width = reader.I32();
    setting.screen_height = reader.I32();
    setting.full_screen_width = reader.I32();
    setting.full_screen_height = reader.I32();
    setting.start_page = reader.String();
    if (version >= 110) setting.exit_page = reader.String();
    setting.registry_key_name = reader.String();
    setting.ident_code = reader.I32();
    if (version >= 104) setting.write_status_data = reader.Flag();
    if (version >= 106) setting.throttle_frames = reader.Flag();
    if (version >= 109) setting.streamed_extensions = reader.String();
    if (version >= 113) setting.pause_when_inactive = reader.Flag();
    if (version >= 114) setting.first_disk_required = reader.Flag();
    if (version >= 116) setting.show_toolbar = reader.Flag();
    setting.disk_prompt = reader.String();
    setting.exit_prompt = reader.String();

    size_t count = reader.Count(kSmallestVariableRecord);
    setting.variables.reserve(count);
    for (size_t i = 0; i < count; ++i) setting.variables.push_back(ReadVariable(reader));

    setting.disk_map.Read(reader);
    return setting;
}

std::string TProjectSetting::Write() const
{
    ByteWriter writer;
    writer.I32(kNewestVersion);
    writer.String(title);
    writer.I32(screen_width);
    writer.I32(screen_height);
    writer.I32(full_screen_width);
    writer.I32(full_screen_height);
    writer.String(start_page);
    writer.String(exit_page);
    writer.String(registry_key_name);
    writer.I32(ident_code);
    writer.Flag(write_status_data);
    writer.Flag(throttle_frames);
    writer.String(streamed_extensions);
    writer.Flag(pause_when_inactive);
    writer.Flag(first_disk_required);
    writer.Flag(show_toolbar);
    writer.String(disk_prompt);
    writer.String(exit_prompt);
    writer.I32(static_cast<int32_t>(variables.size()));
    for (const auto& variable : variables) WriteVariable(writer, variable);
    disk_map.Write(writer);
    return writer.Take();
}

}  // namespace mobu
