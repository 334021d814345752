#pragma once
// Standard output and standard error for the console tools: a text is written
// whole, or the reason it was not comes back.

#include <cstdio>
#include <string>

#include "tools/ikwdev-inspect/inspect.h"

namespace ikw::inspect {

WriteFailure WriteToStream(std::FILE* stream, const std::string& text);

#ifdef _WIN32
// stdHandle: STD_OUTPUT_HANDLE or STD_ERROR_HANDLE, whose C stream is stream.
WriteFailure WriteToStandardHandle(unsigned long stdHandle, std::FILE* stream, const std::string& utf8);
#endif

}  // namespace ikw::inspect
