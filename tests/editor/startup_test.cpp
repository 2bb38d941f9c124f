// Start-up: the 79 controls in creation order, their places and styles, the file buffer
// around the table loading, and a styling failure that stops only its own control.
#include <gtest/gtest.h>

#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano {
namespace {

using platform::Array;
using platform::ControlKind;
using platform::ControlRef;
using platform::Rect;
using platform::headless::HeadlessForm;

struct Started {
    explicit Started(const std::string& programFolder = VELTRANO_SOURCE_DIR "/data")
        : program(form) {
        form.programFolder = programFolder;
        program.StartUp();
    }
    HeadlessForm form;
    Program program;
};

TEST(StartUp, CreatesTheControlsInOrderAtTheirPlaces) {
    Started s;
    const std::vector<ControlRef> controls = s.form.Controls();
    ASSERT_EQ(controls.size(), 79u);
    EXPECT_EQ(controls[0], (ControlRef{Array::lsb, 100}));
    EXPECT_EQ(controls[13], (ControlRef{Array::cmd, 16}));
    // Column by column: sixteen controller boxes, sixteen parameter boxes, sixteen depth
    // boxes, then the sixteen row labels, then the common dialog.
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(controls[14 + k], (ControlRef{Array::cmb, 200 + k}));
        EXPECT_EQ(controls[30 + k], (ControlRef{Array::cmb, 230 + k}));
        EXPECT_EQ(controls[46 + k], (ControlRef{Array::cmb, 250 + k}));
        EXPECT_EQ(controls[62 + k], (ControlRef{Array::lbl, 270 + k}));
    }
    EXPECT_EQ(controls[78], (ControlRef{Array::cd, 50}));

    // Row 16's controller list ends just above the stored-matrix list.
    EXPECT_EQ(s.form.ControlRect({Array::cmb, 215}), (Rect{25, 450, 90, 20}));
    EXPECT_EQ(s.form.ControlRect({Array::cmb, 110}), (Rect{25, 475, 200, 20}));
    EXPECT_EQ(s.form.ControlRect({Array::lbl, 285}), (Rect{3, 450, 20, 20}));
    EXPECT_EQ(s.form.Caption({Array::lbl, 278}), "9 ");
    EXPECT_EQ(s.form.Caption({Array::lbl, 279}), "10");
    EXPECT_EQ(s.form.Caption({Array::cmd, 335}), "All");
    EXPECT_EQ(s.form.WindowCaption(), "Veltrano");
    EXPECT_EQ(s.form.WindowBackColor(), platform::Rgb(128, 128, 128));
    EXPECT_TRUE(s.form.WindowVisible());
    ASSERT_NE(s.form.Picture({Array::img, 340}), nullptr);
    EXPECT_EQ(s.form.Picture({Array::img, 340})->width, 157);
    EXPECT_EQ(s.form.Picture({Array::img, 340})->height, 99);
}

TEST(StartUp, IndexRulesWinOverKindRules) {
    Started s;
    const auto yellow = platform::Rgb(255, 255, 0);
    EXPECT_EQ(s.form.ForeColor({Array::chk, 331}), yellow);
    EXPECT_EQ(s.form.ForeColor({Array::chk, 334}), yellow);
    EXPECT_EQ(s.form.ForeColor({Array::opt, 332}), yellow);
    EXPECT_EQ(s.form.BackColor({Array::opt, 333}), platform::Rgb(128, 128, 128));
    EXPECT_EQ(s.form.BackColor({Array::lbl, 13}), platform::Rgb(255, 0, 0));
    EXPECT_FALSE(s.form.Visible({Array::lbl, 13}));
    EXPECT_EQ(s.form.BackColor({Array::cmd, 16}), platform::Rgb(3, 3, 3));
    EXPECT_EQ(s.form.ToolTip({Array::cmd, 16}),
              "Store The Current Matrix (To Become Saved In A File).");
    EXPECT_EQ(s.form.ToolTip({Array::lsb, 100}),
              "After A Selection, Right Click To Change Voice Category.");
    EXPECT_TRUE(s.form.messages.empty());
}

TEST(StartUp, ListsKeepInsertionOrder) {
    Started s;
    const ControlRef box{Array::cmb, 201};
    ASSERT_GT(s.form.ComboCount(box), 3);
    // The data file's order, not an alphabetical one: position p carries number p.
    for (int p = 0; p < s.form.ComboCount(box); ++p)
        EXPECT_EQ(s.form.ComboItemData(box, p), p);
    const ControlRef list{Array::lsb, 100};
    s.form.ListAdd(list, "b");
    s.form.ListAdd(list, "a");
    EXPECT_EQ(s.form.ListText(list, 0), "b");
}

TEST(StartUp, FileBufferIsUntouchedWithoutADataFile) {
    HeadlessForm form;
    Program program(form);
    program.document().lib().record.size = 7; // marks the record: nothing may clear it
    program.document().PrepareFileBuffer();
    EXPECT_FALSE(program.document().lib().record.buffer.has_value());
    EXPECT_EQ(program.document().lib().record.size, 7);
    program.document().ReleaseFileBuffer();
    EXPECT_EQ(program.document().lib().record.size, 7);
    EXPECT_EQ(program.document().LargestFileSize(), 0);
}

TEST(StartUp, FileBufferIsReleasedAfterTheTables) {
    Started s;
    EXPECT_TRUE(s.program.document().lib().fileList.empty());
    EXPECT_FALSE(s.program.document().lib().record.buffer.has_value());
    EXPECT_EQ(s.program.document().lib().record.size, 0);
}

// A form on which one property of one control cannot be set.
class RefusingForm : public HeadlessForm {
  public:
    bool SetForeColor(ControlRef ref, platform::Color c) override {
        if (ref == ControlRef{Array::chk, 331}) return false;
        return HeadlessForm::SetForeColor(ref, c);
    }
};

TEST(StartUp, AStylingFailureStopsOnlyThatControl) {
    RefusingForm form;
    form.programFolder = VELTRANO_SOURCE_DIR "/data";
    Program program(form);
    program.StartUp();
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_NE(form.messages[0].text.find("chk 331"), std::string::npos) << form.messages[0].text;
    // The kind rule's black text was refused, so the rest of this control's rules were skipped...
    EXPECT_EQ(form.ToolTip({Array::chk, 331}), "");
    // ...and the controls after it were styled as usual.
    EXPECT_EQ(form.ToolTip({Array::chk, 334}), "Set To Copy Settings To Or From The List.");
    EXPECT_EQ(form.BackColor({Array::lbl, 285}), platform::Rgb(3, 3, 3));
}

} // namespace
} // namespace veltrano
