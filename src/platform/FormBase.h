#pragma once
// FormBase: what every backend shares. It keeps the record of every control (ControlTable,
// with each list's ListModel) and of every menu (MenuTable), answers every question about
// them from the records, and gives every setter one shape: the record changes first, then
// the backend is asked to show the change (the Do* calls), as wxWidgets' item containers
// do (Append calls the port's DoAppend). A backend overrides only the Do* calls that reach
// its toolkit; the headless backend shows nothing and keeps the defaults. What the user does
// in a native control comes back into the record before its handler runs.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ControlTable.h"
#include "platform/Form.h"
#include "platform/MenuTable.h"

namespace veltrano::platform {

class FormBase : public Form {
  public:
    // --- the main window -----------------------------------------------------------------
    void SetWindowCaption(const std::string& caption) override;
    void SetWindowBackColor(Color c) override;
    const std::string& WindowCaption() const { return caption_; }
    Color WindowBackColor() const { return windowBack_; }

    // --- controls ------------------------------------------------------------------------
    bool CreateControl(ControlRef ref, ControlKind kind, const std::string& caption,
                       Rect rect) override;
    bool HasControl(ControlRef ref) const override { return controls_.Find(ref) != nullptr; }
    std::vector<ControlRef> Controls() const override { return controls_.Refs(); }
    std::optional<ControlKind> KindOf(ControlRef ref) const override {
        return controls_.KindOf(ref);
    }
    bool SetBackColor(ControlRef ref, Color c) override;
    Color BackColor(ControlRef ref) const override { return controls_.BackColor(ref); }
    bool SetForeColor(ControlRef ref, Color c) override;
    bool SetToolTip(ControlRef ref, const std::string& text) override;
    bool SetVisible(ControlRef ref, bool visible) override;
    bool SetAlignment(ControlRef ref, int alignment) override;
    bool SetAppearance(ControlRef ref, int appearance) override;
    bool SetSorted(ControlRef ref, bool sorted) override;
    bool MoveControl(ControlRef ref, Rect rect) override;
    void SetTabOrder(const std::vector<ControlRef>& order) override;
    const std::vector<ControlRef>& TabOrder() const { return tabOrder_; }
    bool SetAccessibleName(ControlRef ref, const std::string& name) override;
    bool SetAccessibleDescription(ControlRef ref, const std::string& text) override;
    bool Checked(ControlRef ref) const override { return controls_.Checked(ref); }
    void SetChecked(ControlRef ref, bool checked) override;

    // The record's other answers, which the editor has no use for: the scenario driver
    // prints them and the tests read them back.
    std::string Caption(ControlRef ref) const { return controls_.Caption(ref); }
    Color ForeColor(ControlRef ref) const { return controls_.ForeColor(ref); }
    std::string ToolTip(ControlRef ref) const { return controls_.ToolTip(ref); }
    bool Visible(ControlRef ref) const { return controls_.Visible(ref); }
    Rect ControlRect(ControlRef ref) const { return controls_.RectOf(ref); }
    const ControlRecord* Record(ControlRef ref) const { return controls_.Find(ref); }
    std::string AccessibleName(ControlRef ref) const;
    // The control's own description, else its tool tip.
    std::string AccessibleDescription(ControlRef ref) const;

    // --- list boxes ----------------------------------------------------------------------
    void ListClear(ControlRef ref) override;
    int ListAdd(ControlRef ref, const std::string& text) override;
    int ListCount(ControlRef ref) const override;
    std::optional<std::string> ListText(ControlRef ref, int i) const override;
    void ListSetMultiSelect(ControlRef ref, bool multi) override;
    bool ListSelected(ControlRef ref, int i) const override;
    void ListSetSelected(ControlRef ref, int i, bool selected) override;
    int ListCurrent(ControlRef ref) const override;
    void ListSetCurrent(ControlRef ref, int i) override;
    void ListSetTopIndex(ControlRef ref, int i) override;
    bool ListMultiSelect(ControlRef ref) const;
    int ListTopIndex(ControlRef ref) const;

    // --- combo boxes ---------------------------------------------------------------------
    void ComboClear(ControlRef ref) override;
    int ComboAdd(ControlRef ref, const std::string& text, std::int32_t data) override;
    int ComboCount(ControlRef ref) const override { return ListCount(ref); }
    std::optional<std::string> ComboText(ControlRef ref, int i) const override;
    std::optional<std::int32_t> ComboItemData(ControlRef ref, int i) const override;
    int ComboCurSel(ControlRef ref) const override;
    void ComboSetCurSel(ControlRef ref, int p) override;

    // --- picture -------------------------------------------------------------------------
    // False for a picture without pixels or with fewer bytes than its size needs.
    bool SetPicture(ControlRef ref, const Bitmap& picture, bool stretch) override;
    const Bitmap* Picture(ControlRef ref) const; // nothing before a picture is set

    // --- menus (FormBaseMenus.cpp) -------------------------------------------------------
    MenuHandle CreateMenuBar() override;
    MenuHandle CreatePopupMenu() override;
    // A native menu has one owner: a popup goes into one menu only, and a bar into none.
    bool AppendMenu(MenuHandle menu, unsigned flags, std::int32_t idOrPopup,
                    const std::string& text) override;
    bool AttachMenuBar(MenuHandle bar) override;
    bool DestroyMenu(MenuHandle menu) override;
    std::optional<std::string> MenuItemText(MenuHandle menu, std::int32_t id) const override;
    int MenuItemState(MenuHandle menu, std::int32_t id) const override;
    bool CheckMenuItem(MenuHandle menu, std::int32_t id, bool checked) override;
    bool EnableMenuItem(MenuHandle menu, std::int32_t id, bool enabled) override;
    bool RemoveMenuItem(MenuHandle menu, std::int32_t id) override;
    MenuHandle AttachedMenuBar() const { return attachedMenu_; }
    // The attached menu bar as popups with their items, for printing.
    std::optional<std::vector<MenuTable::PopupView>> MenuBarView() const {
        return menus_.View(attachedMenu_);
    }
    int LiveMenuCount() const { return menus_.Count(); }

