// Writes fuzz/corpus/component_tree_fuzz/media_components: a saved component list (version
// 140, with its leading version byte) holding a timer, a property motion, a sound, an HTTP
// component, a cinema and a video. Built by hand against the library, run with the output path.
#include <fstream>
#include "components/mobu_base_list.h"
#include "components/mobu_cinema.h"
#include "components/mobu_prop_motion.h"
#include "components/mobu_sound.h"
#include "components/mobu_timer.h"
#include "components/mobu_video.h"
using namespace mobu;
int main(int, char** argv)
{
    TMobuBaseList list;
    list.SetSize(64, 48);
    auto* t = static_cast<TMobuTimer*>(list.CreateComponent(LT_TIMER));
    t->SetName("t"); t->SetProp(PR_ONNOTIFY, TPropValue::Text("a.msb")); t->SetProp(PR_DELAY, TPropValue::Int(100));
    auto* m = static_cast<TMobuPropMotion*>(list.CreateComponent(LT_PROPMOTION));
    m->SetName("m"); m->TargetName = "v"; m->PropId = PR_LEFT; m->Target = 5; m->Time = 100; m->MotionType = MT_DEC;
    auto* s = static_cast<TMobuSound*>(list.CreateComponent(LT_SOUND));
    s->SetName("s"); s->SetProp(PR_SOURCE, TPropValue::Text("bgm\\title.ogg")); s->SetProp(PR_REPEAT, TPropValue::Flag(true));
    list.CreateComponent(LT_HTTP)->SetName("h");
    list.CreateComponent(LT_CINEMA)->SetName("c");
    auto* v = list.CreateComponent(LT_VIDEO);
    v->SetName("v"); v->SetProp(PR_SOURCE, TPropValue::Text("movie\\intro.mpg"));
    ByteWriter out;
    out.U8(33);  // version 140
    list.SaveToStream(out);
    std::ofstream(argv[1], std::ios::binary) << out.Bytes();
    return 0;
}
