// A call manager over a fresh variable table, reading its pages from assembled sources in
// memory, with an event queue the tests fill.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/globals.h"
#include "expr/custom_param.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "platform/text_encoding.h"
#include "script/call_man.h"
#include "script/call_system_variables.h"
#include "script/page_source.h"

namespace mobu::testing_support {

// A component list that knows nothing but its event queue and named senders.
class TFakeComponents : public TCallManComponents {
public:
    struct TRecord {
        TEvent event;
        int32_t level = 0;
    };
    std::vector<TRecord> queue;
    std::map<std::string, TMobuObject*> components;  // name -> fake identity

    void Post(const std::string& handler, const std::string& sender, std::vector<std::string> params = {})
    {
        queue.push_back({{handler, Sender(sender), std::move(params)}, 0});
    }
    TMobuObject* Sender(const std::string& name)
    {
        auto found = components.find(name);
        if (found != components.end()) return found->second;
        // Any distinct non-null address serves as the identity of a fake component.
        TMobuObject* identity = reinterpret_cast<TMobuObject*>(static_cast<uintptr_t>(0x1000 + 16 * components.size()));
        components[name] = identity;
        return identity;
    }

    int32_t OldestWaitingEvent() override
    {
        for (size_t i = 0; i < queue.size(); ++i) {
            if (queue[i].level == 0) return static_cast<int32_t>(i);
        }
        return -1;
    }
    TEvent EventAt(int32_t index) override { return queue[static_cast<size_t>(index)].event; }
    void SetEventLevel(int32_t index, int32_t level) override { queue[static_cast<size_t>(index)].level = level; }
    void RemoveEventsOfLevel(int32_t level) override
    {
        std::erase_if(queue, [level](const TRecord& record) { return record.level == level; });
    }
    void RemoveRunningEvents() override
    {
        std::erase_if(queue, [](const TRecord& record) { return record.level != 0; });
    }
    void ClearEvents() override { queue.clear(); }
    bool IsRegistered(const TMobuObject* object) override
    {
        for (auto& [name, identity] : components) {
            if (identity == object) return true;
        }
        return false;
    }
    std::string NameOf(const TMobuObject* object) override
    {
        for (auto& [name, identity] : components) {
            if (identity == object) return name;
        }
        return {};
    }
    TMobuObject* FindComponent(const std::string& name) override
    {
        auto found = components.find(name);
        return found == components.end() ? nullptr : found->second;
    }
};

class TScriptHarness {
public:
    TParamCollection table;
    TSysFuncMan functions{table};
    TFakeComponents components;
    TCallMan calls{&functions, &components};
    TCallSystemVariables call_variables{table, calls};
    std::map<std::string, std::string> pages;  // file name -> page bytes
    std::map<std::string, int> loads;          // file name -> times loaded

    TScriptHarness()
    {
        QuitRequested = false;
        GameClockMs = 0;
        FrameDeltaMs = 15;
        calls.LoadPage = [this](TPage& page, const std::string& name) {
            auto found = pages.find(name);
            if (found == pages.end()) throw EMobuError(name + ":missing");
            ++loads[name];
            page.LoadFromBytes(name, found->second);
        };
        calls.EnsureAvailable = [this](const std::string& name) { return pages.count(name) != 0; };
    }

    // Assembles a page source under the file name.
    void AddPage(const std::string& name, const std::string& source)
    {
        TPageSourceOptions options;
        options.page_name = name;
        options.resolve_label = [this](const std::string& page, const std::string& label) -> int32_t {
            auto found = sources_.find(page);
            return found == sources_.end() ? -1 : SourceLabelIndex(found->second)(label);
        };
        sources_[name] = source;
        pages[name] = AssemblePage(source, options);
    }

    // One frame: the clock advances, the interpreter runs.
    void Frame()
    {
        AdvanceGameClock(FrameDeltaMs);
        calls.Run();
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) Frame();
    }

    int32_t Int(const std::string& name)
    {
        TParamCollectionItem* item = table.Find(name);
        return item ? item->Value()->GetInteger() : -999999;
    }
    std::string Str(const std::string& name)
    {
        TParamCollectionItem* item = table.Find(name);
        return item ? item->Value()->GetString() : "<none>";
    }
    bool Has(const std::string& name) { return table.Find(name) != nullptr; }

private:
    std::map<std::string, std::string> sources_;
};

}  // namespace mobu::testing_support
