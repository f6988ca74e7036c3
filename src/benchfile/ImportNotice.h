#pragma once

#include "benchfile/BenchmarkFile.h"

#include <string>
#include <string_view>

namespace vexo::benchfile {

// Why a file was not read whole and, for a damaged one, what was kept of it: "damaged: ...;
// 2 record(s) read; if it was cut short, records before them may be lost".
std::string whatWasRead(const ImportResult& result);

// The notice a page gives such a file: its name without folder, then whatWasRead().
std::string notReadWholeNotice(std::string_view path, const ImportResult& result);

} // namespace vexo::benchfile
