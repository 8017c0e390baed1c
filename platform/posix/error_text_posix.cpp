// The system's text for an errno value, ended like the Windows texts.
#include <cstring>

#include "platform/error_text.h"

std::string SystemErrorText(uint32_t code) { return std::string(std::strerror(static_cast<int>(code))) + ".\r\n"; }
