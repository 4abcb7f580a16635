// The host's formatting service as a control reaches it: the client site hands out the
// object-access interface, which gives the formatting interface; the value is formatted with a
// format text in the host language's Format rules, for the Japanese locale.
#pragma once

#include <ocidl.h>

#include <optional>
#include <string>

namespace zelmor {

// The formatted text (ANSI), or nothing when the value or the format is empty, the value is
// longer than the 511 characters a result may have, the host offers no such service, or the
// service fails.
std::optional<std::string> FormatWithHost(IOleClientSite* site, const std::string& value,
                                          const std::string& format);

}  // namespace zelmor
