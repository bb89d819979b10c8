// Writes the component-tree fuzz seed corpus/component_tree_fuzz/menu_and_preview_menu: a saved
// list (version byte 33, read as version 140) holding a menu and a preview menu. Built by hand
// against the library: c++ -I. -std=c++20 fuzz/make_menu_tree_seed.cpp build/libmobu.a ...
#include <fstream>
#include "components/mobu_base_list.h"
#include "components/mobu_menu.h"
#include "components/prev_menu_file.h"
using namespace mobu;
int main(int, char** argv)
{
    TMobuBaseList list;
    list.SetSize(64, 48);
    TMobuObject* menu = list.CreateComponent(LT_MENU);
    menu->SetName("m");
    menu->SetProp(PR_TEXT, TPropValue::Text("North\r\nSouth\r\nEast"));
    menu->SetProp(PR_ROWCOUNT, TPropValue::Int(2));
    menu->SetProp(PR_HOVERCOLOR, TPropValue::Int(0x804020));
    menu->SetItemChecked(1, true);
    menu->SetPlayMode(LP_PLAYFADE);
    list.UpdatePass();
    TMobuObject* prev = list.CreateComponent(LT_PREVMENU);
    prev->SetName("pm");
    prev->SetProp(PR_SOURCE, TPropValue::Text("cg\\menu.mmt"));
    ByteWriter out;
    out.U8(33);
    list.SaveToStream(out);
    std::ofstream(argv[1], std::ios::binary) << out.Bytes();
    return 0;
}
