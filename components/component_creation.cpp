#include "components/component_creation.h"

namespace mobu {

const std::array<uint8_t, kPropertyCount>& CreationOrder()
{
    static const std::array<uint8_t, kPropertyCount> order = {
        0,   1,   2,   7,   132, 100, 5,   6,   3,   4,   8,   157, 9,   10,  11,  12,  13,  14,  159, 160, 15,
        16,  17,  18,  19,  20,  21,  22,  23,  24,  153, 154, 155, 156, 25,  26,  27,  28,  29,  162, 30,  31,
        32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,
        53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,  72,  73,
        74,  75,  76,  77,  78,  79,  161, 80,  81,  82,  83,  84,  85,  86,  87,  88,  89,  90,  91,  92,  93,
        94,  95,  96,  97,  98,  99,  101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115,
        116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 133, 134, 135, 136, 137,
        138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 158, 163, 164,
    };
    return order;
}

void ApplyCreationParameter(TMobuBaseList& list, TMobuObject& object, int id, const TPropValue& value)
{
    switch (id) {
        case PR_NAME:
            // An empty name keeps the automatic one.
            if (!value.AsText().empty()) object.SetName(value.AsText());
            return;
        case PR_PARENT:
            if (TMobuControl* control = object.AsControl()) {
                // A name that names no control (or none at all) puts it on the active base.
                TMobuControl* parent = value.AsText().empty() ? nullptr : list.FindControl(value.AsText());
                control->SetParent(parent ? parent : list.ActiveBase());
            }
            return;
        case PR_PRIORITY: object.SetPriority(value.AsInt()); return;
        case PR_TAG: object.Tag = value.AsText(); return;
        default: object.SetProp(id, value); return;
    }
}

TMobuObject* CreateWithParameters(TMobuBaseList& list, int type_code, const TCreationParameter& parameter)
{
    TMobuObject* object = list.CreateComponent(type_code);
    if (!object) return nullptr;
    for (uint8_t id : CreationOrder()) {
        if (!PropertyInfo(id).creation_parameter) continue;
        std::optional<TPropValue> value;
        if (!parameter(id, value)) continue;
        ApplyCreationParameter(list, *object, id, value ? *value : DefaultValue(id));
    }
    object->EndCreation();
    return object;
}

}  // namespace mobu
