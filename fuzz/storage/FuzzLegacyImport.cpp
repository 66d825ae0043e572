// The import of the older binary data file on any bytes, and the data file written from what it
// read.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/Log.h"
#include "storage/StockList.h"

using namespace quillory;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Log::Instance().toConsole = false; // invalid stamps are logged by the date they make
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StockList list;
    list.ImportLegacyData(std::string(reinterpret_cast<const char*>(data), size));
    std::string direct, records;
    list.CreateDataFile(direct);
    list.CreateXMLString(records);
    if (direct != records)
        std::abort();
    return 0;
}
