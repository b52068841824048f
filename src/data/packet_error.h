#pragma once
#include "platform/errors.h"

namespace data {

// A data packet that cannot be read; the message is the reader's (English) text.
class PacketError : public vexo::Error {
public:
    using vexo::Error::Error;
};

inline const char* const MismatchMessage = "Mismatch in datapacket.";

} // namespace data
