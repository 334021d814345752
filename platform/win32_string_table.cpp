#include "platform/win32_string_table.h"

#include "framework/resources.h"
#include "platform/wide_string.h"

namespace ikw {

std::u16string Win32StringTable::Load(unsigned id) { return FromWide(fw::LoadResourceString(id)); }

}  // namespace ikw
