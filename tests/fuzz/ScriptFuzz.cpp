// The headless script parser: any text is parsed or refused with "script line N: ...".
#include "FuzzTarget.h"
#include "platform/headless/Script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    auto script = platform::headless::ParseScript(
        std::string(reinterpret_cast<const char*>(data), size), error);
    if (!script && error.rfind("script line ", 0) != 0) fuzz::Fail("a refusal without its line");
    if (script) {
        for (const auto& c : *script) {
            if (c.text.size() > platform::headless::MAX_TYPED_CHARACTERS)
                fuzz::Fail("typed text longer than the limit");
        }
    }
    return 0;
}
