// mobupack expr TEXT...: compiles expressions (UTF-8 text) and runs them in order against one
// fresh variable table and function manager, printing each one's operations, one per line,
// then "= " and its result. Options declare variables, register game files, seed Random and
// dump the variables as JSON afterwards.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>

#include "app/game_location.h"
#include "archive/vr_file_manager.h"
#include "components/component_functions.h"
#include "components/history_functions.h"
#include "core/mobu_error.h"
#include "core/script_log.h"
#include "expr/build_mobu_parser.h"
#include "expr/custom_param.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"
#include "expr/dbs/db_functions.h"
#include "expr/dbs/db_json.h"
#include "expr/dbs/db_manager.h"
#include "expr/mobu_parser.h"
#include "expr/opcodes.h"
#include "expr/param_collection.h"
#include "expr/param_types.h"
#include "expr/sys_func_man.h"
#include "expr/script_random.h"
#include "expr/sys_func_table.h"
#include "expr/variables_json.h"
#include "platform/real_files.h"
#include "platform/text_encoding.h"
#include "tools/mobupack/command_registry.h"

namespace mobu::mobupack {
namespace {

// The shortest decimal form that reads back as the same 80-bit real.
std::string RealText(Real value)
{
    char buffer[64];
    for (int digits = 1; digits <= 21; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*Lg", digits, value);
        if (std::strtold(buffer, nullptr) == value) break;
    }
    std::string text = buffer;
    if (text.find_first_of(".eEn") == std::string::npos) text += ".0";  // a real always reads as one
    return text;
}

std::string Quoted(std::string_view cp932) { return "\"" + Cp932ToUtf8(cp932) + "\""; }

std::string OperandText(const TOperand& operand)
{
    switch (operand.Tag) {
    case otInteger: return std::to_string(operand.Integer);
    case otReal: return RealText(operand.Float);
    case otFlag: return operand.Flag ? "TRUE" : "FALSE";
    case otString: return Quoted(operand.Text);
    default: return Cp932ToUtf8(operand.Text);
    }
}

std::string OperationText(const TOpeData& op)
{
    std::string line = OpcodeName(op.Opcode) + " " + Cp932ToUtf8(op.Dest) + " = ";
    if (op.Opcode == ocFunc) {
        line += op.FuncId < kSysFuncCount ? kSysFuncTable[op.FuncId].name : "?" + std::to_string(op.FuncId);
        line += "(";
    }
    for (size_t i = 0; i < op.Operands.size(); ++i) line += (i ? ", " : "") + OperandText(op.Operands[i]);
    if (op.Opcode == ocFunc) line += ")";
    return line;
}

std::string ElementText(const TCustomParam& value, int32_t index)
{
    switch (value.VarType()) {
    case PT_INT: return std::to_string(value.GetIntegerAt(index));
    case PT_FLOAT: return RealText(value.GetFloatAt(index));
    case PT_BOOL: return value.GetFlagAt(index) ? "TRUE" : "FALSE";
    default: return Quoted(value.GetStringAt(index));
    }
}

std::string ValueText(const TCustomParam& value)
{
    if (value.Dims.empty()) return ElementText(value, 0);
    std::string text = "[";
    for (int32_t i = 0; i < value.Count(); ++i) text += (i ? ", " : "") + ElementText(value, i);
    return text + "]";
}

constexpr const char* kUsage =
    "usage: mobupack expr [--game PATH]... [--var TYPE:NAME]... [--seed S] [--dump-vars FILE]\n"
    "                     [--tables FILE] [--dump-tables FILE] [--] TEXT...\n"
    "  TYPE is int, real, flag or string\n"
    "  --tables FILE: the status and game table sections, read before the first TEXT when FILE exists\n"
    "  and written back after the last one\n"
    "  --dump-tables FILE: the table database as JSON after the last TEXT\n";

struct TExprOptions {
    std::vector<std::string> games;
    std::vector<std::pair<uint8_t, std::string>> variables;
    std::optional<uint64_t> seed;
    std::string dump_path;
    std::string tables_path;
    std::string dump_tables_path;
    std::vector<std::string> texts;
};

std::optional<uint8_t> TypeCode(std::string_view name)
{
    if (name == "int") return PT_INT;
    if (name == "real") return PT_FLOAT;
    if (name == "flag") return PT_BOOL;
    if (name == "string") return PT_STR;
    return std::nullopt;
}

// Reads the command line; nothing (after printing why) when it is not valid.
std::optional<TExprOptions> ParseOptions(const std::vector<std::string>& arguments)
{
    TExprOptions options;
    bool options_end = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (options_end || argument.empty() || argument[0] != '-' || argument == "-") {
            options.texts.push_back(argument);
            continue;
        }
        if (argument == "--") {
            options_end = true;
            continue;
        }
        const bool has_value = i + 1 < arguments.size();
        if (argument == "--game" && has_value) {
            options.games.push_back(arguments[++i]);
        } else if (argument == "--var" && has_value) {
            const std::string& spec = arguments[++i];
            const size_t colon = spec.find(':');
            std::optional<uint8_t> type = colon == std::string::npos ? std::nullopt : TypeCode(spec.substr(0, colon));
            if (!type || colon + 1 >= spec.size()) return std::nullopt;
            options.variables.emplace_back(*type, spec.substr(colon + 1));
        } else if (argument == "--seed" && has_value) {
            const std::string& text = arguments[++i];
            char* end = nullptr;
            errno = 0;
            unsigned long long value = std::strtoull(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || errno != 0 || text[0] == '-') return std::nullopt;
            options.seed = value;
        } else if (argument == "--dump-vars" && has_value) {
            options.dump_path = arguments[++i];
        } else if (argument == "--tables" && has_value) {
            options.tables_path = arguments[++i];
        } else if (argument == "--dump-tables" && has_value) {
            options.dump_tables_path = arguments[++i];
        } else {
            return std::nullopt;
        }
    }
    if (options.texts.empty()) return std::nullopt;
    return options;
}

// Reads the status section and then the game section from the file, when it exists; false
// (after naming the file) when it cannot be read or is damaged.
bool ReadTablesFile(const std::string& path, TDBManager& database)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return true;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bool read = static_cast<bool>(in) || in.eof();
    if (read) {
        try {
            ByteReader reader(bytes);
            database.LoadTables(reader, true);
            database.LoadTables(reader, false);
            read = reader.AtEnd();
        } catch (const EMobuError&) {
            read = false;
        }
    }
    if (!read) std::fprintf(stderr, "%s: damaged table sections\n", path.c_str());
    return read;
}

