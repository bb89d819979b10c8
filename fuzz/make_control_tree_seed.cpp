// Writes the component-tree fuzz seed corpus/component_tree_fuzz/button_slider_gauge: a saved
// list (version byte 33, read as version 140) holding a grouped button with a caption, a
// slider, a scroll bar and a gauge. Built by hand against the library:
// c++ -I. -std=c++20 fuzz/make_control_tree_seed.cpp build/libmobu.a ...
#include <fstream>

#include "components/mobu_base_list.h"
#include "components/mobu_slider.h"

using namespace mobu;

int main(int, char** argv)
{
    TMobuBaseList list;
    list.SetSize(64, 48);
    TMobuObject* button = list.CreateComponent(LT_BUTTON);
    button->SetName("b");
    button->SetProp(PR_SOURCE, TPropValue::Text("cg\\button.fsk"));
    button->SetProp(PR_HOVERSOURCE, TPropValue::Text("cg\\hover.fsk"));
    button->SetProp(PR_CLICKEDSOURCE, TPropValue::Text("cg\\clicked.mmt"));
    button->SetProp(PR_TEXT, TPropValue::Text("OK"));
    button->SetProp(PR_FONTHEIGHT, TPropValue::Int(14));
    button->SetProp(PR_GROUPINDEX, TPropValue::Int(2));
    button->SetProp(PR_ONNOTIFY, TPropValue::Text("start.msb:ok"));
    TMobuObject* slider = list.CreateComponent(LT_SLIDER);
    slider->SetName("s");
    slider->SetProp(PR_SOURCE, TPropValue::Text("cg\\track.fsk"));
    slider->SetProp(PR_ORIENTATION, TPropValue::Int(OT_VERTICAL));
    slider->SetProp(PR_MIN, TPropValue::Int(-10));
    slider->SetProp(PR_MAX, TPropValue::Int(100));
    slider->SetProp(PR_VALUE, TPropValue::Int(40));
    slider->SetProp(PR_BARSIZE, TPropValue::Int(30));
    TMobuObject* bar = list.CreateComponent(LT_SCROLLBAR);
    bar->SetName("sb");
    bar->SetProp(PR_LARGECHANGE, TPropValue::Int(7));
    bar->SetProp(PR_MAX, TPropValue::Int(50));
    TMobuObject* gauge = list.CreateComponent(LT_GAUGE);
    gauge->SetName("g");
    gauge->SetProp(PR_SOURCE, TPropValue::Text("cg\\gauge.fsk"));
    gauge->SetProp(PR_MAX, TPropValue::Int(100));
    gauge->SetProp(PR_DURATION, TPropValue::Int(500));
    gauge->SetProp(PR_REVERSE, TPropValue::Flag(true));
    gauge->SetProp(PR_BARSIZE, TPropValue::Int(40));
    ByteWriter out;
    out.U8(33);
    list.SaveToStream(out);
    std::ofstream(argv[1], std::ios::binary) << out.Bytes();
    return 0;
}
