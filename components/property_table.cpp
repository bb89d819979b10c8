#include "components/property_table.h"

#include <cstring>

#include "expr/param_conversion.h"

namespace mobu {
namespace {

// id, name, caption, declared type, default (int/flag, text), creation parameter,
// answered by (bit per type code), neutral int/flag.
const TPropertyInfo kProperties[kPropertyCount] = {
    {0, "PR_NAME", u8"名前", PT_STR, 0, "", true, 0xFFFFFFFFu, 0},
    {1, "PR_PARENT", u8"親", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {2, "PR_SOURCE", u8"ソース", PT_STR, 0, "", true, 0x03F7439Cu, 0},
    {3, "PR_LEFT", u8"X座標", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {4, "PR_TOP", u8"Y座標", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {5, "PR_WIDTH", u8"幅", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {6, "PR_HEIGHT", u8"高さ", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {7, "PR_ZOOMX", u8"ズームX", PT_INT, 256, "", true, 0x00110348u, 256},
    {8, "PR_COLOR", u8"色", PT_INT, -1, "", true, 0x0BFD7B7Cu, 0xFFFFFF},
    {9, "PR_BORDERWIDTH", u8"枠幅", PT_INT, 0, "", true, 0x00001004u, 0},
    {10, "PR_BORDERCOLOR", u8"枠色", PT_INT, -1, "", true, 0x00001004u, -1},
    {11, "PR_ALPHA", u8"アルファ", PT_INT, 255, "", true, 0x01F5730Cu, 255},
    {12, "PR_PRIORITY", u8"プライオリティ", PT_INT, 0, "", true, 0xFFFFFFFFu, 0},
    {13, "PR_OFFSETX", u8"X中心座標", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {14, "PR_OFFSETY", u8"Y中心座標", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {15, "PR_FONTNAME", u8"フォント名", PT_STR, 0, "", true, 0x00003A28u, 0},
    {16, "PR_FONTHEIGHT", u8"フォントサイズ", PT_INT, 16, "", true, 0x00003A28u, 0},
    {17, "PR_FONTSTYLE", u8"フォントスタイル", PT_INT, 0, "", true, 0x00001A28u, 0},
    {18, "PR_LINESPACE", u8"行間", PT_INT, 0, "", true, 0x01003200u, 0},
    {19, "PR_FONTCOLOR", u8"フォント色", PT_INT, 0, "", true, 0x00003A28u, 0},
    {20, "PR_FONTLINKCOLOR", u8"リンクの色", PT_INT, 0, "", true, 0x00002000u, 0},
    {21, "PR_FONTBORDERCOLOR", u8"フォントの縁の色", PT_INT, 0, "", true, 0x00003000u, 0},
    {22, "PR_FONTHOVERCOLOR", u8"マウスオーバー時の\r\nフォント色", PT_INT, 0, "", true, 0x00003000u, 0},
    {23, "PR_FONTHOVERSTYLE", u8"マウスオーバー時の\r\nフォントスタイル", PT_INT, 0, "", true, 0x00001000u, 0},
    {24, "PR_HOVERCOLOR", u8"マウスオーバー時の色", PT_INT, -1, "", true, 0x00001000u, -1},
    {25, "PR_ANTIALIAS", u8"アンチエイリアス", PT_BOOL, 0, "", true, 0x00003208u, 0},
    {26, "PR_DELAY", u8"ウエイト", PT_INT, 0, "", true, 0x008BB000u, 0},
    {27, "PR_PAUSED", u8"停止", PT_BOOL, 0, "", true, 0x07FFFB7Cu, 0},
    {28, "PR_VOLUME", u8"音量", PT_INT, 1000, "", true, 0x00030010u, 0},
    {29, "PR_REPEAT", u8"リピート", PT_BOOL, 0, "", true, 0x0017031Cu, 0},
    {30, "PR_BALANCE", u8"バランス", PT_INT, 0, "", true, 0x00030000u, 0},
    {31, "PR_ANGLE", u8"角度", PT_INT, 0, "", true, 0x00110308u, 0},
    {32, "PR_ONPLAYING", u8"再生中", PT_BOOL, 0, "", true, 0x00002000u, 0},
    {33, "PR_ONNOTIFY", u8"汎用イベント", PT_STR, 0, "", true, 0x0060A828u, 0},
    {34, "PR_ONMOUSEMOVE", u8"マウス移動", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {35, "PR_ONMOUSEOUT", u8"マウスアウト", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {36, "PR_ONLBTNDOWN", u8"左ボタンダウン", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {37, "PR_ONLBTNUP", u8"左ボタンアップ", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {38, "PR_ONRBTNDOWN", u8"右ボタンダウン", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {39, "PR_ONRBTNUP", u8"右ボタンアップ", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {40, "PR_ONWHEELDOWN", u8"ホイールダウン", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {41, "PR_ONWHEELUP", u8"ホイールアップ", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {42, "PR_BRIGHTNESS", u8"明るさ", PT_INT, 0, "", true, 0x00140108u, 255},
    {43, "PR_ONPLAYEND", u8"再生終了", PT_STR, 0, "", true, 0x0203239Cu, 0},
    {44, "PR_INDEX", u8"インデックス", PT_INT, 0, "", true, 0x00137118u, -1},
    {45, "PR_COUNT", u8"カウント", PT_INT, 0, "", true, 0x02133118u, 0},
    {46, "PR_ONLINK", u8"リンク", PT_STR, 0, "", true, 0x00002000u, 0},
    {47, "PR_VISIBLE", u8"可視", PT_BOOL, 1, "", true, 0x0BFD7B7Cu, 0},
    {48, "PR_COLCOUNT", u8"列数", PT_INT, 1, "", true, 0x00000000u, 0},
    {49, "PR_ROWCOUNT", u8"行数", PT_INT, 1, "", true, 0x00001000u, 0},
    {50, "PR_TEXT", u8"テキスト", PT_STR, 0, "", true, 0x03003AA8u, 0},
    {51, "PR_MARGINX", u8"左右の余白", PT_INT, 0, "", true, 0x00001000u, 0},
    {52, "PR_MARGINY", u8"上下の余白", PT_INT, 0, "", true, 0x00001000u, 0},
    {53, "PR_HALIGN", u8"横の揃え", PT_INT, 0, "", true, 0x01001A00u, 0},
    {54, "PR_BORDERSOURCETL", u8"枠画像(左上)", PT_STR, 0, "", true, 0x00001000u, 0},
    {55, "PR_BORDERSOURCETC", u8"枠画像(上)", PT_STR, 0, "", true, 0x00001000u, 0},
    {56, "PR_BORDERSOURCETR", u8"枠画像(右上)", PT_STR, 0, "", true, 0x00001000u, 0},
    {57, "PR_BORDERSOURCECL", u8"枠画像(左)", PT_STR, 0, "", true, 0x00001000u, 0},
    {58, "PR_BORDERSOURCECC", u8"枠画像(背景)", PT_STR, 0, "", true, 0x00001000u, 0},
    {59, "PR_BORDERSOURCECR", u8"枠画像(右)", PT_STR, 0, "", true, 0x00001000u, 0},
    {60, "PR_BORDERSOURCEBL", u8"枠画像(左下)", PT_STR, 0, "", true, 0x00001000u, 0},
    {61, "PR_BORDERSOURCEBC", u8"枠画像(下)", PT_STR, 0, "", true, 0x00001000u, 0},
    {62, "PR_BORDERSOURCEBR", u8"枠画像(右下)", PT_STR, 0, "", true, 0x00001000u, 0},
    {63, "PR_BORDERHALIGNT", u8"枠横揃え(上)", PT_INT, 0, "", true, 0x00001000u, 0},
    {64, "PR_BORDERHALIGNC", u8"枠横揃え(背景)", PT_INT, 0, "", true, 0x00001000u, 0},
    {65, "PR_BORDERHALIGNB", u8"枠横揃え(下)", PT_INT, 0, "", true, 0x00001000u, 0},
    {66, "PR_BORDERVALIGNL", u8"枠縦揃え(左)", PT_INT, 0, "", true, 0x00001000u, 0},
    {67, "PR_BORDERVALIGNC", u8"枠縦揃え(背景)", PT_INT, 0, "", true, 0x00001000u, 0},
    {68, "PR_BORDERVALIGNR", u8"枠縦揃え(右)", PT_INT, 0, "", true, 0x00001000u, 0},
    {69, "PR_SCROLLSOURCE", u8"スクロールバー画像", PT_STR, 0, "", true, 0x00001000u, 0},
    {70, "PR_CHECKSOURCE", u8"チェック画像", PT_STR, 0, "", true, 0x00001000u, 0},
    {71, "PR_AUTOSCRAP", u8"自動破棄", PT_BOOL, 0, "", true, 0x0207931Cu, 0},
    {72, "PR_ONSELECT", u8"選択", PT_STR, 0, "", true, 0x02041000u, 0},
    {73, "PR_RCLICKSCRAP", u8"右クリックで破棄", PT_BOOL, 0, "", true, 0x02041000u, 0},
    {74, "PR_ONOPENING", u8"オープン前", PT_STR, 0, "", true, 0x00001000u, 0},
    {75, "PR_ONOPENED", u8"オープン後", PT_STR, 0, "", true, 0x00001000u, 0},
    {76, "PR_ONCLOSING", u8"クローズ前", PT_STR, 0, "", true, 0x00001000u, 0},
    {77, "PR_ONCLOSED", u8"クローズ後", PT_STR, 0, "", true, 0x00001000u, 0},
    {78, "PR_CARETX", u8"キャレットX", PT_INT, 0, "", false, 0x00002000u, 0},
    {79, "PR_CARETY", u8"キャレットY", PT_INT, 0, "", false, 0x00002000u, 0},
    {80, "PR_IGNOREMOUSE", u8"マウス透過", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {81, "PR_TEXTPAUSED", u8"テキスト一時停止", PT_BOOL, 0, "", true, 0x00002000u, 0},
    {82, "PR_TEXTDELAY", u8"テキストウエイト率", PT_INT, 256, "", true, 0x00002000u, 256},
    {83, "PR_HOVERSOURCE", u8"マウスオーバー時の\r\n画像", PT_STR, 0, "", true, 0x00040008u, 0},
    {84, "PR_PRESSEDSOURCE", u8"押された時の画像", PT_STR, 0, "", true, 0x00000008u, 0},
    {85, "PR_GROUPINDEX", u8"グループ番号", PT_INT, 0, "", true, 0x00000008u, 0},
    {86, "PR_ALLOWALLUP", u8"全解除許可", PT_BOOL, 0, "", true, 0x00000008u, 0},
    {87, "PR_SELECTED", u8"選択", PT_BOOL, 0, "", true, 0x00000008u, 0},
    {88, "PR_CAPTUREMASK", u8"マウス位置を\r\nマスクで判断", PT_BOOL, 0, "", true, 0x00710108u, 0},
    {89, "PR_POWER", u8"強さ", PT_INT, 0, "", true, 0x00000040u, 0},
    {90, "PR_ORIGWIDTH", u8"元の幅", PT_INT, 0, "", true, 0x01110148u, 0},
    {91, "PR_ORIGHEIGHT", u8"元の高さ", PT_INT, 0, "", true, 0x01111148u, 0},
    {92, "PR_APPEARX", u8"X発生座標", PT_INT, 0, "", false, 0x00000000u, 0},
    {93, "PR_APPEARY", u8"Y発生座標", PT_INT, 0, "", false, 0x00000000u, 0},
    {94, "PR_PARTMOTION", u8"動作タイプ", PT_INT, 0, "", true, 0x00004000u, 1},
    {95, "PR_PARAM1", u8"パラメータ1", PT_FLOAT, 0, "", true, 0x00004000u, 0},
    {96, "PR_PARAM2", u8"パラメータ2", PT_FLOAT, 0, "", true, 0x00004000u, 0},
    {97, "PR_TOPINDEX", u8"最上部インデックス", PT_INT, 0, "", true, 0x00001000u, 0},
    {98, "PR_READONLY", u8"編集禁止", PT_BOOL, 0, "", true, 0x00000820u, 0},
    {99, "PR_CURSOR", u8"カーソル", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {100, "PR_POSZOOMED", u8"ズーム座標", PT_BOOL, 0, "", true, 0x0BFD7B7Cu, 0},
    {101, "PR_ONPLAYSTART", u8"再生開始", PT_STR, 0, "", true, 0x00002000u, 0},
    {102, "PR_PARAM3", u8"パラメータ3", PT_FLOAT, 0, "", true, 0x00004000u, 0},
    {103, "PR_ONMOUSEIN", u8"マウスイン", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {104, "PR_ONMAPIN", u8"マップイン", PT_STR, 0, "", true, 0x02041000u, 0},
    {105, "PR_ONMAPOUT", u8"マップアウト", PT_STR, 0, "", true, 0x02041000u, 0},
    {106, "PR_MAPSOURCE", u8"マップ", PT_STR, 0, "", true, 0x00040000u, 0},
    {107, "PR_AMP", u8"振幅", PT_INT, 1, "", true, 0x00080000u, 0},
    {108, "PR_WAVELEN", u8"波長", PT_INT, 100, "", true, 0x00080000u, 0},
    {109, "PR_SCROLLX", u8"スクロールX", PT_INT, 0, "", true, 0x00100000u, 0},
    {110, "PR_SCROLLY", u8"スクロールY", PT_INT, 0, "", true, 0x00102000u, 0},
    {111, "PR_FLIPH", u8"横反転", PT_BOOL, 0, "", true, 0x00110308u, 0},
    {112, "PR_FLIPV", u8"縦反転", PT_BOOL, 0, "", true, 0x00110308u, 0},
    {113, "PR_ONIDLE", u8"アイドル", PT_STR, 0, "", true, 0x03FD735Cu, 0},
    {114, "PR_DISTANCEX", u8"横の間隔", PT_INT, 0, "", true, 0x00100000u, 0},
    {115, "PR_DISTANCEY", u8"縦の間隔", PT_INT, 0, "", true, 0x00100000u, 0},
    {116, "PR_CLIPLEFT", u8"クリップX", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {117, "PR_CLIPTOP", u8"クリップY", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {118, "PR_CLIPWIDTH", u8"クリップ幅", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {119, "PR_CLIPHEIGHT", u8"クリップ高さ", PT_INT, 0, "", true, 0x0BFD7B7Cu, 0},
    {120, "PR_DURATION", u8"持続時間", PT_INT, 0, "", true, 0x00804000u, 0},
    {121, "PR_THUMBSOURCE", u8"つまみ画像", PT_STR, 0, "", true, 0x00600000u, 0},
    {122, "PR_BUTTONSOURCE", u8"ボタン画像", PT_STR, 0, "", true, 0x00600000u, 0},
    {123, "PR_MIN", u8"最小値", PT_INT, 0, "", true, 0x00E00000u, 0},
    {124, "PR_MAX", u8"最大値", PT_INT, 0, "", true, 0x00E00000u, 0},
    {125, "PR_VALUE", u8"値", PT_INT, 0, "", true, 0x00E00000u, 0},
    {126, "PR_ORIENTATION", u8"方向", PT_INT, 0, "", true, 0x00E00000u, 0},
    {127, "PR_SMALLCHANGE", u8"変化量", PT_INT, 1, "", true, 0x00600000u, 1},
    {128, "PR_LARGECHANGE", u8"大きい変化量", PT_INT, 1, "", true, 0x00400000u, 1},
    {129, "PR_MAPTEXT", u8"マップテキスト", PT_STR, 0, "", true, 0x01000000u, 0},
    {130, "PR_GLYPHWIDTH", u8"１個の幅", PT_INT, 1, "", true, 0x01000000u, 0},
    {131, "PR_GLYPHHEIGHT", u8"１個の高さ", PT_INT, 1, "", true, 0x01000000u, 0},
    {132, "PR_ZOOMY", u8"ズームY", PT_INT, 256, "", true, 0x00110348u, 256},
    {133, "PR_CLICKEDSOURCE", u8"クリック後の画像", PT_STR, 0, "", true, 0x00000008u, 0},
    {134, "PR_ANIPAUSED", u8"動画停止", PT_BOOL, 0, "", true, 0x0BFF7B7Cu, 0},
    {135, "PR_ONHOLD", u8"ホールド", PT_STR, 0, "", true, 0x00600000u, 0},
    {136, "PR_ONRELEASE", u8"リリース", PT_STR, 0, "", true, 0x00600000u, 0},
    {137, "PR_REVERSE", u8"逆方向", PT_BOOL, 0, "", true, 0x00800000u, 0},
    {138, "PR_PLAYING", u8"再生中", PT_BOOL, 0, "", false, 0x0FFF7B7Cu, 0},
    {139, "PR_REWINDONLOAD", u8"ロード時巻き戻し", PT_BOOL, 0, "", true, 0x00030010u, 1},
    {140, "PR_COMPOTYPE", u8"コンポーネントの種類", PT_INT, 0, "", false, 0xFFFFFFFFu, 0},
    {141, "PR_FONTSHADOWCOLOR", u8"フォントの影の色", PT_INT, 0, "", true, 0x00003000u, 0},
    {142, "PR_FONTBORDER", u8"フォントの縁の幅", PT_INT, 0, "", true, 0x00003000u, 0},
    {143, "PR_FONTSHADOW", u8"フォントの影の位置", PT_INT, 0, "", true, 0x00003000u, 0},
    {144, "PR_ONKEYDOWN", u8"キーダウン", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {145, "PR_ONKEYUP", u8"キーアップ", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {146, "PR_ONKEYREPEAT", u8"キーリピート", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {147, "PR_HANDLEKEY", u8"キー処理", PT_INT, false, "", true, 0x0BFD7B7Cu, 0},
    {148, "PR_ONFOCUSIN", u8"フォーカスイン", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {149, "PR_ONFOCUSOUT", u8"フォーカスアウト", PT_STR, 0, "", true, 0x0BFD7B7Cu, 0},
    {150, "PR_OVERLAY", u8"オーバーレイ", PT_BOOL, 1, "", true, 0x00010000u, 1},
    {151, "PR_TAG", u8"タグ", PT_STR, 0, "", true, 0xFFFFFFFFu, 0},
    {152, "PR_CAPTURELINK", u8"マウス判定を\r\nリンク文字のみ", PT_BOOL, 0, "", true, 0x00002000u, 0},
    {153, "PR_FONTHOVERBORDER", u8"マウスオーバー時の\r\nフォントの縁の幅", PT_INT, 0, "", true, 0x00001000u, 0},
    {154, "PR_FONTHOVERBORDERCOLOR", u8"マウスオーバー時の\r\nフォントの縁の色", PT_INT, 0, "", true, 0x00001000u, 0},
    {155, "PR_FONTHOVERSHADOW", u8"マウスオーバー時の\r\nフォントの影の位置", PT_INT, 0, "", true, 0x00001000u, 0},
    {156, "PR_FONTHOVERSHADOWCOLOR", u8"マウスオーバー時の\r\nフォントの影の色", PT_INT, 0, "", true, 0x00001000u, 0},
    {157, "PR_BARSIZE", u8"バーの長さ", PT_INT, 0, "", true, 0x00E00000u, 0},
    {158, "PR_MUTEONLOAD", u8"ロード時ミュート", PT_BOOL, 0, "", true, 0x00030010u, 0},
    {159, "PR_PLUSX", u8"X座標加算値", PT_INT, 0, "", false, 0x0BFD7B7Cu, 0},
    {160, "PR_PLUSY", u8"Y座標加算値", PT_INT, 0, "", false, 0x0BFD7B7Cu, 0},
    {161, "PR_CARETHEIGHT", u8"キャレットの高さ", PT_INT, 0, "", false, 0x00002000u, 0},
    {162, "PR_REPEATPOS", u8"リピート位置", PT_INT, 0, "", true, 0x00020000u, 0},
    {163, "PR_BLURSPAN", u8"残像発生時間", PT_INT, 0, "", true, 0x0011010Cu, 0},
    {164, "PR_BLURDELAY", u8"残像消滅時間", PT_INT, 0, "", true, 0x0011010Cu, 0},
};

constexpr uint32_t kAllBits = 0xFFFFFFFFu;

}  // namespace

const TPropertyInfo& PropertyInfo(int id)
{
    if (id < 0 || id >= kPropertyCount) return kProperties[0];
    return kProperties[id];
}

bool TypeAnswers(int code, int id)
{
    if (id < 0 || id >= kPropertyCount) return false;
    uint32_t bits = kProperties[id].answered_by;
    if (bits == kAllBits) return true;
    if (code <= 0 || code >= kComponentTypeCount) return false;
    return (bits >> code) & 1u;
}

bool IsControlProperty(int id)
{
    // The cabinet answers exactly the properties TMobuControl itself holds (besides the
    // every-object ones).
    return TypeAnswers(LT_CABINET, id) && id != PR_PLAYING;
}

uint8_t StoredType(int id)
{
    if (id == PR_ONPLAYING) return PT_STR;
    if (id == PR_HANDLEKEY) return PT_BOOL;
    return PropertyInfo(id).type;
}

TPropValue DefaultValue(int id)
{
    const TPropertyInfo& info = PropertyInfo(id);
    switch (StoredType(id)) {
        case PT_STR: return TPropValue::Text(info.default_text);
        case PT_FLOAT: return TPropValue::Float(0);
        case PT_BOOL: return TPropValue::Flag(info.default_integer != 0);
        default: return TPropValue::Int(info.default_integer);
    }
}

TPropValue NeutralValue(int id)
{
    const TPropertyInfo& info = PropertyInfo(id);
    switch (info.type) {
        case PT_STR: return TPropValue::Text("");
        case PT_FLOAT: return TPropValue::Float(0);
        case PT_BOOL: return TPropValue::Flag(info.neutral_integer != 0);
        default: return TPropValue::Int(info.neutral_integer);
    }
}

bool IsEventProperty(int id) { return std::strncmp(PropertyInfo(id).name, "PR_ON", 5) == 0; }

bool IsReadOnlyProperty(int id)
{
    return id == PR_CARETX || id == PR_CARETY || id == PR_CARETHEIGHT || id == PR_PLAYING || id == PR_COMPOTYPE;
}

}  // namespace mobu
