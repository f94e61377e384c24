#include "FuzzInput.h"
#include "recordings/CVelAviParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString& path = WriteFuzzInput(data, size);
    RecordingInfo info;
    info.width = 7; // a rejected file must leave this alone
    CVelAviParser parser;
    parser.SetInfo(&info);
    const int result = parser.Parse(path);
    FUZZ_CHECK(result == 0 || result == -1);
    FUZZ_CHECK(parser.OpenCount() == 1);
    if (result == 0) {
        FUZZ_CHECK(info.fileSize == size);
        FUZZ_CHECK(info.width != 0 && info.height != 0 && info.durationMs != 0);
        FUZZ_CHECK(info.durationSeconds == info.durationMs / 1000);
    } else {
        FUZZ_CHECK(info.width == 7 && info.fileSize == 0);
    }
    return 0;
}
