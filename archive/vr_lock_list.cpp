#include "archive/vr_lock_list.h"

#include <cstdio>

#include "core/globals.h"
#include "core/mobu_error.h"
#include "archive/archive_messages.h"
#include "archive/vr_file_collection.h"
#include "core/name_case.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"

namespace mobu {

TVrLockList::~TVrLockList()
{
    for (auto& record : records_) TempFileList.push_back(record->Path);
    if (!temp_folder_.empty()) TempFileList.push_back(temp_folder_.substr(0, temp_folder_.size() - 1));
}

TVrLockData* TVrLockList::Find(const std::string& name)
{
    for (auto& record : records_) {
        if (SameCp932Name(record->Name, name)) return record.get();
    }
    return nullptr;
}

bool TVrLockList::IdInUse(int32_t id) const
{
    for (const auto& record : records_) {
        if (record->Id == id) return true;
    }
    return false;
}

TVrLockData* TVrLockList::Create(const std::string& name)
{
    if (temp_folder_.empty()) {
        temp_folder_ = MakePrivateTempFolder();
        if (temp_folder_.empty()) throw EMobuError(archive_messages::CannotCreateWorkFile());
    }
    std::string extension = Cp932ToUtf8(VirtualExtension(name));
    for (int32_t id = 0, tries = 0; tries < 1000; ++id) {
        if (IdInUse(id)) continue;
        ++tries;
        char stem[16];
        std::snprintf(stem, sizeof stem, "~mb%08X", static_cast<unsigned>(id));
        std::string path = temp_folder_ + stem + extension;
        if (!TRealFile::Open(path, TRealFile::Mode::CreateExclusive)) continue;
        auto record = std::make_unique<TVrLockData>();
        record->Name = name;
        record->Id = id;
        record->Path = path;
        records_.push_back(std::move(record));
        return records_.back().get();
    }
    throw EMobuError(archive_messages::CannotCreateWorkFile());
}

void TVrLockList::Release(const std::string& name)
{
    for (size_t i = 0; i < records_.size(); ++i) {
        if (!SameCp932Name(records_[i]->Name, name)) continue;
        if (--records_[i]->RefCount <= 0) {
            TempFileList.push_back(records_[i]->Path);
            records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(i));
        }
        return;
    }
}

void TVrLockList::Discard(TVrLockData* record)
{
    for (size_t i = 0; i < records_.size(); ++i) {
        if (records_[i].get() != record) continue;
        DeleteRealFile(record->Path);
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

}  // namespace mobu
