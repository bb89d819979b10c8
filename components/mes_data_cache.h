// The stored texts of TextIns commands a message box shows, read from their script pages:
// at most 4 pages, each with at most 16 loaded texts, most recently used first.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "script/page.h"
#include "text/ks_word.h"

namespace mobu {

class TMesDataCacheWord {
public:
    int32_t Command = 0;
    std::unique_ptr<TKsWord> Word;
};

class TMesDataCache {
public:
    static constexpr size_t kMaxWords = 16;
    std::string PageName;
    std::unique_ptr<TPage> Page;  // its own loaded copy
    std::list<TMesDataCacheWord> Words;
};

class TMesDataCacheList {
public:
    static constexpr size_t kMaxPages = 4;

    // The stored text of (page, command), or none when the page does not exist or the
    // command is not a TextIns or its text cannot be read.
    TKsWord* GetWord(const std::string& page_name, int32_t command);
    void Clear() { pages_.clear(); }
    size_t PageCount() const { return pages_.size(); }
    size_t WordCount() const;

    // Whether the virtual file manager has the page file.
    static bool PageExists(const std::string& page_name);

private:
    std::list<TMesDataCache> pages_;
};

}  // namespace mobu
