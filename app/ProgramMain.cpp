#include "app/ProgramMain.h"

#include "platform/Files.h"

namespace app {

int ProgramMain(TProgram& program, Host& host, const std::function<void()>& beforeRun) {
    platform::Window* window = program.Create(host);
    if (!window) return 0;
    if (!program.display || program.display->Params().height < 320) {
        host.backend.ShowMessageBox("Display Error",
                                    "This program requires a standard 240x320 pixel display");
        return 0;
    }
    platform::CreateFolders(platform::SequencesFolder());
    if (beforeRun) beforeRun();
    program.Run();
    return 0;
}

}  // namespace app
