// Search and replace over all voices of the loaded file, armed from the menu and started
// by a click on a numbered row label.
#include <cstdio>

#include "shell/Program.h"
#include "voice/Rules.h"

namespace veltrano {

namespace {
constexpr const char* kReplaceControllerTip =
    "Click On A Numbered Label With The Controller Behind To Replace.";
constexpr const char* kReplaceParameterTip =
    "Click On A Numbered Label With The Parameter Behind To Replace.";

std::string Count3(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%3d", n);
    return buf;
}
} // namespace

void Program::HeaderClicked() {
    ResetSearchMode(menu, cmd::kSearchController, cmd::kReplaceParameter);
}

void Program::NumberedLabelClicked(int row) {
    const ControlRef list = lsb(ctl::kVoiceList);
    const bool armed = MenuOptionChecked(menu, cmd::kSearchController) ||
                       MenuOptionChecked(menu, cmd::kSearchParameter) ||
                       MenuOptionChecked(menu, cmd::kReplaceController) ||
                       MenuOptionChecked(menu, cmd::kReplaceParameter);
    if (form_.Checked(chk(ctl::kMultiSelect))) {
        const int count = form_.ListCount(list);
        for (int i = 0; i < count; ++i)
            if (form_.ListSelected(list, i)) form_.ListSetSelected(list, i, false);
    } else if (armed) {
        // A search selects every voice it finds, which needs multiple selection: with a mode
        // armed, switch the list to it as checking "Multi Select List" by hand does (the list
        // is rebuilt, so nothing stays selected). Without a mode the click does nothing.
        form_.SetChecked(chk(ctl::kMultiSelect), true);
        MultiSelectClicked();
    }
    // The value is the row's shown position; a list that shows nothing gives 255.
    const auto valueOf = [&](int firstBox) {
        return form_.ComboCurSel(cmb(firstBox + row - 1)) & 0xFF;
    };
    const auto replaceStep = [&](int header, int firstBox, int findMode, int replaceMode,
                                 const char* tip) {
        const ControlRef h = lbl(header);
        const platform::Color back = form_.BackColor(h);
        if (back == colour::kArmed) {
            if (SearchVoices(findMode, valueOf(firstBox)) != 0) {
                form_.SetBackColor(h, colour::kReplaceStep);
                form_.SetToolTip(h, tip);
            }
        } else if (back == colour::kReplaceStep) {
            SearchVoices(replaceMode, valueOf(firstBox));
            ResetSearchMode(menu, cmd::kSearchController, cmd::kReplaceParameter);
        }
    };
    if (MenuOptionChecked(menu, cmd::kSearchController)) {
        if (SearchVoices(1, valueOf(ctl::kCtrlBox)) != 0)
            ResetSearchMode(menu, cmd::kSearchController, cmd::kReplaceParameter);
    } else if (MenuOptionChecked(menu, cmd::kSearchParameter)) {
        if (SearchVoices(2, valueOf(ctl::kParamBox)) != 0)
            ResetSearchMode(menu, cmd::kSearchController, cmd::kReplaceParameter);
    } else if (MenuOptionChecked(menu, cmd::kReplaceController)) {
        replaceStep(ctl::kHeaderCtrl, ctl::kCtrlBox, 1, 3, kReplaceControllerTip);
    } else if (MenuOptionChecked(menu, cmd::kReplaceParameter)) {
        replaceStep(ctl::kHeaderParam, ctl::kParamBox, 2, 4, kReplaceParameterTip);
    }
}

int Program::SearchVoices(int mode, int value) {
    if (mode < 1 || mode > 4) return 0;
    const auto v = static_cast<std::uint8_t>(value & 0xFF);
    const ControlRef list = lsb(ctl::kVoiceList);
    const int n = form_.ListCount(list);
    const auto layout = LayoutInForce();
    const int field = (mode == 1 || mode == 3) ? 0 : 1; // controller or parameter byte of a slot
    // The name of a value is its item in the row-1 list of the column; none gives "".
    const auto nameOf = [&](std::uint8_t x) {
        return form_.ComboText(cmb(field == 0 ? ctl::kCtrlBox : ctl::kParamBox), x).value_or("");
    };

    int total = 0;
    if (layout && n > 0) {
        const auto slotField =
            field == 0 ? voice::SlotField::Controller : voice::SlotField::Parameter;
        // A voice whose matrix does not lie wholly inside the data (a truncated file, or a list
        // built under the other layout) ends the search at once: no message, count 0. What was
        // selected or replaced before it stays so.
        if (mode <= 2) {
            const voice::FindResult r =
                voice::FindVoices(VoiceFileText(), *layout, n, slotField, v);
            for (const voice::VoiceSlots& found : r.found)
                form_.ListSetSelected(list, found.voice, true);
            if (!r.complete) return 0;
            total = static_cast<int>(r.found.size());
        } else {
            // Counted even where the new value equals the old one.
            const voice::ReplaceResult r = voice::PlanReplace(VoiceFileText(), *layout, n,
                                                              slotField, search.LastSearchValue, v);
            ApplyEdit(r.batch); // the whole replace is one step
            for (const voice::VoiceSlots& changed : r.changed)
                form_.ListSetSelected(list, changed.voice, false);
            if (!r.complete) return 0;
            total = r.total;
        }
    }

    using platform::Icon;
    switch (mode) {
    case 1:
    case 2:
        search.LastSearchValue = v;
        Message(mode == 1 ? "SEARCH CONTROLLER ..." : "SEARCH PARAMETER ...",
                Count3(total) +
                    (mode == 1 ? " Voices found with this Controller : "
                               : " Voices found with this Parameter : ") +
                    nameOf(search.LastSearchValue),
                Icon::Information);
        break;
    case 3:
        Message("SEARCH & REPLACE CONTROLLER ...",
                Count3(total) + " Controllers of this type:\r\n" + nameOf(search.LastSearchValue) +
                    "\r\nwere Replaced by Controller type :\r\n" + nameOf(v),
                Icon::Information);
        break;
    default:
        Message("SEARCH & REPLACE PARAMETER...",
                Count3(total) + " Parameters of this type:\r\n" + nameOf(search.LastSearchValue) +
                    "\r\nwere Replaced by Parameter type :\r\n" + nameOf(v),
                Icon::Information);
        break;
    }
    return total;
}

} // namespace veltrano
