// Runs arbitrary bytes as a sequence of text-field commands (typing from a set of cp932
// characters, pastes, deletes, moves, selections, undo, compositions, text set by the game)
// and checks after each one that caret and selection lie on character boundaries inside the
// text, that what the user brought in stays within the limit, and that the text stays valid
// cp932 (every lead byte followed by a trail byte, a lone lead byte only at the end).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/cp932_chars.h"
#include "components/text_field_model.h"

namespace {

const char* const kPieces[] = {"a", " ", "\r\n", "\x82\xa0", "\x93\xfa", "\xb1", ",", "\x81\x40", "\x87\x40",
                               "\xfa\x40", "Z", "\t"};

bool ValidCp932(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<uint8_t>(text[i]);
        if (mobu::IsLeadByte(lead) && i + 1 < text.size()) {
            const auto trail = static_cast<uint8_t>(text[i + 1]);
            if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
            i += 2;
        } else {
            i += 1;
        }
    }
    return true;
}

void Check(const mobu::TTextFieldModel& field, size_t allowed)
{
    const std::string& text = field.Text();
    if (field.Caret() > text.size() || field.Anchor() > text.size()) std::abort();
    if (field.Boundary(field.Caret()) != field.Caret() || field.Boundary(field.Anchor()) != field.Anchor())
        std::abort();
    if (field.CharCount() > allowed) std::abort();
    if (!ValidCp932(text)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    mobu::TTextFieldModel field((data[0] & 1) != 0);
    size_t allowed = field.Limit();
    for (size_t i = 1; i < size; ++i) {
        const uint8_t op = data[i];
        const uint8_t arg = i + 1 < size ? data[i + 1] : 0;
        const std::string piece = kPieces[arg % (sizeof kPieces / sizeof kPieces[0])];
        switch (op % 16) {
            case 0: field.Insert(piece); ++i; break;
            case 1: field.Insert(std::string(static_cast<size_t>(arg) * 1024, 'p') + piece); ++i; break;
            case 2: field.Backspace(); break;
            case 3: field.Delete(); break;
            case 4: field.Left((arg & 1) != 0, (arg & 2) != 0); ++i; break;
            case 5: field.Right((arg & 1) != 0, (arg & 2) != 0); ++i; break;
            case 6: field.Home((arg & 1) != 0); ++i; break;
            case 7: field.End((arg & 1) != 0); ++i; break;
            case 8: field.MoveTo(arg, (op & 16) != 0); ++i; break;
            case 9: field.SelectAll(); break;
            case 10: field.SelectWord(arg); ++i; break;
            case 11: field.Undo(); break;
            case 12: field.Cut(); break;
            case 13: field.SetComposition(piece + piece, arg, arg / 2, arg / 3); ++i; break;
            case 14: field.EndComposition(); break;
            case 15: {
                // Text from the game: kept whole, whatever its length.
                std::string text;
                for (int k = 0; k < arg; ++k) text += kPieces[k % (sizeof kPieces / sizeof kPieces[0])];
                if (op & 16) text += "\x82";  // a lone lead byte at the end
                field.SetText(text);
                allowed = std::max(field.Limit(), field.CharCount());
                ++i;
                break;
            }
        }
        field.ReadOnly = (op & 0x80) != 0 && (op & 0x40) != 0;
        Check(field, allowed);
    }
    return 0;
}
