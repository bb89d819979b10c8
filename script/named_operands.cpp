#include "script/named_operands.h"

#include <charconv>
#include <span>
#include <vector>

#include "core/nearest_name.h"
#include "graphics/wipes/wipe_table.h"
#include "script/command_table.h"
#include "script/property_names.h"

namespace mobu {
namespace {

enum class TVocabulary { Property, Transition, FlipMode };

struct TNamedField {
    int command;
    const char* field;
    TVocabulary vocabulary;
};

const TNamedField kNamedFields[] = {
    {CI_GETPROP, "property", TVocabulary::Property},
    {CI_SETPROP, "property", TVocabulary::Property},
    {CI_PROPMOTION, "property", TVocabulary::Property},
    {CI_FLIP, "transition", TVocabulary::Transition},
    {CI_FLIP, "mode", TVocabulary::FlipMode},
};

const TNamedField* FindField(int command_id, std::string_view field)
{
    for (const TNamedField& named : kNamedFields) {
        if (named.command == command_id && field == named.field) return &named;
    }
    return nullptr;
}

const char* PrefixOf(TVocabulary vocabulary)
{
    switch (vocabulary) {
    case TVocabulary::Property: return "PR_";
    case TVocabulary::Transition: return "WP_";
    case TVocabulary::FlipMode: return "FL_";
    }
    return "";
}

const char* WordOf(TVocabulary vocabulary)
{
    switch (vocabulary) {
    case TVocabulary::Property: return "property";
    case TVocabulary::Transition: return "transition";
    case TVocabulary::FlipMode: return "flip mode";
    }
    return "";
}

// Every name of the vocabulary with its number.
std::vector<std::pair<std::string, int>> NamesOf(TVocabulary vocabulary)
{
    std::vector<std::pair<std::string, int>> names;
    switch (vocabulary) {
    case TVocabulary::Property:
        for (int id = 0; id < kPropertyCount; ++id) names.emplace_back(PropertyNameOf(id)->name, id);
        break;
    case TVocabulary::Transition:
        for (const TWipeKind& kind : WipeKinds()) names.emplace_back(kind.Name, kind.Id);
        break;
    case TVocabulary::FlipMode:
        for (const TFlipMode& mode : FlipModes()) names.emplace_back(mode.Name, mode.Value);
        break;
    }
    return names;
}

bool IsNameOfForm(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0 && text.size() > 3 &&
           text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") == std::string::npos;
}

}  // namespace

TNamedOperand ResolveNamedOperand(int command_id, std::string_view field, const std::string& expression)
{
    const TNamedField* named = FindField(command_id, field);
    if (!named || !IsNameOfForm(expression, PrefixOf(named->vocabulary))) return {expression, std::nullopt};
    std::vector<std::string> candidates;
    for (const auto& [name, value] : NamesOf(named->vocabulary)) {
        if (name == expression) return {std::to_string(value), std::nullopt};
        candidates.push_back(name);
    }
    std::string error = std::string("unknown ") + WordOf(named->vocabulary) + " \"" + expression + "\"";
    const std::string nearest = NearestName(expression, candidates);
    if (!nearest.empty()) error += " (nearest: " + nearest + ")";
    error += " (the names are listed in docs/authoring/reference.md)";
    return {expression, error};
}

std::string NamedOperandText(int command_id, std::string_view field, const std::string& text)
{
    const TNamedField* named = FindField(command_id, field);
    if (!named || text.empty() || text.size() > 3) return text;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return text;
    for (const auto& [name, number] : NamesOf(named->vocabulary)) {
        if (number == value) return name;
    }
    return text;
}

}  // namespace mobu
