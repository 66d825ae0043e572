// Any text given to ParseAmount either fails and leaves the value alone, or gives a finite or NaN
// value that FormatAmount can print, under every separator combination.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/AmountHelper.h"
#include "foundation/Log.h"

using namespace quillory;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = [] {
        Log::Instance().toConsole = false;
        return true;
    }();
    (void)quiet;
    if (size < 2)
        return 0;
    const char decimals[] = {'.', ','};
    const char thousands[] = {'.', ',', ' ', '\'', '`', '\0'};
    NumericFormat::SetDefault(NumericFormat(decimals[data[0] % 2], thousands[data[0] / 2 % 6], data[1] % 7));
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    double value = 12345.0;
    if (AmountHelper::ParseAmount(text, value)) {
        if (std::isinf(value))
            std::abort();
        std::string shown = AmountHelper::FormatAmount(value);
        if (shown.empty())
            std::abort();
    } else if (value != 12345.0) {
        std::abort();
    }
    return 0;
}
