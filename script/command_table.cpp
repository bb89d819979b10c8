#include "script/command_table.h"

namespace mobu {
namespace {

using K = TFieldKind;
using R = TFieldRole;

std::vector<TCommandInfo> MakeTable()
{
    const std::vector<TFieldInfo> props = {{K::Properties, "props", -1}};
    const std::vector<TFieldInfo> cond = {{K::Expr, "cond", -1}};
    const std::vector<TFieldInfo> component = {{K::Expr, "component", -1}};
    const std::vector<TFieldInfo> cabinet = {
        {K::Properties, "props", -1}, {K::Expr, "invert", -1}, {K::ExprList, "names", -1}};
    return {
        {CI_IF, "If", "IF", cond},
        {CI_ELSEIF, "Elseif", "ELSE IF", cond},
        {CI_ELSE, "Else", "ELSE", {}},
        {CI_LABEL, "Label", "ラベル", {{K::String, "name", -1}}},
        {CI_JUMP, "Jump", "ジャンプ",
         {{K::String, "page", -1}, {K::Int32, "target", -1, R::JumpTarget}, {K::Expr, "cond", -1, R::Plain, true}}},
        {CI_CALL, "Call", "コール",
         {{K::String, "page", -1},
          {K::Int32, "target", -1, R::JumpTarget},
          {K::String, "result", -1},
          {K::Expr, "cond", -1, R::Plain, true},
          {K::ExprList, "args", -1}}},
        {CI_EXIT, "Exit", "リターン", {{K::Expr, "cond", -1, R::Plain, true}}},
        {CI_WAIT, "Wait", "ウエイト", {{K::Expr, "cond", -1}, {K::Expr, "time", -1}, {K::Expr, "hold", 106}}},
        {CI_BOXNEW, "BoxNew", "矩形サーフェス作成", props},
        {CI_IMGNEW, "ImgNew", "画像サーフェス作成", props},
        {CI_MESNEW, "MesNew", "メッセージボックス作成", props},
        {CI_TIMER, "Timer", "タイマー", props},
        {CI_MOVIE, "Movie", "ムービー再生", props},
        {CI_FLIP, "Flip", "フリップ",
         {{K::Expr, "transition", -1},
          {K::Expr, "duration", -1},
          {K::Expr, "flag", -1},
          {K::Expr, "mode", -1},
          {K::ExprList, "names", -1},
          {K::Expr, "clear", -1},
          {K::Expr, "param1", -1},
          {K::Expr, "param2", -1},
          {K::Expr, "text", 100},
          {K::Expr, "hold", 106}}},
        {CI_CALC, "Calc", "計算", {{K::Expr, "expr", -1}}},
        {CI_VARNEW, "VarNew", "変数作成",
         {{K::String, "name", -1}, {K::Byte, "type", -1}, {K::Expr, "value", -1}, {K::Byte, "scope", -1}}},
        {CI_VARDEL, "VarDel", "変数削除", {{K::String, "name", -1}}},
        {CI_GETPROP, "GetProp", "プロパティ取得",
         {{K::Expr, "component", -1}, {K::Expr, "property", -1}, {K::String, "variable", -1}}},
        {CI_SETPROP, "SetProp", "プロパティ設定",
         {{K::Expr, "component", -1}, {K::Expr, "property", -1}, {K::Expr, "value", -1}}},
        {CI_OBJDEL, "ObjDel", "コンポーネント削除", component},
        {CI_TEXTINS, "TextIns", "テキスト挿入",
         {{K::Text, "text", -1}, {K::Expr, "box", -1}, {K::Expr, "read", -1}, {K::Expr, "wait", -1},
          {K::Expr, "hold", 106}}},
        {CI_MOVIESTOP, "MovieStop", "メディア停止",
         {{K::Expr, "component", -1}, {K::Expr, "fade", -1}, {K::Expr, "wait", -1}, {K::Expr, "hold", 106}}},
        {CI_CLRHIST, "ClrHist", "履歴クリア", {}},
        {CI_CINEMA, "Cinema", "シネマサーフェス作成", props},
        {CI_CAPTION, "Caption", "キャプション作成", props},
        {CI_MENU, "Menu", "メニュー作成", props},
        {CI_MENUCLOSE, "MenuClose", "メニュークローズ", component},
        {CI_COMMENT, "Comment", "コメント", {{K::String, "text", -1}}},
        {CI_TEXTCLR, "TextClr", "テキストクリア", {{K::Expr, "box", -1}}},
        {CI_CALLHIST, "CallHist", "履歴呼出",
         {{K::Expr, "box", -1}, {K::Expr, "first", -1}, {K::Expr, "count", -1}, {K::Expr, "flag", -1},
          {K::Expr, "format", 110}}},
        {CI_BUTTON, "Button", "ボタン作成", props},
        {CI_WHILE, "While", "ループ", {{K::Expr, "cond", -1}, {K::Int32, "exit", -1, R::LoopExit}}},
        {CI_WHILEINIT, "WhileInit", "ループ初期化", {{K::Expr, "expr", -1}}},
        {CI_WHILELOOP, "WhileLoop", "ループ再初期化", {{K::Expr, "expr", -1}, {K::Int32, "head", -1, R::LoopHead}}},
        {CI_BREAK, "Break", "ループ脱出",
         {{K::Expr, "cond", -1, R::Plain, true}, {K::Int32, "target", -1, R::BreakTarget}}},
        {CI_CONTINUE, "Continue", "ループ先頭へ",
         {{K::Expr, "cond", -1, R::Plain, true}, {K::Int32, "target", -1, R::ContinueTarget}}},
        {CI_PARTICLENEW, "ParticleNew", "パーティクルサーフェス作成", props},
        {CI_FIRENEW, "FireNew", "炎サーフェス作成", props},
        {CI_GAMESAVE, "GameSave", "ゲームセーブ",
         {{K::Expr, "slot", -1}, {K::String, "page", -1}, {K::Int32, "index", 104}, {K::Expr, "caption", -1}}},
        {CI_GAMELOAD, "GameLoad", "ゲームロード", {{K::Expr, "slot", -1}}},
        {CI_PCRESET, "PCReset", "PCリセット",
         {{K::String, "page", -1}, {K::Int32, "target", -1, R::JumpTarget}, {K::Byte, "all", -1}}},
        {CI_RESET, "Reset", "リセット",
         {{K::String, "page", -1}, {K::Int32, "target", -1, R::JumpTarget}, {K::Byte, "unused", -1}}},
        {CI_SOUND, "Sound", "サウンド再生", props},
        {CI_EDITNEW, "EditNew", "エディット作成", props},
        {CI_MEMONEW, "MemoNew", "メモ作成", props},
        {CI_TERMINATE, "Terminate", "終了", {}},
        {CI_DOEVENT, "DoEvent", "DoEvent", {}},
        {CI_CLRREAD, "ClrRead", "既読クリア", {}},
        {CI_MAPIMGNEW, "MapImgNew", "選択画像作成", props},
        {CI_WAVENEW, "WaveNew", "ウエーブサーフェス作成", props},
        {CI_TILENEW, "TileNew", "タイルサーフェス作成", props},
        {CI_SLIDERNEW, "SliderNew", "スライダー作成", props},
        {CI_SCROLLBARNEW, "ScrollbarNew", "スクロールバー作成", props},
        {CI_GAUGENEW, "GaugeNew", "ゲージ作成", props},
        {CI_CGCAPTION, "CGCaption", "画像キャプション作成", props},
        {CI_MEDIAPLAY, "MediaPlay", "メディア再生", component},
        {CI_PREVMENUNEW, "PrevMenuNew", "プレビューメニュー作成", props},
        {CI_PROPMOTION, "PropMotion", "プロパティモーション",
         {{K::Expr, "motion", -1}, {K::Expr, "component", -1}, {K::Expr, "property", -1}, {K::Expr, "value", -1},
          {K::Expr, "time", -1}, {K::Expr, "type", -1}, {K::Expr, "flag", 107}}},
        {CI_FORMATHIST, "FormatHist", "履歴書式登録", {{K::Expr, "component", -1}, {K::Expr, "format", 110}}},
        {CI_SAVECABINET, "SaveCabinet", "キャビネット保存", cabinet},
        {CI_LOADCABINET, "LoadCabinet", "キャビネット復帰", cabinet},
    };
}

const std::vector<TCommandInfo>& Table()
{
    static const std::vector<TCommandInfo> table = MakeTable();
    return table;
}

}  // namespace

bool TCommandInfo::HasProperties() const
{
    return !fields.empty() && fields.front().kind == TFieldKind::Properties;
}

const TCommandInfo* CommandInfoOf(int id)
{
    if (id < 0 || id >= kCommandCount) return nullptr;
    return &Table()[static_cast<size_t>(id)];
}

const TCommandInfo* CommandInfoByName(std::string_view name)
{
    for (const auto& info : Table()) {
        if (name == info.name) return &info;
    }
    return nullptr;
}

}  // namespace mobu
