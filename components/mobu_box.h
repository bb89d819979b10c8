// TMobuBox: a filled rectangle with an optional border, blended by its alpha.
#pragma once

#include "components/mobu_object.h"

namespace mobu {

class TMobuBox : public TMobuControl {
public:
    explicit TMobuBox(TMobuBaseList* owner) : TMobuControl(owner, LT_BOX) {}
    void Draw(TCustomDIBX& surface) override;
};

}  // namespace mobu
