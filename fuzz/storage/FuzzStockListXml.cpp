// The data-file reader on any bytes: the piecewise reader must agree with the plain ParseXMLString
// (same investments, same error), and the direct writer with the record writer.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "storage/StockList.h"

using namespace quillory;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Log::Instance().toConsole = false; // dates read from the input may be logged as invalid
    return 0;
}

namespace {

std::string Read(StockList& list, const std::string& text, size_t chunkBytes) {
    try {
        if (chunkBytes == 0)
            list.ParseXMLString(text);
        else
            list.ParseDataFile(text, chunkBytes);
        return "";
    } catch (const XMLException& e) {
        return "error: " + e.Message();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte sets how small the pieces are, so that cuts fall everywhere.
    const size_t chunkBytes = 1 + data[0] % 64;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    StockList plain, piecewise;
    const std::string plainResult = Read(plain, text, 0);
    const std::string piecewiseResult = Read(piecewise, text, chunkBytes);
    if (plainResult != piecewiseResult)
        std::abort();

    std::string plainText, piecewiseText, directText;
    plain.CreateXMLString(plainText);
    piecewise.CreateXMLString(piecewiseText);
    piecewise.CreateDataFile(directText);
    if (plainText != piecewiseText || directText != plainText)
        std::abort();
    return 0;
}
