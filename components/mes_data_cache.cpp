#include "components/mes_data_cache.h"

#include "archive/vr_file_manager.h"
#include "core/cp932_chars.h"
#include "core/mobu_error.h"
#include "script/command.h"
#include "script/command_table.h"

namespace mobu {

bool TMesDataCacheList::PageExists(const std::string& page_name)
{
    return !page_name.empty() && VrFileManager().Exists(page_name);
}

size_t TMesDataCacheList::WordCount() const
{
    size_t count = 0;
    for (const auto& page : pages_) count += page.Words.size();
    return count;
}

TKsWord* TMesDataCacheList::GetWord(const std::string& page_name, int32_t command)
{
    auto it = pages_.begin();
    for (; it != pages_.end(); ++it)
        if (JSameText(it->PageName, page_name)) break;
    if (it != pages_.end()) {
        pages_.splice(pages_.begin(), pages_, it);
    } else {
        if (!PageExists(page_name)) return nullptr;
        TMesDataCache entry;
        entry.PageName = page_name;
        entry.Page = std::make_unique<TPage>();
        try {
            entry.Page->Load(page_name);
        } catch (const EMobuError&) {
            return nullptr;
        }
        pages_.push_front(std::move(entry));
        while (pages_.size() > kMaxPages) pages_.pop_back();
    }
    TMesDataCache& cache = pages_.front();
    for (auto word = cache.Words.begin(); word != cache.Words.end(); ++word)
        if (word->Command == command) {
            cache.Words.splice(cache.Words.begin(), cache.Words, word);
            return cache.Words.front().Word.get();
        }
    if (command < 0 || command >= cache.Page->Count()) return nullptr;
    const TCommand* found = cache.Page->Command(command);
    if (found == nullptr || found->CommandId() != CI_TEXTINS) return nullptr;
    auto word = std::make_unique<TKsWord>();
    try {
        const std::string& text = found->Text(0);
        ByteReader in(text);
        word->LoadGlyphs(in);
    } catch (const EMobuError&) {
        return nullptr;  // an unreadable text is no text
    }
    cache.Words.push_front(TMesDataCacheWord{command, std::move(word)});
    while (cache.Words.size() > TMesDataCache::kMaxWords) cache.Words.pop_back();
    return cache.Words.front().Word.get();
}

}  // namespace mobu
