#include "text/tag_tokenizer.h"

#include "core/cp932_chars.h"

namespace mobu {

namespace {

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix)
{
    if (text.size() - at < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[at + i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[i]) return false;
    }
    return true;
}

size_t PassiveOpener(std::string_view text, size_t at)
{
    if (StartsWithNoCase(text, at, "<!--")) return 4;
    if (StartsWithNoCase(text, at, "<SCRIPT")) return 7;
    if (StartsWithNoCase(text, at, "<STYLE")) return 6;
    return 0;
}

size_t PassiveCloser(std::string_view text, size_t at)
{
    if (StartsWithNoCase(text, at, "-->")) return 3;
    if (StartsWithNoCase(text, at, "</SCRIPT>")) return 9;
    if (StartsWithNoCase(text, at, "</STYLE>")) return 8;
    return 0;
}

bool IsEscapable(char c)
{
    return c == '"' || c == '%' || c == '<' || c == '>' || c == '\\' || c == '{' || c == '}';
}

// The tag's name in upper case ("" when the token is not a tag).
std::string TagName(const std::string& token)
{
    std::string name;
    for (size_t i = 1; i < token.size(); ++i) {
        const char c = token[i];
        if (c == ' ' || c == '>' || c == '\r' || c == '\n' || c == '\t') break;
        name.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    return name;
}

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    std::vector<std::string> Run()
    {
        size_t i = 0;
        while (i < text_.size()) i = Step(i);
        if (depth_ > 0 || passive_ > 0) {
            // An unclosed tag or block stays what it is: a tag-like token that is no tag.
            Emit();
        }
        Emit();
        return std::move(tokens_);
    }

private:
    void Emit()
    {
        if (!run_.empty()) tokens_.push_back(std::move(run_));
        run_.clear();
    }

    bool Special() const { return pre_ || textarea_; }

    // Blanks written in a row collapse into one. A blank after a tag starts the next run: it
    // separates the tagged word from the one that follows ("<B>Hello</B> world").
    void AppendBlank()
    {
        if (!run_.empty() && run_.back() == ' ') return;
        run_.push_back(' ');
    }

    // A line end reads as a blank between words, but not at the start of a run: the line break
    // after a tag such as "<BR>" adds nothing.
    void AppendLineEnd()
    {
        if (run_.empty()) return;
        AppendBlank();
    }

    void TagClosed()
    {
        const std::string name = TagName(run_);
        Emit();
        if (name == "PRE" || name == "TEXTAREA") {
            (name == "PRE" ? pre_ : textarea_) = true;
            skip_cr_ = true;
            return;
        }
        if (name == "/PRE") pre_ = false;
        if (name == "/TEXTAREA") textarea_ = false;
    }

    size_t Step(size_t i)
    {
        const char c = text_[i];
        const bool skip_cr = skip_cr_;
        skip_cr_ = false;

        if (passive_ > 0) {
            if (size_t n = PassiveOpener(text_, i)) {
                ++passive_;
                run_.append(text_.substr(i, n));
                return i + n;
            }
            if (size_t n = PassiveCloser(text_, i)) {
                run_.append(text_.substr(i, n));
                if (--passive_ == 0) Emit();
                return i + n;
            }
            if (c == '\r') {
                run_ += "\r\n";
                return i + 1;
            }
            return CopyChar(i);
        }

        if (quoted_) {
            if (c == '"') {
                run_.push_back(c);
                quoted_ = false;
                return i + 1;
            }
            if (c == '\r' || c == '\n' || c == '\t') return i + 1;
            if (c == '\\' && i + 1 < text_.size()) {
                run_.append(text_.substr(i, 2));
                return i + 2;
            }
            return CopyChar(i);
        }

        if (c == '"') {
            quoted_ = true;
            run_.push_back(c);
            return i + 1;
        }

        if (depth_ > 0) {
            if (c == '\\' && i + 1 < text_.size()) {
                // Escapes inside a tag are kept for the attribute parser.
                run_.append(text_.substr(i, 2));
                return i + 2;
            }
            if (c == '<') ++depth_;
            if (c == '>' && --depth_ == 0) {
                run_.push_back(c);
                TagClosed();
                return i + 1;
            }
            if (c == '\r' || c == '\n' || c == '\t' || c == 0x14) {
                AppendBlank();
                return i + 1;
            }
            return CopyChar(i);
        }

        if (c == '<') {
            Emit();
            if (size_t n = PassiveOpener(text_, i)) {
                passive_ = 1;
                run_.append(text_.substr(i, n));
                return i + n;
            }
            depth_ = 1;
            run_.push_back(c);
            return i + 1;
        }

        if (c == '\\' && i + 1 < text_.size() && IsEscapable(text_[i + 1])) {
            const char literal = text_[i + 1];
            if (literal == '<' || literal == '>') {
                // Its own token, so it can never join a tag.
                Emit();
                run_.push_back(literal);
                Emit();
            } else {
                run_.push_back(literal);
            }
            return i + 2;
        }

        if (Special()) {
            if (c == '\r' || c == '\n') {
                if (c == '\n' || skip_cr) return i + 1;
                Emit();
                if (pre_) tokens_.push_back("<BR>");
                return i + 1;
            }
            if (c == '\t') {
                run_.append(8, ' ');
                return i + 1;
            }
            return CopyChar(i);
        }

        if (c == '\r' || c == '\n') {
            AppendLineEnd();
            return i + 1;
        }
        if (c == ' ' || c == 0x14) {
            AppendBlank();
            return i + 1;
        }
        if (c == '\t') return i + 1;
        return CopyChar(i);
    }

    size_t CopyChar(size_t i)
    {
        const size_t length = Cp932CharLength(text_, i);
        run_.append(text_.substr(i, length));
        return i + length;
    }

    std::string_view text_;
    std::vector<std::string> tokens_;
    std::string run_;
    size_t depth_ = 0;
    size_t passive_ = 0;
    bool quoted_ = false;
    bool pre_ = false;
    bool textarea_ = false;
    bool skip_cr_ = false;
};

}  // namespace

std::vector<std::string> TokenizeTaggedText(std::string_view text) { return Tokenizer(text).Run(); }

std::vector<std::string> TokenizeTaggedLines(const std::vector<std::string>& lines)
{
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) joined.push_back('\r');
        joined += lines[i];
    }
    return TokenizeTaggedText(joined);
}

}  // namespace mobu
