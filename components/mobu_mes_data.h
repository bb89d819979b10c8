// The references to stored message text a message box shows: the reference list (one
// script message, or the entries of a history display) and the plain list of a plain
// history, with the cache of loaded texts, and building pages from them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "components/mes_data_cache.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "text/ks_word.h"

namespace mobu {

class TMobuHistData {
public:
    struct Entry {
        std::string PageName;  // empty when it equals the nearest name before it
        int32_t Command = 0;
        int32_t First = 0;
        int32_t Last = -1;  // -1: to the end
        int32_t Height = 0;
        std::string FixedValues;
    };
    std::vector<Entry> Entries;
    int32_t TotalHeight = 0;

    void Clear()
    {
        Entries.clear();
        TotalHeight = 0;
    }
    // Appends an entry, storing its name empty when it repeats the nearest one before it.
    void Add(const std::string& page_name, int32_t command, int32_t first, int32_t last, int32_t height,
             const std::string& fixed_values);
    // The page name of entry i: walks back to the last non-empty name.
    std::string PageNameAt(size_t index) const;

    void SaveToStream(ByteWriter& out) const;
    void LoadFromStream(ByteReader& in, bool with_fixed_values);
};

class TMobuNewMesData {
public:
    TMesDataCacheList Cache;
    TMobuHistData Refs;
    // The plain list.
    std::vector<std::string> PlainPages;
    std::vector<int32_t> PlainCommands;
    std::vector<int32_t> PlainPageNumbers;
    std::vector<std::pair<int32_t, int32_t>> PlainSizes;

    void ClearPlain();
    void AddPlainEntry(const std::string& page_name, int32_t command, std::pair<int32_t, int32_t> size, int32_t page_no);
    bool IsEmpty() const { return Refs.Entries.empty() && PlainPages.empty(); }

    // Lays the referenced texts out into `pages` through `engine` (see the message box).
    void BuildPages(TKsWord& engine, TWdPageList& pages, bool history_glyphs, bool stack, int32_t offset);

    void SavePlain(ByteWriter& out) const;
    void LoadPlain(ByteReader& in);
};

}  // namespace mobu
