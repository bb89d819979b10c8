// The formatting state while tagged text is converted: stacks whose empty top is their base
// value (popping an empty stack does nothing), and the plain fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mobu {

template <typename T>
class TValueStack {
public:
    explicit TValueStack(T base = T{}) : base_(std::move(base)) {}
    void Push(T value) { items_.push_back(std::move(value)); }
    void Pop()
    {
        if (!items_.empty()) items_.pop_back();
    }
    const T& Top() const { return items_.empty() ? base_ : items_.back(); }
    size_t Depth() const { return items_.size(); }

private:
    T base_;
    std::vector<T> items_;
};

using TIntStack = TValueStack<int32_t>;
using TStrStack = TValueStack<std::string>;
using TAlignStack = TValueStack<uint8_t>;

class TTagValList {
public:
    // `wait_base`: the value of @TextDelay when the conversion starts.
    explicit TTagValList(int32_t wait_base) : Wait(wait_base) {}

    TIntStack Size{0};
    TIntStack Color{-1};
    TIntStack OutlineColor{-1};
    TIntStack ShadowColor{-1};
    TStrStack FontName{""};
    TAlignStack Align{1};
    TIntStack Wait;
    TIntStack OutlineWidth{-1};
    TIntStack ShadowOffset{-1};

    uint8_t Style = 0;
    bool NoBreak = false;
    std::string Ruby;
    std::string Link;
};

}  // namespace mobu
