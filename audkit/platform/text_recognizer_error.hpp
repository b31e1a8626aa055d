#pragma once

#include "audkit/base/error.hpp"

namespace audkit {

// Recognition cannot run at all: a model missing or unreadable, an engine
// that failed. The message names the cause and, where there is one, the way
// to mend it.
class TextRecognizerError : public MessageError {
public:
    using MessageError::MessageError;
};

}  // namespace audkit
