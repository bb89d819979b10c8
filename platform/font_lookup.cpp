#include "platform/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <string>
#include <mutex>

#include "platform/text_encoding.h"

namespace mobu {
namespace {

// Windows font names, full-width and ASCII spellings, to the IPA fonts of the same design.
// The first family of the pattern is replaced, so a name without a rule keeps its own name
// and is then only found when a font of that family is installed.
constexpr const char kFontRules[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <match target="pattern">
    <test name="family" qual="first" compare="eq"><string>ＭＳ ゴシック</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="first" compare="eq"><string>MS Gothic</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="first" compare="eq"><string>ＭＳ Ｐゴシック</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAPGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="first" compare="eq"><string>MS PGothic</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAPGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="first" compare="eq"><string>ＭＳ 明朝</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAMincho</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="first" compare="eq"><string>MS Mincho</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAMincho</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="first" compare="eq"><string>ＭＳ Ｐ明朝</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAPMincho</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="first" compare="eq"><string>MS PMincho</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAPMincho</string></edit>
  </match>
</fontconfig>
)";

// The Windows names of the rules above and the family each stands for.
constexpr std::pair<const char*, const char*> kFontAliases[] = {
    {"ＭＳ ゴシック", "IPAGothic"}, {"MS Gothic", "IPAGothic"},   {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"MS PGothic", "IPAPGothic"},   {"ＭＳ 明朝", "IPAMincho"},   {"MS Mincho", "IPAMincho"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},  {"MS PMincho", "IPAPMincho"},
};

// Family names compare as fontconfig compares them: without blanks and letter case.
bool SameFamily(std::string a, std::string b)
{
    std::erase(a, ' ');
    std::erase(b, ' ');
    return FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(a.c_str()), reinterpret_cast<const FcChar8*>(b.c_str())) == 0;
}

class TFontLookup {
public:
    TFontLookup()
    {
        config_ = FcInitLoadConfigAndFonts();
        if (config_ != nullptr)
            FcConfigParseAndLoadFromMemory(config_, reinterpret_cast<const FcChar8*>(kFontRules), FcTrue);
    }
    ~TFontLookup()
    {
        if (config_ != nullptr) FcConfigDestroy(config_);
    }

    std::optional<TFontFile> Find(const std::string& utf8_family, bool exact)
    {
        std::lock_guard lock(mutex_);
        auto key = std::make_pair(utf8_family, exact);
        auto found = cache_.find(key);
        if (found != cache_.end()) return found->second;
        std::optional<TFontFile> result = Match(utf8_family, exact);
        cache_.emplace(key, result);
        return result;
    }

    std::vector<std::string> Families(bool fixed_only)
    {
        std::lock_guard lock(mutex_);
        std::vector<std::string> names;
        if (config_ == nullptr) return names;
        FcPattern* pattern = FcPatternCreate();
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_SPACING, nullptr);
        FcFontSet* fonts = FcFontList(config_, pattern, objects);
        FcObjectSetDestroy(objects);
        FcPatternDestroy(pattern);
        if (fonts == nullptr) return names;
        for (int f = 0; f < fonts->nfont; ++f) {
            int spacing = FC_PROPORTIONAL;
            FcPatternGetInteger(fonts->fonts[f], FC_SPACING, 0, &spacing);
            if (fixed_only && spacing != FC_MONO && spacing != FC_DUAL && spacing != FC_CHARCELL) continue;
            FcChar8* family = nullptr;
            for (int i = 0; FcPatternGetString(fonts->fonts[f], FC_FAMILY, i, &family) == FcResultMatch; ++i)
                names.emplace_back(reinterpret_cast<const char*>(family));
        }
        FcFontSetDestroy(fonts);
        std::vector<std::string> aliases;
        for (const auto& [alias, target] : kFontAliases) {
            for (const std::string& name : names) {
                if (SameFamily(name, target)) {
                    aliases.emplace_back(alias);
                    break;
                }
            }
        }
        names.insert(names.end(), aliases.begin(), aliases.end());
        return names;
    }

private:
    std::optional<TFontFile> Match(const std::string& utf8_family, bool exact)
    {
        if (config_ == nullptr || utf8_family.empty()) return std::nullopt;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8_family.c_str()));
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config_, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);

        // The family the request stands for after the shipped aliases.
        std::string wanted = utf8_family;
        FcChar8* first = nullptr;
        if (FcPatternGetString(pattern, FC_FAMILY, 0, &first) == FcResultMatch) wanted = reinterpret_cast<char*>(first);

        FcResult status = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config_, pattern, &status);
        FcPatternDestroy(pattern);
        if (match == nullptr) return std::nullopt;

        std::optional<TFontFile> result;
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            FcChar8* family = nullptr;
            bool same_family = !exact;
            std::string matched_family;
            for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
                if (i == 0) matched_family = reinterpret_cast<char*>(family);
                if (SameFamily(reinterpret_cast<const char*>(family), wanted)) {
                    same_family = true;
                    matched_family = reinterpret_cast<char*>(family);
                    break;
                }
            }
            if (same_family) result = TFontFile{reinterpret_cast<char*>(file), index, matched_family};
        }
        FcPatternDestroy(match);
        return result;
    }

    FcConfig* config_ = nullptr;
    std::mutex mutex_;
    std::map<std::pair<std::string, bool>, std::optional<TFontFile>> cache_;
};

TFontLookup& Lookup()
{
    static TFontLookup lookup;
    return lookup;
}

}  // namespace

std::optional<TFontFile> LookupFont(const std::string& cp932_name)
{
    return Lookup().Find(Cp932ToUtf8(cp932_name), true);
}

std::optional<TFontFile> LookupAnyFont()
{
    return Lookup().Find("sans-serif", false);
}

std::vector<std::string> ListFontFamilies(bool fixed_only) { return Lookup().Families(fixed_only); }

const char* ShippedFontConfiguration() { return kFontRules; }

}  // namespace mobu