    // --- progress of a long run (FormBase.cpp) ------------------------------------------
    struct ProgressRecord {
        bool open = false;
        std::string title;
        int total = 0;
        int done = 0;
        std::string text;
        bool stopAsked = false; // the user pressed Stop
    };
    void ProgressOpen(const std::string& title, int total) override;
    bool ProgressStep(int done, const std::string& text) override;
    void ProgressClose() override;
    const ProgressRecord& Progress() const { return progress_; }
    // The user pressed the progress window's Stop: the run's next step hears of it.
    void StopPressed() {
        if (progress_.open) progress_.stopAsked = true;
    }

    // --- keys (FormKeys.cpp) -------------------------------------------------------------
    // The user pressed key on a control that has the focus, with the modifier keys `shift`
    // (kShift, kCtrl). A key is another way to a click, so it runs the handlers the click
    // runs, in the same order, on sink; every backend hands its keys here, so that a key
    // means the same everywhere:
    //  * a label: Space or Enter clicks it;
    //  * a list box: Space or Enter press the current item (the first when there is none) as
    //    the left button does, with the modifier keys of a Shift+ or Ctrl+click; the
    //    context-menu key and Shift+F10 release the right button over it; Up, Down, Home
    //    and End move the current item, which single selection selects as a click does;
    //  * a combo box: Up, Down, Home and End move the shown item, as a pick does;
    //  * a check box: Space clicks it; an option button: Space selects it;
    //  * a push button: Space or Enter clicks it.
    // False when the key means nothing on that control.
    bool KeyPressed(EventSink* sink, ControlRef ref, Key key, int shift);

  protected:
    // --- what a backend shows; the record has changed already ----------------------------
    virtual void DoWindowCaption() {}
    virtual void DoWindowBackColor() {}
    virtual void DoCreateControl(ControlRecord&) {}
    virtual void DoColors(ControlRecord&) {}
    virtual void DoToolTip(ControlRecord&) {}
    virtual void DoAccessible(ControlRecord&) {} // the name or the own description changed
    virtual void DoVisible(ControlRecord&) {}
    virtual void DoAlignment(ControlRecord&) {}
    virtual void DoMove(ControlRecord&) {}
    virtual void DoTabOrder() {}              // TabOrder() changed
    virtual void DoChecked(ControlRecord&) {} // for every box whose mark changed
    // A list or combo box lost all its items.
    virtual void DoClearItems(ControlRecord&) {}
    // Item i was appended to a list or combo box; false when the toolkit refused it, which
    // takes it out of the record again.
    virtual bool DoAddItem(ControlRecord&, int) { return true; }
    virtual void DoListStyle(ControlRecord&) {} // single or multiple selection changed
    // Item i's mark changed; in single selection the one selected item is the current one.
    virtual void DoListSelected(ControlRecord&, int) {}
    virtual void DoListCurrent(ControlRecord&) {} // shows the current item (single selection)
    virtual void DoListTop(ControlRecord&) {}
    virtual void DoComboShown(ControlRecord&) {}
    virtual void DoPicture(ControlRecord&) {}
    // A setter found no control fit for it (none by that name, or one of another kind).
    virtual void NoSuchControl(ControlRef, const char* /*wanted*/) {}

    // The native menu of a new record; false when the toolkit refused it.
    virtual bool DoCreateMenu(MenuTable::Menu&) { return true; }
    // Entry e was appended to menu; false when the toolkit refused it (the record keeps it).
    virtual bool DoAppendMenu(MenuHandle, MenuTable::Entry&) { return true; }
    virtual void DoAttachMenuBar(MenuHandle /*bar, 0: none*/) {} // before the record changes
    // The popup of entry e is taken out of menu `owner` before the popup is destroyed.
    virtual void DoRemovePopup(MenuTable::Menu& /*owner*/, MenuTable::Entry& /*e*/,
                               MenuTable::Menu& /*popup*/) {}
    virtual void DoDestroyMenu(MenuTable::Menu&) {} // with the popups below it
    virtual void DoCheckMenuItem(MenuHandle /*owner*/, MenuTable::Entry&) {}
    virtual void DoEnableMenuItem(MenuHandle /*owner*/, MenuTable::Entry&) {}
    virtual void DoRemoveMenuItem(MenuTable::Menu& /*owner*/, MenuTable::Entry&) {} // before
    virtual void DoMenusChanged() {}

    // The progress window: opened; a step shown, then what the user did meanwhile handled (a
    // press of Stop calls StopPressed); closed.
    virtual void DoProgressOpen() {}
    virtual void DoProgressStep() {}
    virtual void DoProgressClose() {}

    // The record of a list box (or combo box) for a setter; NoSuchControl when missing.
    ControlRecord* ListRecord(ControlRef ref);
    ControlRecord* ComboRecord(ControlRef ref);

    ControlTable controls_;
    MenuTable menus_;
    MenuHandle attachedMenu_ = 0;
    ProgressRecord progress_;
    std::string caption_;
    Color windowBack_ = Rgb(240, 240, 240);
    std::vector<ControlRef> tabOrder_;

  private:
    MenuHandle NewMenu(bool bar);
};

} // namespace veltrano::platform
