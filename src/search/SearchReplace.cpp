// Search and replace over all voices of the loaded file, armed from the menu and started
// by a click on a numbered row label.
#include "search/SearchReplace.h"

#include <cstdio>
#include <string>

#include "shell/Ids.h"
#include "voice/Rules.h"

namespace veltrano {

namespace {
constexpr std::int32_t kModeCommands[] = {cmd::kSearchController, cmd::kSearchParameter,
                                          cmd::kReplaceController, cmd::kReplaceParameter};

bool ControllerMode(SearchMode m) {
    return m == SearchMode::SearchController || m == SearchMode::ReplaceController;
}

const char* HeaderTip(bool controller, SearchReplace::Step step) {
    if (step == SearchReplace::Step::Replace)
        return controller ? "Click On A Numbered Label With The Controller Behind To Replace."
                          : "Click On A Numbered Label With The Parameter Behind To Replace.";
    return controller ? "Click On A Numbered Label With The Controller Behind To Search for."
                      : "Click On A Numbered Label With The Parameter Behind To Search for.";
}

std::string Count3(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%3d", n);
    return buf;
}
} // namespace

SearchMode SearchReplace::ModeOfCommand(std::int32_t id) {
    for (int m = 0; m < 4; ++m)
        if (kModeCommands[m] == id) return static_cast<SearchMode>(m + 1);
    return SearchMode::None;
}

void SearchReplace::Arm(SearchMode mode) {
    mode_ = mode;
    step_ = mode == SearchMode::None ? Step::Idle : Step::Find;
    Paint();
}

void SearchReplace::Disarm() {
    Arm(SearchMode::None);
}

void SearchReplace::ClearHeaders() {
    step_ = Step::Idle;
    Paint();
}

void SearchReplace::Paint() {
    for (int m = 0; m < 4; ++m)
        menus_.SetChecked(kModeCommands[m], mode_ == static_cast<SearchMode>(m + 1));
    const bool controller = ControllerMode(mode_);
    for (int header : {ctl::kHeaderCtrl, ctl::kHeaderParam}) {
        const bool active = step_ != Step::Idle && (header == ctl::kHeaderCtrl) == controller;
        const platform::Color back = !active               ? colour::kFace
                                     : step_ == Step::Find ? colour::kArmed
                                                           : colour::kReplaceStep;
        form_.SetBackColor(ctl::lbl(header), back);
        form_.SetToolTip(ctl::lbl(header), active ? HeaderTip(controller, step_) : "");
    }
    // The row numbers say to a reader what the armed header's tip says to a mouse.
    const std::string does = step_ == Step::Idle ? "" : HeaderTip(controller, step_);
    for (int k = 0; k < voice::kSlots; ++k)
        form_.SetAccessibleDescription(ctl::lbl(ctl::kRowLabel + k), does);
    form_.SetVisible(ctl::lbl(ctl::kSearchMarker), step_ != Step::Idle);
}

void SearchReplace::NumberedLabelClicked(int row) {
    if (form_.Checked(ctl::chk(ctl::kMultiSelect))) {
        voices_.ClearSelection();
    } else if (mode_ != SearchMode::None) {
        // A search selects every voice it finds, which needs multiple selection: with a mode
        // armed, switch the list to it as checking "Multi Select List" by hand does (the list
        // is rebuilt, so nothing stays selected). Without a mode the click does nothing.
        voices_.SwitchToMultiSelect();
    }
    switch (mode_) {
    case SearchMode::SearchController:
        if (Search(SearchOp::FindController, panel_.ShownValue(voice::SlotField::Controller, row)))
            Disarm();
        break;
    case SearchMode::SearchParameter:
        if (Search(SearchOp::FindParameter, panel_.ShownValue(voice::SlotField::Parameter, row)))
            Disarm();
        break;
    case SearchMode::ReplaceController:
        ReplaceStep(row, true);
        break;
    case SearchMode::ReplaceParameter:
        ReplaceStep(row, false);
        break;
    case SearchMode::None:
        break;
    }
}

void SearchReplace::ReplaceStep(int row, bool controller) {
    const std::uint8_t value = panel_.ShownValue(
        controller ? voice::SlotField::Controller : voice::SlotField::Parameter, row);
    if (step_ == Step::Find) {
        if (Search(controller ? SearchOp::FindController : SearchOp::FindParameter, value) != 0) {
            step_ = Step::Replace;
            Paint();
        }
    } else if (step_ == Step::Replace) {
        Search(controller ? SearchOp::ReplaceController : SearchOp::ReplaceParameter, value);
        Disarm();
    }
}

int SearchReplace::Search(SearchOp op, int value) {
    if (op < SearchOp::FindController || op > SearchOp::ReplaceParameter) return 0;
    const auto v = static_cast<std::uint8_t>(value & 0xFF);
    const bool find = op == SearchOp::FindController || op == SearchOp::FindParameter;
    const auto field = op == SearchOp::FindController || op == SearchOp::ReplaceController
                           ? voice::SlotField::Controller
                           : voice::SlotField::Parameter;
    const int n = voices_.Count();
    const auto layout = document_.Layout();
    const auto nameOf = [&](std::uint8_t x) { return panel_.NameOf(field, x); };

    int total = 0;
    if (layout && n > 0) {
        // A voice whose matrix does not lie wholly inside the data (a truncated file, or a list
        // built under the other layout) ends the search at once: no message, count 0. What was
        // selected or replaced before it stays so.
        if (find) {
            const voice::FindResult r = voice::FindVoices(document_.Bytes(), *layout, n, field, v);
            for (const voice::VoiceSlots& found : r.found)
                voices_.Select(found.voice, true);
            if (!r.complete) return 0;
            total = static_cast<int>(r.found.size());
        } else {
            // Counted even where the new value equals the old one.
            const voice::ReplaceResult r =
                voice::PlanReplace(document_.Bytes(), *layout, n, field, lastSearchValue_, v);
            document_.Apply(r.batch); // the whole replace is one step
            for (const voice::VoiceSlots& changed : r.changed)
                voices_.Select(changed.voice, false);
            if (!r.complete) return 0;
            total = r.total;
        }
    }

    const bool controller = field == voice::SlotField::Controller;
    if (find) {
        lastSearchValue_ = v;
        messages_.Message(controller ? "SEARCH CONTROLLER ..." : "SEARCH PARAMETER ...",
                          Count3(total) +
                              (controller ? " Voices found with this Controller : "
                                          : " Voices found with this Parameter : ") +
                              nameOf(lastSearchValue_),
                          platform::Icon::Information);
    } else if (controller) {
        messages_.Message("SEARCH & REPLACE CONTROLLER ...",
                          Count3(total) + " Controllers of this type:\r\n" +
                              nameOf(lastSearchValue_) +
                              "\r\nwere Replaced by Controller type :\r\n" + nameOf(v),
                          platform::Icon::Information);
    } else {
        messages_.Message("SEARCH & REPLACE PARAMETER...",
                          Count3(total) + " Parameters of this type:\r\n" +
                              nameOf(lastSearchValue_) +
                              "\r\nwere Replaced by Parameter type :\r\n" + nameOf(v),
                          platform::Icon::Information);
    }
    return total;
}

} // namespace veltrano
