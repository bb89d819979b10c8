#include "components/component_types.h"

namespace mobu {
namespace {

const TComponentTypeInfo kTypes[kComponentTypeCount] = {
    {LT_NONE, "LT_NONE", u8"なし", "", false, false},
    {LT_AUDIO, "LT_AUDIO", u8"オーディオ", "", false, false},
    {LT_BOX, "LT_BOX", u8"矩形サーフェス", "TMobuBox", true, true},
    {LT_BUTTON, "LT_BUTTON", u8"ボタン", "TMobuButton", true, true},
    {LT_CINEMA, "LT_CINEMA", u8"シネマサーフェス", "TMobuCinema", true, true},
    {LT_EDIT, "LT_EDIT", u8"エディット", "TMobuEdit", true, true},
    {LT_FIRE, "LT_FIRE", u8"炎サーフェス", "TMobuFire", true, true},
    {LT_HTTP, "LT_HTTP", u8"HTTP", "TMobuHttp", true, false},
    {LT_IMAGES, "LT_IMAGES", u8"画像サーフェス", "TMobuImages", true, true},
    {LT_LABEL, "LT_LABEL", u8"キャプション", "TMobuLabel", true, true},
    {LT_MAP, "LT_MAP", u8"マップ", "", false, false},
    {LT_MEMO, "LT_MEMO", u8"メモ", "TMobuMemo", true, true},
    {LT_MENU, "LT_MENU", u8"メニュー", "TMobuMenu", true, true},
    {LT_MES, "LT_MES", u8"メッセージボックス", "TMobuMes", true, true},
    {LT_PARTICLE, "LT_PARTICLE", u8"パーティクルサーフェス", "TMobuParticle", true, true},
    {LT_TIMER, "LT_TIMER", u8"タイマー", "TMobuTimer", true, false},
    {LT_VIDEO, "LT_VIDEO", u8"ムービー", "TMobuVideo", true, true},
    {LT_SOUND, "LT_SOUND", u8"サウンド", "TMobuSound", true, false},
    {LT_MAPIMG, "LT_MAPIMG", u8"選択画像", "TMobuMapImage", true, true},
    {LT_WAVE, "LT_WAVE", u8"ウェーブサーフェス", "TMobuWave", true, true},
    {LT_TILE, "LT_TILE", u8"タイルサーフェス", "TMobuTile", true, true},
    {LT_SLIDER, "LT_SLIDER", u8"スライダー", "TMobuSlider", true, true},
    {LT_SCROLLBAR, "LT_SCROLLBAR", u8"スクロールバー", "TMobuScrollbar", true, true},
    {LT_GAUGE, "LT_GAUGE", u8"ゲージ", "TMobuGauge", true, true},
    {LT_CGLABEL, "LT_CGLABEL", u8"画像キャプション", "TMobuCGLabel", true, true},
    {LT_PREVMENU, "LT_PREVMENU", u8"プレビューメニュー", "TMobuPrevMenu", true, true},
    {LT_PROPMOTION, "LT_PROPMOTION", u8"プロパティモーション", "TMobuPropMotion", true, false},
    {LT_CABINET, "LT_CABINET", u8"キャビネット", "TMobuCabinet", true, true},
};

}  // namespace

const TComponentTypeInfo& ComponentTypeInfo(int code)
{
    if (code < 0 || code >= kComponentTypeCount) return kTypes[0];
    return kTypes[code];
}

}  // namespace mobu
