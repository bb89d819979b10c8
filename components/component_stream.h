// Components whose content another component can read as a stream (an HTTP component's
// response; a URL named by "!name").
#pragma once

#include <string>

namespace mobu {

class TComponentStream {
public:
    virtual ~TComponentStream() = default;
    // The stream's whole content; false when the component has no stream now.
    virtual bool GetStream(std::string& content) = 0;
};

}  // namespace mobu
