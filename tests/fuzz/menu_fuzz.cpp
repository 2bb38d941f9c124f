// The menu definition: MenuFromText on the headless backend. A definition it refuses leaves
// no menu behind; one it takes is the attached bar and holds every menu still alive.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Scratch.h"
#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

using namespace veltrano;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    platform::headless::HeadlessForm form;
    Program program(form);
    const platform::MenuHandle bar = program.menus().FromText(text);
    if (bar == 0) {
        FUZZ_CHECK(form.LiveMenuCount() == 0);
        FUZZ_CHECK(form.AttachedMenuBar() == 0);
        return 0;
    }
    FUZZ_CHECK(form.AttachedMenuBar() == bar);
    const auto view = form.MenuBarView();
    FUZZ_CHECK(view.has_value());
    // The bar and one popup per entry of the bar: no popup is left unattached.
    FUZZ_CHECK(form.LiveMenuCount() == 1 + static_cast<int>(view->size()));
    for (const auto& popup : *view)
        for (const auto& item : popup.items) {
            if (item.flags & platform::MF_SEPARATOR) continue;
            FUZZ_CHECK(form.MenuItemText(bar, item.id).has_value());
        }
    FUZZ_CHECK(form.DestroyMenu(bar));
    FUZZ_CHECK(form.LiveMenuCount() == 0);
    return 0;
}
