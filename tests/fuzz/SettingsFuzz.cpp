// The settings file: refused with a reason, or taken and written back to the same settings.
#include "FuzzTarget.h"
#include "app/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    auto settings =
        app::ParseSettings(std::string(reinterpret_cast<const char*>(data), size), error);
    if (!settings) {
        if (error.empty() || error.find('\n') != std::string::npos)
            fuzz::Fail("a refusal without a one-line reason");
        return 0;
    }
    auto again = app::ParseSettings(app::FormatSettings(*settings), error);
    if (!again || !(*again == *settings)) fuzz::Fail("taken settings do not read back the same");
    return 0;
}
