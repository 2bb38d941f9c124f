// The desktop program on Windows: one Program on the Win32 backend. Start-up builds and
// shows the main window; the event loop ends when that window has closed.
#include <memory>

#include "platform/win32/Win32Form.h"
#include "shell/Program.h"
#include "textfile/NativePath.h"

#include <objbase.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&icc);
    // The folder chooser's newer dialog needs COM on this thread.
    const HRESULT com = OleInitialize(nullptr);
    int code = 1;
    {
        veltrano::platform::win32::Win32Form form(instance);
        veltrano::Program program(form);
        program.StartUp();
        if (form.HasMainWindow()) {
            // The command line as wide text: a path the code page cannot hold is refused.
            std::string error;
            if (const auto args = veltrano::textfile::CommandLineArguments(0, nullptr, error))
                program.OpenPaths(*args);
            else
                program.messages().Message("OPEN VOICE FILE ...", error,
                                           veltrano::platform::Icon::Exclamation);
            code = form.RunEventLoop();
        }
    }
    if (SUCCEEDED(com)) OleUninitialize();
    return code;
}
