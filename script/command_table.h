// The command table of script pages: for every command id its vocabulary name, its
// caption and the fields of its record after the common header, in stored order. The page
// loader reads records by this table and the page assembler writes them by it, so the two
// can never disagree.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mobu {

inline constexpr int kCommandCount = 61;

enum class TFieldKind : uint8_t {
    Expr,        // one compiled expression
    String,      // int32 length + bytes
    Int32,       // int32
    Byte,        // one byte
    ExprList,    // int32 L, then L compiled expressions
    Text,        // int32 S, then S bytes of compiled message text
    Properties,  // one expression per property whose bit the page's mask sets for the id
};

// How the assembler fills an int32 field it can compute.
enum class TFieldRole : uint8_t {
    Plain,
    JumpTarget,  // command index in the named page (a label name in the source)
    LoopExit,    // While: index after its WhileLoop
    LoopHead,    // WhileLoop: index of its While
    BreakTarget, // Break: index after the enclosing loop's WhileLoop (-1 outside a loop)
    ContinueTarget,  // Continue: index of the enclosing loop's WhileLoop (-1 outside a loop)
};

struct TFieldInfo {
    TFieldKind kind;
    const char* name;        // operand name in page sources
    int32_t after_version;   // stored only when the page version exceeds this (-1: always)
    TFieldRole role = TFieldRole::Plain;
    // An omitted operand in a page source means TRUE (the conditions of jumps, calls and
    // returns, which an empty expression would never take).
    bool defaults_true = false;
};

struct TCommandInfo {
    uint8_t id;
    const char* name;      // "If"
    const char* caption;   // UTF-8 caption of the authoring vocabulary ("IF")
    std::vector<TFieldInfo> fields;
    bool HasProperties() const;
};

// The command of that id (0-60), or null.
const TCommandInfo* CommandInfoOf(int id);
// The command of that exact name, or null.
const TCommandInfo* CommandInfoByName(std::string_view name);

// Command ids.
enum TCommandId : uint8_t {
    CI_IF = 0, CI_ELSEIF = 1, CI_ELSE = 2, CI_LABEL = 3, CI_JUMP = 4, CI_CALL = 5, CI_EXIT = 6, CI_WAIT = 7,
    CI_BOXNEW = 8, CI_IMGNEW = 9, CI_MESNEW = 10, CI_TIMER = 11, CI_MOVIE = 12, CI_FLIP = 13, CI_CALC = 14,
    CI_VARNEW = 15, CI_VARDEL = 16, CI_GETPROP = 17, CI_SETPROP = 18, CI_OBJDEL = 19, CI_TEXTINS = 20,
    CI_MOVIESTOP = 21, CI_CLRHIST = 22, CI_CINEMA = 23, CI_CAPTION = 24, CI_MENU = 25, CI_MENUCLOSE = 26,
    CI_COMMENT = 27, CI_TEXTCLR = 28, CI_CALLHIST = 29, CI_BUTTON = 30, CI_WHILE = 31, CI_WHILEINIT = 32,
    CI_WHILELOOP = 33, CI_BREAK = 34, CI_CONTINUE = 35, CI_PARTICLENEW = 36, CI_FIRENEW = 37,
    CI_GAMESAVE = 38, CI_GAMELOAD = 39, CI_PCRESET = 40, CI_RESET = 41, CI_SOUND = 42, CI_EDITNEW = 43,
    CI_MEMONEW = 44, CI_TERMINATE = 45, CI_DOEVENT = 46, CI_CLRREAD = 47, CI_MAPIMGNEW = 48, CI_WAVENEW = 49,
    CI_TILENEW = 50, CI_SLIDERNEW = 51, CI_SCROLLBARNEW = 52, CI_GAUGENEW = 53, CI_CGCAPTION = 54,
    CI_MEDIAPLAY = 55, CI_PREVMENUNEW = 56, CI_PROPMOTION = 57, CI_FORMATHIST = 58, CI_SAVECABINET = 59,
    CI_LOADCABINET = 60,
};

}  // namespace mobu
