// The settings file: refused with a reason, or taken and written back to the same settings;
// the user's [tunings] section always comes back byte for byte, and its bad lines are each
// one line of complaint.
#include "FuzzTarget.h"
#include "app/Settings.h"
#include "app/UserTunings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const app::SplitSettingsText split = app::SplitTuningsSection(text);
    std::vector<std::string> complaints;
    auto rows = app::ParseTuningsSection(split.tunings, split.firstLine, complaints);
    if (rows.size() > static_cast<std::size_t>(theory::MAX_CUSTOM_TUNINGS))
        fuzz::Fail("more tunings taken than there is room for");
    for (const theory::TuningRow& row : rows)
        if (row.name.empty()) fuzz::Fail("a tuning taken without a name");
    for (const std::string& complaint : complaints)
        if (complaint.empty() || complaint.find('\n') != std::string::npos)
            fuzz::Fail("a skipped tuning line without a one-line complaint");

    std::string error;
    auto settings = app::ParseSettings(text, error);
    if (!settings) {
        if (error.empty() || error.find('\n') != std::string::npos)
            fuzz::Fail("a refusal without a one-line reason");
        return 0;
    }
    auto again = app::ParseSettings(app::FormatSettings(*settings), error);
    if (!again || !(*again == *settings)) fuzz::Fail("taken settings do not read back the same");
    settings->tunings = split.tunings;
    if (app::SplitTuningsSection(app::FormatSettings(*settings)).tunings != split.tunings)
        fuzz::Fail("the user's tunings are not written back as they were");
    return 0;
}
