// TPage: one loaded script page (a compiled "msb" file): its result type, the property
// masks of the component-creating commands, and the flat list of commands with their
// nesting depths and precomputed jump targets.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "script/command.h"

namespace mobu {

inline constexpr int32_t kOldestPageVersion = 103;
inline constexpr int32_t kNewestPageVersion = 116;
inline constexpr int32_t kNewPageVersion = 104;
inline constexpr int kMaskEntryCount = 61;
inline constexpr int kMaskEntrySize = 21;

using TPropertyMask = std::array<uint8_t, kMaskEntrySize>;

inline bool MaskHas(const TPropertyMask& mask, int property)
{
    return property >= 0 && property < kMaskEntrySize * 8 && (mask[static_cast<size_t>(property / 8)] >> (property % 8)) & 1;
}

class TPage;

// The owned commands of a page; the list knows its page.
class TComList {
public:
    explicit TComList(TPage* page) : page_(page) {}
    TPage* Page() const { return page_; }
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    TCommand* Items(int32_t index) const { return items_[static_cast<size_t>(index)].get(); }
    void Add(std::unique_ptr<TCommand> command) { items_.push_back(std::move(command)); }
    void Clear() { items_.clear(); }
    int32_t IndexOf(const TCommand* command) const;

private:
    TPage* page_;
    std::vector<std::unique_ptr<TCommand>> items_;
};

class TPage {
public:
    TPage();
    ~TPage();
    TPage(const TPage&) = delete;
    TPage& operator=(const TPage&) = delete;

    std::string PageName;
    uint8_t ResultType = 1;
    int32_t PageVersion = kNewPageVersion;
    std::array<TPropertyMask, kMaskEntryCount> PropertyMasks{};
    TComList Commands;

    // Loads the page file through the virtual file manager. A version below the oldest
    // sets QuitRequested, shows the rebuild warning and closes the main window; a version
    // above the newest leaves the page empty; a damaged file raises with the page's name.
    void Load(const std::string& name);
    // The same from the file's bytes.
    void LoadFromBytes(const std::string& name, std::string_view bytes);

    // Index of the first command whose IsLabel matches the name exactly, or -1.
    int32_t FindLabel(const std::string& name) const;
    int32_t Count() const { return Commands.Count(); }
    TCommand* Command(int32_t index) const { return Commands.Items(index); }
};


}  // namespace mobu
