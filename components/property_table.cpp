#include "components/property_table.h"

#include <array>
#include <cstring>

#include "expr/param_conversion.h"
#include "script/property_names.h"

namespace mobu {
namespace {

// Caption, default (int/flag, text), creation parameter, answered by (bit per type code)
// and neutral int/flag of every property, by id. Names and declared types come from the
// script's property list, the one place that keeps them.
struct TPropertyRow {
    const char8_t* caption;
    int32_t default_integer;
    const char* default_text;
    bool creation_parameter;
    uint32_t answered_by;
    int32_t neutral_integer;
};

const TPropertyRow kRows[kPropertyCount] = {
    {u8"名前", 0, "", true, 0xFFFFFFFFu, 0},  // 0 PR_NAME
    {u8"親", 0, "", true, 0x0BFD7B7Cu, 0},  // 1 PR_PARENT
    {u8"ソース", 0, "", true, 0x03F7439Cu, 0},  // 2 PR_SOURCE
    {u8"X座標", 0, "", true, 0x0BFD7B7Cu, 0},  // 3 PR_LEFT
    {u8"Y座標", 0, "", true, 0x0BFD7B7Cu, 0},  // 4 PR_TOP
    {u8"幅", 0, "", true, 0x0BFD7B7Cu, 0},  // 5 PR_WIDTH
    {u8"高さ", 0, "", true, 0x0BFD7B7Cu, 0},  // 6 PR_HEIGHT
    {u8"ズームX", 256, "", true, 0x00110348u, 256},  // 7 PR_ZOOMX
    {u8"色", -1, "", true, 0x0BFD7B7Cu, 0xFFFFFF},  // 8 PR_COLOR
    {u8"枠幅", 0, "", true, 0x00001004u, 0},  // 9 PR_BORDERWIDTH
    {u8"枠色", -1, "", true, 0x00001004u, -1},  // 10 PR_BORDERCOLOR
    {u8"アルファ", 255, "", true, 0x01F5730Cu, 255},  // 11 PR_ALPHA
    {u8"プライオリティ", 0, "", true, 0xFFFFFFFFu, 0},  // 12 PR_PRIORITY
    {u8"X中心座標", 0, "", true, 0x0BFD7B7Cu, 0},  // 13 PR_OFFSETX
    {u8"Y中心座標", 0, "", true, 0x0BFD7B7Cu, 0},  // 14 PR_OFFSETY
    {u8"フォント名", 0, "", true, 0x00003A28u, 0},  // 15 PR_FONTNAME
    {u8"フォントサイズ", 16, "", true, 0x00003A28u, 0},  // 16 PR_FONTHEIGHT
    {u8"フォントスタイル", 0, "", true, 0x00001A28u, 0},  // 17 PR_FONTSTYLE
    {u8"行間", 0, "", true, 0x01003200u, 0},  // 18 PR_LINESPACE
    {u8"フォント色", 0, "", true, 0x00003A28u, 0},  // 19 PR_FONTCOLOR
    {u8"リンクの色", 0, "", true, 0x00002000u, 0},  // 20 PR_FONTLINKCOLOR
    {u8"フォントの縁の色", 0, "", true, 0x00003000u, 0},  // 21 PR_FONTBORDERCOLOR
    {u8"マウスオーバー時の\r\nフォント色", 0, "", true, 0x00003000u, 0},  // 22 PR_FONTHOVERCOLOR
    {u8"マウスオーバー時の\r\nフォントスタイル", 0, "", true, 0x00001000u, 0},  // 23 PR_FONTHOVERSTYLE
    {u8"マウスオーバー時の色", -1, "", true, 0x00001000u, -1},  // 24 PR_HOVERCOLOR
    {u8"アンチエイリアス", 0, "", true, 0x00003208u, 0},  // 25 PR_ANTIALIAS
    {u8"ウエイト", 0, "", true, 0x008BB000u, 0},  // 26 PR_DELAY
    {u8"停止", 0, "", true, 0x07FFFB7Cu, 0},  // 27 PR_PAUSED
    {u8"音量", 1000, "", true, 0x00030010u, 0},  // 28 PR_VOLUME
    {u8"リピート", 0, "", true, 0x0017031Cu, 0},  // 29 PR_REPEAT
    {u8"バランス", 0, "", true, 0x00030000u, 0},  // 30 PR_BALANCE
    {u8"角度", 0, "", true, 0x00110308u, 0},  // 31 PR_ANGLE
    {u8"再生中", 0, "", true, 0x00002000u, 0},  // 32 PR_ONPLAYING
    {u8"汎用イベント", 0, "", true, 0x0060A828u, 0},  // 33 PR_ONNOTIFY
    {u8"マウス移動", 0, "", true, 0x0BFD7B7Cu, 0},  // 34 PR_ONMOUSEMOVE
    {u8"マウスアウト", 0, "", true, 0x0BFD7B7Cu, 0},  // 35 PR_ONMOUSEOUT
    {u8"左ボタンダウン", 0, "", true, 0x0BFD7B7Cu, 0},  // 36 PR_ONLBTNDOWN
    {u8"左ボタンアップ", 0, "", true, 0x0BFD7B7Cu, 0},  // 37 PR_ONLBTNUP
    {u8"右ボタンダウン", 0, "", true, 0x0BFD7B7Cu, 0},  // 38 PR_ONRBTNDOWN
    {u8"右ボタンアップ", 0, "", true, 0x0BFD7B7Cu, 0},  // 39 PR_ONRBTNUP
    {u8"ホイールダウン", 0, "", true, 0x0BFD7B7Cu, 0},  // 40 PR_ONWHEELDOWN
    {u8"ホイールアップ", 0, "", true, 0x0BFD7B7Cu, 0},  // 41 PR_ONWHEELUP
    {u8"明るさ", 0, "", true, 0x00140108u, 255},  // 42 PR_BRIGHTNESS
    {u8"再生終了", 0, "", true, 0x0203239Cu, 0},  // 43 PR_ONPLAYEND
    {u8"インデックス", 0, "", true, 0x00137118u, -1},  // 44 PR_INDEX
    {u8"カウント", 0, "", true, 0x02133118u, 0},  // 45 PR_COUNT
    {u8"リンク", 0, "", true, 0x00002000u, 0},  // 46 PR_ONLINK
    {u8"可視", 1, "", true, 0x0BFD7B7Cu, 0},  // 47 PR_VISIBLE
    {u8"列数", 1, "", true, 0x00000000u, 0},  // 48 PR_COLCOUNT
    {u8"行数", 1, "", true, 0x00001000u, 0},  // 49 PR_ROWCOUNT
    {u8"テキスト", 0, "", true, 0x03003AA8u, 0},  // 50 PR_TEXT
    {u8"左右の余白", 0, "", true, 0x00001000u, 0},  // 51 PR_MARGINX
    {u8"上下の余白", 0, "", true, 0x00001000u, 0},  // 52 PR_MARGINY
    {u8"横の揃え", 0, "", true, 0x01001A00u, 0},  // 53 PR_HALIGN
    {u8"枠画像(左上)", 0, "", true, 0x00001000u, 0},  // 54 PR_BORDERSOURCETL
    {u8"枠画像(上)", 0, "", true, 0x00001000u, 0},  // 55 PR_BORDERSOURCETC
    {u8"枠画像(右上)", 0, "", true, 0x00001000u, 0},  // 56 PR_BORDERSOURCETR
    {u8"枠画像(左)", 0, "", true, 0x00001000u, 0},  // 57 PR_BORDERSOURCECL
    {u8"枠画像(背景)", 0, "", true, 0x00001000u, 0},  // 58 PR_BORDERSOURCECC
    {u8"枠画像(右)", 0, "", true, 0x00001000u, 0},  // 59 PR_BORDERSOURCECR
    {u8"枠画像(左下)", 0, "", true, 0x00001000u, 0},  // 60 PR_BORDERSOURCEBL
    {u8"枠画像(下)", 0, "", true, 0x00001000u, 0},  // 61 PR_BORDERSOURCEBC
    {u8"枠画像(右下)", 0, "", true, 0x00001000u, 0},  // 62 PR_BORDERSOURCEBR
    {u8"枠横揃え(上)", 0, "", true, 0x00001000u, 0},  // 63 PR_BORDERHALIGNT
    {u8"枠横揃え(背景)", 0, "", true, 0x00001000u, 0},  // 64 PR_BORDERHALIGNC
    {u8"枠横揃え(下)", 0, "", true, 0x00001000u, 0},  // 65 PR_BORDERHALIGNB
    {u8"枠縦揃え(左)", 0, "", true, 0x00001000u, 0},  // 66 PR_BORDERVALIGNL
    {u8"枠縦揃え(背景)", 0, "", true, 0x00001000u, 0},  // 67 PR_BORDERVALIGNC
    {u8"枠縦揃え(右)", 0, "", true, 0x00001000u, 0},  // 68 PR_BORDERVALIGNR
    {u8"スクロールバー画像", 0, "", true, 0x00001000u, 0},  // 69 PR_SCROLLSOURCE
    {u8"チェック画像", 0, "", true, 0x00001000u, 0},  // 70 PR_CHECKSOURCE
    {u8"自動破棄", 0, "", true, 0x0207931Cu, 0},  // 71 PR_AUTOSCRAP
    {u8"選択", 0, "", true, 0x02041000u, 0},  // 72 PR_ONSELECT
    {u8"右クリックで破棄", 0, "", true, 0x02041000u, 0},  // 73 PR_RCLICKSCRAP
    {u8"オープン前", 0, "", true, 0x00001000u, 0},  // 74 PR_ONOPENING
    {u8"オープン後", 0, "", true, 0x00001000u, 0},  // 75 PR_ONOPENED
    {u8"クローズ前", 0, "", true, 0x00001000u, 0},  // 76 PR_ONCLOSING
    {u8"クローズ後", 0, "", true, 0x00001000u, 0},  // 77 PR_ONCLOSED
    {u8"キャレットX", 0, "", false, 0x00002000u, 0},  // 78 PR_CARETX
    {u8"キャレットY", 0, "", false, 0x00002000u, 0},  // 79 PR_CARETY
    {u8"マウス透過", 0, "", true, 0x0BFD7B7Cu, 0},  // 80 PR_IGNOREMOUSE
    {u8"テキスト一時停止", 0, "", true, 0x00002000u, 0},  // 81 PR_TEXTPAUSED
    {u8"テキストウエイト率", 256, "", true, 0x00002000u, 256},  // 82 PR_TEXTDELAY
    {u8"マウスオーバー時の\r\n画像", 0, "", true, 0x00040008u, 0},  // 83 PR_HOVERSOURCE
    {u8"押された時の画像", 0, "", true, 0x00000008u, 0},  // 84 PR_PRESSEDSOURCE
    {u8"グループ番号", 0, "", true, 0x00000008u, 0},  // 85 PR_GROUPINDEX
    {u8"全解除許可", 0, "", true, 0x00000008u, 0},  // 86 PR_ALLOWALLUP
    {u8"選択", 0, "", true, 0x00000008u, 0},  // 87 PR_SELECTED
    {u8"マウス位置を\r\nマスクで判断", 0, "", true, 0x00710108u, 0},  // 88 PR_CAPTUREMASK
    {u8"強さ", 0, "", true, 0x00000040u, 0},  // 89 PR_POWER
    {u8"元の幅", 0, "", true, 0x01110148u, 0},  // 90 PR_ORIGWIDTH
    {u8"元の高さ", 0, "", true, 0x01111148u, 0},  // 91 PR_ORIGHEIGHT
    {u8"X発生座標", 0, "", false, 0x00000000u, 0},  // 92 PR_APPEARX
    {u8"Y発生座標", 0, "", false, 0x00000000u, 0},  // 93 PR_APPEARY
    {u8"動作タイプ", 0, "", true, 0x00004000u, 1},  // 94 PR_PARTMOTION
    {u8"パラメータ1", 0, "", true, 0x00004000u, 0},  // 95 PR_PARAM1
    {u8"パラメータ2", 0, "", true, 0x00004000u, 0},  // 96 PR_PARAM2
    {u8"最上部インデックス", 0, "", true, 0x00001000u, 0},  // 97 PR_TOPINDEX
    {u8"編集禁止", 0, "", true, 0x00000820u, 0},  // 98 PR_READONLY
    {u8"カーソル", 0, "", true, 0x0BFD7B7Cu, 0},  // 99 PR_CURSOR
    {u8"ズーム座標", 0, "", true, 0x0BFD7B7Cu, 0},  // 100 PR_POSZOOMED
    {u8"再生開始", 0, "", true, 0x00002000u, 0},  // 101 PR_ONPLAYSTART
    {u8"パラメータ3", 0, "", true, 0x00004000u, 0},  // 102 PR_PARAM3
    {u8"マウスイン", 0, "", true, 0x0BFD7B7Cu, 0},  // 103 PR_ONMOUSEIN
    {u8"マップイン", 0, "", true, 0x02041000u, 0},  // 104 PR_ONMAPIN
    {u8"マップアウト", 0, "", true, 0x02041000u, 0},  // 105 PR_ONMAPOUT
    {u8"マップ", 0, "", true, 0x00040000u, 0},  // 106 PR_MAPSOURCE
    {u8"振幅", 1, "", true, 0x00080000u, 0},  // 107 PR_AMP
    {u8"波長", 100, "", true, 0x00080000u, 0},  // 108 PR_WAVELEN
    {u8"スクロールX", 0, "", true, 0x00100000u, 0},  // 109 PR_SCROLLX
    {u8"スクロールY", 0, "", true, 0x00102000u, 0},  // 110 PR_SCROLLY
    {u8"横反転", 0, "", true, 0x00110308u, 0},  // 111 PR_FLIPH
    {u8"縦反転", 0, "", true, 0x00110308u, 0},  // 112 PR_FLIPV
    {u8"アイドル", 0, "", true, 0x03FD735Cu, 0},  // 113 PR_ONIDLE
    {u8"横の間隔", 0, "", true, 0x00100000u, 0},  // 114 PR_DISTANCEX
    {u8"縦の間隔", 0, "", true, 0x00100000u, 0},  // 115 PR_DISTANCEY
    {u8"クリップX", 0, "", true, 0x0BFD7B7Cu, 0},  // 116 PR_CLIPLEFT
    {u8"クリップY", 0, "", true, 0x0BFD7B7Cu, 0},  // 117 PR_CLIPTOP
    {u8"クリップ幅", 0, "", true, 0x0BFD7B7Cu, 0},  // 118 PR_CLIPWIDTH
    {u8"クリップ高さ", 0, "", true, 0x0BFD7B7Cu, 0},  // 119 PR_CLIPHEIGHT
    {u8"持続時間", 0, "", true, 0x00804000u, 0},  // 120 PR_DURATION
    {u8"つまみ画像", 0, "", true, 0x00600000u, 0},  // 121 PR_THUMBSOURCE
    {u8"ボタン画像", 0, "", true, 0x00600000u, 0},  // 122 PR_BUTTONSOURCE
    {u8"最小値", 0, "", true, 0x00E00000u, 0},  // 123 PR_MIN
    {u8"最大値", 0, "", true, 0x00E00000u, 0},  // 124 PR_MAX
    {u8"値", 0, "", true, 0x00E00000u, 0},  // 125 PR_VALUE
    {u8"方向", 0, "", true, 0x00E00000u, 0},  // 126 PR_ORIENTATION
    {u8"変化量", 1, "", true, 0x00600000u, 1},  // 127 PR_SMALLCHANGE
    {u8"大きい変化量", 1, "", true, 0x00400000u, 1},  // 128 PR_LARGECHANGE
    {u8"マップテキスト", 0, "", true, 0x01000000u, 0},  // 129 PR_MAPTEXT
    {u8"１個の幅", 1, "", true, 0x01000000u, 0},  // 130 PR_GLYPHWIDTH
    {u8"１個の高さ", 1, "", true, 0x01000000u, 0},  // 131 PR_GLYPHHEIGHT
    {u8"ズームY", 256, "", true, 0x00110348u, 256},  // 132 PR_ZOOMY
    {u8"クリック後の画像", 0, "", true, 0x00000008u, 0},  // 133 PR_CLICKEDSOURCE
    {u8"動画停止", 0, "", true, 0x0BFF7B7Cu, 0},  // 134 PR_ANIPAUSED
    {u8"ホールド", 0, "", true, 0x00600000u, 0},  // 135 PR_ONHOLD
    {u8"リリース", 0, "", true, 0x00600000u, 0},  // 136 PR_ONRELEASE
    {u8"逆方向", 0, "", true, 0x00800000u, 0},  // 137 PR_REVERSE
    {u8"再生中", 0, "", false, 0x0FFF7B7Cu, 0},  // 138 PR_PLAYING
    {u8"ロード時巻き戻し", 0, "", true, 0x00030010u, 1},  // 139 PR_REWINDONLOAD
    {u8"コンポーネントの種類", 0, "", false, 0xFFFFFFFFu, 0},  // 140 PR_COMPOTYPE
    {u8"フォントの影の色", 0, "", true, 0x00003000u, 0},  // 141 PR_FONTSHADOWCOLOR
    {u8"フォントの縁の幅", 0, "", true, 0x00003000u, 0},  // 142 PR_FONTBORDER
    {u8"フォントの影の位置", 0, "", true, 0x00003000u, 0},  // 143 PR_FONTSHADOW
    {u8"キーダウン", 0, "", true, 0x0BFD7B7Cu, 0},  // 144 PR_ONKEYDOWN
    {u8"キーアップ", 0, "", true, 0x0BFD7B7Cu, 0},  // 145 PR_ONKEYUP
    {u8"キーリピート", 0, "", true, 0x0BFD7B7Cu, 0},  // 146 PR_ONKEYREPEAT
    {u8"キー処理", false, "", true, 0x0BFD7B7Cu, 0},  // 147 PR_HANDLEKEY
    {u8"フォーカスイン", 0, "", true, 0x0BFD7B7Cu, 0},  // 148 PR_ONFOCUSIN
    {u8"フォーカスアウト", 0, "", true, 0x0BFD7B7Cu, 0},  // 149 PR_ONFOCUSOUT
    {u8"オーバーレイ", 1, "", true, 0x00010000u, 1},  // 150 PR_OVERLAY
    {u8"タグ", 0, "", true, 0xFFFFFFFFu, 0},  // 151 PR_TAG
    {u8"マウス判定を\r\nリンク文字のみ", 0, "", true, 0x00002000u, 0},  // 152 PR_CAPTURELINK
    {u8"マウスオーバー時の\r\nフォントの縁の幅", 0, "", true, 0x00001000u, 0},  // 153 PR_FONTHOVERBORDER
    {u8"マウスオーバー時の\r\nフォントの縁の色", 0, "", true, 0x00001000u, 0},  // 154 PR_FONTHOVERBORDERCOLOR
    {u8"マウスオーバー時の\r\nフォントの影の位置", 0, "", true, 0x00001000u, 0},  // 155 PR_FONTHOVERSHADOW
    {u8"マウスオーバー時の\r\nフォントの影の色", 0, "", true, 0x00001000u, 0},  // 156 PR_FONTHOVERSHADOWCOLOR
    {u8"バーの長さ", 0, "", true, 0x00E00000u, 0},  // 157 PR_BARSIZE
    {u8"ロード時ミュート", 0, "", true, 0x00030010u, 0},  // 158 PR_MUTEONLOAD
    {u8"X座標加算値", 0, "", false, 0x0BFD7B7Cu, 0},  // 159 PR_PLUSX
    {u8"Y座標加算値", 0, "", false, 0x0BFD7B7Cu, 0},  // 160 PR_PLUSY
    {u8"キャレットの高さ", 0, "", false, 0x00002000u, 0},  // 161 PR_CARETHEIGHT
    {u8"リピート位置", 0, "", true, 0x00020000u, 0},  // 162 PR_REPEATPOS
    {u8"残像発生時間", 0, "", true, 0x0011010Cu, 0},  // 163 PR_BLURSPAN
    {u8"残像消滅時間", 0, "", true, 0x0011010Cu, 0},  // 164 PR_BLURDELAY
};

// The rows joined with their names and types, made once.
const std::array<TPropertyInfo, kPropertyCount>& Properties()
{
    static const std::array<TPropertyInfo, kPropertyCount> table = [] {
        std::array<TPropertyInfo, kPropertyCount> rows{};
        for (int id = 0; id < kPropertyCount; ++id) {
            const TPropertyName& named = *PropertyNameOf(id);
            const TPropertyRow& row = kRows[id];
            rows[static_cast<size_t>(id)] = TPropertyInfo{id, named.name, row.caption, named.type, row.default_integer,
                                                          row.default_text, row.creation_parameter, row.answered_by,
                                                          row.neutral_integer};
        }
        return rows;
    }();
    return table;
}

constexpr uint32_t kAllBits = 0xFFFFFFFFu;

}  // namespace

const TPropertyInfo& PropertyInfo(int id)
{
    if (id < 0 || id >= kPropertyCount) return Properties()[0];
    return Properties()[static_cast<size_t>(id)];
}

bool TypeAnswers(int code, int id)
{
    if (id < 0 || id >= kPropertyCount) return false;
    uint32_t bits = Properties()[static_cast<size_t>(id)].answered_by;
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