// Writes both sections to a new file beside the old one, then puts it in its place.
bool WriteTablesFile(const std::string& path, TDBManager& database)
{
    ByteWriter bytes;
    database.SaveTables(bytes, true);
    database.SaveTables(bytes, false);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.Bytes().data(), static_cast<std::streamsize>(bytes.Size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// Compiles and runs one text; false (after printing the message) when it does not compile.
bool RunText(const std::string& utf8, TSysFuncMan& functions)
{
    TBuildMobuParser compiler;
    std::string stream;
    try {
        compiler.Compile(Utf8ToCp932(utf8));
        stream = compiler.ToStream();
    } catch (const EMobuError& error) {
        std::fprintf(stderr, "%s\n", Cp932ToUtf8(error.what()).c_str());
        return false;
    }
    TMobuParser parser;
    parser.LoadFromBytes(stream);
    for (const TOpeData& op : parser.Operations()) std::printf("%s\n", OperationText(op).c_str());
    parser.Execute(functions);
    if (!parser.LastError().empty()) std::fprintf(stderr, "stopped: %s\n", Cp932ToUtf8(parser.LastError()).c_str());
    if (const TCustomParam* result = parser.Result()) {
        std::printf("= %s\n", ValueText(*result).c_str());
    } else {
        std::printf("= (none)\n");
    }
    std::fflush(stdout);
    return true;
}

int RunExpr(const std::vector<std::string>& arguments)
{
    std::optional<TExprOptions> options = ParseOptions(arguments);
    if (!options) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (options->seed) SeedScriptRandom(*options->seed);
    ResetVrFileManager();
    if (!options->games.empty()) {
        try {
            LocateGameData(options->games, ExecutablePath());
        } catch (const EMobuError& error) {
            std::fprintf(stderr, "%s\n", Cp932ToUtf8(error.what()).c_str());
            return 1;
        }
    } else {
        VrFileManager().AddArchive("");  // "mem:" and "save:" files
    }

    TParamCollection table;
    TSysFuncMan functions(table);
    // No screen, component list or project here: the component functions find nothing.
    InstallComponentFunctions(functions);
    // No saved games or history either: no slots, and only the empty default history format.
    InstallHistoryFunctions(functions);
    THistorySystemVariables history_variables(table);
    // A fresh table database for each run, so every DB function can be tried without a game.
    TDBManager database;
    InstallDBFunctions(functions, database);
    for (const auto& [type, name] : options->variables) {
        try {
            table.AddVariable(Utf8ToCp932(name), type);
        } catch (const EMobuError& error) {
            std::fprintf(stderr, "%s\n", Cp932ToUtf8(error.what()).c_str());
            return 2;
        }
    }
    if (!options->tables_path.empty() && !ReadTablesFile(options->tables_path, database)) return 1;
    for (const std::string& text : options->texts) {
        if (!RunText(text, functions)) return 1;
    }
    if (!options->tables_path.empty() && !WriteTablesFile(options->tables_path, database)) return 1;
    if (!options->dump_tables_path.empty()) {
        std::ofstream out(options->dump_tables_path, std::ios::binary);
        WriteTablesJson(database, out);
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", options->dump_tables_path.c_str());
            return 1;
        }
    }
    if (!options->dump_path.empty()) {
        std::ofstream out(options->dump_path, std::ios::binary);
        WriteVariablesJson(table, out);
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", options->dump_path.c_str());
            return 1;
        }
    }
    return 0;
}

const CommandRegistration registration({
    "expr",
    "expr [--game PATH]... [--var TYPE:NAME]... [--seed S] [--dump-vars FILE] [--tables FILE] [--dump-tables FILE] [--] TEXT...",
    "compile and run expressions (UTF-8) in order against one fresh variable table and table database; print each "
    "one's operations and \"= result\"; --var declares a global, --game registers game folders and archives as "
    "mobuplay does, --tables reads the status and game table sections from FILE first and writes them back last, "
    "--dump-tables writes the table database as JSON",
    RunExpr,
});

}  // namespace
}  // namespace mobu::mobupack
