#include "ImportNotice.h"

#include "common/Text.h"

namespace vexo::benchfile {

std::string whatWasRead(const ImportResult& result) {
    if (result.outcome != ImportResult::Outcome::Damaged)
        return result.detail;
    return result.detail + "; " + keptRecords(result);
}

std::string notReadWholeNotice(std::string_view path, const ImportResult& result) {
    return Strip_Path(path) + ": " + whatWasRead(result);
}

} // namespace vexo::benchfile
