#include "components/components_json.h"

#include <cstdio>

#include "platform/text_encoding.h"

namespace mobu {
namespace {

void Quoted(std::ostream& out, const std::string& cp932)
{
    std::string text = Cp932ToUtf8(cp932);
    out << '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') out << '\\' << c;
        else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out << escaped;
        } else out << c;
    }
    out << '"';
}

void Value(std::ostream& out, const TPropValue& value)
{
    switch (value.type) {
        case PT_STR: Quoted(out, value.text); break;
        case PT_BOOL: out << (value.integer ? "true" : "false"); break;
        case PT_FLOAT: Quoted(out, value.AsText()); break;
        default: out << value.integer; break;
    }
}

}  // namespace

void WriteComponentsJson(TMobuBaseList& list, std::ostream& out)
{
    out << "[\n";
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        TMobuObject* object = list.GetItem(i);
        out << (i ? ",\n" : "") << "  {\"type\": \"" << ComponentTypeInfo(object->GetCompoType()).name << "\", \"name\": ";
        Quoted(out, object->Name());
        out << ", \"priority\": " << object->Priority();
        if (TMobuControl* c = object->AsControl()) {
            out << ", \"parent\": ";
            Quoted(out, c->Parent() ? c->Parent()->Name() : std::string());
            out << ", \"left\": " << c->Left << ", \"top\": " << c->Top << ", \"width\": " << c->Width
                << ", \"height\": " << c->Height << ", \"visible\": " << (c->GetVisible() ? "true" : "false");
        }
        out << ", \"props\": {";
        bool first = true;
        for (int id = 0; id < kPropertyCount; ++id) {
            if (!object->Answers(id) || id == PR_COMPOTYPE || id == PR_NAME || id == PR_PARENT) continue;
            TPropValue value = object->GetProp(id);
            if (value == DefaultValue(id).As(PropertyInfo(id).type)) continue;
            out << (first ? "" : ", ") << '"' << PropertyInfo(id).name << "\": ";
            Value(out, value);
            first = false;
        }
        out << "}}";
    }
    out << "\n]\n";
}

}  // namespace mobu
