#include "tools/mobupack/authoring_reference.h"

#include "expr/param_types.h"
#include "expr/sys_func_table.h"
#include "expr/system_variables.h"
#include "platform/text_encoding.h"
#include "script/command_table.h"
#include "script/property_names.h"

namespace mobu::mobupack {
namespace {

std::string TypeName(uint8_t type)
{
    switch (type) {
    case PT_INT: return "int";
    case PT_FLOAT: return "real";
    case PT_BOOL: return "flag";
    case PT_STR: return "string";
    default: return "-";
    }
}

std::string FieldText(const TFieldInfo& field)
{
    std::string kind;
    switch (field.kind) {
    case TFieldKind::Expr: kind = "expression"; break;
    case TFieldKind::String: kind = "text"; break;
    case TFieldKind::Int32:
        switch (field.role) {
        case TFieldRole::JumpTarget: kind = "label name or command index"; break;
        case TFieldRole::Plain: kind = "number"; break;
        default: kind = "computed from the loop (a number overrides it)"; break;
        }
        break;
    case TFieldKind::Byte: kind = "number (yes/no)"; break;
    case TFieldKind::ExprList: kind = "expressions (repeat the key once per item)"; break;
    case TFieldKind::Text: kind = "tagged message text"; break;
    case TFieldKind::Properties: kind = "component properties as `PR_NAME: expression`"; break;
    }
    std::string text = "`" + std::string(field.name) + "`: " + kind;
    if (field.defaults_true) text += ", TRUE when omitted";
    if (field.after_version >= 0) text += ", page version " + std::to_string(field.after_version + 1) + " and later";
    return text;
}

void Commands(std::string& out)
{
    out += "## Commands\n\nOne command per line, `Name key: value; key: value` (see `docs/page-source.md`). "
           "Every command also takes `continue:`, `disabled:`, `line:` and `depth:`.\n\n"
           "| id | command | caption | operands |\n|---:|---|---|---|\n";
    for (int id = 0; id < kCommandCount; ++id) {
        const TCommandInfo* info = CommandInfoOf(id);
        if (!info) continue;
        std::string operands;
        for (const TFieldInfo& field : info->fields) operands += (operands.empty() ? "" : "; ") + FieldText(field);
        out += "| " + std::to_string(id) + " | `" + info->name + "` | " + info->caption + " | " +
               (operands.empty() ? "-" : operands) + " |\n";
    }
}

void Functions(std::string& out)
{
    out += "\n## Built-in functions\n\nNames are matched exactly (letter case counts).\n\n"
           "| function | arguments | result |\n|---|---|---|\n";
    for (const TSysFuncInfo& function : kSysFuncTable) {
        std::string arguments = std::to_string(function.min_args);
        if (function.max_args < 0) arguments += " or more";
        else if (function.max_args != function.min_args) arguments += "-" + std::to_string(function.max_args);
        const std::string result = function.result_type == 0 ? "the property's type" : TypeName(function.result_type);
        out += "| `" + Cp932ToUtf8(function.name) + "` | " + arguments + " | " + result + " |\n";
    }
}

void SystemVariables(std::string& out)
{
    out += "\n## System variables\n\n| variable | type | written by scripts |\n|---|---|---|\n";
    for (const TSystemVariableInfo& variable : SystemVariableTable()) {
        out += "| `" + Cp932ToUtf8(variable.name) + "` | " +
               (variable.type == PT_NONE ? std::string("that of what it stands for") : TypeName(variable.type)) + " | " +
               (variable.writable ? "yes" : "no") + " |\n";
    }
}

void Properties(std::string& out)
{
    out += "\n## Component properties\n\nGiven to the creating commands by name (`ImgNew PR_SOURCE: \"cg\\\\bg.fsk\"`), "
           "and to `GetProp`/`SetProp` by name or number (`property: PR_TOP` stores the id).\n\n| id | property | type |\n|---:|---|---|\n";
    for (int id = 0; id < kPropertyCount; ++id) {
        const TPropertyName* property = PropertyNameOf(id);
        out += "| " + std::to_string(id) + " | `" + property->name + "` | " + TypeName(property->type) + " |\n";
    }
}

}  // namespace

std::string AuthoringReference()
{
    std::string out =
        "# Authoring reference\n\n"
        "Written by `mobupack doc docs/authoring` from the player's own tables; do not edit by hand.\n\n"
        "## Values\n\n"
        "- Colours are numbers `0xBBGGRR` (blue in the high byte): red is `0x0000FF`.\n"
        "- Paths inside the game use `\\` and compare without letter case: `\"cg\\\\bg.fsk\"` in a page source.\n"
        "- Event strings name a page and a label: `\"title.msb:clicked\"`.\n"
        "- Expressions: `*` `/` `%` bind first, then `+` `-`, then `<<` `>>`, then the comparisons "
        "`==` `<>` `<` `>` `<=` `>=`, then `++` (joins strings), then `&`, `^`, `|`, and `=` (assignment) last. "
        "`!=`, `&&`, `||` and `!` are not operators of the language: write `<>`, `&` and `|` (bitwise; a "
        "result of 0 reads as FALSE) and `Not(x)`.\n\n";
    Commands(out);
    Functions(out);
    SystemVariables(out);
    Properties(out);
    return out;
}

}  // namespace mobu::mobupack
