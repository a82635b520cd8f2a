#include "app/commands/SheetFiles.h"

#include <cstdint>
#include <ostream>
#include <vector>

#include "platform/SafeFile.h"
#include "theory/TheoryTables.h"

namespace commands {

void AddSheetOptions(OptionTable& table, SheetPaths& paths) {
    table.valued.push_back({"--pdf", "FILE", &paths.pdf});
    table.valued.push_back({"--svg", "FILE", &paths.svg});
    table.valued.push_back({"--png", "FILE", &paths.png});
}

std::array<std::string, theory::STRING_COUNT> StringNames(const Instrument& instrument,
                                                          const theory::NoteNameTable& spelled) {
    std::array<std::string, theory::STRING_COUNT> names;
    theory::StringTuning strings = instrument.Strings();
    for (std::size_t s = 0; s < names.size(); ++s)
        names[s] = PlainText(spelled[strings[s]]);
    return names;
}

std::string CapoNote(const Instrument& instrument) {
    return instrument.capo > 0 ? ", capo " + std::to_string(instrument.capo) : "";
}

int WriteSheetFiles(std::string_view command, const sheet::Sheet& sheet, const SheetPaths& paths,
                    std::ostream& out, std::ostream& err) {
    struct Drawing {
        const std::optional<std::string>& path;
        sheet::SheetFormat format;
        std::vector<std::uint8_t> bytes;
    };
    std::array<Drawing, 3> drawings{Drawing{paths.pdf, sheet::SheetFormat::PDF, {}},
                                    Drawing{paths.svg, sheet::SheetFormat::SVG, {}},
                                    Drawing{paths.png, sheet::SheetFormat::PNG, {}}};
    auto fail = [&](const std::string& message) {
        err << "fretlore " << command << ": " << message << "\n";
        return 2;
    };
    for (Drawing& d : drawings) {
        if (!d.path) continue;
        if (std::string error = platform::SafeFileWriter::Check(*d.path); !error.empty())
            return fail(error);
        if (std::string error = sheet::DrawSheet(sheet, d.format, d.bytes); !error.empty())
            return fail(error);
    }
    for (const Drawing& d : drawings) {
        if (!d.path) continue;
        if (std::string error = platform::WriteFileSafely(*d.path, d.bytes); !error.empty())
            return fail(error);
        out << "wrote " << *d.path << "\n";
    }
    return 0;
}

}  // namespace commands
